// The window in this very process: Wine hands a change of the system colours
// or of the message font only to the process that makes it.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "app/control_ids.h"
#include "app/form1.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_ui.h"
#include "platform/win32/input_box.h"
#include "platform/win32/win32_dialogs.h"

namespace torvane {
namespace {

// Runs what the window was sent and paints what it was asked to.
void Settle(HWND window) {
    for (int round = 0; round < 5; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(20);
    }
}

// The colour on the screen at a point of the window.
COLORREF ColourAt(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// Wine keeps every parameter a process sets for the rest of the session, ahead
// of the user's own settings (Windows keeps no such key): values that the
// cases add there go again, so that programs started later read the registry.
class WineSessionParameters {
  public:
    WineSessionParameters() {
        for (const wchar_t* key : kKeys) before_.push_back(ValueNames(key));
    }
    ~WineSessionParameters() {
        for (size_t i = 0; i < std::size(kKeys); ++i) {
            for (const std::wstring& name : ValueNames(kKeys[i])) {
                if (std::find(before_[i].begin(), before_[i].end(), name) == before_[i].end())
                    RegDeleteKeyValueW(HKEY_CURRENT_USER, kKeys[i], name.c_str());
            }
        }
    }

  private:
    static constexpr const wchar_t* kKeys[] = {
        L"Software\\Wine\\Temporary System Parameters\\Control Panel\\Colors",
        L"Software\\Wine\\Temporary System Parameters\\Control Panel\\Desktop\\WindowMetrics"};
    static std::vector<std::wstring> ValueNames(const wchar_t* path) {
        std::vector<std::wstring> names;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return names;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = static_cast<DWORD>(std::size(name));
            if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            names.emplace_back(name, length);
        }
        RegCloseKey(key);
        return names;
    }
    std::vector<std::vector<std::wstring>> before_;
};

// One window for every case: its class is registered once a process.
class WindowDisplayTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        session_ = std::make_unique<WineSessionParameters>();
        world_ = std::make_unique<World>();
        form_ = std::make_unique<Form1>(GetModuleHandleW(nullptr), world_->owner, world_->context,
                                        world_->ui.exportDialog);
        ASSERT_TRUE(form_->Show(SW_SHOW));
        Settle(form_->handle());
    }
    static void TearDownTestSuite() {
        form_.reset();
        world_.reset();
        // The window ends the program when it goes: its quit message must not
        // end the next test's dialog loop.
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        session_.reset();
    }
    static HWND Window() { return form_->handle(); }
    static HWND List() { return GetDlgItem(Window(), IDC_LISTVIEW1); }

    struct World {
        OwnerWindow owner;
        FakeRegistry registry;
        FakeUi ui;
        Win32Dialogs dialogs{owner};
        TweakContext context{registry, dialogs, ui.commonDialog1, ui.commonDialog2, ui, ui};
    };
    static inline std::unique_ptr<WineSessionParameters> session_;
    static inline std::unique_ptr<World> world_;
    static inline std::unique_ptr<Form1> form_;
};

// Sets system colours for this session, and puts the old ones back.
class SystemColours {
  public:
    SystemColours(std::vector<int> which, std::vector<COLORREF> colours)
        : which_(std::move(which)) {
        for (int index : which_) saved_.push_back(GetSysColor(index));
        SetSysColors(static_cast<int>(which_.size()), which_.data(), colours.data());
    }
    ~SystemColours() {
        SetSysColors(static_cast<int>(which_.size()), which_.data(), saved_.data());
    }

  private:
    std::vector<int> which_;
    std::vector<COLORREF> saved_;
};

// Counts the WM_SYSCOLORCHANGE messages that reach the list.
class ColourChangesSeen {
  public:
    explicit ColourChangesSeen(HWND list) : list_(list) {
        seen_ = 0;
        before_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Count)));
    }
    ~ColourChangesSeen() {
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(before_));
    }
    int count() const { return seen_; }

  private:
    static LRESULT CALLBACK Count(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_SYSCOLORCHANGE) ++seen_;
        return CallWindowProcW(before_, list, message, wParam, lParam);
    }
    HWND list_;
    static inline WNDPROC before_ = nullptr;
    static inline int seen_ = 0;
};

TEST_F(WindowDisplayTest, TheListFollowsTheSystemColours) {
    const COLORREF window = RGB(255, 255, 210);
    const COLORREF text = RGB(0, 0, 140);
    {
        ColourChangesSeen seen(List());
        SystemColours changed({COLOR_WINDOW, COLOR_WINDOWTEXT}, {window, text});
        Settle(Window());
        // Only top-level windows hear of the change from the system.
        EXPECT_EQ(seen.count(), 1) << "the list was not told";
        EXPECT_EQ(SendMessageW(List(), LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(window));
        EXPECT_EQ(SendMessageW(List(), LVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(text));
        RECT client{};
        GetClientRect(List(), &client);  // no item stands in its bottom right corner
        EXPECT_EQ(ColourAt(List(), client.right - 5, client.bottom - 5), window);
    }
    Settle(Window());
    EXPECT_EQ(SendMessageW(List(), LVM_GETBKCOLOR, 0, 0),
              static_cast<LRESULT>(GetSysColor(COLOR_WINDOW)));
}

// Wine broadcasts a change of the system's metrics only once it is saved in
// the user's profile, which a test must not touch: the window is told as
// Windows would tell it.
void Tell(HWND window, UINT action, const wchar_t* area = L"") {
    SendMessageW(window, WM_SETTINGCHANGE, action, reinterpret_cast<LPARAM>(area));
}

// Sets the message font for this session, and puts the old metrics back.
class MessageFont {
  public:
    MessageFont(HWND window, LONG height) : window_(window) {
        saved_.cbSize = sizeof saved_;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof saved_, &saved_, 0);
        NONCLIENTMETRICSW larger = saved_;
        larger.lfMessageFont.lfHeight = height;
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof larger, &larger, 0);
    }
    ~MessageFont() {
        SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof saved_, &saved_, 0);
        Tell(window_, SPI_SETNONCLIENTMETRICS);
    }

  private:
    HWND window_;
    NONCLIENTMETRICSW saved_{};
};

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

TEST_F(WindowDisplayTest, TheLayoutFollowsTheTextSizeWithinTheWorkArea) {
    ASSERT_EQ(ClientSize(Window()).cx, 498);
    // In the bottom right corner, where a window that grows in place would
    // reach past the work area.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    GetWindowRect(Window(), &frame);
    SetWindowPos(Window(), nullptr, work.right - (frame.right - frame.left),
                 work.bottom - (frame.bottom - frame.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    {
        MessageFont larger(Window(), -18);
        Tell(Window(), 0, L"intl");  // which the program broadcasts itself
        Settle(Window());
        EXPECT_EQ(ClientSize(Window()).cx, 498) << "laid out again for another setting";
        Tell(Window(), SPI_SETNONCLIENTMETRICS);
        Settle(Window());
        EXPECT_EQ(ClientSize(Window()).cx, 747);
        EXPECT_EQ(ClientSize(Window()).cy, 515);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(List(), WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_EQ(font.lfHeight, -18);
        GetWindowRect(Window(), &frame);
        EXPECT_GE(frame.left, work.left);
        EXPECT_GE(frame.top, work.top);
        EXPECT_LE(frame.right, work.right);
        EXPECT_LE(frame.bottom, work.bottom);
    }
    Settle(Window());
    EXPECT_EQ(ClientSize(Window()).cx, 498);
    EXPECT_EQ(ClientSize(Window()).cy, 343);
}

HWND WaitForDialog(const wchar_t* title) {
    for (int i = 0; i < 250; ++i) {
        if (HWND dialog = FindWindowW(L"#32770", title); dialog && IsWindowVisible(dialog))
            return dialog;
        Sleep(20);
    }
    return nullptr;
}

TEST_F(WindowDisplayTest, AnOpenInputBoxKeepsItsFontWhileTheLayoutFollows) {
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_LABEL3, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(Window(), IDC_LABEL3)));
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));  // 设置桌面图标大小
    bool boxSeen = false;
    bool fontKept = false;
    std::thread user([&] {
        if (HWND box = WaitForDialog(L"按百分比输入")) {
            boxSeen = true;
            Tell(Window(), SPI_SETNONCLIENTMETRICS);  // the window gets a new font
            LOGFONTW font{};
            HWND edit = GetDlgItem(box, kInputBoxEditId);
            fontKept = GetObjectW(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)),
                                  sizeof font, &font) != 0;
            PostMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
        }
        if (HWND error = WaitForDialog(L"错误"))
            PostMessageW(GetDlgItem(error, IDOK), BM_CLICK, 0, 0);
    });
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_COMMAND1, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(Window(), IDC_COMMAND1)));
    user.join();
    ASSERT_TRUE(boxSeen);
    EXPECT_TRUE(fontKept) << "the input box was left with a deleted font";
}

}  // namespace
}  // namespace torvane
