#pragma once

#include <string>

namespace torvane {

// Puts the process's current folder back when it goes out of scope. The open
// dialog moves the current folder as the user browses (OFN_NOCHANGEDIR only
// restrains the save dialog), and every later relative search (a program named
// without a folder, say) would start from wherever the user last looked.
class CurrentFolderKeeper {
  public:
    CurrentFolderKeeper();
    ~CurrentFolderKeeper();
    CurrentFolderKeeper(const CurrentFolderKeeper&) = delete;
    CurrentFolderKeeper& operator=(const CurrentFolderKeeper&) = delete;

  private:
    std::wstring saved_;
};

}  // namespace torvane
