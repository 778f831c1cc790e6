#include "platform/win32/com_apartment.h"

#include <windows.h>

#include <objbase.h>

#include "platform/win32/system_library.h"

namespace torvane {

void EnsureComApartment() {
    // Left joined until the process ends; the apartment is the thread's for good.
    static const bool joined = [] {
        using CoInitializeExFunction = HRESULT(WINAPI*)(void*, DWORD);
        const auto initialize =
            SystemFunction<CoInitializeExFunction>(L"ole32.dll", "CoInitializeEx");
        return initialize &&
               SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }();
    (void)joined;
}

}  // namespace torvane
