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
#include "platform/win32/ReadAheadRegistry.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32ChangeWatcher.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WideText.h"
#include "support/FakeTexts.h"

using namespace dovoviza;

namespace soak {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

const wchar_t* const kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const kParked = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
const wchar_t* const kOnce = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr int kEntries = 12, kForeign = 24;
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
    Raw raw{REG_NONE, Bytes(4096)};
    DWORD size = 4096;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &raw.type,
                     raw.data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    raw.data.resize(size);
    return raw;
}

void Set(const wchar_t* key, const std::wstring& name, const Raw& raw) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key, name.c_str(), raw.type, raw.data.data(), DWORD(raw.data.size()));
}

void RemoveAll() {
    for (const wchar_t* key : {kRun, kParked, kOnce}) {
        for (int i = 0; i < kForeign; ++i) {
            for (const std::wstring& name : {Tracked(i), Foreign(i)}) {
                RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name.c_str());
            }
        }
    }
}

// Each tracked entry has a type and bytes of its own.
Raw Original(int i) {
    const std::wstring n = std::to_wstring(i);
    if (i % 3 == 0) return {REG_SZ, Utf16(L"\"C:\\nowhere\\soak" + n + L".exe\" /n" + n)};
    if (i % 3 == 1) return {REG_EXPAND_SZ, Utf16(L"%SystemRoot%\\soak" + n + L".exe")};
    return {REG_BINARY, {static_cast<std::uint8_t>(i), 0xFF, 0x00, 0x83}};
}

struct Quiet : IAlertSink, IPrompt {
    void RaiseAlert(const AlertEntry&) override {}  // the user allows every newcomer
    int Show(const std::string&, const std::string&, int) override { return kAnswerYes; }
};

// The other program: every few milliseconds one change of the stores, until told to stop.
std::size_t Write(const std::atomic<bool>& stop, std::mutex& lock, const std::set<int>& deleted) {
    std::mt19937 random(7);
    std::size_t writes = 0;
    for (; !stop; ++writes) {
        const int pick = static_cast<int>(random() % kForeign);
        switch (random() % 4) {
            case 0:  // a newcomer, or a new command for one
                Set(kRun, Foreign(pick), {REG_SZ, Utf16(L"C:\\x" + std::to_wstring(random()) + L".exe")});
                break;
            case 1: {  // a disabled entry written back as it was
                const std::lock_guard<std::mutex> hold(lock);
                if (deleted.count(pick % kEntries) != 0) break;
                if (const auto parked = Get(kParked, Tracked(pick % kEntries))) Set(kRun, Tracked(pick % kEntries), *parked);
                break;
            }
            case 2:  // a store key deleted and made again
                RegDeleteTreeW(HKEY_CURRENT_USER, kOnce);
                Set(kOnce, Foreign(pick), {REG_SZ, Utf16(L"C:\\once.exe")});
                break;
            default: RegDeleteKeyValueW(HKEY_CURRENT_USER, kRun, Foreign(pick).c_str());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + random() % 8));
    }
    return writes;
}

std::vector<std::size_t> RowsOf(const MainList& list, const std::wstring& name) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < list.Rows().size(); ++i) {
        if (list.Rows()[i].storedName == win32::Narrow(name)) rows.push_back(i);
    }
    return rows;
}

}  // namespace

Figures Run(std::size_t operations, double seconds) {
    RemoveAll();
    for (int i = 0; i < kEntries; ++i) Set(kRun, Tracked(i), Original(i));
    win32::Win32Platform os;
    // As the program runs: the stores read ahead while the writer races.
    win32::ReadAheadRegistry readAhead(os.registry);
    for (const StoreKeyName& key : RegistryStoreKeys()) readAhead.Keep(key.hive, key.path);
    if (!readAhead.Start()) return Figures{};
    const Platform platform{readAhead, os.files, os.shell, os.versions, os.system};
    test::FakeTexts texts;
    FileInfoClass fileInfo(os.versions, &os.files);
    win32::ShellIconList icons(IconSize::Small);
    MainList list(platform, fileInfo, texts, icons, ResolveStartupFolders(os.shell));
    win32::Win32ChangeWatcher watcher;
    Quiet quiet;
    Monitor monitor(platform, fileInfo, texts, list, quiet, &watcher);
    const OperationContext context{platform, texts, quiet, list};
    list.LoadRegistryInfo();

    Figures f;
    std::mutex lock;
    std::set<int> deleted;
    std::mt19937 random(11);
    const auto start = Clock::now();
    const auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    const auto tick = [&] {
        const TickReport report = monitor.Tick();
        ++f.ticks;
        f.nestedTicks += report.skipped == TickSkip::TickRunning ? 1 : 0;
        f.alerts += report.alert ? 1 : 0;
        for (const Enforcement& e : report.enforcements) f.enforcements += e.done ? 1 : 0;
        return report.enforcements.empty() && !report.alert;
    };
    std::atomic<bool> stop{false};
    std::thread writer([&] { f.writes = Write(stop, lock, deleted); });
    while (f.operations < operations || elapsed() < seconds) {
        tick();
        const int i = static_cast<int>(random() % kEntries);
        const auto rows = RowsOf(list, Tracked(i));
        // Not listed yet, or listed twice until the next tick; or gone for good.
        if (rows.size() != 1 || deleted.count(i) != 0) continue;
        list.Select(rows.front());
        if (random() % 50 == 0 && deleted.size() < kMostDeletes) {
            lock.lock();
            deleted.insert(i);
            lock.unlock();
            DeleteSelected(context);
        } else {
            list.Rows()[rows.front()].IsDisabled() ? EnableSelected(context) : DisableSelected(context);
        }
        ++f.operations;
    }
    stop = true;
    writer.join();
    // The writer has stopped: a few quiet ticks put out what it left.
    for (int calm = 0, guard = 0; calm < 3 && guard < 200; ++guard) calm = tick() ? calm + 1 : 0;
    f.seconds = elapsed();

    list.LoadRegistryInfo();
    for (int i = 0; i < kEntries; ++i) {
        const auto live = Get(kRun, Tracked(i)), parked = Get(kParked, Tracked(i));
        for (const auto& copy : {live, parked}) f.changed += copy && !(*copy == Original(i)) ? 1 : 0;
        const std::size_t copies = (live ? 1 : 0) + (parked ? 1 : 0);
        if (deleted.count(i) == 0) {
            f.lost += copies == 0 ? 1 : 0;
            f.doubled += copies == 2 ? 1 : 0;
        }
        const auto rows = RowsOf(list, Tracked(i));
        bool matches = rows.size() == copies;
        for (const std::size_t row : rows) matches = matches && list.Rows()[row].IsDisabled() == (parked && !live);
        f.rowMismatches += matches ? 0 : 1;
    }
    RemoveAll();
    return f;
}

}  // namespace soak
