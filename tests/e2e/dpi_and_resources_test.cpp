#include <cstdlib>

#include "tests/e2e/window_look.h"

namespace torvane::e2e {

TEST_F(WindowLookTest, RelaysItselfOutWhenMovedToAnotherDpi) {
    // What Windows sends when the window lands on a 144 DPI monitor: the new DPI
    // and a suggested rectangle, which lives in the program's memory. The
    // suggestion is somewhere else, and a little larger than the program's own
    // reckoning (Windows' frame at the new DPI may differ): Windows' wins.
    RECT suggested{40, 30, 40 + 747 + 6, 30 + 515 + 4};
    AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongW(app->main(), GWL_STYLE)),
                       FALSE, static_cast<DWORD>(GetWindowLongW(app->main(), GWL_EXSTYLE)));
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, app->processId());
    ASSERT_TRUE(process);
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    ASSERT_TRUE(remote);
    WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr);
    SendMessageW(app->main(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);

    // Exactly where Windows asked, position and size.
    RECT placed{};
    GetWindowRect(app->main(), &placed);
    EXPECT_EQ(placed.left, suggested.left);
    EXPECT_EQ(placed.top, suggested.top);
    EXPECT_EQ(placed.right, suggested.right);
    EXPECT_EQ(placed.bottom, suggested.bottom);
    RECT client{};
    GetClientRect(app->main(), &client);
    EXPECT_EQ(client.right, 747 + 6);
    const RECT list = ClientRectOf(app->main(), app->Control(IDC_LISTVIEW1));
    EXPECT_EQ(list.left, 225);
    EXPECT_EQ(list.top, 137);  // 1365 twips at 144 DPI: 136.5, rounded as everywhere
    EXPECT_EQ(list.right - list.left, 501);
    EXPECT_EQ(list.bottom - list.top, 312);
    EXPECT_EQ(app->ListItems().size(), 4u);
}

TEST(ApplicationIcon, TheExeCarriesItInEveryExplorerSize) {
    // Window handles' class data cannot be read from another process, so the
    // icon is checked where Explorer and the window class both take it from.
    const std::wstring exe = ModuleFolder() + L"\\TorvaneRegTool.exe";
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(image);
    EXPECT_TRUE(FindResourceW(image, MAKEINTRESOURCEW(1), RT_GROUP_ICON));
    for (int size : {16, 32, 48, 256}) {
        SCOPED_TRACE(size);
        HICON icon =
            static_cast<HICON>(LoadImageW(image, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(image);
}

TEST(VersionRecord, ReadsBackAsBuilt) {
    const std::wstring exe = ModuleFolder() + L"\\TorvaneRegTool.exe";
    std::vector<BYTE> data(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
        if (!VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
            return std::string();
        return Utf8(value);
    };
    EXPECT_EQ(text(L"CompanyName"), "Torvane");
    EXPECT_EQ(text(L"FileVersion"), "1.00");
    EXPECT_EQ(text(L"ProductVersion"), "1.00");
    EXPECT_EQ(text(L"ProductName"), Utf8(L"Torvane注册表修改工具"));
    EXPECT_EQ(text(L"OriginalFilename"), "TorvaneRegTool.exe");
    EXPECT_EQ(text(L"InternalName"), "TorvaneRegTool");
}

// Run by scripts/dpi-prefix-test in a prefix whose screen has another DPI.
class HighDpiTest : public WindowLookTest {
  protected:
    void SetUp() override {
        const char* dpi = std::getenv("TORVANE_E2E_DPI");
        if (!dpi) GTEST_SKIP() << "runs only in a prefix with another DPI";
        dpi_ = std::atoi(dpi);
        EndToEndTest::SetUp();
    }
    int dpi_ = 96;
};

TEST_F(HighDpiTest, TheInputBoxUsesTheWindowsFontAndFits) {
    ExpectTheWindowsFontAndRoomForEveryCaption();
}

TEST_F(HighDpiTest, EverythingScalesFromTheTwips) {
    RECT client{};
    GetClientRect(app->main(), &client);
    EXPECT_EQ(client.right, MulDiv(7470, dpi_, 1440));
    EXPECT_EQ(client.bottom, MulDiv(5145, dpi_, 1440));
    struct Twips {
        int id, left, top, width, height;
    };
    for (const Twips& t :
         {Twips{IDC_LABEL1, 705, 1920, 1095, 255}, Twips{IDC_LABEL4, 705, 3855, 855, 255},
          Twips{IDC_LISTVIEW1, 2250, 1365, 5010, 3120},
          Twips{IDC_COMMAND2, 5715, 4650, 945, 300}}) {
        SCOPED_TRACE(t.id);
        const RECT rect = ClientRectOf(app->main(), app->Control(t.id));
        EXPECT_EQ(rect.left, MulDiv(t.left, dpi_, 1440));
        EXPECT_EQ(rect.top, MulDiv(t.top, dpi_, 1440));
        EXPECT_EQ(rect.right - rect.left, MulDiv(t.width, dpi_, 1440));
        EXPECT_EQ(rect.bottom - rect.top, MulDiv(t.height, dpi_, 1440));
    }
    // The picture is scaled with the layout: the list still sits inside its outline.
    ClientPixels pixels(app->main());
    const RECT list = ClientRectOf(app->main(), app->Control(IDC_LISTVIEW1));
    EXPECT_TRUE(IsDark(pixels.at(list.left - 1, (list.top + list.bottom) / 2)));
    EXPECT_TRUE(IsDark(pixels.at((list.left + list.right) / 2, list.bottom)));
}

}  // namespace torvane::e2e
