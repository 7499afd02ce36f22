// What stays consistent when something throws halfway, and the small rules
// that moved out of the windows: the option marks and the alert's reload.

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "support/TestWorld.h"
#include "app/AppTables.h"
#include "catalogue/RegistryAccess.h"
#include "monitor/AlertActions.h"
#include "monitor/Monitor.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

// An icon list that throws while the list is being reloaded.
struct ThrowingIcons : FakeIconList {
    bool fail = false;
    int AddFileIcon(const std::string& path) override {
        if (fail) throw std::runtime_error("no icon");
        return FakeIconList::AddFileIcon(path);
    }
};

struct Sink : IAlertSink {
    std::function<void()> onAlert;
    int alerts = 0;
    void RaiseAlert(const AlertEntry&) override {
        ++alerts;
        if (onAlert) onAlert();
    }
};

}  // namespace

TEST(Consistency, AFailedReloadOrTickLeavesTheWatchdogRunning) {
    TestWorld w;
    w.AddProgram("C:\\app.exe");
    ThrowingIcons icons;
    MainList list(w.platform, w.fileInfo, w.texts, icons, w.folders);
    Sink sink;
    Monitor monitor(w.platform, w.fileInfo, w.texts, list, sink);

    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "First", "C:\\app.exe");
    icons.fail = true;
    EXPECT_THROW(list.LoadRegistryInfo(), std::runtime_error);
    EXPECT_FALSE(list.Processing());
    icons.fail = false;
    EXPECT_TRUE(list.LoadRegistryInfo());

    // An alert window that failed to open ends the tick, not the watchdog.
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Second", "C:\\app.exe");
    sink.onAlert = [] { throw std::runtime_error("no window"); };
    EXPECT_THROW(monitor.Tick(), std::runtime_error);
    sink.onAlert = nullptr;
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Third", "C:\\app.exe");
    EXPECT_EQ(monitor.Tick().skipped, TickSkip::None);
    EXPECT_EQ(sink.alerts, 2);
}

TEST(Consistency, OptionMarksFollowTheClickWhateverTheStoreSaid) {
    std::vector<bool> asked;
    const auto refuse = [&](bool on) { asked.push_back(on); };
    EXPECT_TRUE(ToggleOption(false, refuse));
    EXPECT_FALSE(ToggleOption(true, refuse));
    EXPECT_EQ(asked, (std::vector<bool>{true, false}));
}

TEST(Consistency, DisableAndDeleteTellTheWindowTheListChangedAllowDoesNot) {
    TestWorld w;
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Gone", "C:\\gone.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Kept", "C:\\kept.exe");
    w.list.LoadRegistryInfo();
    int changed = 0;
    AlertActions actions(w.platform, w.texts, w.prompt, w.list, [&] { ++changed; });
    const auto entry = [&](const std::string& name) {
        return AlertEntry{name, "", &RunLocation(Hive::CurrentUser, false), "", name};
    };
    EXPECT_EQ(actions.Allow(entry("Kept")), AlertOutcome::Close);
    EXPECT_EQ(actions.Dismiss(entry("Kept")), AlertOutcome::Close);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(actions.Disable(entry("Kept")), AlertOutcome::Close);
    EXPECT_EQ(changed, 1);
    w.prompt.answers = {kAnswerNo};
    EXPECT_EQ(actions.Delete(entry("Gone")), AlertOutcome::StayOpen);
    EXPECT_EQ(changed, 2);
    EXPECT_TRUE(ReadRegValue(w.registry, Hive::CurrentUser, TestWorld::kUserRun, "Gone").has_value());
}
