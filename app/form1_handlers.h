#pragma once

#include <optional>
#include <string>

#include "tweaks/tweak_context.h"

namespace torvane {

// What the handlers need of ListView1.
class TaskListView {
  public:
    virtual ~TaskListView() = default;
    virtual void RemoveAllItems() = 0;
    // index is the item's 1-based position; picture is its ImageList1 number.
    virtual void AddItem(std::int16_t index, const std::wstring& text, std::int16_t picture) = 0;
    virtual std::optional<std::wstring> SelectedItemText() = 0;
};

// What the task list's context menu offers.
struct TaskMenuItems {
    // On a task: 执行, 恢复原值, 全部恢复原值, 导出为 .reg 文件…, each with its
    // access key (执行(&E) and so on, the Chinese way); on the empty part
    // of the list: 全部恢复原值 alone.
    bool onTask = false;
    bool restore = false;     // the record holds an original of one of the task's values
    bool restoreAll = false;  // the record holds any original
    bool exportFile = false;  // the task writes values (not backup or restore)
    bool operator==(const TaskMenuItems&) const = default;
};

enum class MenuCommand { None, Run, Restore, RestoreAll, Export };

// The menu itself: shown at the place the window chose, and waited for.
class TaskMenu {
  public:
    virtual ~TaskMenu() = default;
    virtual MenuCommand Show(const TaskMenuItems& items) = 0;
};

// Form1's event handlers, free of any window code so that they can be tested.
class Form1Handlers {
  public:
    // exportDialog is the save dialog of exports, a third one of its own.
    Form1Handlers(TaskListView& list, TweakContext& context, FileDialog& exportDialog)
        : list_(list), context_(context), exportDialog_(exportDialog) {}

    // While a task runs, its dialogs are modal, but a click queued before the
    // first dialog showed (a quick double-click, say) still arrives: each of
    // these then does nothing.
    void OnLoad();
    void OnLabelClick(int labelNumber);  // 1 … 4
    // Ctrl+Tab and Ctrl+PageDown (step +1), Ctrl+Shift+Tab and Ctrl+PageUp
    // (step -1): the category beside the one shown, wrapping round, exactly
    // as a click on its label.
    void OnSwitchCategory(int step);
    // The label whose tasks the list shows; 0 before the load.
    int ShownCategory() const { return shownCategory_; }
    void OnOkClick();    // Command1, "确定"
    void OnExitClick();  // Command2, "退出"
    // The list's context menu on this task, or on the empty part of the list
    // when there is none; what is chosen there runs before this returns.
    void OnContextMenu(const std::optional<std::wstring>& taskText, TaskMenu& menu);
    bool TaskRunning() const { return taskRunning_; }

  private:
    // Runs the task's own dialogs with its writes caught instead of made, and
    // saves them as a .reg file for other PCs.
    void ExportTask(const std::wstring& taskText);

    TaskListView& list_;
    TweakContext& context_;
    FileDialog& exportDialog_;
    bool taskRunning_ = false;
    int shownCategory_ = 0;
};

inline constexpr const wchar_t* kRegistryFileFilter = L"注册表文件(*.reg)|*.reg";
inline constexpr const wchar_t* kRegistryFileExtension = L"reg";

}  // namespace torvane
