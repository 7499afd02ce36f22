#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "catalogue/RegistryAccess.h"
#include "monitor/Monitor.h"
#include "platform/Text.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;

constexpr const char* kApp = "C:\\Tools\\app.exe";
constexpr const char* kOther = "C:\\Tools\\other.exe";
constexpr const char* kMachineRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RecordingSink : public IAlertSink {
public:
    void RaiseAlert(const AlertEntry& entry) override {
        alerts.push_back(entry);
        if (onAlert) onAlert(entry);
    }
    std::vector<AlertEntry> alerts;
    std::function<void(const AlertEntry&)> onAlert;
};

// An icon list that runs something while a main-list load is under way.
class HookedIconList : public IIconList {
public:
    void Clear() override {}
    int AddFileIcon(const std::string&) override {
        if (hook) hook();
        return 0;
    }
    int Count() const override { return 0; }
    std::function<void()> hook;
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

class MonitorTest : public ::testing::Test {
protected:
    MonitorTest() {
        w.AddProgram(kApp);
        w.AddProgram(kOther);
    }

    void Run(const std::string& name, const std::string& command) {
        w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, name, command);
    }
    void RunDisabled(const std::string& name, const std::string& command) {
        w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, name, command);
    }
    void Unrun(const std::string& name, const char* key = TestWorld::kUserRun) {
        ASSERT_TRUE(DeleteRegValue(w.registry, Hive::CurrentUser, key, name));
    }
    std::optional<std::string> Live(const std::string& name) {
        return w.registry.GetString(Hive::CurrentUser, TestWorld::kUserRun, name);
    }
    std::optional<std::string> Parked(const std::string& name) {
        return w.registry.GetString(Hive::CurrentUser, TestWorld::kUserRunDisabled, name);
    }
    Texts Listed(const MainList& list) {
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

    TestWorld w;
    RecordingSink sink;
    Monitor monitor{w.platform, w.fileInfo, w.texts, w.list, sink};
};

TEST_F(MonitorTest, ScanListReadsEveryStoreInOrderAndKnowsWhichStoreARowCameFrom) {
    w.SetRunValue(Hive::LocalMachine, kMachineRun, "Machine", kApp);
    RunDisabled("Parked", "C:\\gone.exe -x");
    Run("Live", kApp);
    w.AddShortcut(w.folders.userDisabled, "Short.lnk", kOther);
    auto render = [](const std::vector<ScanRow>& scan) {
        Texts rows;
        for (const ScanRow& r : scan) {
            rows.push_back(r.item.Name() + "|" + r.item.Value() + "|" +
                           std::string(r.location->section) + "|" + r.item.Status() + "|" +
                           r.item.columns[kColProcessPath] + "|" + r.item.columns[kColFileSize] +
                           (r.disabledStore ? "|parked" : "|live"));
        }
        return rows;
    };
    const std::string shortcut = w.folders.user + "\\Short.lnk";
    EXPECT_EQ(render(LoadCheckInfo(w.platform, w.fileInfo, w.folders, w.texts)),
              (Texts{"Live|C:\\Tools\\app.exe|Registry -> User Run||C:\\Tools\\app.exe||live",
                     "Parked|C:\\gone.exe -x|Registry -> User Run|Disabled|File not found||parked",
                     "Machine|C:\\Tools\\app.exe|Registry -> Machine Run||C:\\Tools\\app.exe||live",
                     "Short.lnk|" + shortcut + "|Startup Folder -> User|Disabled|" + kOther +
                         "||parked"}));
    EXPECT_TRUE(w.icons.requests.empty());

    // A language file without a status word cannot hide the store.
    w.texts.Set("Main", "37", "");
    const auto bare = LoadCheckInfo(w.platform, w.fileInfo, w.folders, w.texts);
    ASSERT_EQ(bare.size(), 4u);
    EXPECT_TRUE(bare[1].disabledStore && bare[3].disabledStore);
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
    const AlertEntry& alert = sink.alerts[0];
    EXPECT_EQ(alert.name + "|" + alert.value + "|" + alert.section + "|" + alert.path,
              "Fresh|\"C:\\Missing\\fresh.exe\" -start|Registry -> User Run|File not found");
    EXPECT_EQ(alert.storedName, "  Fresh");
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->storedName, "  Fresh");
    ExpectQuietTick();

    w.AddShortcut(w.folders.user, "Drop.lnk", kOther);
    monitor.Tick();
    ASSERT_EQ(sink.alerts.size(), 2u);
    const AlertEntry& dropped = sink.alerts[1];
    EXPECT_EQ(dropped.name + "|" + dropped.value + "|" + dropped.section + "|" + dropped.path,
              "Drop.lnk|" + w.folders.user + "\\Drop.lnk|Startup Folder -> User|" + kOther);
}

TEST_F(MonitorTest, OneAlertPerTickForTheFirstNewEntryInScanOrder) {
    w.list.LoadRegistryInfo();
    // Written first, but the machine's Run key is read after the user's.
    w.SetRunValue(Hive::LocalMachine, kMachineRun, "MachineFirst", kApp);
    Run("UserSecond", kOther);
    monitor.Tick();
    ASSERT_EQ(sink.alerts.size(), 1u);
    EXPECT_EQ(sink.alerts[0].name, "UserSecond");
    EXPECT_EQ(Listed(), (Texts{"UserSecond|", "MachineFirst|"}));
    ExpectQuietTick();

    // The reload moves rows; known entries stay known, not taken for the row
    // that now sits where theirs was.
    RunDisabled("Parked", kApp);
    const TickReport parked = monitor.Tick();
    ASSERT_TRUE(parked.alert);
    EXPECT_EQ(Enforced(parked), Texts{});
    EXPECT_EQ(Listed(), (Texts{"UserSecond|", "Parked|Disabled", "MachineFirst|"}));

    // A second new entry that is gone again by the time of the reload raises nothing.
    HookedIconList icons;
    MainList list(w.platform, w.fileInfo, w.texts, icons, w.folders);
    Monitor watching(w.platform, w.fileInfo, w.texts, list, sink);
    list.LoadRegistryInfo();
    Run("Stays", kApp);
    Run("Brief", kOther);
    icons.hook = [&] { DeleteRegValue(w.registry, Hive::CurrentUser, TestWorld::kUserRun, "Brief"); };
    const TickReport report = watching.Tick();
    ASSERT_EQ(sink.alerts.size(), 3u);
    EXPECT_EQ(sink.alerts[2].name, "Stays");
    EXPECT_TRUE(report.reloadedForCount);
    EXPECT_EQ(Listed(list), (Texts{"UserSecond|", "Stays|", "Parked|Disabled", "MachineFirst|"}));
}

TEST_F(MonitorTest, LiveCopyOfADisabledEntryIsDeletedWhileTheDisabledCopyExists) {
    // A stored name with a leading blank: only the exact name reaches it.
    RunDisabled(" Nag", kApp);
    w.AddShortcut(w.folders.userDisabled, "Nag.lnk", kOther);
    w.list.LoadRegistryInfo();
    ASSERT_EQ(Listed(), (Texts{"Nag|Disabled", "Nag.lnk|Disabled"}));
    Run(" Nag", kApp);
    w.AddShortcut(w.folders.user, "Nag.lnk", kOther);

    const TickReport report = monitor.Tick();
    EXPECT_FALSE(report.alert);
    EXPECT_EQ(Enforced(report), (Texts{"Delete  Nag done", "Delete Nag.lnk done"}));
    EXPECT_FALSE(Live(" Nag"));
    EXPECT_EQ(Parked(" Nag"), kApp);
    EXPECT_FALSE(w.files.Exists(w.folders.user + "\\Nag.lnk"));
    EXPECT_TRUE(w.files.Exists(w.folders.userDisabled + "Nag.lnk"));
    EXPECT_TRUE(w.files.Exists(kOther));
    ExpectQuietTick();
}

TEST_F(MonitorTest, EntryMovedBackByAnotherToolIsMovedIntoTheDisabledStoreNotLost) {
    const RegValue expandable{"Back", RegType::ExpandString,
                              EncodeUtf16LeWithNul("%SystemRoot%\\back.exe")};
    w.registry.SetValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, expandable);
    w.AddShortcut(w.folders.userDisabled, "Back.lnk", kOther);
    w.list.LoadRegistryInfo();
    w.registry.SetValue(Hive::CurrentUser, TestWorld::kUserRun, expandable);
    Unrun("Back", TestWorld::kUserRunDisabled);
    ASSERT_TRUE(w.files.MoveFileNoReplace(w.folders.userDisabled + "Back.lnk",
                                          w.folders.user + "\\Back.lnk"));

    const TickReport report = monitor.Tick();
    EXPECT_FALSE(report.alert);
    EXPECT_EQ(Enforced(report), (Texts{"Move Back done", "Move Back.lnk done"}));
    EXPECT_FALSE(Live("Back"));
    const auto parked = w.registry.GetValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Back");
    ASSERT_TRUE(parked);
    EXPECT_EQ(parked->type, RegType::ExpandString);
    EXPECT_EQ(parked->data, expandable.data);
    EXPECT_EQ(w.files.Content(w.folders.userDisabled + "Back.lnk"),
              FakeShell::ShortcutFileContent(kOther));
    EXPECT_FALSE(w.files.Exists(w.folders.user + "\\Back.lnk"));
    ExpectQuietTick();
}

TEST_F(MonitorTest, FailedEnforcementChangesNothingAndIsTriedAgain) {
    RunDisabled("Stuck", kApp);
    w.list.LoadRegistryInfo();
    Run("Stuck", kApp);
    Unrun("Stuck", TestWorld::kUserRunDisabled);
    w.registry.Fail(RegFault::Write, Hive::CurrentUser, TestWorld::kUserRunDisabled);
    EXPECT_EQ(Enforced(monitor.Tick()), Texts{"Move Stuck failed"});
    EXPECT_EQ(Live("Stuck"), kApp);
    EXPECT_FALSE(Parked("Stuck"));

    w.registry.ClearFailures();
    EXPECT_EQ(Enforced(monitor.Tick()), Texts{"Move Stuck done"});
    EXPECT_EQ(Parked("Stuck"), kApp);

    Run("Stuck", kApp);
    w.registry.Fail(RegFault::Delete, Hive::CurrentUser, TestWorld::kUserRun);
    EXPECT_EQ(Enforced(monitor.Tick()), Texts{"Delete Stuck failed"});
    EXPECT_EQ(Live("Stuck"), kApp);
    EXPECT_EQ(Parked("Stuck"), kApp);
}

TEST_F(MonitorTest, ADifferentCommandIsNeverTakenForTheDisabledEntry) {
    // Beside the disabled entry: a new entry, alerted and kept.
    RunDisabled("Twin", kApp);
    w.list.LoadRegistryInfo();
    Run("Twin", kOther);
    TickReport report = monitor.Tick();
    EXPECT_EQ(Enforced(report), Texts{});
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->value, kOther);
    EXPECT_EQ(Live("Twin"), kOther);
    EXPECT_EQ(Parked("Twin"), kApp);
    EXPECT_EQ(Listed(), (Texts{"Twin|", "Twin|Disabled"}));
    ExpectQuietTick();

    // In the disabled store: the live copy is no duplicate of it, and the
    // move that would keep it refuses to overwrite.
    RunDisabled("Swap", kApp);
    w.list.LoadRegistryInfo();
    Run("Swap", kApp);
    RunDisabled("Swap", kOther);
    report = monitor.Tick();
    EXPECT_EQ(Enforced(report), Texts{"Move Swap failed"});
    EXPECT_EQ(Live("Swap"), kApp);
    EXPECT_EQ(Parked("Swap"), kOther);
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->value, kOther);
}

TEST_F(MonitorTest, RemovedEntryReloadsWithoutAlertAndRowOrderDecidesTwins) {
    Run("Gone", kApp);
    Run("Both", kOther);
    RunDisabled("Both", kOther);
    w.list.LoadRegistryInfo();
    ExpectQuietTick();  // in load order the enabled twin comes first

    Unrun("Gone");
    TickReport report = monitor.Tick();
    EXPECT_FALSE(report.alert);
    EXPECT_TRUE(report.reloadedForCount);
    EXPECT_EQ(Listed(), (Texts{"Both|", "Both|Disabled"}));

    // Status descending puts the disabled twin first; it decides now.
    ASSERT_TRUE(w.list.ColumnClick(4) && w.list.ColumnClick(4));
    ASSERT_EQ(Listed(), (Texts{"Both|Disabled", "Both|"}));
    EXPECT_EQ(Enforced(monitor.Tick()), Texts{"Delete Both done"});
    EXPECT_FALSE(Live("Both"));
    EXPECT_EQ(Parked("Both"), kOther);
    EXPECT_TRUE(monitor.Tick().reloadedForCount);
    EXPECT_EQ(Listed(), (Texts{"Both|Disabled"}));
}

TEST_F(MonitorTest, TickDuringALoadOrAnotherTickDoesNothing) {
    Run("First", kApp);
    w.list.LoadRegistryInfo();
    Run("Second", kOther);

    // Re-entered from the alert's window (a nested message loop).
    std::vector<TickReport> nested;
    sink.onAlert = [&](const AlertEntry&) {
        EXPECT_TRUE(monitor.Ticking());
        Run("Third", kApp);
        nested.push_back(monitor.Tick());
    };
    monitor.Tick();
    ASSERT_EQ(nested.size(), 1u);
    EXPECT_EQ(nested[0].skipped, TickSkip::TickRunning);
    EXPECT_FALSE(nested[0].alert || nested[0].reloadedForNewEntry);
    EXPECT_EQ(sink.alerts.size(), 1u);
    EXPECT_FALSE(monitor.Ticking());
    sink.onAlert = nullptr;

    HookedIconList icons;
    MainList loading(w.platform, w.fileInfo, w.texts, icons, w.folders);
    Monitor watching(w.platform, w.fileInfo, w.texts, loading, sink);
    std::vector<TickReport> during;
    icons.hook = [&] { during.push_back(watching.Tick()); };
    loading.LoadRegistryInfo();
    ASSERT_EQ(during.size(), 3u);
    for (const TickReport& report : during) {
        EXPECT_EQ(report.skipped, TickSkip::Processing);
        EXPECT_FALSE(report.alert);
    }
    EXPECT_EQ(sink.alerts.size(), 1u);
    icons.hook = nullptr;
    EXPECT_EQ(watching.Tick().skipped, TickSkip::None);
}

// Counts upper-casing, the costly step of a comparison.
class CountingSystem : public FakeSystem {
public:
    std::string ToUpper(const std::string& text) override {
        ++calls;
        return FakeSystem::ToUpper(text);
    }
    std::size_t calls = 0;
};

TEST_F(MonitorTest, EachRowIsUpperCasedOncePerTick) {
    constexpr std::size_t kEntries = 300;
    for (std::size_t i = 0; i < kEntries; ++i) {
        Run("Entry " + std::to_string(i), std::string(kApp) + " /n" + std::to_string(i));
    }
    w.list.LoadRegistryInfo();
    CountingSystem system;
    const Platform counted{w.registry, w.files, w.shell, w.versions, system};
    Monitor watching(counted, w.fileInfo, w.texts, w.list, sink);

    EXPECT_FALSE(watching.Tick().alert);
    // Three texts of every scanned row and of every listed row.
    EXPECT_EQ(system.calls, 3 * 2 * kEntries);

    // A new entry costs one more pass, over the reloaded list.
    Run("Entry new", kApp);
    system.calls = 0;
    EXPECT_TRUE(watching.Tick().alert);
    EXPECT_EQ(system.calls, 3 * ((kEntries + 1) + kEntries + (kEntries + 1)));
}

}  // namespace
