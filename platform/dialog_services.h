#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_access.h"

// Everything the tasks need from the user and the shell: modal dialogs, the two
// file dialogs, starting a program, the program folder, one text file, and
// closing the main window. Each call blocks until it is done.
namespace torvane {

// Buttons of ShowMessageBox; no icon is ever shown.
constexpr int kButtonsOkOnly = 0;
constexpr int kButtonsYesNo = 4;
// Its answers.
constexpr int kAnswerOk = 1;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

class DialogServices {
  public:
    virtual ~DialogServices() = default;
    virtual int ShowMessageBox(const std::wstring& prompt, int buttons,
                               const std::wstring& title) = 0;
    // The text in the box on OK, which may be empty; nothing on Cancel or when
    // the box is closed, so that a task can end without writing.
    virtual std::optional<std::wstring> ShowInputBox(const std::wstring& prompt,
                                                     const std::wstring& title,
                                                     const std::wstring& defaultText = L"") = 0;
    // How many lines of message box text the work area of the main window's
    // monitor holds: its height over the message box font's line height. A
    // question longer than that would push the box's buttons off the screen.
    virtual int MessageBoxLineCapacity() = 0;
};

// An open or save dialog that remembers its filter and the last answer.
class FileDialog {
  public:
    virtual ~FileDialog() = default;

    // "description|pattern", for example "注册表文件(*.reg)|*.reg".
    void SetFilter(const std::wstring& filter) { filter_ = filter; }
    const std::wstring& Filter() const { return filter_; }
    // Given to a name typed without one in the save dialog, for example "reg".
    void SetDefaultExtension(const std::wstring& extension) { defaultExtension_ = extension; }
    // The name the next dialog opens with, in place of the last choice.
    void SetInitialName(const std::wstring& name) { lastChoice_ = name; }

    // After either call FileName() is the chosen full path, or empty when the
    // user cancelled; a cancel never leaves an earlier choice behind. Each
    // dialog opens with the last choice filled in.
    void ShowOpen() { Show(false); }
    void ShowSave() { Show(true); }  // asks before replacing an existing file

    const std::wstring& FileName() const { return fileName_; }
    // The chosen name without its folder.
    std::wstring FileTitle() const;

  protected:
    struct Request {
        bool save;
        const std::wstring& filter;
        const std::wstring& defaultExtension;  // empty for an open dialog
        const std::wstring& initialName;       // the last choice, or empty
    };
    // Shows the dialog: the chosen full path, or nothing when it was cancelled.
    virtual std::optional<std::wstring> Choose(const Request& request) = 0;

  private:
    void Show(bool save);

    std::wstring filter_;
    std::wstring defaultExtension_;
    std::wstring fileName_;
    std::wstring lastChoice_;
};

// Keeps a file exactly as it was written for as long as it lives: no other
// process can write, rename or delete it meanwhile.
class FileHold {
  public:
    virtual ~FileHold() = default;
};

// Whether WriteTextLine keeps the file held once it is written.
enum class AfterWriting { Release, Hold };

// What kept WriteTextLine from replacing the file, when the system tells.
enum class FileObstacle {
    None,
    InUse,     // another program has it open without sharing deletion, or it is being deleted
    ReadOnly,  // it has the read-only attribute
};

// Outcome of WriteTextLine.
struct TextFileResult {
    bool representable = true;  // false: the text has characters the code page lacks
    ErrorCode error = kSuccess;
    FileObstacle obstacle = FileObstacle::None;  // with an error, what stood in the way
    // The file reopened to be held was not the one just written, or no longer
    // held its bytes: someone replaced or changed it in between.
    bool changedAfterWriting = false;
    std::unique_ptr<FileHold> hold;  // when asked for and the file is as written
    bool ok() const { return representable && error == kSuccess && !changedAfterWriting; }

    static TextFileResult Unrepresentable() {
        TextFileResult result;
        result.representable = false;
        return result;
    }
    static TextFileResult Failed(ErrorCode error, FileObstacle obstacle = FileObstacle::None) {
        TextFileResult result;
        result.error = error;
        result.obstacle = obstacle;
        return result;
    }
};

// Outcome of ShellOpen.
struct ShellOpenOutcome {
    // Why the shell could not open the file; kErrorCancelled when the user
    // declined the elevation prompt of the program that would open it.
    ErrorCode error = kSuccess;
    // Set when the program that would open the file lies in this program's
    // folder or the current folder, where it may have been planted; nothing
    // was started then.
    std::wstring refusedProgram;
};

class ShellServices {
  public:
    virtual ~ShellServices() = default;
    // The shell's "open" action on the file, owned by the main window, shown
    // normally. Returns once the shell has started what opens it.
    virtual ShellOpenOutcome ShellOpen(const std::wstring& fullPath) = 0;
    // Starts the system's command interpreter with this command line in a normal
    // window with focus, and returns without waiting for it. A hold, which must
    // come from this same service's WriteTextLine, lasts until the interpreter
    // has exited, even when this program ends first.
    virtual ErrorCode RunCommand(const std::wstring& commandLine,
                                 std::unique_ptr<FileHold> hold = nullptr) = 0;
    // The folder that holds the program, without a trailing backslash.
    virtual std::wstring ProgramFolder() = 0;
    // Creates the file anew, in place of any file or link of that name, and
    // writes the line in the OEM code page (the one the command interpreter
    // reads batch files in) followed by CR LF. Nothing is written when the line
    // cannot be represented in that code page.
    virtual TextFileResult WriteTextLine(const std::wstring& path, const std::wstring& line,
                                         AfterWriting after = AfterWriting::Release) = 0;
    // Creates or replaces the file with exactly these bytes.
    virtual ErrorCode SaveFile(const std::wstring& path,
                               const std::vector<std::uint8_t>& bytes) = 0;
    // The system's own description of an error code, without a trailing line break.
    virtual std::wstring ErrorText(ErrorCode error) = 0;
    virtual void CloseMainWindow() = 0;
};

// The Win32 OPENFILENAME filter form: pairs separated and ended by NULs.
std::wstring FilterToDoubleNulList(const std::wstring& filter);

// The last path component, after the last backslash or slash.
std::wstring FileNameWithoutFolder(const std::wstring& path);

}  // namespace torvane
