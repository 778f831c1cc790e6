#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/dialog_services.h"
#include "platform/elevation.h"

// Scriptable stand-ins for the dialogs and the shell. Every request is recorded
// in order in one log, and every answer comes from a script the test sets up;
// a request without a scripted answer is a test failure, never a silent default.
namespace torvane {

struct UiEvent {
    std::wstring kind;   // "MessageBox", "InputBox", "ShowOpen", "ShowSave", "ShellOpen",
                         // "RunCommand", "WriteTextLine", "CloseMainWindow", "RestartElevated"
    std::wstring text;   // prompt, dialog name, path or command line
    std::wstring title;  // title, the dialog's filter, "hold" on a WriteTextLine asked to hold
                         // the file, or on RunCommand the path of the file held for it
    std::wstring extra;  // input box default, the line written, or a file dialog's initial name
    int buttons = -1;    // message box buttons
    std::wstring extension = L"";  // a file dialog's default extension
    bool operator==(const UiEvent&) const = default;
};
std::ostream& operator<<(std::ostream& out, const UiEvent& event);

// UTF-8 of a UTF-16 text, for readable test output.
std::string ToUtf8(const std::wstring& text);

UiEvent MessageBoxEvent(const std::wstring& prompt, int buttons, const std::wstring& title);
UiEvent InputBoxEvent(const std::wstring& prompt, const std::wstring& title,
                      const std::wstring& defaultText = L"");

class UnscriptedRequest : public std::exception {
  public:
    explicit UnscriptedRequest(const char* what) : what_(what) {}
    const char* what() const noexcept override { return what_; }

  private:
    const char* what_;
};

class FakeFileDialog : public FileDialog {
  public:
    FakeFileDialog(std::wstring name, std::vector<UiEvent>& log)
        : name_(std::move(name)), log_(log) {}
    std::deque<std::wstring> answers;  // a full path, or "" for Cancel

  protected:
    std::optional<std::wstring> Choose(const Request& request) override;

  private:
    std::wstring name_;
    std::vector<UiEvent>& log_;
};

class FakeUi : public DialogServices, public ShellServices, public Elevation {
  public:
    FakeUi();

    int ShowMessageBox(const std::wstring& prompt, int buttons, const std::wstring& title) override;
    std::optional<std::wstring> ShowInputBox(const std::wstring& prompt, const std::wstring& title,
                                             const std::wstring& defaultText) override;
    int MessageBoxLineCapacity() override { return messageBoxLineCapacity; }
    ShellOpenOutcome ShellOpen(const std::wstring& fullPath) override;
    ErrorCode RunCommand(const std::wstring& commandLine,
                         std::unique_ptr<FileHold> hold = nullptr) override;
    std::wstring ProgramFolder() override { return programFolder; }
    TextFileResult WriteTextLine(const std::wstring& path, const std::wstring& line,
                                 AfterWriting after = AfterWriting::Release) override;
    ErrorCode SaveFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
    std::wstring ErrorText(ErrorCode error) override;
    void CloseMainWindow() override;
    ElevationState State() override { return elevationState; }
    ErrorCode RestartElevated() override;

    std::vector<UiEvent> log;
    FakeFileDialog commonDialog1;
    FakeFileDialog commonDialog2;
    FakeFileDialog exportDialog;  // the third, of exported changes
    std::deque<int> messageBoxAnswers;
    std::deque<std::optional<std::wstring>> inputBoxAnswers;  // nothing stands for Cancel
    int messageBoxLineCapacity = 1000;  // more than any question takes, unless a test says less

    std::wstring programFolder = L"C:\\Torvane";
    std::map<std::wstring, std::string> files;  // path → bytes, as written
    ErrorCode writeError = kSuccess;            // the next writes and saves fail with this
    // The cause that the next WriteTextLine calls failing with writeError give.
    FileObstacle writeObstacle = FileObstacle::None;
    bool changedAfterWriting = false;  // the next writes asked to hold find the file changed
    std::map<std::wstring, std::vector<std::uint8_t>> savedFiles;  // path → bytes, by SaveFile
    ErrorCode runCommandError = kSuccess;  // the next launches fail with this
    std::wstring plantedOpener;  // when set, ShellOpen refuses: this program would open files
    ErrorCode shellOpenError = kSuccess;  // what the next ShellOpen calls fail with
    bool mainWindowClosed = false;
    ElevationState elevationState = ElevationState::StandardUser;
    ErrorCode restartResult = kSuccess;  // what RestartElevated answers

    // Runs while each message box or input box is up, as a user clicking
    // elsewhere in the window would.
    std::function<void()> whileDialogShows;
    // Asked at every message box; its answers are kept in openKeysAtMessageBox.
    std::function<int()> openKeyCount;
    std::vector<int> openKeysAtMessageBox;
};

// Text in the OEM code page of a Chinese system (936), or nothing when the text
// holds a character that code page lacks. No best-fit substitutes.
std::optional<std::string> EncodeCodePage936(const std::wstring& text);

}  // namespace torvane
