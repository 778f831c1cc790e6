// Hovering over a task with the real mouse: its tip names what it changes and
// shows the registry as it is when the tip appears, and hovering writes nothing.
#include <windows.h>

#include <map>
#include <thread>
#include <vector>

#include "tests/e2e/task_menu_fixture.h"

namespace torvane::e2e {
namespace {

using Clock = std::chrono::steady_clock;

const std::wstring kSystemPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::wstring kExplorerPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kUnloadDll =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL";

struct ItemTip {
    std::wstring keyPath;  // in full
    std::wstring own;      // a part no other tip of the category has
};

// Per category, in list order.
const std::vector<std::vector<ItemTip>> kTips{
    {{L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"作用：导出整个注册表"},
     {L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"作用：把你选择的 .reg 文件交给 Windows 打开"},
     {L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"写入：DisableRegistryTools = 1（REG_DWORD）"},
     {L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"删除：DisableRegistryTools"}},
    {{L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters",
      L"写入：DiskSpaceThreshold"}},
    {{L"HKEY_USERS\\.DEFAULT\\Control Panel\\Desktop", L"写入：Wallpaper = 你选择的图片"},
     {L"HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics", L"写入：Shell Icon Size"},
     {L"HKEY_CURRENT_USER\\" + kExplorerPolicy, L"写入：NoDesktop"},
     {L"HKEY_CURRENT_USER\\Control Panel\\International", L"写入：sTimeFormat"},
     {L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"Wallpaperstyle = “0”"}},
    {{L"HKEY_USERS\\.DEFAULT\\Control Panel\\Desktop", L"写入：WaitToKillAppTimeout"},
     {L"HKEY_LOCAL_MACHINE\\" + kUnloadDll, L"写入：（默认）"},
     {L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\FileSystem",
      L"写入：ConfigFileAllocsize = 500"}},
};

struct Key {
    HKEY root;
    std::wstring path;
};

// Every key a tip reads.
const std::vector<Key> kReadKeys{
    {HKEY_CURRENT_USER, kSystemPolicy},
    {HKEY_LOCAL_MACHINE, kSystemPolicy},
    {HKEY_CURRENT_USER, kExplorerPolicy},
    {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters"},
    {HKEY_USERS, L".DEFAULT\\Control Panel\\Desktop"},
    {HKEY_CURRENT_USER, L"Control Panel\\Desktop"},
    {HKEY_CURRENT_USER, L"Control Panel\\Desktop\\WindowMetrics"},
    {HKEY_CURRENT_USER, L"Control Panel\\International"},
    {HKEY_LOCAL_MACHINE, kUnloadDll},
    {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\FileSystem"},
};

// A key as an export would show it: whether it exists, its subkeys' names and
// its values' names, kinds and bytes.
struct KeyContents {
    bool exists = false;
    std::vector<std::wstring> subkeys;
    std::map<std::wstring, RawValue> values;
    bool operator==(const KeyContents&) const = default;
};

KeyContents Contents(const Key& key) {
    KeyContents contents;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(key.root, key.path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return contents;
    contents.exists = true;
    wchar_t name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD length = 16384;
        if (RegEnumKeyExW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        contents.subkeys.push_back(name);
    }
    for (DWORD i = 0;; ++i) {
        DWORD length = 16384;
        DWORD kind = 0;
        DWORD size = 0;
        if (RegEnumValueW(handle, i, name, &length, nullptr, &kind, nullptr, &size) !=
            ERROR_SUCCESS)
            break;
        RawValue value{kind, std::vector<std::uint8_t>(size)};
        length = 16384;
        RegEnumValueW(handle, i, name, &length, nullptr, &kind, value.bytes.data(), &size);
        contents.values[name] = value;
    }
    RegCloseKey(handle);
    return contents;
}

std::vector<KeyContents> Snapshot() {
    std::vector<KeyContents> snapshot;
    for (const Key& key : kReadKeys) snapshot.push_back(Contents(key));
    return snapshot;
}

struct TipSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK FindVisibleTip(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<TipSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && IsWindowVisible(window) &&
        std::wstring(className) == L"tooltips_class32") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

class TaskTipsTest : public EndToEndTest {
  protected:
    // The pointer goes where no later test's window is, so that no tip shows
    // over a window another test looks at.
    void TearDown() override {
        MoveMouseTo({0, 0});
        EndToEndTest::TearDown();
    }

    HWND VisibleTip() {
        TipSearch search{app->processId()};
        EnumWindows(FindVisibleTip, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // Real input: the system moves the pointer and the program sees it move.
    static void MoveMouseTo(POINT point) { MouseAt(point, 0); }

    // Rests the pointer on the item and reads the tip once it shows. Until the
    // program has seen the pointer move, the tip before may still be up: a tip
    // counts only once its text differs from the last one read.
    std::wstring HoverAndReadTip(int index) {
        const RECT item = app->ItemScreenRect(index);
        MoveMouseTo({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            if (HWND tip = VisibleTip()) {
                wchar_t text[2048] = {};
                DWORD_PTR length = 0;
                SendMessageTimeoutW(tip, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text),
                                    SMTO_NORMAL, 5000, &length);
                if (length && text != lastTip_) return lastTip_ = text;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return L"";
    }

    // Onto the window's background, off the list: the tip must go.
    bool LeaveTheList() {
        POINT corner{10, 10};
        ClientToScreen(app->main(), &corner);
        MoveMouseTo(corner);
        return WaitForNoTip();
    }

    // Long before the tooltip would put the tip away by itself.
    bool WaitForNoTip() {
        const auto deadline = Clock::now() + std::chrono::seconds(1);
        while (Clock::now() < deadline) {
            if (!VisibleTip()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    std::wstring lastTip_;
};

TEST_F(TaskTipsTest, EveryTaskShowsItsTipAndHoveringChangesNothing) {
    // Keys a tip reads but no task has made yet must not come into being.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUnloadDll.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kExplorerPolicy.c_str());
    const std::vector<KeyContents> before = Snapshot();

    for (int label = 1; label <= 4; ++label) {
        app->ClickLabel(label);
        const auto& tips = kTips[label - 1];
        // Straight from item to item: each shows its own tip.
        for (size_t index = 0; index < tips.size(); ++index) {
            SCOPED_TRACE(Utf8(tips[index].own));
            const std::wstring tip = HoverAndReadTip(static_cast<int>(index));
            EXPECT_NE(tip.find(tips[index].keyPath), std::wstring::npos) << Utf8(tip);
            EXPECT_NE(tip.find(tips[index].own), std::wstring::npos) << Utf8(tip);
            EXPECT_TRUE(tip.rfind(L"修改：", 0) == 0 || tip.rfind(L"作用：", 0) == 0) << Utf8(tip);
            EXPECT_NE(tip.find(L"\r\n管理员权限："), std::wstring::npos) << Utf8(tip);
        }
        EXPECT_TRUE(LeaveTheList()) << "the tip stayed after the pointer left the list";
    }

    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUnloadDll));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kExplorerPolicy));
    const std::vector<KeyContents> after = Snapshot();
    for (size_t i = 0; i < kReadKeys.size(); ++i) {
        SCOPED_TRACE(Utf8(kReadKeys[i].path));
        EXPECT_TRUE(after[i] == before[i]);
    }
}

// Windows would put a tip away after about five seconds by default; most tips
// hold ten lines, so ours stays while the pointer rests.
TEST_F(TaskTipsTest, ATipStaysWhileThePointerRests) {
    const std::wstring tip = HoverAndReadTip(2);  // 禁用注册表编辑器
    ASSERT_FALSE(tip.empty());
    const HWND shown = VisibleTip();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    EXPECT_TRUE(VisibleTip() && VisibleTip() == shown) << "the tip went after less than 10 s";
    EXPECT_TRUE(LeaveTheList());
}

TEST_F(TaskTipsTest, ATipShowsTheValueAsItIsWhenItAppears) {
    DeleteValue(HKEY_CURRENT_USER, kSystemPolicy, L"DisableRegistryTools");
    DeleteValue(HKEY_LOCAL_MACHINE, kSystemPolicy, L"DisableRegistryTools");
    const std::wstring userPolicy =
        L"用户策略：HKEY_CURRENT_USER\\" + kSystemPolicy + L" 中的 DisableRegistryTools";

    const std::wstring unset = HoverAndReadTip(0);  // 备份注册表
    EXPECT_NE(unset.find(userPolicy + L" 未设置\r\n"), std::wstring::npos) << Utf8(unset);
    EXPECT_EQ(unset.find(L"已被禁用"), std::wstring::npos) << Utf8(unset);
    ASSERT_TRUE(LeaveTheList());

    SetDword(HKEY_CURRENT_USER, kSystemPolicy, L"DisableRegistryTools", 1);
    const std::wstring set = HoverAndReadTip(0);
    DeleteValue(HKEY_CURRENT_USER, kSystemPolicy, L"DisableRegistryTools");
    // A click on the item puts the tip away.
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof click[0]);
    EXPECT_TRUE(WaitForNoTip()) << "the tip stayed after a click";
    EXPECT_NE(set.find(userPolicy + L" = 1（REG_DWORD）\r\n"), std::wstring::npos) << Utf8(set);
    EXPECT_NE(set.find(L"\r\n注册表编辑器已被禁用，备份和还原一般无法运行。\r\n"),
              std::wstring::npos)
        << Utf8(set);
}

}  // namespace
}  // namespace torvane::e2e
