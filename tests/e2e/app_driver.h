#pragma once

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/fake/fake_registry.h"

// Drives the real program from outside, the way a user or an accessibility tool
// would: finds its window and controls, clicks, reads the list, and answers the
// dialogs it opens.
namespace torvane::e2e {

struct ListItemSeen {
    std::wstring text;
    int image = -1;  // 0-based image list index
    bool operator==(const ListItemSeen&) const = default;
};

struct DialogSeen {
    HWND handle = nullptr;
    std::wstring title;
    std::wstring text;  // a message box's message, or an input box's prompt
};

class AppDriver {
  public:
    // Runs exePath with its own folder as the current folder (as a double-click
    // in Explorer does), or with the folder given.
    explicit AppDriver(const std::wstring& exePath, const std::wstring& currentFolder = L"");
    ~AppDriver();  // ends the program if it is still running

    bool WaitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    HWND main() const { return main_; }
    HWND Control(int id) const { return GetDlgItem(main_, id); }
    DWORD processId() const { return processId_; }

    void ClickLabel(int labelNumber);
    std::vector<ListItemSeen> ListItems();
    void SelectItem(int index);  // 0-based; -1 clears the selection
    // The item's icon and text, or the part asked for, in screen coordinates.
    RECT ItemScreenRect(int index, int part = LVIR_BOUNDS);
    int SelectedItem();
    // The control of the program that has the keyboard focus.
    HWND FocusedControl() const;
    // Clicks and returns once the program has taken the click: when the task
    // has finished, or when it is waiting in a dialog.
    void ClickButton(int id);
    // Clicks and returns once the click has been handled; only for a click
    // that opens no dialog.
    void ClickButtonAndWait(int id);
    void Sync();

    // A dialog owned by the main window (or by another dialog of the program).
    std::optional<DialogSeen> WaitForDialog(
        std::chrono::milliseconds timeout = std::chrono::seconds(10));
    std::vector<DialogSeen> OpenDialogs();
    // Presses the button and, unless told otherwise, waits for the dialog to go.
    void PressDialogButton(const DialogSeen& dialog, int buttonId, bool waitForClose = true);
    void TypeIntoInputBox(const DialogSeen& dialog, const std::wstring& text);
    void AnswerInputBox(const DialogSeen& dialog, const std::wstring& text);  // types, then OK
    void AnswerFileDialog(const DialogSeen& dialog, const std::wstring& path,
                          bool waitForClose = true);
    // Once the program has taken what came before, until none of its dialogs is open.
    bool WaitForDialogsToClose(std::chrono::milliseconds timeout = std::chrono::seconds(10));

    bool WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool Running() const;

  private:
    PROCESS_INFORMATION process_{};
    DWORD processId_ = 0;
    HWND main_ = nullptr;
};

// The registry as the tests read it back, in the same form as the fake's.
using RawValue = StoredValue;
std::optional<RawValue> ReadValue(HKEY root, const std::wstring& path, const std::wstring& name);
bool KeyExists(HKEY root, const std::wstring& path);
void DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name);
void SetDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value);
void SetString(HKEY root, const std::wstring& path, const std::wstring& name,
               const std::wstring& text);
inline RawValue DwordBytes(DWORD value) {
    return DwordValue(value);
}
inline RawValue StringBytes(const std::wstring& text) {
    return StringValue(text);
}
// Writes a value exactly as read back: its kind and bytes.
void PutValue(HKEY root, const std::wstring& path, const std::wstring& name, const RawValue& value);
// Polls until the file exists (another process is writing it), or gives up.
bool WaitForFileToExist(const std::wstring& path,
                        std::chrono::seconds timeout = std::chrono::seconds(20));
// Polls until the value exists (another process is writing it), or gives up.
std::optional<RawValue> WaitForValue(HKEY root, const std::wstring& path, const std::wstring& name);
// Polls until the value is as expected (a task may still be writing it), or
// gives up after a few seconds; either way, what it holds then.
std::optional<RawValue> SettledValue(HKEY root, const std::wstring& path, const std::wstring& name,
                                     const std::optional<RawValue>& expected);
// The whole file, or "" when it cannot be opened.
std::string ReadBytes(const std::wstring& path);
// Where a planted program leaves its mark when it runs.
inline const std::wstring kPlantMarker = L"C:\\torvane-planted-program-ran.txt";
// Puts a program at the path that leaves kPlantMarker when run: a batch file
// for .bat and .cmd, the planted test program otherwise. Removes the mark.
bool PlantProgram(const std::wstring& path);
// Whether the planted program's mark appears within the wait.
bool PlantRan(std::chrono::milliseconds wait);
// A .reg file as the registry editor writes it: UTF-16 with a byte-order mark.
void WriteRegFile(const std::wstring& path, const std::wstring& text);
// The association Windows has for .reg files: "open" runs regedit.exe "%1".
void AssociateRegFilesWithRegedit();

std::wstring ModuleFolder();
// Runs a helper program to its end (ended by force after 20 s): its exit code,
// or nothing when it did not start or did not end by itself.
std::optional<DWORD> RunToExit(std::wstring commandLine, const wchar_t* folder = nullptr);
// Every running process: id and executable name.
std::map<DWORD, std::wstring> Processes();
// Whether the process has a DLL of this file name loaded, compared without
// regard to case; nothing when its modules cannot be listed.
std::optional<bool> HasModule(DWORD processId, const std::wstring& dllName);
// Deletes a file once no other process (the registry editor, say) holds it
// open, or a program started from it has ended: whether it is gone.
bool RemoveFileWhenFree(const std::wstring& path);
std::wstring WindowText(HWND window);
std::string Utf8(const std::wstring& text);

}  // namespace torvane::e2e
