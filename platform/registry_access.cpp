#include "platform/registry_access.h"

namespace torvane {

std::wstring RootName(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return L"HKEY_CURRENT_USER";
        case RegistryRoot::LocalMachine:
            return L"HKEY_LOCAL_MACHINE";
        case RegistryRoot::Users:
            return L"HKEY_USERS";
    }
    return L"";
}

}  // namespace torvane
