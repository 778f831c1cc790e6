#pragma once

#include <windows.h>

#include <unknwn.h>

#include <memory>
#include <type_traits>

// Owners for raw Win32 handles: each closes its handle exactly once.
namespace torvane {

struct HkeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueHkey = std::unique_ptr<std::remove_pointer_t<HKEY>, HkeyCloser>;

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueHfont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueHbitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

}  // namespace torvane

namespace torvane {

struct ComReleaser {
    void operator()(IUnknown* object) const {
        if (object) object->Release();
    }
};
// A COM interface pointer that is released exactly once.
template <typename T>
using UniqueCom = std::unique_ptr<T, ComReleaser>;

}  // namespace torvane
