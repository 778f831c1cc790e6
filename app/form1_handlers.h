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

// Form1's event handlers, free of any window code so that they can be tested.
class Form1Handlers {
  public:
    Form1Handlers(TaskListView& list, TweakContext& context) : list_(list), context_(context) {}

    // While a task runs, its dialogs are modal, but a click queued before the
    // first dialog showed (a quick double-click, say) still arrives: each of
    // these then does nothing.
    void OnLoad();
    void OnLabelClick(int labelNumber);  // 1 … 4
    void OnOkClick();                    // Command1, "确定"
    void OnExitClick();                  // Command2, "退出"
    bool TaskRunning() const { return taskRunning_; }

  private:
    TaskListView& list_;
    TweakContext& context_;
    bool taskRunning_ = false;
};

inline constexpr const wchar_t* kRegistryFileFilter = L"注册表文件(*.reg)|*.reg";
inline constexpr const wchar_t* kRegistryFileExtension = L"reg";

}  // namespace torvane
