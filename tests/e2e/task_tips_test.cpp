// Hovering over a task with the real mouse: its tip names what it changes and
// shows the registry as it is when the tip appears, and hovering writes nothing.
#include <windows.h>

#include <map>
#include <thread>
#include <vector>

#include "tests/e2e/tip_fixture.h"

namespace torvane::e2e {
namespace {

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

class TaskTipsTest : public TipTest {
  protected:
    // Rests the pointer on the item and reads the tip once it shows.
    std::wstring HoverAndReadTip(int index) {
        const RECT item = app->ItemScreenRect(index);
        MoveMouseTo({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        return ReadNewTip();
    }

    // Onto the window's background, off the list: the tip must go.
    bool LeaveTheList() {
        POINT corner{10, 10};
        ClientToScreen(app->main(), &corner);
        MoveMouseTo(corner);
        return WaitForNoTip();
    }
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
