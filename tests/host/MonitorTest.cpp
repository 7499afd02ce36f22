// The monitor's tick: the scan of every store, new entries and their alert,
// and disabled entries kept disabled without losing the last copy.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "OperationsTestBench.h"
#include "catalogue/RegistryAccess.h"
#include "monitor/Monitor.h"
#include "platform/Text.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;

constexpr const char* kApp = "C:\\Tools\\app.exe";
constexpr const char* kOther = "C:\\Tools\\other.exe";

class RecordingSink : public IAlertSink {
public:
    void RaiseAlert(const AlertEntry& entry) override {
        alerts.push_back(entry);
        if (onAlert) onAlert(entry);
    }
    std::vector<AlertEntry> alerts;
    std::function<void(const AlertEntry&)> onAlert;
};

// "Delete  Nag done" or "Move Back failed": what a tick did to live copies.
Texts Enforced(const TickReport& report) {
    Texts done;
    for (const Enforcement& e : report.enforcements) {
        done.push_back(
            std::string(e.action == Enforcement::Action::DeleteLiveCopy ? "Delete " : "Move ") +
            e.live.storedName + (e.live.disabledStore ? " (disabled store)" : "") +
            (e.done ? " done" : " failed"));
    }
    return done;
}

std::string Fields(const AlertEntry& a) {
    return a.name + "|" + a.value + "|" + std::string(a.Section()) + "|" + a.path + "|" + a.storedName;
}

class MonitorTest : public ::testing::Test {
protected:
    MonitorTest() {
        w.AddProgram(kApp);
        w.AddProgram(kOther);
    }
    void Run(const std::string& name, const std::string& command, bool parked = false) {
        w.SetRunValue(Hive::CurrentUser, parked ? kRunDisabledKey : kRunKey, name, command);
    }
    void Unrun(const std::string& name, bool parked = false) {
        ASSERT_TRUE(DeleteRegValue(w.registry, Hive::CurrentUser, parked ? kRunDisabledKey : kRunKey, name));
    }
    static Texts Listed(const MainList& list) {
        Texts rows;
        for (const auto& row : list.Rows()) rows.push_back(row.Name() + "|" + row.Status());
        return rows;
    }
    Texts Listed() { return Listed(w.list); }
    void ExpectQuietTick() {
        const TickReport report = monitor.Tick();
        EXPECT_EQ(report.skipped, TickSkip::None);
        EXPECT_FALSE(report.alert);
        EXPECT_EQ(Enforced(report), Texts{});
        EXPECT_FALSE(report.reloadedForNewEntry || report.reloadedForCount);
    }

    OpsWorld w;
    RecordingSink sink;
    Monitor monitor{w.platform, w.fileInfo, w.texts, w.list, sink};
};

TEST_F(MonitorTest, ScanListReadsEveryStoreInOrderAndKnowsWhichStoreARowCameFrom) {
    w.SetRunValue(Hive::LocalMachine, kRunKey, "Machine", kApp);
    Run("Parked", "C:\\gone.exe -x", true);
    Run("Live", kApp);
    w.AddShortcut(w.folders.userDisabled, "Short.lnk", kOther);
    auto render = [](const std::vector<StartupItem>& scan) {
        Texts rows;
        for (const StartupItem& r : scan) {
            rows.push_back(r.Name() + "|" + r.Value() + "|" + std::string(r.location->section) +
                           "|" + r.Status() + "|" + r.columns[kColProcessPath] + "|" +
                           r.columns[kColFileSize] + (r.disabled ? "|parked" : "|live"));
        }
        return rows;
    };
    const std::string shortcut = w.folders.user + "\\Short.lnk";
    EXPECT_EQ(render(LoadCheckInfo(w.platform, w.fileInfo, w.folders, w.texts)),
              (Texts{"Live|C:\\Tools\\app.exe|Registry -> User Run||C:\\Tools\\app.exe||live",
                     "Parked|C:\\gone.exe -x|Registry -> User Run|Disabled|File not found||parked",
                     "Machine|C:\\Tools\\app.exe|Registry -> Machine Run||C:\\Tools\\app.exe||live",
                     "Short.lnk|" + shortcut + "|Startup Folder -> User|Disabled|" + kOther + "||parked"}));
    EXPECT_TRUE(w.icons.requests.empty());

    // A language file without a status word cannot hide the store.
    w.texts.Set("Main", "37", "");
    const auto bare = LoadCheckInfo(w.platform, w.fileInfo, w.folders, w.texts);
    ASSERT_EQ(bare.size(), 4u);
    EXPECT_TRUE(bare[1].disabled && bare[3].disabled);
}

TEST_F(MonitorTest, KnownEntriesAndLetterCaseOnlyChangesAreQuiet) {
    Run("Жук", kApp);
    Run("Plain", std::string(kOther) + " /quiet");
    w.AddShortcut(w.folders.user, "Short.lnk", kApp);
    w.list.LoadRegistryInfo();
    ExpectQuietTick();

    // Name, command and program path in other letter case, beyond ASCII too.
    Unrun("Жук");
    Unrun("Plain");
    Run("ЖУК", "c:\\tools\\APP.EXE");
    Run("pLAIN", "C:\\TOOLS\\OTHER.exe /QUIET");
    ExpectQuietTick();

    Run("pLAIN", std::string(kOther) + " /loud");
    const TickReport report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->value, std::string(kOther) + " /loud");
}

TEST_F(MonitorTest, NewEntryReloadsTheListBeforeItsAlert) {
    Run("Old", kApp);
    w.list.LoadRegistryInfo();
    Run("  Fresh", "\"C:\\Missing\\fresh.exe\" -start");
    Texts listedAtAlert;
    sink.onAlert = [&](const AlertEntry&) { listedAtAlert = Listed(); };

    const TickReport report = monitor.Tick();
    EXPECT_TRUE(report.reloadedForNewEntry);
    EXPECT_EQ(listedAtAlert, (Texts{"Old|", "Fresh|"}));
    ASSERT_EQ(sink.alerts.size(), 1u);
    const std::string fresh =
        "Fresh|\"C:\\Missing\\fresh.exe\" -start|Registry -> User Run|File not found|  Fresh";
    EXPECT_EQ(Fields(sink.alerts[0]), fresh);
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(Fields(*report.alert), fresh);
    ExpectQuietTick();

    w.AddShortcut(w.folders.user, "Drop.lnk", kOther);
    monitor.Tick();
    ASSERT_EQ(sink.alerts.size(), 2u);
    EXPECT_EQ(Fields(sink.alerts[1]),
              "Drop.lnk|" + w.folders.user + "\\Drop.lnk|Startup Folder -> User|" + kOther + "|Drop.lnk");
}

TEST_F(MonitorTest, OneAlertPerTickForTheFirstNewEntryInScanOrder) {
    w.list.LoadRegistryInfo();
    // Written first, but the machine's Run key is read after the user's.
    w.SetRunValue(Hive::LocalMachine, kRunKey, "MachineFirst", kApp);
    Run("UserSecond", kOther);
    monitor.Tick();
    ASSERT_EQ(sink.alerts.size(), 1u);
    EXPECT_EQ(sink.alerts[0].name, "UserSecond");
    EXPECT_EQ(Listed(), (Texts{"UserSecond|", "MachineFirst|"}));
    ExpectQuietTick();

    // The reload moves rows; known entries stay known, not taken for the row
    // that now sits where theirs was.
    Run("Parked", kApp, true);
    const TickReport parked = monitor.Tick();
    ASSERT_TRUE(parked.alert);
    EXPECT_EQ(Enforced(parked), Texts{});
    EXPECT_EQ(Listed(), (Texts{"UserSecond|", "Parked|Disabled", "MachineFirst|"}));

    // A second new entry that is gone again by the time of the reload raises nothing.
    HookedIconList icons;
    MainList list(w.platform, w.fileInfo, w.texts, icons, w.folders);
    Monitor watching(w.platform, w.fileInfo, w.texts, list, sink);
    list.LoadRegistryInfo();
    Run("Stays", "C:\\stays.exe");  // a program not yet seen: its icon is taken during the load
    Run("Brief", kOther);
    icons.hook = [&] { DeleteRegValue(w.registry, Hive::CurrentUser, kRunKey, "Brief"); };
    const TickReport report = watching.Tick();
    ASSERT_EQ(sink.alerts.size(), 3u);
    EXPECT_EQ(sink.alerts[2].name, "Stays");
    EXPECT_TRUE(report.reloadedForCount);
    EXPECT_EQ(Listed(list), (Texts{"UserSecond|", "Stays|", "Parked|Disabled", "MachineFirst|"}));
}

TEST_F(MonitorTest, LiveCopyOfADisabledEntryIsDeletedOnlyWhileTheDisabledCopyExists) {
    // A stored name with a leading blank: only the exact name reaches it.
    Run(" Nag", kApp, true);
    w.AddShortcut(w.folders.userDisabled, "Nag.lnk", kOther);
    const RegValue expandable{"Back", RegType::ExpandString, EncodeUtf16LeWithNul("%SystemRoot%\\back.exe")};
    w.registry.SetValue(Hive::CurrentUser, kRunDisabledKey, expandable);
    w.AddShortcut(w.folders.userDisabled, "Back.lnk", kOther);
    w.list.LoadRegistryInfo();
    ASSERT_EQ(Listed(), (Texts{"Nag|Disabled", "Back|Disabled", "Nag.lnk|Disabled", "Back.lnk|Disabled"}));
    const std::string before = Snapshot(w);

    // Written back beside the disabled copies: the live copies are deleted.
    // Moved back by another tool: the last copies are moved, not deleted.
    Run(" Nag", kApp);
    w.AddShortcut(w.folders.user, "Nag.lnk", kOther);
    w.registry.SetValue(Hive::CurrentUser, kRunKey, expandable);
    Unrun("Back", true);
    ASSERT_TRUE(w.files.MoveFileNoReplace(w.folders.userDisabled + "Back.lnk", w.folders.user + "\\Back.lnk"));

    const TickReport report = monitor.Tick();
    EXPECT_FALSE(report.alert);
    EXPECT_EQ(Enforced(report),
              (Texts{"Delete  Nag done", "Move Back done", "Delete Nag.lnk done", "Move Back.lnk done"}));
    // Type and bytes of the moved value included.
    EXPECT_EQ(Snapshot(w), before);
    EXPECT_TRUE(w.files.Exists(kOther));
    ExpectQuietTick();
}

TEST_F(MonitorTest, FailedEnforcementChangesNothingAndIsTriedAgain) {
    Run("Stuck", kApp, true);
    w.list.LoadRegistryInfo();
    Run("Stuck", kApp);
    Unrun("Stuck", true);
    w.registry.Fail(RegFault::Write, Hive::CurrentUser, kRunDisabledKey);
    std::string before = Snapshot(w);
    EXPECT_EQ(Enforced(monitor.Tick()), Texts{"Move Stuck failed"});
    EXPECT_EQ(Snapshot(w), before);

    w.registry.ClearFailures();
    EXPECT_EQ(Enforced(monitor.Tick()), Texts{"Move Stuck done"});
    EXPECT_EQ(w.Parked("Stuck"), kApp);

    Run("Stuck", kApp);
    w.registry.Fail(RegFault::Delete, Hive::CurrentUser, kRunKey);
    before = Snapshot(w);
    EXPECT_EQ(Enforced(monitor.Tick()), Texts{"Delete Stuck failed"});
    EXPECT_EQ(Snapshot(w), before);
}

TEST_F(MonitorTest, ADifferentCommandIsNeverTakenForTheDisabledEntry) {
    // Beside the disabled entry: a new entry, alerted and kept.
    Run("Twin", kApp, true);
    w.list.LoadRegistryInfo();
    Run("Twin", kOther);
    TickReport report = monitor.Tick();
    EXPECT_EQ(Enforced(report), Texts{});
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->value, kOther);
    EXPECT_EQ(w.Live("Twin"), kOther);
    EXPECT_EQ(w.Parked("Twin"), kApp);
    EXPECT_EQ(Listed(), (Texts{"Twin|", "Twin|Disabled"}));
    ExpectQuietTick();

    // In the disabled store: the live copy is no duplicate of it, and the
    // move that would keep it refuses to overwrite.
    Run("Swap", kApp, true);
    w.list.LoadRegistryInfo();
    Run("Swap", kApp);
    Run("Swap", kOther, true);
    report = monitor.Tick();
    EXPECT_EQ(Enforced(report), Texts{"Move Swap failed"});
    EXPECT_EQ(w.Live("Swap"), kApp);
    EXPECT_EQ(w.Parked("Swap"), kOther);
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->value, kOther);
}

TEST_F(MonitorTest, RemovedEntryReloadsWithoutAlertAndALiveTwinNeverCountsAsEnabled) {
    Run("Gone", kApp);
    Run("Both", kOther);
    Run("Both", kOther, true);
    w.list.LoadRegistryInfo();
    // The live twin comes first in load order; the disabled copy still decides.
    TickReport report = monitor.Tick();
    EXPECT_EQ(Enforced(report), Texts{"Delete Both done"});
    EXPECT_FALSE(w.Live("Both"));
    EXPECT_EQ(w.Parked("Both"), kOther);
    EXPECT_TRUE(monitor.Tick().reloadedForCount);
    EXPECT_EQ(Listed(), (Texts{"Gone|", "Both|Disabled"}));

    Unrun("Gone");
    report = monitor.Tick();
    EXPECT_FALSE(report.alert);
    EXPECT_TRUE(report.reloadedForCount);
    EXPECT_EQ(Listed(), (Texts{"Both|Disabled"}));
}

TEST_F(MonitorTest, TickDuringALoadOrAnotherTickDoesNothing) {
    Run("First", kApp);
    w.list.LoadRegistryInfo();
    Run("Second", kOther);

    // Re-entered from the alert's window (a nested message loop).
    std::vector<TickReport> nested;
    sink.onAlert = [&](const AlertEntry&) {
        Run("Third", kApp);
        nested.push_back(monitor.Tick());
    };
    monitor.Tick();
    ASSERT_EQ(nested.size(), 1u);
    EXPECT_EQ(nested[0].skipped, TickSkip::TickRunning);
    EXPECT_FALSE(nested[0].alert || nested[0].reloadedForNewEntry);
    EXPECT_EQ(sink.alerts.size(), 1u);
    sink.onAlert = nullptr;

    HookedIconList icons;
    MainList loading(w.platform, w.fileInfo, w.texts, icons, w.folders);
    Monitor watching(w.platform, w.fileInfo, w.texts, loading, sink);
    std::vector<TickReport> during;
    icons.hook = [&] { during.push_back(watching.Tick()); };
    loading.LoadRegistryInfo();
    ASSERT_FALSE(during.empty());
    for (const TickReport& report : during) {
        EXPECT_EQ(report.skipped, TickSkip::Processing);
        EXPECT_FALSE(report.alert);
    }
    EXPECT_EQ(sink.alerts.size(), 1u);
    icons.hook = nullptr;
    EXPECT_EQ(watching.Tick().skipped, TickSkip::None);
}

TEST_F(MonitorTest, EachRowIsUpperCasedOncePerTick) {
    // Counts upper-casing, the costly step of a comparison.
    struct CountingSystem : FakeSystem {
        std::string ToUpper(const std::string& text) override { return ++calls, FakeSystem::ToUpper(text); }
        std::size_t calls = 0;
    } system;
    constexpr std::size_t kEntries = 300;
    for (std::size_t i = 0; i < kEntries; ++i) Run("Entry " + std::to_string(i), kApp + (" /n" + std::to_string(i)));
    w.list.LoadRegistryInfo();
    const Platform counted{w.registry, w.files, w.shell, w.versions, system};
    Monitor watching(counted, w.fileInfo, w.texts, w.list, sink);

    // Three texts of every scanned row and of every listed row.
    EXPECT_FALSE(watching.Tick().alert);
    EXPECT_EQ(system.calls, 3 * 2 * kEntries);
    // A new entry costs one more pass, over the reloaded list.
    Run("Entry new", kApp);
    system.calls = 0;
    EXPECT_TRUE(watching.Tick().alert);
    EXPECT_EQ(system.calls, 3 * ((kEntries + 1) + kEntries + (kEntries + 1)));
}

}  // namespace
