#pragma once

// The task list's context menu, driven with the real mouse and keyboard.
#include <windows.h>

#include <shlobj.h>

#include <thread>

#include "tests/e2e/e2e_fixture.h"

namespace torvane::e2e {

// The record of originals, in the Local AppData of the user the tests run as.
inline std::wstring RecordPath() {
    wchar_t* folder = nullptr;
    std::wstring path;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder)))
        path = std::wstring(folder) + L"\\Torvane\\RegTool\\original-values.reg";
    CoTaskMemFree(folder);
    return path;
}

inline void Keys(std::initializer_list<std::pair<WORD, bool>> strokes) {
    std::vector<INPUT> inputs;
    for (const auto& [key, down] : strokes) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

inline void Press(WORD key) {
    Keys({{key, true}, {key, false}});
}

inline void MouseAt(POINT point, DWORD buttons) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found = nullptr;
};

inline BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (owner == search->processId && IsWindowVisible(window) &&
        std::wstring(name) == search->className) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process, of that class, or null.
inline HWND VisibleWindowOfClass(DWORD processId, const wchar_t* className) {
    WindowSearch search{processId, className};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The program's popup menu once it shows, or null after a few seconds.
inline HWND WaitForMenu(DWORD processId) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (HWND menu = VisibleWindowOfClass(processId, L"#32768")) return menu;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return nullptr;
}

// The menu shows a moment before its loop takes the keyboard; a key sent in
// between would go to the list. Answered, this message shows the loop running.
inline void WaitForMenuLoop(HWND menu) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(menu, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

class TaskMenuTest : public EndToEndTest {
  protected:
    void SetUp() override {
        DeleteFileW(RecordPath().c_str());
        EndToEndTest::SetUp();
        SetForegroundWindow(app->main());
    }
    void TearDown() override {
        MouseAt({0, 0}, 0);
        EndToEndTest::TearDown();
    }

    HWND OpenMenu() { return WaitForMenu(app->processId()); }

    POINT ItemCentre(int index) {
        const RECT item = app->ItemScreenRect(index);
        return {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    }

    // The pointer there, then a button pressed and let go.
    static void ClickAt(POINT point, DWORD down, DWORD up) {
        MouseAt(point, 0);
        MouseAt(point, down);
        MouseAt(point, up);
    }

    // Right click on the item: the menu of the task under the pointer.
    void RightClickItem(int index) {
        ClickAt(ItemCentre(index), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    }

    // Right click on the list where no task stands.
    void RightClickEmptyList() {
        RECT list{};
        GetWindowRect(app->Control(IDC_LISTVIEW1), &list);
        ClickAt({list.right - 12, list.bottom - 12}, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    }

    // A left click on the item selects it and gives the list the focus.
    void ClickItem(int index) {
        ClickAt(ItemCentre(index), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        app->Sync();
    }

    // Shift+F10 where the focus is: the menu of the selected task.
    void ShiftF10() {
        Keys({{VK_SHIFT, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}});
    }

    // Picks the menu's item at this place (1-based, separators not counted)
    // with the arrow keys and Enter.
    void Choose(int place) {
        HWND menu = OpenMenu();
        ASSERT_TRUE(menu) << "no menu";
        WaitForMenuLoop(menu);
        for (int i = 0; i < place; ++i) Press(VK_DOWN);
        Press(VK_RETURN);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (IsWindowVisible(menu) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
};

}  // namespace torvane::e2e
