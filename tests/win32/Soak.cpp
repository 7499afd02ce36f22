#include <windows.h>

#include "Soak.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/Loaders.h"
#include "monitor/Monitor.h"
#include "operations/ItemOperations.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32ChangeWatcher.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"
#include "platform/win32/WideText.h"
#include "support/FakeTexts.h"

using namespace dovoviza;

namespace soak {
namespace {

using Bytes = std::vector<std::uint8_t>;

const wchar_t* const kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const kParked = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
const wchar_t* const kOnce = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr int kEntries = 12;
constexpr int kForeign = 24;
constexpr std::size_t kMostDeletes = 4;

struct Raw {
    DWORD type = REG_NONE;
    Bytes data;
    bool operator==(const Raw&) const = default;
};

std::wstring Tracked(int i) { return L"dovoviza-test-soak-" + std::to_wstring(i); }
std::wstring Foreign(int i) { return L"dovoviza-test-new-" + std::to_wstring(i); }

Bytes Utf16(const std::wstring& text) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(text.c_str());
    return Bytes(first, first + (text.size() + 1) * sizeof(wchar_t));
}

// The registry as another program sees it, without the program's own layer.
std::optional<Raw> Get(const wchar_t* key, const std::wstring& name) {
    DWORD type = 0, size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                     nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    Raw raw{type, Bytes(size)};
    if (RegGetValueW(HKEY_CURRENT_USER, key, name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                     size ? raw.data.data() : nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    raw.data.resize(size);
    return raw;
}

bool Set(const wchar_t* key, const std::wstring& name, const Raw& raw) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, key, name.c_str(), raw.type, raw.data.data(),
                           static_cast<DWORD>(raw.data.size())) == ERROR_SUCCESS;
}

void Remove(const wchar_t* key, const std::wstring& name) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name.c_str());
}

void RemoveAll() {
    for (const wchar_t* key : {kRun, kParked, kOnce}) {
        for (int i = 0; i < kForeign; ++i) {
            Remove(key, Tracked(i));
            Remove(key, Foreign(i));
        }
    }
}

// Each tracked entry has a type and bytes of its own.
Raw Original(int i) {
    const std::wstring n = std::to_wstring(i);
    switch (i % 3) {
        case 0: return {REG_SZ, Utf16(L"\"C:\\nowhere\\soak" + n + L".exe\" /n" + n)};
        case 1: return {REG_EXPAND_SZ, Utf16(L"%SystemRoot%\\soak" + n + L".exe")};
        default: return {REG_BINARY, {static_cast<std::uint8_t>(i), 0xFF, 0x00, 0x83}};
    }
}

class Sink : public IAlertSink {
public:
    void RaiseAlert(const AlertEntry&) override {}  // the user allows every newcomer
};

class YesPrompt : public IPrompt {
public:
    int Show(const std::string&, const std::string&, int) override { return kAnswerYes; }
};

// The other program: every few milliseconds one change of the stores.
class Writer {
public:
    Writer(std::mutex& lock, const std::set<int>& deleted) : lock_(lock), deleted_(deleted) {
        thread_ = std::thread([this] { Loop(); });
    }
    ~Writer() { Stop(); }
    std::size_t Stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return writes_;
    }

private:
    void Loop() {
        std::mt19937 random(7);
        while (!stop_) {
            const int pick = static_cast<int>(random() % kForeign);
            switch (random() % 4) {
                case 0:  // a newcomer, or a new command for one
                    Set(kRun, Foreign(pick), {REG_SZ, Utf16(L"C:\\x" + std::to_wstring(random()) + L".exe")});
                    break;
                case 1: {  // a disabled entry written back as it was
                    const std::lock_guard<std::mutex> hold(lock_);
                    const int i = pick % kEntries;
                    if (deleted_.count(i) == 0) {
                        if (const auto parked = Get(kParked, Tracked(i))) Set(kRun, Tracked(i), *parked);
                    }
                    break;
                }
                case 2:  // a store key deleted and made again
                    RegDeleteTreeW(HKEY_CURRENT_USER, kOnce);
                    Set(kOnce, Foreign(pick), {REG_SZ, Utf16(L"C:\\once.exe")});
                    break;
                default:
                    Remove(kRun, Foreign(pick));
            }
            ++writes_;
            std::this_thread::sleep_for(std::chrono::milliseconds(2 + random() % 8));
        }
    }

    std::mutex& lock_;
    const std::set<int>& deleted_;
    std::atomic<bool> stop_{false};
    std::size_t writes_ = 0;
    std::thread thread_;
};

// Every row of a name in the list.
std::vector<std::size_t> RowsOf(const MainList& list, const std::string& name) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < list.Rows().size(); ++i) {
        if (list.Rows()[i].storedName == name) rows.push_back(i);
    }
    return rows;
}

}  // namespace

Figures Run(std::size_t operations, double seconds) {
    RemoveAll();
    for (int i = 0; i < kEntries; ++i) Set(kRun, Tracked(i), Original(i));

    win32::Win32Registry registry;
    win32::Win32FileSystem files;
    win32::Win32Shell shell;
    win32::Win32VersionReader versions;
    win32::Win32System system;
    const Platform platform{registry, files, shell, versions, system};
    test::FakeTexts texts;
    FileInfoClass fileInfo(versions, &files);
    win32::ShellIconList icons(IconSize::Small);
    MainList list(platform, fileInfo, texts, icons, ResolveStartupFolders(shell));
    win32::Win32ChangeWatcher watcher;
    Sink sink;
    YesPrompt prompt;
    Monitor monitor(platform, fileInfo, texts, list, sink, &watcher);
    const OperationContext context{platform, texts, prompt, list};
    list.LoadRegistryInfo();

    Figures figures;
    std::mutex lock;
    std::set<int> deleted;
    std::mt19937 random(11);
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    const auto tick = [&] {
        const TickReport report = monitor.Tick();
        ++figures.ticks;
        figures.nestedTicks += report.skipped == TickSkip::TickRunning ? 1 : 0;
        figures.alerts += report.alert ? 1 : 0;
        for (const Enforcement& e : report.enforcements) figures.enforcements += e.done ? 1 : 0;
        return report;
    };
    {
        Writer writer(lock, deleted);
        while (figures.operations < operations || elapsed() < seconds) {
            tick();
            const int i = static_cast<int>(random() % kEntries);
            if (deleted.count(i) != 0) continue;
            const auto rows = RowsOf(list, win32::Narrow(Tracked(i)));
            if (rows.size() != 1) continue;  // not listed yet, or listed twice until the next tick
            list.Select(rows.front());
            if (random() % 50 == 0 && deleted.size() < kMostDeletes) {
                {
                    const std::lock_guard<std::mutex> hold(lock);
                    deleted.insert(i);
                }
                DeleteSelected(context);
            } else if (list.Rows()[rows.front()].IsDisabled()) {
                EnableSelected(context);
            } else {
                DisableSelected(context);
            }
            ++figures.operations;
        }
        figures.writes = writer.Stop();
    }
    // The writer has stopped: a few quiet ticks put out what it left.
    for (int quiet = 0, guard = 0; quiet < 3 && guard < 200; ++guard) {
        const TickReport report = tick();
        quiet = report.enforcements.empty() && !report.alert ? quiet + 1 : 0;
    }
    figures.seconds = elapsed();

    list.LoadRegistryInfo();
    for (int i = 0; i < kEntries; ++i) {
        const auto live = Get(kRun, Tracked(i));
        const auto parked = Get(kParked, Tracked(i));
        for (const auto& copy : {live, parked}) figures.changed += copy && !(*copy == Original(i)) ? 1 : 0;
        const std::size_t copies = (live ? 1 : 0) + (parked ? 1 : 0);
        if (deleted.count(i) == 0) {
            figures.lost += copies == 0 ? 1 : 0;
            figures.doubled += copies == 2 ? 1 : 0;
        }
        const auto rows = RowsOf(list, win32::Narrow(Tracked(i)));
        bool matches = rows.size() == copies;
        for (const std::size_t row : rows) {
            matches = matches && list.Rows()[row].IsDisabled() == (parked && !live);
        }
        figures.rowMismatches += matches ? 0 : 1;
    }
    RemoveAll();
    return figures;
}

}  // namespace soak
