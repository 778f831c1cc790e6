#pragma once

#include <string>

// Where this process stands: its own exe and its current folder.
namespace torvane {

// The full path of the running exe.
std::wstring OwnExePath();
// The process's current folder, as Windows gives it.
std::wstring CurrentFolder();

// Puts the process's current folder back when it goes out of scope. The open
// dialog moves the current folder as the user browses (OFN_NOCHANGEDIR only
// restrains the save dialog), and every later relative search (a program named
// without a folder, say) would start from wherever the user last looked.
class CurrentFolderKeeper {
  public:
    CurrentFolderKeeper() : saved_(CurrentFolder()) {}
    ~CurrentFolderKeeper();
    CurrentFolderKeeper(const CurrentFolderKeeper&) = delete;
    CurrentFolderKeeper& operator=(const CurrentFolderKeeper&) = delete;

  private:
    std::wstring saved_;
};

}  // namespace torvane
