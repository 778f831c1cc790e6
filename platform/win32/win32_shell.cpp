#include "platform/win32/win32_shell.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/code_pages.h"
#include "platform/numeric_text.h"
#include "platform/win32/process_paths.h"
#include "platform/win32/unique_handles.h"

namespace torvane {

namespace {

// The length of an environment entry's name: up to its first '=', which a
// name may begin with (as the per-drive folders "=C:" do).
int NameLength(const wchar_t* entry) {
    const wchar_t* const equals = *entry ? wcschr(entry + 1, L'=') : nullptr;
    return static_cast<int>(equals ? equals - entry : wcslen(entry));
}

// The current environment with these "name=value" settings, sorted by name, in
// place of any entries of the same names whatever their case. Windows keeps an
// environment block sorted by name without regard to case, so each setting
// goes in at its place in that order.
std::vector<wchar_t> EnvironmentWith(const wchar_t* const* settings, int count) {
    std::vector<wchar_t> block;
    int placed = 0;
    wchar_t* const current = GetEnvironmentStringsW();
    for (const wchar_t* entry = current ? current : L"";; entry += wcslen(entry) + 1) {
        const int nameLength = NameLength(entry);
        bool replaced = false;
        for (int i = 0; i < count; ++i) {
            const int order =
                CompareStringOrdinal(entry, nameLength, settings[i], NameLength(settings[i]), TRUE);
            replaced = replaced || order == CSTR_EQUAL;
            if (i == placed && (!*entry || order == CSTR_GREATER_THAN)) {
                block.insert(block.end(), settings[i], settings[i] + wcslen(settings[i]) + 1);
                ++placed;
            }
        }
        if (!*entry) break;
        if (!replaced) block.insert(block.end(), entry, entry + wcslen(entry) + 1);
    }
    if (current) FreeEnvironmentStringsW(current);
    block.push_back(L'\0');
    return block;
}

// A file opened to read and shared for reading only.
class HeldFile : public FileHold {
  public:
    explicit HeldFile(UniqueHandle file) : file_(std::move(file)) {}
    HANDLE handle() const { return file_.get(); }

  private:
    UniqueHandle file_;
};

// A scanner or a sync client opens a new file for a moment.
constexpr ULONGLONG kBusyFileWaitMs = 1000;

// Why the file could not be removed or created anew, as far as Windows tells.
// Another handle without delete sharing makes a sharing violation. Access
// denied has three causes: the read-only attribute; a deletion still pending
// while some handle keeps the file open, which makes every CreateFileW of it
// fail with access denied, even one for its attributes alone that a reader of
// the folder can otherwise always make; and the rights on the file or folder
// (https://learn.microsoft.com/windows/win32/api/fileapi/nf-fileapi-deletefilew,
// https://learn.microsoft.com/windows/win32/api/fileapi/nf-fileapi-createfilew).
FileObstacle ObstacleAt(const std::wstring& path, DWORD error) {
    if (error == ERROR_SHARING_VIOLATION) return FileObstacle::InUse;
    if (error != ERROR_ACCESS_DENIED) return FileObstacle::None;
    UniqueHandle file(
        CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_ACCESS_DENIED ? FileObstacle::InUse : FileObstacle::None;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information)) return FileObstacle::None;
    const DWORD attributes = information.dwFileAttributes;
    return (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
               ? FileObstacle::ReadOnly
               : FileObstacle::None;
}

TextFileResult FailedAt(const std::wstring& path, DWORD error) {
    return TextFileResult::Failed(error, ObstacleAt(path, error));
}

bool IdentityOf(HANDLE file, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file, &information)) return false;
    identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh,
                information.nFileIndexLow};
    return true;
}

}  // namespace

std::optional<std::string> ToCodePage(const std::wstring& text, unsigned codePage) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    const bool plain = TakesNoConversionFlags(codePage);
    const DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultFlag = plain ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr,
                                         usedDefaultFlag);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(codePage, flags, text.data(), length, bytes.data(), size, nullptr,
                            usedDefaultFlag) != size ||
        usedDefault) {
        return std::nullopt;
    }
    // Whatever the code page, a character without an exact form there (a
    // look-alike, a default character, a replaced lone surrogate) does not
    // come back as it went in.
    const int wide = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring roundTrip(static_cast<size_t>(wide > 0 ? wide : 0), L'\0');
    if (wide <= 0 ||
        MultiByteToWideChar(codePage, 0, bytes.data(), size, roundTrip.data(), wide) != wide ||
        roundTrip != text) {
        return std::nullopt;
    }
    return bytes;
}

ErrorCode Win32Shell::RunCommand(const std::wstring& commandLine, std::unique_ptr<FileHold> hold) {
    // Name the interpreter by its full path in the system folder, so that no
    // program planted along the search path can stand in for it.
    wchar_t systemFolder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return GetLastError();
    // The batch line names regedit without a folder, and the interpreter looks
    // in its current folder first: start it in the Windows folder, never in
    // ours (a Downloads folder, typically), and tell it not to look there.
    // Its search path is the system folders alone, so that no folder the
    // user's PATH adds can offer a regedit of its own.
    wchar_t windowsFolder[MAX_PATH];
    const UINT windowsLength = GetSystemWindowsDirectoryW(windowsFolder, MAX_PATH);
    if (windowsLength == 0 || windowsLength >= MAX_PATH) return GetLastError();
    wchar_t searchPath[2 * MAX_PATH + 8] = L"PATH=";
    wcscat(wcscat(wcscat(searchPath, systemFolder), L";"), windowsFolder);
    const wchar_t* const settings[] = {L"NoDefaultCurrentDirectoryInExePath=1", searchPath};
    std::vector<wchar_t> environment = EnvironmentWith(settings, 2);
    wchar_t interpreter[MAX_PATH + 16];
    wcscat(wcscpy(interpreter, systemFolder), L"\\cmd.exe");

    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(interpreter, mutableLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED,
                        environment.data(), windowsFolder, &startup, &process)) {
        return GetLastError();
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    // The interpreter opens a batch file again for every line it runs, so a
    // hold must last until it has exited, not just until its first read. A
    // copy of the handle in the interpreter's own process lasts exactly that
    // long, even past the end of this program; it is made before the
    // interpreter runs at all. Holds come from this shell's WriteTextLine.
    HANDLE copy = nullptr;
    if ((hold && !DuplicateHandle(GetCurrentProcess(), static_cast<HeldFile&>(*hold).handle(),
                                  process.hProcess, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) ||
        ResumeThread(process.hThread) == static_cast<DWORD>(-1)) {
        const ErrorCode error = GetLastError();
        TerminateProcess(process.hProcess, error);
        return error;
    }
    // Not waited for: the export runs on in its own window.
    return kSuccess;
}

std::wstring Win32Shell::ProgramFolder() {
    const std::wstring exe = OwnExePath();
    return exe.substr(0, exe.find_last_of(L'\\'));
}

TextFileResult HoldIfUnchanged(const std::wstring& path, const FileIdentity& written,
                               const std::string& bytes) {
    // A link put in the file's place is opened itself, not followed, so that
    // its own identity shows: held through a link, the file would stay put
    // while the link could be swapped.
    UniqueHandle file;
    for (const ULONGLONG start = GetTickCount64();;) {
        file.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (file.get() != INVALID_HANDLE_VALUE) break;
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION || GetTickCount64() - start >= kBusyFileWaitMs)
            return TextFileResult::Failed(error);
        Sleep(20);
    }
    FileIdentity found;
    if (!IdentityOf(file.get(), found)) return TextFileResult::Failed(GetLastError());
    // Compared a piece at a time, so that anything changed, cut or added shows.
    bool same = found == written;
    for (size_t offset = 0; same;) {
        char piece[4096];
        DWORD read = 0;
        if (!ReadFile(file.get(), piece, sizeof piece, &read, nullptr))
            return TextFileResult::Failed(GetLastError());
        if (read == 0) {
            same = offset == bytes.size();
            break;
        }
        same = read <= bytes.size() - offset && memcmp(piece, bytes.data() + offset, read) == 0;
        offset += read;
    }
    TextFileResult result;
    if (!same) {
        result.changedAfterWriting = true;
        return result;
    }
    result.hold = std::make_unique<HeldFile>(std::move(file));
    return result;
}

TextFileResult Win32Shell::WriteTextLine(const std::wstring& path, const std::wstring& line,
                                         AfterWriting after) {
    auto bytes = ToCodePage(line, GetOEMCP());
    if (!bytes) return TextFileResult::Unrepresentable();
    *bytes += "\r\n";
    // Whatever has the name now, a file or a link planted there, is removed
    // rather than written through: DeleteFileW removes a link itself, never
    // its target. CREATE_NEW then fails instead of following anything put
    // back in between.
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return FailedAt(path, GetLastError());
    // Deleted while another handle shares deletion, the file keeps its name
    // until that handle is closed.
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return FailedAt(path, GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &written,
                   nullptr)) {
        return TextFileResult::Failed(GetLastError());
    }
    if (written != bytes->size()) return TextFileResult::Failed(ERROR_WRITE_FAULT);
    if (after == AfterWriting::Release) return {};
    FileIdentity identity;
    if (!IdentityOf(file.get(), identity)) return TextFileResult::Failed(GetLastError());
    // The write handle shares nothing; the hold shares reading only, so the
    // interpreter can read the file and no one else can change it. Between
    // the two, another process could have replaced it: hence the check.
    file.reset();
    return HoldIfUnchanged(path, identity, *bytes);
}

ErrorCode Win32Shell::SaveFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return GetLastError();
    if (written != bytes.size()) return ERROR_WRITE_FAULT;
    return kSuccess;
}

std::wstring Win32Shell::ErrorText(ErrorCode error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::unique_ptr<wchar_t, LocalFreer> owned(buffer);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) text = L"错误代码 " + DecimalText(error);
    return text;
}

void Win32Shell::CloseMainWindow() {
    if (owner_.handle) DestroyWindow(owner_.handle);
}

}  // namespace torvane
