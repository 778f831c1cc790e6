#include "tests/e2e/app_driver.h"

#include <commctrl.h>

#include <thread>

namespace torvane::e2e {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPoll = std::chrono::milliseconds(20);

// Asks again every kPoll until the answer is yes, or gives up when the time is up.
template <typename Check>
bool PollUntil(Check done, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

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

DialogSeen Described(HWND dialog) {
    // A message box keeps its text in the static with id 0xFFFF; the input box
    // keeps its prompt in id 100.
    HWND text = GetDlgItem(dialog, 0xFFFF);
    if (!text) text = GetDlgItem(dialog, 100);
    return {dialog, WindowText(dialog), text ? WindowText(text) : L""};
}

struct FindState {
    DWORD processId;
    std::vector<DialogSeen> found;
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM lParam) {
    auto* state = reinterpret_cast<FindState*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != state->processId || !IsWindowVisible(window)) return TRUE;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (std::wstring(className) == L"#32770") state->found.push_back(Described(window));
    return TRUE;
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
    const bool shown = PollUntil(
        [&] {
            HWND window = FindWindowW(L"TorvaneForm1", nullptr);
            DWORD owner = 0;
            if (window) GetWindowThreadProcessId(window, &owner);
            if (window && owner == processId_ && IsWindowVisible(window)) main_ = window;
            return main_ != nullptr;
        },
        timeout);
    if (shown) Sync();
    return shown;
}

void AppDriver::Sync() {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

// A thread takes the messages sent to it before those posted to it, so a
// posted click may still wait behind a Sync: the caller would read the list, or
// select an item, before the click has landed. Sent without waiting, the click
// joins the same queue as Sync's message, ahead of it.
void AppDriver::ClickLabel(int labelNumber) {
    HWND label = Control(100 + labelNumber);
    SendNotifyMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendNotifyMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
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

RECT AppDriver::ItemScreenRect(int index, int part) {
    HWND list = Control(110);
    RemoteBuffer remote(process_.hProcess, sizeof(RECT));
    RECT rect{part, 0, 0, 0};
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

HWND AppDriver::FocusedControl() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main_, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

void AppDriver::ClickButton(int id) {
    // As for a label: Sync's message is answered once the click's task has
    // finished, or from the loop of the first dialog it opens.
    SendNotifyMessageW(Control(id), BM_CLICK, 0, 0);
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
    return state.found;
}

std::optional<DialogSeen> AppDriver::WaitForDialog(std::chrono::milliseconds timeout) {
    std::vector<DialogSeen> dialogs;
    if (!PollUntil([&] { return !(dialogs = OpenDialogs()).empty(); }, timeout))
        return std::nullopt;
    // Let it finish initialising before anyone reads or types into it.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(dialogs.front().handle, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    return Described(dialogs.front().handle);
}

void AppDriver::PressDialogButton(const DialogSeen& dialog, int buttonId, bool waitForClose) {
    PostMessageW(GetDlgItem(dialog.handle, buttonId), BM_CLICK, 0, 0);
    if (!waitForClose) {
        Sync();
        return;
    }
    // The next dialog may only be looked for once this one has gone.
    PollUntil([&] { return !IsWindow(dialog.handle) || !IsWindowVisible(dialog.handle); },
              std::chrono::seconds(5));
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
    // A click that has just closed one dialog may be about to open the next (a
    // refusal, say): only once the program answers again has it either done
    // so or finished. An empty screen before that proves nothing.
    Sync();
    if (!PollUntil([&] { return OpenDialogs().empty(); }, timeout)) return false;
    Sync();
    return true;
}

bool AppDriver::WaitForExit(std::chrono::milliseconds timeout) {
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
}

bool AppDriver::Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
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
