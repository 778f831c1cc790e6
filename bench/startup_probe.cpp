// Starts a program N times and measures, for each start, the time from
// CreateProcess to its main window being visible and ready (for ours: the task
// list filled), and its private memory once it is up. Prints the medians, and
// the start-up's quartiles.
// Usage: startup_probe RUNS EXE WINDOW_CLASS LIST_ITEMS [EXE WINDOW_CLASS LIST_ITEMS]...
// (LIST_ITEMS 0: the visible window is enough)
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Start {
    double milliseconds = -1;
    double privateKiB = -1;
};

struct Search {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

HWND FindMainWindow(DWORD process, const wchar_t* className) {
    Search search{process, className, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (owner == s->process && IsWindowVisible(window) &&
                std::wcscmp(name, s->className) == 0) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Ready(HWND window, int listItems) {
    if (listItems <= 0) return true;
    HWND list = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
    return list && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == listItems;
}

Start MeasureOnce(const std::wstring& exe, const wchar_t* className, int listItems) {
    LARGE_INTEGER frequency, begin, now;
    QueryPerformanceFrequency(&frequency);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    Start result;
    OutputDebugStringW(L"startup_probe: CreateProcess");
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return result;
    }
    HWND window = nullptr;
    bool seen = false;
    for (int i = 0; i < 20000; ++i) {
        window = FindMainWindow(process.dwProcessId, className);
        if (window && !seen) {
            seen = true;
            // Marks in Wine's trace (WINEDEBUG=+timestamp,+debugstr) for the
            // start-up's breakdown; nothing is printed without that channel.
            OutputDebugStringW(L"startup_probe: window visible");
        }
        if (window && Ready(window, listItems)) break;
        window = nullptr;
        Sleep(1);
    }
    QueryPerformanceCounter(&now);
    if (window) OutputDebugStringW(L"startup_probe: ready");
    if (window) {
        result.milliseconds =
            1000.0 * static_cast<double>(now.QuadPart - begin.QuadPart) / frequency.QuadPart;
        Sleep(300);  // let start-up settle before reading the memory
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(process.hProcess,
                                 reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                 sizeof memory)) {
            // Wine leaves PrivateUsage at 0; its commit charge is the same figure.
            const SIZE_T privateBytes =
                memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
            result.privateKiB = static_cast<double>(privateBytes) / 1024.0;
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

// The value below which the given share of the runs lies, between the nearest
// two runs; -1 when no run succeeded.
double Quantile(std::vector<double> values, double share) {
    values.erase(std::remove(values.begin(), values.end(), -1.0), values.end());
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const double position = share * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(position);
    if (below + 1 >= values.size()) return values.back();
    const double above = position - static_cast<double>(below);
    return values[below] * (1 - above) + values[below + 1] * above;
}

double Median(const std::vector<double>& values) {
    return Quantile(values, 0.5);
}

}  // namespace

// Runs alternate between the programs so that drift in the machine's load
// affects them alike.
int wmain(int argc, wchar_t** argv) {
    if (argc < 5 || (argc - 2) % 3 != 0) {
        std::fprintf(
            stderr, "usage: startup_probe RUNS EXE WINDOW_CLASS LIST_ITEMS [EXE CLASS ITEMS]...\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    struct Target {
        const wchar_t* exe;
        const wchar_t* className;
        int listItems;
        std::vector<double> times, memory;
    };
    std::vector<Target> targets;
    for (int i = 2; i + 2 < argc; i += 3)
        targets.push_back({argv[i], argv[i + 1], _wtoi(argv[i + 2]), {}, {}});
    for (Target& target : targets)
        MeasureOnce(target.exe, target.className, target.listItems);  // warm-up
    for (int run = 0; run < runs; ++run) {
        for (Target& target : targets) {
            const Start start = MeasureOnce(target.exe, target.className, target.listItems);
            target.times.push_back(start.milliseconds);
            target.memory.push_back(start.privateKiB);
        }
    }
    int status = 0;
    for (const Target& target : targets) {
        // Median start-up, median memory, then the start-up's quartiles.
        std::printf("%.1f %.0f %.1f %.1f\n", Median(target.times), Median(target.memory),
                    Quantile(target.times, 0.25), Quantile(target.times, 0.75));
        if (Median(target.times) < 0) status = 1;
    }
    return status;
}
