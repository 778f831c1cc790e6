#pragma once

#include <optional>
#include <string>

#include "platform/dialog_services.h"
#include "platform/win32/owner_window.h"

namespace torvane {

class Win32Shell : public ShellServices {
  public:
    explicit Win32Shell(const OwnerWindow& owner) : owner_(owner) {}
    ShellOpenOutcome ShellOpen(const std::wstring& fullPath) override;
    ErrorCode RunCommand(const std::wstring& commandLine) override;
    std::wstring ProgramFolder() override;
    TextFileResult WriteTextLine(const std::wstring& path, const std::wstring& line) override;
    ErrorCode SaveFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) override;
    std::wstring ErrorText(ErrorCode error) override;
    void CloseMainWindow() override;

  private:
    const OwnerWindow& owner_;
};

// The text in the code page, or nothing when a character has no exact form
// there (best-fit look-alikes such as a plain quote for a curly one are refused).
std::optional<std::string> ToCodePage(const std::wstring& text, unsigned codePage);

}  // namespace torvane
