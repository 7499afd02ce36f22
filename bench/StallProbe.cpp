// Drives the real program from outside and prints what a user would feel:
// time to a visible window and to a full list, the longest time the window
// took to answer a message during the load and during F5, and how long a new
// Run value waits for its alert. Between F5 and the new value it prints
// "idle" and sits still for the given seconds, so that bench/run can read the
// program's CPU time from the Unix side. Not a test: it prints figures. It
// writes its entries into the current user's Run key and removes them again.
//
//   stall_probe.exe PROGRAM ENTRIES IDLE_SECONDS

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/WindowIds.h"
#include "monitor/frmAlert.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr const wchar_t* kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

double Since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::wstring ValueName(int i) { return L"dovoviza-probe-" + std::to_wstring(i); }

bool SetRun(HKEY run, const std::wstring& name, const std::wstring& command) {
    return RegSetValueExW(run, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

struct Search {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    if (process == search.process && GetClassNameW(window, name, 64) &&
        lstrcmpW(name, search.className) == 0 && IsWindowVisible(window)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Find(DWORD process, const wchar_t* className) {
    Search search{process, className, nullptr};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Asks the window for its row count and notes how long the answer took.
struct Pinger {
    HWND list = nullptr;
    double longest = 0;
    long Rows() {
        const auto start = Clock::now();
        DWORD_PTR rows = 0;
        if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 30000, &rows)) return -1;
        const double took = Since(start);
        if (took > longest) longest = took;
        return static_cast<long>(rows);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: stall_probe PROGRAM ENTRIES IDLE_SECONDS\n");
        return 2;
    }
    const std::wstring program(argv[1], argv[1] + std::strlen(argv[1]));
    const int entries = std::atoi(argv[2]);
    const int idleSeconds = std::atoi(argv[3]);

    HKEY run = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRun, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE,
                        nullptr, &run, nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot open the Run key\n");
        return 1;
    }
    DWORD before = 0;
    RegQueryInfoKeyW(run, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &before, nullptr,
                     nullptr, nullptr, nullptr);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    // Half the entries start a program that exists, half one that does not.
    for (int i = 0; i < entries; ++i) {
        const std::wstring command = i % 2 == 0 ? L"\"" + std::wstring(system) + L"\\notepad.exe\" /" + std::to_wstring(i)
                                                : L"C:\\missing\\tool" + std::to_wstring(i) + L".exe -x";
        if (!SetRun(run, ValueName(i), command)) {
            std::fprintf(stderr, "could not write entry %d\n", i);
            return 1;
        }
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + program + L"\"";
    const auto started = Clock::now();
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start the program\n");
        return 1;
    }
    int rc = 0;
    HWND main = nullptr;
    const auto deadline = [&](double ms) { return Since(started) > ms; };
    while (!(main = Find(process.dwProcessId, dovoviza::ids::kMainClass)) && !deadline(60000)) Sleep(1);
    const double windowShown = Since(started);
    Pinger ping;
    ping.list = main ? GetDlgItem(main, dovoviza::ids::kList) : nullptr;
    const long expected = static_cast<long>(before) + entries;
    while (ping.list && ping.Rows() < expected && !deadline(120000)) Sleep(5);
    const double rowsShown = Since(started);
    const double startStall = ping.longest;

    // F5, then the window is pinged until it has answered for a second.
    ping.longest = 0;
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(dovoviza::ids::kCmdRefresh, 0), 0);
    const auto refreshed = Clock::now();
    while (ping.list && Since(refreshed) < 3000) {
        ping.Rows();
        Sleep(5);
    }
    const double refreshStall = ping.longest;

    std::printf("idle\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(idleSeconds) * 1000);

    const auto written = Clock::now();
    SetRun(run, L"dovoviza-probe-new", L"C:\\missing\\new.exe");
    while (!Find(process.dwProcessId, dovoviza::ids::kAlertClass) && Since(written) < 20000) Sleep(5);
    const double alert = Since(written);

    if (!main || ping.list == nullptr) rc = 1;
    std::printf("entries %d: window %.0f ms, all rows %.0f ms, longest stall at start %.0f ms, "
                "on F5 %.0f ms, alert %.0f ms after the write\n",
                entries, windowShown, rowsShown, startStall, refreshStall, alert);

    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    RegDeleteValueW(run, L"dovoviza-probe-new");
    for (int i = 0; i < entries; ++i) RegDeleteValueW(run, ValueName(i).c_str());
    RegCloseKey(run);
    return rc;
}
