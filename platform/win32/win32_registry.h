#pragma once

#include "platform/registry_access.h"

namespace torvane {

// The real registry through the wide advapi32 functions.
class Win32Registry : public RegistryAccess {
  public:
    OpenedKey CreateKey(RegistryRoot root, const std::wstring& path) override;
    OpenedKey OpenKey(RegistryRoot root, const std::wstring& path) override;
    ReadResult ReadValue(RegistryRoot root, const std::wstring& path,
                         const std::wstring& name) override;
};

}  // namespace torvane
