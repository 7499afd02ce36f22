// The watchdog's tick: new entries and their alert, disabled entries kept
// disabled without losing the last copy, and change watches that spare reads.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <utility>

#include "OperationsTestBench.h"
#include "catalogue/RegistryAccess.h"
#include "monitor/Monitor.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;

struct Sink : IAlertSink {
    void RaiseAlert(const AlertEntry& entry) override {
        names.push_back(entry.name);
        last = entry;
        if (onAlert) onAlert();
    }
    Texts names;
    AlertEntry last;
    std::function<void()> onAlert;
};

// Watches whose signals the test raises; paths in `refused` get none.
struct FakeWatcher : IChangeWatcher {
    using Watch = std::unique_ptr<IChangeWatch>;
    struct Flag : IChangeWatch {
        explicit Flag(bool& on) : on(on) {}
        bool Changed() override { return std::exchange(on, false); }
        bool& on;
    };
    Watch WatchKey(Hive, const std::string& key) override { return WatchFolder(key); }
    Watch WatchFolder(const std::string& path) override {
        return refused.count(path) ? nullptr : std::make_unique<Flag>(signals[path]);
    }
    std::map<std::string, bool> signals;
    std::set<std::string> refused;
};

// "Delete  Nag done" or "Move Back failed": what a tick did to live copies.
Texts Enforced(const TickReport& report) {
    Texts done;
    for (const Enforcement& e : report.enforcements) {
        done.push_back((e.action == Enforcement::Action::DeleteLiveCopy ? "Delete " : "Move ") +
                       e.live.storedName + (e.done ? " done" : " failed"));
    }
    return done;
}

// Entries as "Name=command" in the user's Run key, "HKLM:Name=command" in the
// machine's; a "!" after them puts them in the disabled key.
Texts Rows(const MainList& list) {
    Texts rows;
    for (const StartupItem& row : list.Rows()) {
        rows.push_back((row.location->hive == Hive::LocalMachine ? "HKLM:" : "") + row.storedName +
                       "=" + row.Value() + (row.IsDisabled() ? "!" : ""));
    }
    return rows;
}

// A main list whose loads call `icons.hook` at each icon not taken before, as
// a message handled meanwhile would, and two watchdogs on it.
struct Watchdog {
    Watchdog() {
        for (const char* program : {"C:\\a.exe", "C:\\b.exe"}) w.AddProgram(program);
    }
    // Writes entries given as Rows shows them; "-Name" (or "-Name!") deletes one.
    void Apply(const Texts& changes) {
        for (std::string change : changes) {
            const bool parked = change.back() == '!', machine = change.rfind("HKLM:", 0) == 0;
            if (parked) change.pop_back();
            if (machine) change.erase(0, 5);
            const Hive hive = machine ? Hive::LocalMachine : Hive::CurrentUser;
            const std::string& key = parked ? kRunDisabledKey : kRunKey;
            const std::size_t eq = change.find('=');
            if (eq == std::string::npos) {
                DeleteRegValue(w.registry, hive, key, change.substr(1));
            } else {
                w.SetRunValue(hive, key, change.substr(0, eq), change.substr(eq + 1));
            }
        }
    }

    OpsWorld w;
    Sink sink;
    HookedIconList icons;
    MainList list{w.platform, w.fileInfo, w.texts, icons, w.folders};
    Monitor monitor{w.platform, w.fileInfo, w.texts, list, sink};
    FakeWatcher watcher;
    Monitor watched{w.platform, w.fileInfo, w.texts, list, sink, &watcher};
};

class MonitorTest : public ::testing::Test, public Watchdog {};

const char* const kFresh = "Fresh=C:\\fresh.exe";  // a program whose icon no load took yet

TEST(Monitor, NewEntriesAlertOncePerTickAndDisabledOnesStayDisabledWithoutLosingACopy) {
    const struct {
        const char* what;
        Texts before, after, then, enforced, alerts, stores;
    } cases[] = {
        {"removed, and others in other letter case, beyond ASCII too",
         {"Жук=C:\\a.exe /q", "Gone=C:\\b.exe"}, {"-Жук", "ЖУК=c:\\A.EXE /Q", "-Gone"}, {}, {}, {},
         {"ЖУК=c:\\A.EXE /Q"}},
        // The machine's key is read after the user's, whatever was written first;
        // the list takes in the others, and one is gone again by the next tick.
        {"one alert per tick", {}, {"HKLM:M=C:\\b.exe", kFresh, "Brief=C:\\b.exe"}, {"-Brief"},
         {}, {"Fresh"}, {kFresh, "HKLM:M=C:\\b.exe"}},
        // Its row comes before M's, which must not be taken for it.
        {"a new disabled entry", {"HKLM:M=C:\\a.exe"}, {"P=C:\\a.exe!"}, {}, {}, {"P"},
         {"P=C:\\a.exe!", "HKLM:M=C:\\a.exe"}},
        // Written back beside the disabled copy (found by its exact name), the
        // live copy is deleted; moved back by another tool, the last copy is
        // moved, never deleted.
        {"written or moved back", {" Nag=C:\\a.exe!", "Back=C:\\a.exe!"},
         {" Nag=C:\\a.exe", "-Back!", "Back=C:\\a.exe"}, {}, {"Delete  Nag done", "Move Back done"},
         {}, {" Nag=C:\\a.exe!", "Back=C:\\a.exe!"}},
        // A new entry before them: the list takes in the scan before they are
        // looked at and shows them enabled.
        {"written back in the tick of a new entry", {"Back=C:\\a.exe!", "Nag=C:\\b.exe!"},
         {kFresh, "-Back!", "Back=C:\\a.exe", "Nag=C:\\b.exe"}, {},
         {"Move Back done", "Delete Nag done"}, {"Fresh"},
         {kFresh, "Nag=C:\\b.exe!", "Back=C:\\a.exe!"}},
        {"moved back in the tick of a new entry", {"Back=C:\\a.exe!"}, {kFresh, "-Back!", "Back=C:\\a.exe"},
         {}, {"Move Back done"}, {"Fresh"}, {kFresh, "Back=C:\\a.exe!"}},
        // Both's live twin comes first in load order, yet its disabled copy
        // decides; Late's arrives after the load.
        {"a live twin", {"Both=C:\\b.exe", "Both=C:\\b.exe!", "Late=C:\\a.exe"},
         {"Late=C:\\a.exe!"}, {}, {"Delete Both done", "Delete Late done"}, {},
         {"Both=C:\\b.exe!", "Late=C:\\a.exe!"}},
        {"another command beside a disabled entry", {"Twin=C:\\a.exe /a!"}, {"Twin=C:\\a.exe /b"},
         {}, {}, {"Twin"}, {"Twin=C:\\a.exe /b", "Twin=C:\\a.exe /a!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Watchdog d;
        d.Apply(c.before);
        d.list.LoadRegistryInfo();
        d.Apply(c.after);
        EXPECT_EQ(Enforced(d.monitor.Tick()), c.enforced);
        d.Apply(c.then);
        EXPECT_EQ(Enforced(d.monitor.Tick()), Texts{});
        EXPECT_EQ(d.sink.names, c.alerts);
        EXPECT_EQ(Rows(d.list), c.stores);  // what is stored, without a reload
        d.list.LoadRegistryInfo();
        EXPECT_EQ(Rows(d.list), c.stores);
    }
}

TEST_F(MonitorTest, TheAlertComesLastAndNoTickRunsNestedOrDuringALoadOrStopsTheNext) {
    Apply({"Stuck=C:\\a.exe!"});
    list.LoadRegistryInfo();
    // A refused change is tried again on the next tick, though no store changed.
    Apply({"Stuck=C:\\a.exe"});
    w.registry.Fail(RegFault::Delete, Hive::CurrentUser, kRunKey);
    EXPECT_EQ(Enforced(monitor.Tick()), Texts{"Delete Stuck failed"});
    w.registry.ClearFailures();
    EXPECT_EQ(Enforced(monitor.Tick()), Texts{"Delete Stuck done"});

    // The alert comes once the list took the entry in, and names it as
    // scanned. A tick re-entered from its window (a nested message loop), or
    // from a message handled while the list loads, does nothing.
    std::vector<TickSkip> skipped;
    sink.onAlert = [&] {
        EXPECT_EQ(list.RowCount(), 2u);
        skipped.push_back(monitor.Tick().skipped);
    };
    Apply({"  First=\"C:\\Missing\\first.exe\" -x"});
    monitor.Tick();
    EXPECT_EQ(sink.last.value + "|" + sink.last.path + "|" + sink.last.storedName,
              "\"C:\\Missing\\first.exe\" -x|File not found|  First");
    icons.hook = [&] {
        skipped.push_back(monitor.Tick().skipped);
        EXPECT_FALSE(list.LoadRegistryInfo());
    };
    w.AddProgram("C:\\second.exe");
    Apply({"Second=C:\\second.exe"});
    list.LoadRegistryInfo();
    EXPECT_EQ(skipped, (std::vector<TickSkip>{TickSkip::TickRunning, TickSkip::Processing}));

    // An alert window that failed to open, or a load that failed halfway,
    // ends its tick, not the watchdog.
    sink.onAlert = icons.hook = [] { throw std::runtime_error("failed"); };
    Apply({"Third=C:\\a.exe"});
    EXPECT_THROW(monitor.Tick(), std::runtime_error);
    w.AddProgram("C:\\fourth.exe");
    Apply({"Fourth=C:\\fourth.exe"});
    EXPECT_THROW(list.LoadRegistryInfo(), std::runtime_error);
    EXPECT_FALSE(list.LoadPending());  // dropped, not tried again at every step
    sink.onAlert = icons.hook = nullptr;
    Apply({"Fifth=C:\\a.exe"});
    monitor.Tick();
    EXPECT_EQ(sink.names, (Texts{"First", "Third", "Fifth"}));
}

TEST_F(MonitorTest, WithWatchesATickReadsOnlyTheStoresThatSignalledOrHaveNoWatch) {
    Apply({"Soon=C:\\Soon\\tool.exe!", "Later=C:\\Later\\tool.exe!"});
    list.LoadRegistryInfo();
    watched.Tick();
    EXPECT_EQ(watched.StoresRead(), 20u);
    // Written without a signal: unseen until the store's watch fires.
    Apply({"New=C:\\a.exe"});
    watched.Tick();
    EXPECT_EQ(watched.StoresRead(), 0u);
    watcher.signals[kRunKey] = true;
    watched.Tick();
    EXPECT_EQ(watched.StoresRead(), 1u);
    EXPECT_EQ(sink.names, Texts{"New"});

    watcher.refused = {kRunKey, "C:\\Later"};
    Monitor unwatched(w.platform, w.fileInfo, w.texts, list, sink, &watcher);
    unwatched.Tick();
    unwatched.Tick();
    EXPECT_EQ(unwatched.StoresRead(), 2u);  // the Run key of either hive
    // A program that appears changes its row: seen once a watched folder
    // signals, and on the next tick in another.
    w.AddProgram("C:\\Soon\\tool.exe");
    unwatched.Tick();
    EXPECT_EQ(sink.names, Texts{"New"});
    watcher.signals["C:\\Soon"] = true;
    unwatched.Tick();
    w.AddProgram("C:\\Later\\tool.exe");
    unwatched.Tick();
    EXPECT_EQ(sink.names, (Texts{"New", "Soon", "Later"}));
}

}  // namespace
