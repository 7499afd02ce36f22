// Measures what the program pays for one full load of the main list and for
// one monitor tick, with 100 and 1,000 entries in the current user's Run key
// of the machine it runs on (a Wine prefix, normally). Not a test: it prints
// figures. It removes every value it wrote. bench/run runs it with the rest.
//
//   scripts/wine-run build/windows/bench/tick_benchmark.exe [rounds]

#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "catalogue/Loaders.h"
#include "catalogue/MainList.h"
#include "catalogue/RegistryAccess.h"
#include "language/Ini.h"
#include "language/Texts.h"
#include "monitor/Monitor.h"
#include "monitor/ScanList.h"
#include "platform/win32/ReadAheadRegistry.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32ChangeWatcher.h"
#include "platform/win32/Win32Platform.h"

using namespace dovoviza;

namespace {

constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class CountingSink : public IAlertSink {
public:
    void RaiseAlert(const AlertEntry&) override { ++alerts; }
    int alerts = 0;
};

std::string ValueName(int i) { return "dovoviza-bench-" + std::to_string(i); }

// Half the entries start a program that exists (with a version resource and
// an icon), half one that does not.
std::string Command(const std::string& systemFolder, int i) {
    return i % 2 == 0 ? "\"" + systemFolder + "\\notepad.exe\" /arg" + std::to_string(i)
                      : "C:\\missing\\tool" + std::to_string(i) + ".exe -x";
}

double PrivateMegabytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return -1;
    // Wine leaves PrivateUsage at zero; the commit charge is the same figure.
    const SIZE_T bytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

template <typename Action>
double MillisecondsPer(int rounds, Action action) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) action();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::milli>(elapsed).count() / rounds;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    win32::ComInitializer com;
    win32::Win32Platform os;
    // As the program runs: the stores' values read ahead by a thread of their own.
    win32::ReadAheadRegistry readAhead(os.registry);
    for (const StoreKeyName& key : RegistryStoreKeys()) readAhead.Keep(key.hive, key.path);
    if (!readAhead.Start()) std::fprintf(stderr, "the read-ahead thread did not start\n");
    const Platform platform{readAhead, os.files, os.shell, os.versions, os.system};
    FileInfoClass fileInfo(os.versions, &os.files);
    LanguageTexts texts(os.files, os.system, LanguageFilePath(os.system.ProgramFolder(), "English"));
    win32::ShellIconList icons(IconSize::Small);
    const StartupFolderPaths folders = ResolveStartupFolders(os.shell);
    MainList list(platform, fileInfo, texts, icons, folders);
    CountingSink sink;
    Monitor monitor(platform, fileInfo, texts, list, sink);
    win32::Win32ChangeWatcher watcher;
    Monitor watching(platform, fileInfo, texts, list, sink, &watcher);

    std::printf("entries  cold load (ms)  full load (ms)  unwatched tick (ms)  scan (ms)  idle tick (ms)  tick after one new value (ms)  rounds\n");
    int written = 0;
    for (const int count : {100, 1000}) {
        for (; written < count; ++written) {
            if (!WriteRegString(os.registry, Hive::CurrentUser, kRun, ValueName(written),
                                Command(os.system.SystemFolder(), written))) {
                std::fprintf(stderr, "could not write %s\n", ValueName(written).c_str());
                return 1;
            }
        }
        // Cold: nothing remembered, every version resource read and icon taken.
        const double cold = MillisecondsPer(rounds, [&] {
            FileInfoClass freshInfo(os.versions, &os.files);
            win32::ShellIconList freshIcons(IconSize::Small);
            MainList fresh(os.platform, freshInfo, texts, freshIcons, folders);
            fresh.LoadRegistryInfo();
        });
        list.LoadRegistryInfo();
        monitor.Tick();  // settles the reference
        const double load = MillisecondsPer(rounds, [&] { list.LoadRegistryInfo(); });
        const double tick = MillisecondsPer(rounds, [&] { monitor.Tick(); });
        const double scan =
            MillisecondsPer(rounds, [&] { LoadCheckInfo(platform, fileInfo, folders, texts); });
        watching.Tick();  // sets the watches and reads every store once
        const double idle = MillisecondsPer(rounds * 20, [&] { watching.Tick(); });
        // One value added and removed again: two ticks, each reading one store
        // (the removal's tick gives the list its scan for the count). A tick
        // comes up to two seconds after a write; the read-ahead thread is
        // given a moment, as it has in the running program.
        double afterNew = 0;
        for (int round = 0; round < rounds; ++round) {
            const std::string name = "dovoviza-bench-new-" + std::to_string(round);
            WriteRegString(os.registry, Hive::CurrentUser, kRun, name, Command(os.system.SystemFolder(), 0));
            Sleep(500);
            afterNew += MillisecondsPer(1, [&] { watching.Tick(); });
            DeleteRegValue(os.registry, Hive::CurrentUser, kRun, name);
            Sleep(500);
            afterNew += MillisecondsPer(1, [&] { watching.Tick(); });
        }
        afterNew /= 2 * rounds;
        std::printf("%7zu  %14.1f  %14.1f  %19.1f  %9.1f  %14.3f  %29.1f  %6d\n", list.RowCount(), cold,
                    load, tick, scan, idle, afterNew, rounds);
        if (count == 100) {
            // Memory over 10,000 watched ticks, a value added or removed on every tenth.
            const double startMb = PrivateMegabytes();
            double highest = startMb;
            for (int tick = 1; tick <= 10000; ++tick) {
                if (tick % 10 == 0) {
                    const std::string name = "dovoviza-bench-churn";
                    if (tick % 20 == 0) {
                        WriteRegString(os.registry, Hive::CurrentUser, kRun, name, Command(os.system.SystemFolder(), 1));
                    } else {
                        DeleteRegValue(os.registry, Hive::CurrentUser, kRun, name);
                    }
                }
                watching.Tick();
                if (tick % 1000 == 0) highest = std::max(highest, PrivateMegabytes());
            }
            DeleteRegValue(os.registry, Hive::CurrentUser, kRun, "dovoviza-bench-churn");
            std::printf("private bytes over 10,000 ticks at %zu entries: %.2f MB at the start, %.2f MB at the end, "
                        "%.2f MB at most\n", list.RowCount(), startMb, PrivateMegabytes(), highest);
        }
    }
    for (int i = 0; i < written; ++i) DeleteRegValue(os.registry, Hive::CurrentUser, kRun, ValueName(i));
    std::printf("alerts raised for the added values: %d\n", sink.alerts);
    return 0;
}
