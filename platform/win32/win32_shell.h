#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/dialog_services.h"
#include "platform/win32/owner_window.h"

namespace torvane {

class Win32Shell : public ShellServices {
  public:
    explicit Win32Shell(const OwnerWindow& owner) : owner_(owner) {}
    ShellOpenOutcome ShellOpen(const std::wstring& fullPath) override;
    ErrorCode RunCommand(const std::wstring& commandLine,
                         std::unique_ptr<FileHold> hold = nullptr) override;
    std::wstring ProgramFolder() override;
    TextFileResult WriteTextLine(const std::wstring& path, const std::wstring& line,
                                 AfterWriting after = AfterWriting::Release) override;
    ErrorCode SaveFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
    std::wstring ErrorText(ErrorCode error) override;
    void CloseMainWindow() override;

  private:
    const OwnerWindow& owner_;
};

// The text in the code page, or nothing when a character has no exact form
// there (best-fit look-alikes such as a plain quote for a curly one are refused).
std::optional<std::string> ToCodePage(const std::wstring& text, unsigned codePage);

// What tells one file from another on this computer: its volume's serial
// number and its file index (the BY_HANDLE_FILE_INFORMATION members).
struct FileIdentity {
    DWORD volumeSerial = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Opens the file at the path to read, shared for reading only, so that no one
// can write, rename or delete it while the returned hold lives, and checks that
// it is still the file written (the identity) holding exactly these bytes. On
// any difference nothing is held and changedAfterWriting is set. While another
// handle is in the way, the open is tried again for up to a second; a file that
// cannot be opened gives the system's error.
TextFileResult HoldIfUnchanged(const std::wstring& path, const FileIdentity& written,
                               const std::string& bytes);

}  // namespace torvane
