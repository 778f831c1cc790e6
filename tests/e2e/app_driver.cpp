#include "tests/e2e/app_driver.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <thread>

namespace torvane::e2e {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPoll = std::chrono::milliseconds(20);

// A block of memory inside the program, for list-view messages that carry pointers.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, size_t size)
        : process_(process),
          address_(
              VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
    void Write(size_t offset, const void* data, size_t size) {
        WriteProcessMemory(process_, at(offset), data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const {
        ReadProcessMemory(process_, at(offset), data, size, nullptr);
    }

  private:
    HANDLE process_;
    void* address_;
};

struct FindState {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM lParam) {
    auto* state = reinterpret_cast<FindState*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != state->processId || !IsWindowVisible(window)) return TRUE;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (std::wstring(className) == L"#32770") state->found.push_back(window);
    return TRUE;
}

std::wstring DialogMessage(HWND dialog) {
    // A message box keeps its text in the static with id 0xFFFF; the input box
    // keeps its prompt in id 100.
    HWND text = GetDlgItem(dialog, 0xFFFF);
    if (!text) text = GetDlgItem(dialog, 100);
    return text ? WindowText(text) : L"";
}

}  // namespace

AppDriver::AppDriver(const std::wstring& exePath, const std::wstring& currentFolder) {
    std::wstring folder =
        currentFolder.empty() ? exePath.substr(0, exePath.find_last_of(L'\\')) : currentFolder;
    std::wstring commandLine = L"\"" + exePath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &startup, &process_)) {
        processId_ = process_.dwProcessId;
        WaitForInputIdle(process_.hProcess, 10000);
    }
}

AppDriver::~AppDriver() {
    if (!process_.hProcess) return;
    if (Running()) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool AppDriver::WaitForMainWindow(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        HWND window = FindWindowW(L"TorvaneForm1", nullptr);
        DWORD owner = 0;
        if (window) GetWindowThreadProcessId(window, &owner);
        if (window && owner == processId_ && IsWindowVisible(window)) {
            main_ = window;
            Sync();
            return true;
        }
        std::this_thread::sleep_for(kPoll);
    }
    return false;
}

void AppDriver::Sync() {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

void AppDriver::ClickLabel(int labelNumber) {
    HWND label = Control(100 + labelNumber);
    PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(label, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
    Sync();
}

std::vector<ListItemSeen> AppDriver::ListItems() {
    HWND list = Control(110);
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<ListItemSeen> items;
    constexpr size_t kTextChars = 512;
    RemoteBuffer remote(process_.hProcess, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = static_cast<wchar_t*>(remote.at(sizeof(LVITEMW)));
        item.cchTextMax = kTextChars;
        remote.Write(0, &item, sizeof item);
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at(0)));
        remote.Read(0, &item, sizeof item);
        std::vector<wchar_t> text(kTextChars, L'\0');
        remote.Read(sizeof(LVITEMW), text.data(), kTextChars * sizeof(wchar_t));
        text.back() = L'\0';
        items.push_back({text.data(), item.iImage});
    }
    return items;
}

void AppDriver::SelectItem(int index) {
    HWND list = Control(110);
    RemoteBuffer remote(process_.hProcess, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = index >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    remote.Write(0, &item, sizeof item);
    SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(remote.at(0)));
}

RECT AppDriver::ItemScreenRect(int index) {
    HWND list = Control(110);
    RemoteBuffer remote(process_.hProcess, sizeof(RECT));
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    remote.Write(0, &rect, sizeof rect);
    SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote.at(0)));
    remote.Read(0, &rect, sizeof rect);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int AppDriver::SelectedItem() {
    return static_cast<int>(
        SendMessageW(Control(110), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void AppDriver::ClickButton(int id) {
    PostMessageW(Control(id), BM_CLICK, 0, 0);
    Sync();
}

void AppDriver::ClickButtonAndWait(int id) {
    // Sent, not posted: a posted click may still wait in the queue behind the
    // sent messages that Sync uses.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(Control(id), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

std::vector<DialogSeen> AppDriver::OpenDialogs() {
    FindState state{processId_, {}};
    EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&state));
    std::vector<DialogSeen> dialogs;
    for (HWND window : state.found)
        dialogs.push_back({window, WindowText(window), DialogMessage(window)});
    return dialogs;
}

std::optional<DialogSeen> AppDriver::WaitForDialog(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        auto dialogs = OpenDialogs();
        if (!dialogs.empty()) {
            // Let it finish initialising before anyone reads or types into it.
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(dialogs.front().handle, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
            return DialogSeen{dialogs.front().handle, WindowText(dialogs.front().handle),
                              DialogMessage(dialogs.front().handle)};
        }
        std::this_thread::sleep_for(kPoll);
    }
    return std::nullopt;
}

void AppDriver::PressDialogButton(const DialogSeen& dialog, int buttonId, bool waitForClose) {
    PostMessageW(GetDlgItem(dialog.handle, buttonId), BM_CLICK, 0, 0);
    if (!waitForClose) {
        Sync();
        return;
    }
    // The next dialog may only be looked for once this one has gone.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (IsWindow(dialog.handle) && IsWindowVisible(dialog.handle) && Clock::now() < deadline) {
        std::this_thread::sleep_for(kPoll);
    }
}

void AppDriver::TypeIntoInputBox(const DialogSeen& dialog, const std::wstring& text) {
    SendMessageW(GetDlgItem(dialog.handle, 101), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
}

void AppDriver::AnswerInputBox(const DialogSeen& dialog, const std::wstring& text) {
    TypeIntoInputBox(dialog, text);
    PressDialogButton(dialog, IDOK);
}

void AppDriver::AnswerFileDialog(const DialogSeen& dialog, const std::wstring& path,
                                 bool waitForClose) {
    // The dialog may still be building its controls when it first shows.
    HWND nameBox = nullptr;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!nameBox && Clock::now() < deadline) {
        nameBox = GetDlgItem(dialog.handle, 0x47C);                // cmb13
        if (!nameBox) nameBox = GetDlgItem(dialog.handle, 0x480);  // edt1
        if (!nameBox) std::this_thread::sleep_for(kPoll);
    }
    for (int attempt = 0; attempt < 50 && WindowText(nameBox) != path; ++attempt) {
        SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        if (WindowText(nameBox) != path) std::this_thread::sleep_for(kPoll);
    }
    PressDialogButton(dialog, IDOK, waitForClose);
}

bool AppDriver::WaitForDialogsToClose(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (OpenDialogs().empty()) {
            Sync();
            return true;
        }
        std::this_thread::sleep_for(kPoll);
    }
    return false;
}

bool AppDriver::WaitForExit(std::chrono::milliseconds timeout) {
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

bool AppDriver::Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<RawValue> ReadValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RawValue value{type, std::vector<std::uint8_t>(size)};
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                     value.bytes.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.bytes.resize(size);
    return value;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, name.c_str());
    RegCloseKey(key);
}

void SetDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value) {
    RegSetKeyValueW(root, path.c_str(), name.c_str(), REG_DWORD, &value, sizeof value);
}

void SetString(HKEY root, const std::wstring& path, const std::wstring& name,
               const std::wstring& text) {
    RegSetKeyValueW(root, path.c_str(), name.c_str(), REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void PutValue(HKEY root, const std::wstring& path, const std::wstring& name,
              const RawValue& value) {
    RegSetKeyValueW(root, path.c_str(), name.c_str(), value.kind, value.bytes.data(),
                    static_cast<DWORD>(value.bytes.size()));
}

std::optional<RawValue> WaitForValue(HKEY root, const std::wstring& path,
                                     const std::wstring& name) {
    for (int i = 0; i < 300; ++i) {
        if (auto value = ReadValue(root, path, name)) return value;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
}

bool WaitForFileToExist(const std::wstring& path, std::chrono::seconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

void WriteRegFile(const std::wstring& path, const std::wstring& text) {
    const std::wstring withMark = L"\xFEFF" + text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, withMark.data(), static_cast<DWORD>(withMark.size() * sizeof(wchar_t)),
              &written, nullptr);
    CloseHandle(file);
}

void AssociateRegFilesWithRegedit() {
    SetString(HKEY_CLASSES_ROOT, L".reg", L"", L"regfile");
    SetString(HKEY_CLASSES_ROOT, L"regfile\\shell\\open\\command", L"", L"regedit.exe \"%1\"");
}

std::map<DWORD, std::wstring> Processes() {
    std::map<DWORD, std::wstring> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        processes[entry.th32ProcessID] = entry.szExeFile;
    }
    CloseHandle(snapshot);
    return processes;
}

void RemoveFileWhenFree(const std::wstring& path) {
    for (int i = 0; i < 100 && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
        if (!DeleteFileW(path.c_str())) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::optional<DWORD> RunToExit(std::wstring commandLine, const wchar_t* folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                        &startup, &process)) {
        return std::nullopt;
    }
    std::optional<DWORD> exitCode;
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &code)) {
        exitCode = code;
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

}  // namespace torvane::e2e
