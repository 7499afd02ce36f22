// The watchdog with the real change notifications of the prefix: what a quiet
// tick skips must still be seen when it changes.

#include <windows.h>

#include "WinTest.h"
#include "catalogue/EntryStore.h"
#include "catalogue/Loaders.h"
#include "monitor/Monitor.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32ChangeWatcher.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"
#include "support/FakeTexts.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace wintest;

namespace {

// The real watcher, except that it sets no watch on registry keys.
struct NoKeyWatches : IChangeWatcher {
    std::unique_ptr<IChangeWatch> WatchKey(Hive, const std::string&) override { return nullptr; }
    std::unique_ptr<IChangeWatch> WatchFolder(const std::string& path) override { return real.WatchFolder(path); }
    void Poll() override { real.Poll(); }
    Win32ChangeWatcher real;
};

struct Names : IAlertSink {
    void RaiseAlert(const AlertEntry& entry) override { seen.push_back(entry.name); }
    std::vector<std::string> seen;
};

class WatchedMonitor : public PrefixTest {
protected:
    // Ticks until the condition holds; each tick is what the timer would do.
    bool TickUntil(Monitor& monitor, const std::function<bool()>& done) {
        return WaitUntil([&] {
            monitor.Tick();
            return done();
        });
    }
    const StartupItem* Row(const std::string& name) {
        for (const StartupItem& row : list.Rows()) {
            if (row.Name() == name) return &row;
        }
        return nullptr;
    }

    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
    Win32VersionReader versions;
    Win32System system;
    Platform platform{registry, files, shell, versions, system};
    test::FakeTexts texts;
    FileInfoClass fileInfo{versions, &files};
    ShellIconList icons{IconSize::Small};
    MainList list{platform, fileInfo, texts, icons, ResolveStartupFolders(shell)};
    Names alerts;
};

TEST_F(WatchedMonitor, PollKeepsAChangeMadeBeforeItAndQuietsTheRest) {
    Win32ChangeWatcher watcher;
    const auto run = watcher.WatchKey(Hive::CurrentUser, Narrow(kRun));
    const auto other = watcher.WatchKey(Hive::CurrentUser, Narrow(kScratchKey));
    ASSERT_TRUE(run && other);
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("poll")), L"x.exe"));
    watcher.Poll();
    EXPECT_TRUE(run->Changed());
    EXPECT_FALSE(other->Changed());
    watcher.Poll();
    EXPECT_FALSE(run->Changed());
}

TEST_F(WatchedMonitor, StoreWithoutAWatchIsReadEveryTickAndItsNewEntryAlerted) {
    NoKeyWatches watcher;
    Monitor monitor(platform, fileInfo, texts, list, alerts, &watcher);
    list.LoadRegistryInfo();
    monitor.Tick();
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("unwatched")), L"C:\\nowhere\\x.exe"));
    const TickReport report = monitor.Tick();  // no signal can come: the store is read anyway
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(Named("unwatched"), report.alert->name);
}

TEST_F(WatchedMonitor, ProgramThatAppearsAfterStartFillsItsRow) {
    const std::string program = Scratch("later.exe");
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("later")), Wide("\"" + program + "\" /x")));
    Win32ChangeWatcher watcher;
    Monitor monitor(platform, fileInfo, texts, list, alerts, &watcher);
    list.LoadRegistryInfo();
    monitor.Tick();
    ASSERT_TRUE(Row(Named("later")) && !Row(Named("later"))->programFound);
    EXPECT_EQ(0u, monitor.Tick().enforcements.size());
    EXPECT_EQ(0u, monitor.StoresRead());  // quiet: nothing read

    ASSERT_TRUE(CopyFileW(Wide(FixturePath("fixture_complete")).c_str(), Wide(program).c_str(), TRUE));
    EXPECT_TRUE(TickUntil(monitor, [&] {
        const StartupItem* row = Row(Named("later"));
        return row && row->programFound && row->columns[kColProcessPath] == program;
    }));
}

TEST_F(WatchedMonitor, CopyWrittenBackBesideANewEntryIsPutOutAgainAndTheEntryStaysDisabled) {
    const std::wstring name = Wide(Named("zwatch")), command = L"C:\\nowhere\\z.exe /q";
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, name, command));
    Win32ChangeWatcher watcher;
    Monitor monitor(platform, fileInfo, texts, list, alerts, &watcher);
    list.LoadRegistryInfo();
    ASSERT_EQ(MoveResult::Moved, MoveEntry(platform, list.Folders(), StoreOf(*Row(Named("zwatch")))));
    list.LoadRegistryInfo();
    monitor.Tick();

    // Written back, and a new value that comes before it in the store.
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, name, command));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kRun, Wide(Named("awatch")), L"C:\\nowhere\\a.exe"));
    const TickReport report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(Named("awatch"), report.alert->name);
    for (int tick = 0; tick < 3; ++tick) monitor.Tick();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetRaw(HKEY_CURRENT_USER, kRun, name).status);
    const Raw parked = GetRaw(HKEY_CURRENT_USER, kRunDisabled, name);
    EXPECT_EQ(REG_SZ, parked.type);
    EXPECT_EQ(Bytes(command), parked.data);
    list.LoadRegistryInfo();
    int rows = 0;
    for (const StartupItem& row : list.Rows()) rows += row.Name() == Named("zwatch") ? 1 : 0;
    EXPECT_EQ(1, rows);
    ASSERT_TRUE(Row(Named("zwatch")));
    EXPECT_TRUE(Row(Named("zwatch"))->IsDisabled());
}

}  // namespace
