// The task list's context menu: which items it enables, what they run, and
// the export, which runs a task's own dialogs and writes nothing.
#include <deque>
#include <gtest/gtest.h>

#include "app/task_dispatch.h"
#include "platform/fake/fake_record_store.h"
#include "tests/native/form1_fixture.h"
#include "tweaks/reg_file.h"

namespace torvane {
namespace {

using testing::FakeTaskMenu;
using TaskMenuTest = testing::Form1HandlersTest;

const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// Which items the menu enables, by what the record holds and where it opens.
struct MenuCase {
    const char* name;
    std::optional<std::wstring> task;
    bool recordHoldsEditorPolicy;  // an original of DisableRegistryTools, live
    bool recordUnreadable;
    TaskMenuItems items;
};
void PrintTo(const MenuCase& c, std::ostream* out) {
    *out << c.name;
}

class MenuItemsTest : public TaskMenuTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuItemsTest, EnabledByTheRecordAndTheTask) {
    const MenuCase& c = GetParam();
    FakeRecordStore store;
    context.originals = &store;
    if (c.recordHoldsEditorPolicy) {
        store.file = EncodeRegFile(FormatRegFile(
            {{RegistryRoot::CurrentUser, kPolicy, L"DisableRegistryTools", std::nullopt}}));
        registry.Put(RegistryRoot::CurrentUser, kPolicy, L"DisableRegistryTools", DwordValue(1));
    }
    if (c.recordUnreadable) store.file = std::vector<std::uint8_t>{1, 2, 3};
    FakeTaskMenu menu(MenuCommand::None);
    form.OnContextMenu(c.task, menu);
    EXPECT_EQ(menu.shown, std::vector<TaskMenuItems>{c.items});
    EXPECT_TRUE(ui.log.empty());
    EXPECT_FALSE(store.LockHeld());
}

INSTANTIATE_TEST_SUITE_P(
    Items, MenuItemsTest,
    ::testing::Values(
        MenuCase{"NothingRecorded", L"禁用注册表编辑器", false, false, {true, false, false, true}},
        MenuCase{"ItsOwnOriginal", L"允许使用注册表编辑器", true, false, {true, true, true, true}},
        MenuCase{
            "AnotherTasksOriginal", L"优化Windows文件系统", true, false, {true, false, true, true}},
        MenuCase{"Backup", L"备份注册表", true, false, {true, false, true, false}},
        MenuCase{"EmptyPartOfTheList", std::nullopt, true, false, {false, false, true, false}},
        MenuCase{"UnreadableRecord", L"隐藏桌面所有图标", false, true, {true, true, true, true}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TaskMenuTest, MenuItemsRunRestoreAndRestoreAll) {
    FakeRecordStore store;
    context.originals = &store;
    FakeTaskMenu run(MenuCommand::Run);
    form.OnContextMenu(L"禁用注册表编辑器", run);  // as 确定 does
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser, kPolicy, L"DisableRegistryTools"),
              DwordValue(1));
    form.OnContextMenu(L"优化Windows文件系统", run);
    ui.messageBoxAnswers = {kAnswerYes};
    FakeTaskMenu restore(MenuCommand::Restore);
    form.OnContextMenu(L"禁用注册表编辑器", restore);
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser, kPolicy, L"DisableRegistryTools"),
              std::nullopt);
    EXPECT_TRUE(registry.Value(RegistryRoot::LocalMachine,
                               L"SYSTEM\\CurrentControlSet\\Control\\FileSystem",
                               L"ConfigFileAllocsize"))
        << "another task's value stays";
    ui.messageBoxAnswers = {kAnswerYes};
    FakeTaskMenu all(MenuCommand::RestoreAll);
    form.OnContextMenu(std::nullopt, all);
    EXPECT_EQ(registry.ValueCount(), 0u);
    ASSERT_EQ(ui.log.size(), 2u);
    EXPECT_EQ(ui.log[0].title, L"恢复原值");
    EXPECT_EQ(ui.log[1].title, L"恢复原值");
}

TEST_F(TaskMenuTest, NoMenuWhileATaskRuns) {
    form.OnLoad();
    list.selected = 2;  // 禁用注册表编辑器 asks nothing; 隐藏桌面所有图标 asks
    form.OnLabelClick(3);
    list.selected = 2;
    ui.messageBoxAnswers = {kAnswerNo};
    FakeTaskMenu menu(MenuCommand::Run);
    ui.whileDialogShows = [&] { form.OnContextMenu(L"禁用注册表编辑器", menu); };
    form.OnOkClick();
    EXPECT_TRUE(menu.shown.empty());
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser, kPolicy, L"DisableRegistryTools"),
              std::nullopt);
}

// Export runs the task's own dialogs and writes nothing; what it saves is
// exactly what running the task with the same answers writes.
struct ExportCase {
    std::wstring task;
    std::deque<int> answers = {};
    std::deque<std::optional<std::wstring>> typed = {};
    std::deque<std::wstring> files = {};
    bool saved = true;  // false: refused or cancelled, so no save dialog
};
void PrintTo(const ExportCase& c, std::ostream* out) {
    *out << testing::Utf8(c.task);
}

class ExportTest : public TaskMenuTest, public ::testing::WithParamInterface<ExportCase> {
  protected:
    void Script(FakeUi& target, const ExportCase& c) {
        target.messageBoxAnswers = c.answers;
        target.inputBoxAnswers = c.typed;
        target.commonDialog2.answers = c.files;
    }
};

TEST_P(ExportTest, SavesWhatTheTaskWouldWriteAndWritesNothing) {
    const ExportCase& c = GetParam();
    FakeRegistry ran;
    FakeUi ranUi;
    TweakContext ranContext{ran, ranUi, ranUi.commonDialog1, ranUi.commonDialog2, ranUi, ranUi};
    Script(ranUi, c);
    DispatchTask(c.task, ranContext);

    form.OnLoad();
    Script(ui, c);
    ui.exportDialog.answers = {L"D:\\out.reg"};
    FakeRecordStore store;
    context.originals = &store;
    FakeTaskMenu menu(MenuCommand::Export);
    form.OnContextMenu(c.task, menu);
    EXPECT_EQ(registry.KeyCount(), 0u) << "an export writes nothing";
    EXPECT_FALSE(store.file) << "and records nothing";
    std::vector<UiEvent> dialogs = ui.log;
    if (!c.saved) {
        EXPECT_EQ(dialogs, ranUi.log);
        EXPECT_TRUE(ui.savedFiles.empty());
        return;
    }
    ASSERT_GE(dialogs.size(), 2u);
    EXPECT_EQ(
        dialogs[dialogs.size() - 2],
        (UiEvent{L"ShowSave", L"ExportDialog", L"注册表文件(*.reg)|*.reg", c.task, -1, L"reg"}));
    dialogs.resize(dialogs.size() - 2);
    EXPECT_EQ(dialogs, ranUi.log) << "the same questions, in the same order";
    ASSERT_EQ(ui.savedFiles.count(L"D:\\out.reg"), 1u);
    const RegFileReading saved =
        ReadRegFile(ui.savedFiles[L"D:\\out.reg"], [](const RegFileEntry&) { return true; });
    ASSERT_TRUE(saved.ok());
    size_t changed = 0;
    for (const RegistryRequest& request : ran.requests)
        changed += request.kind == L"SetDword" || request.kind == L"SetString" ||
                   request.kind == L"DeleteValue";
    EXPECT_EQ(saved.entries.size(), changed);
    for (const RegFileEntry& entry : saved.entries) {
        SCOPED_TRACE(testing::Utf8(entry.path + L"\\" + entry.name));
        EXPECT_EQ(ran.Value(entry.root, entry.path, entry.name), entry.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryTask, ExportTest,
    ::testing::Values(
        ExportCase{L"禁用注册表编辑器"}, ExportCase{L"允许使用注册表编辑器"},
        ExportCase{L"设置磁盘空间不够的警戒值", {}, {L"2.5"}},
        ExportCase{L"设置磁盘空间不够的警戒值", {}, {L"101"}, {}, false},
        ExportCase{L"设置登录时的桌面背景", {}, {}, {L"C:\\图片\\a.bmp"}},
        ExportCase{L"设置登录时的桌面背景", {}, {}, {L""}, false},
        ExportCase{L"设置桌面图标大小", {}, {L"1e2"}},
        ExportCase{L"隐藏桌面所有图标", {kAnswerYes}}, ExportCase{L"隐藏桌面所有图标", {kAnswerNo}},
        ExportCase{L"在任务栏时间后面加入字符", {}, {L"早", L"下午"}},
        ExportCase{L"在任务栏时间后面加入字符", {}, {L"早", std::nullopt}, {}, false},
        ExportCase{L"设置主题桌面", {kAnswerYes}}, ExportCase{L"设置主题桌面", {kAnswerNo}},
        ExportCase{L"缩短\u201C无响应程序\u201D等待时间", {}, {L"20"}},
        ExportCase{L"从内存中卸载无用的DLL文件", {kAnswerYes}},
        ExportCase{L"从内存中卸载无用的DLL文件", {kAnswerNo}}, ExportCase{L"优化Windows文件系统"}));

TEST_F(TaskMenuTest, AFailedSaveSaysWhy) {
    form.OnLoad();
    ui.exportDialog.answers = {L"Z:\\x.reg"};
    ui.writeError = kErrorAccessDenied;
    FakeTaskMenu menu(MenuCommand::Export);
    form.OnContextMenu(L"优化Windows文件系统", menu);
    ASSERT_FALSE(ui.log.empty());
    EXPECT_EQ(ui.log.back(), MessageBoxEvent(L"无法保存文件：Z:\\x.reg\r\n拒绝访问。", 0, L"错误"));
}

}  // namespace
}  // namespace torvane
