// What a screen reader hears and can do, asked from another process through
// Active Accessibility, as Narrator, NVDA and JAWS ask.
#include <windows.h>

#include <oleacc.h>

#include <chrono>
#include <thread>

#include "platform/win32/unique_handles.h"
#include "tests/e2e/e2e_fixture.h"

namespace torvane::e2e {
namespace {

// Written out: mingw's import library carries another id.
constexpr IID kAccessibleIid = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// UI Automation's id, which oleacc.h does not define.
constexpr LONG kUiaRootObjectId = -25;

const std::wstring kSystemPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

const wchar_t* const kCaptions[] = {L"注册表管理", L"磁盘与文件管理", L"桌面管理", L"系统优化"};
// The first task each category lists.
const wchar_t* const kFirstTasks[] = {L"备份注册表", L"设置磁盘空间不够的警戒值",
                                      L"设置登录时的桌面背景", L"缩短“无响应程序”等待时间"};

VARIANT Child(LONG id) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A string the server handed over, freed once read.
std::wstring Taken(BSTR text) {
    std::wstring taken = text ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return taken;
}

std::wstring Name(IAccessible& object, LONG child = CHILDID_SELF) {
    BSTR name = nullptr;
    EXPECT_EQ(object.get_accName(Child(child), &name), S_OK);
    return Taken(name);
}

std::wstring Description(IAccessible& object, LONG child) {
    BSTR description = nullptr;
    EXPECT_EQ(object.get_accDescription(Child(child), &description), S_OK);
    return Taken(description);
}

class AccessibilityTest : public EndToEndTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        comJoined_ = true;
        EndToEndTest::SetUp();
    }
    void TearDown() override {
        EndToEndTest::TearDown();
        if (comJoined_) CoUninitialize();
    }

    static UniqueCom<IAccessible> ObjectOf(HWND window) {
        void* object = nullptr;
        const HRESULT result =
            AccessibleObjectFromWindow(window, OBJID_CLIENT, kAccessibleIid, &object);
        EXPECT_EQ(result, S_OK);
        return UniqueCom<IAccessible>(SUCCEEDED(result) ? static_cast<IAccessible*>(object)
                                                        : nullptr);
    }

    HWND list() const { return app->Control(IDC_LISTVIEW1); }

    // The default action is posted: it has run once the list shows the tasks.
    bool WaitForFirstTask(const std::wstring& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            const auto items = app->ListItems();
            if (!items.empty() && items.front().text == text) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

  private:
    bool comJoined_ = false;
};

TEST_F(AccessibilityTest, TheListIsNamedAfterTheCategoryShown) {
    UniqueCom<IAccessible> held = ObjectOf(list());
    ASSERT_TRUE(held);
    EXPECT_EQ(Utf8(Name(*held)), Utf8(kCaptions[0]));
    for (int label : {3, 2, 4, 1}) {
        SCOPED_TRACE(label);
        app->ClickLabel(label);
        // A client that keeps the object hears the new name, and so does one
        // that asks again when told the name changed.
        EXPECT_EQ(Utf8(Name(*held)), Utf8(kCaptions[label - 1]));
        UniqueCom<IAccessible> fresh = ObjectOf(list());
        ASSERT_TRUE(fresh);
        EXPECT_EQ(Utf8(Name(*fresh)), Utf8(kCaptions[label - 1]));
    }
    // Only the client area's object is the program's own: other ids, UI
    // Automation's among them, get the list's default answer, which is none.
    for (LONG id : {kUiaRootObjectId, static_cast<LONG>(OBJID_WINDOW)}) {
        DWORD_PTR answer = 1;
        SendMessageTimeoutW(list(), WM_GETOBJECT, 0, static_cast<DWORD>(id), SMTO_NORMAL, 5000,
                            &answer);
        EXPECT_EQ(answer, 0u) << id;
    }
}

TEST_F(AccessibilityTest, ALabelIsALinkWhoseDefaultActionSwitchesTheCategory) {
    for (int label : {2, 4, 3, 1}) {
        SCOPED_TRACE(label);
        // The focus elsewhere first: Command1 with no task selected runs nothing.
        app->SelectItem(-1);
        app->ClickButtonAndWait(IDC_COMMAND1);
        ASSERT_EQ(app->FocusedControl(), app->Control(IDC_COMMAND1));

        UniqueCom<IAccessible> link = ObjectOf(app->Control(100 + label));
        ASSERT_TRUE(link);
        EXPECT_EQ(Utf8(Name(*link)), Utf8(kCaptions[label - 1]));
        VARIANT role{};
        EXPECT_EQ(link->get_accRole(Child(CHILDID_SELF), &role), S_OK);
        EXPECT_EQ(role.vt, VT_I4);
        EXPECT_EQ(role.lVal, ROLE_SYSTEM_LINK);
        BSTR action = nullptr;
        EXPECT_EQ(link->get_accDefaultAction(Child(CHILDID_SELF), &action), S_OK);
        EXPECT_EQ(Utf8(Taken(action)), Utf8(L"切换"));

        ASSERT_EQ(link->accDoDefaultAction(Child(CHILDID_SELF)), S_OK);
        EXPECT_TRUE(WaitForFirstTask(kFirstTasks[label - 1]));
        app->Sync();
        EXPECT_EQ(app->FocusedControl(), list()) << "the focus did not go to the list";
        UniqueCom<IAccessible> listObject = ObjectOf(list());
        ASSERT_TRUE(listObject);
        EXPECT_EQ(Utf8(Name(*listObject)), Utf8(kCaptions[label - 1]));
    }
}

struct TaskDescription {
    int label;
    LONG child;  // the item's index + 1
    std::wstring keyPath;
    std::wstring own;  // a part no other tip of the category has
};

TEST_F(AccessibilityTest, EachTasksDescriptionIsItsTip) {
    const TaskDescription kDescriptions[] = {
        {1, 3, L"HKEY_CURRENT_USER\\" + kSystemPolicy,
         L"写入：DisableRegistryTools = 1（REG_DWORD）"},
        {1, 4, L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"删除：DisableRegistryTools"},
        {4, 1, L"HKEY_USERS\\.DEFAULT\\Control Panel\\Desktop", L"写入：WaitToKillAppTimeout"},
        {4, 3, L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\FileSystem",
         L"写入：ConfigFileAllocsize = 500"},
    };
    for (const TaskDescription& task : kDescriptions) {
        SCOPED_TRACE(Utf8(task.own));
        app->ClickLabel(task.label);
        UniqueCom<IAccessible> object = ObjectOf(list());
        ASSERT_TRUE(object);
        const std::wstring description = Description(*object, task.child);
        EXPECT_NE(description.find(task.keyPath), std::wstring::npos) << Utf8(description);
        EXPECT_NE(description.find(task.own), std::wstring::npos) << Utf8(description);
        EXPECT_NE(description.find(L"\r\n管理员权限："), std::wstring::npos) << Utf8(description);
    }
    // No item stands past the last one.
    UniqueCom<IAccessible> object = ObjectOf(list());
    ASSERT_TRUE(object);
    BSTR none = nullptr;
    EXPECT_EQ(object->get_accDescription(Child(4), &none), E_INVALIDARG);
    EXPECT_EQ(none, nullptr);
}

// oleacc.dll is loaded only once a client asks; before that the program
// starts as it always did.
TEST_F(AccessibilityTest, OleaccIsLoadedOnlyWhenAClientAsks) {
    EXPECT_EQ(HasModule(app->processId(), L"oleacc.dll"), false);
    EXPECT_EQ(HasModule(app->processId(), L"oleaut32.dll"), false);
    ASSERT_TRUE(ObjectOf(list()));
    EXPECT_EQ(HasModule(app->processId(), L"oleacc.dll"), true);
}

}  // namespace
}  // namespace torvane::e2e
