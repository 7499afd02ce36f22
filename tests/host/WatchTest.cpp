// The watchdog with change notifications: a quiet tick reads nothing, a
// signalled store is read alone, and a store or program folder without a
// watch is looked at on every tick.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>
#include <vector>
#include <memory>
#include <string>

#include "support/TestWorld.h"
#include "monitor/Monitor.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

// Watches whose signals the test raises; paths in `refused` get no watch.
class FakeWatcher : public IChangeWatcher {
public:
    struct Flag : IChangeWatch {
        explicit Flag(bool& signalled) : signalled(signalled) {}
        bool Changed() override { return std::exchange(signalled, false); }
        bool& signalled;
    };
    std::unique_ptr<IChangeWatch> WatchKey(Hive, const std::string& path) override { return Watch(path); }
    std::unique_ptr<IChangeWatch> WatchFolder(const std::string& path) override { return Watch(path); }
    std::unique_ptr<IChangeWatch> Watch(const std::string& path) {
        if (refused.count(path) != 0) return nullptr;
        return std::make_unique<Flag>(signals[path]);
    }
    std::map<std::string, bool> signals;
    std::set<std::string> refused;
};

struct CountingSink : IAlertSink {
    void RaiseAlert(const AlertEntry& entry) override { names.push_back(entry.name); }
    std::vector<std::string> names;
};

class WatchTest : public ::testing::Test {
protected:
    void Run(const std::string& name, const std::string& command) {
        w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, name, command);
    }
    TestWorld w;
    FakeWatcher watcher;
    CountingSink sink;
    Monitor monitor{w.platform, w.fileInfo, w.texts, w.list, sink, &watcher};
};

TEST_F(WatchTest, OnlySignalledStoresAreReadAndAQuietTickReadsNothing) {
    w.AddProgram("C:\\Tools\\app.exe");
    Run("Known", "C:\\Tools\\app.exe");
    w.list.LoadRegistryInfo();
    monitor.Tick();
    EXPECT_EQ(monitor.StoresRead(), 20u);
    EXPECT_TRUE(sink.names.empty());

    monitor.Tick();
    EXPECT_EQ(monitor.StoresRead(), 0u);
    // Written without a signal: unseen until the store's watch fires.
    Run("New", "C:\\Tools\\app.exe");
    EXPECT_FALSE(monitor.Tick().alert);
    watcher.signals[TestWorld::kUserRun] = true;
    EXPECT_TRUE(monitor.Tick().alert);
    EXPECT_EQ(monitor.StoresRead(), 1u);
    EXPECT_EQ(sink.names, std::vector<std::string>{"New"});
}

TEST_F(WatchTest, StoresAndProgramFoldersWithoutAWatchAreLookedAtEveryTick) {
    watcher.refused.insert(TestWorld::kUserRun);
    watcher.refused.insert("C:\\Later");
    Run("Waits", "C:\\Later\\tool.exe");
    w.SetRunValue(Hive::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Elsewhere",
                  "C:\\Tools\\app.exe");
    w.list.LoadRegistryInfo();
    monitor.Tick();
    monitor.Tick();
    EXPECT_EQ(monitor.StoresRead(), 2u);  // the unwatched Run key of either hive

    // A program appearing changes its row's Process Path, which the monitor
    // compares: in a watched folder it is seen when the folder signals, in
    // an unwatched one on the next tick.
    w.AddProgram("C:\\Tools\\app.exe");
    EXPECT_FALSE(monitor.Tick().alert);
    watcher.signals["C:\\Tools"] = true;
    TickReport report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->name, "Elsewhere");

    w.AddProgram("C:\\Later\\tool.exe");
    report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->name, "Waits");
}

}  // namespace
