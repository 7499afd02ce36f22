#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "monitor/AlertActions.h"
#include "monitor/Monitor.h"
#include "platform/Text.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

constexpr const char* kApp = "C:\\Tools\\app.exe";
constexpr const char* kUserRunSection = "Registry -> User Run";
constexpr const char* kMachineRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kMachineRunDisabled =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
constexpr const char* kWowUserRun = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kWowUserRunDisabled =
    "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";

class AlertActionsTest : public ::testing::Test {
protected:
    AlertActionsTest() {
        w.AddProgram(kApp);
        for (const auto& [section, key, text] :
             std::vector<std::tuple<std::string, std::string, std::string>>{
                 {"Add", "2", "Name:"}, {"Add", "3", "Value:"}, {"Add", "4", "Section:"},
                 {"Alert", "10", "File not found"}, {"Alert", "11", "Delete this registry item?"},
                 {"Alert", "12", "Delete this Startup folder item?"}, {"Alert", "13", "File:"},
                 {"Main", "50", "already there"}, {"Main", "51", "not moved"},
                 {"Main", "52", "not deleted"}}) {
            w.texts.Set(section, key, text);
        }
    }

    static AlertEntry Registry(const std::string& section, const std::string& storedName,
                               const std::string& value) {
        return AlertEntry{TrimLeadingSpaces(storedName), value, section, kApp, storedName};
    }
    AlertEntry Folder(const std::string& name) {
        return AlertEntry{name, UserFile(name), "Startup Folder -> User", kApp, name};
    }
    std::string UserFile(const std::string& name) { return w.folders.user + "\\" + name; }
    std::string ParkedFile(const std::string& name) { return w.folders.userDisabled + name; }
    std::optional<std::string> Live(const std::string& name) {
        return w.registry.GetString(Hive::CurrentUser, TestWorld::kUserRun, name);
    }
    std::optional<std::string> Parked(const std::string& name) {
        return w.registry.GetString(Hive::CurrentUser, TestWorld::kUserRunDisabled, name);
    }
    // A value written behind the list's back: listed only after a reload.
    void AddReloadMarker() { w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Marker", kApp); }
    bool Reloaded() {
        for (const auto& row : w.list.Rows()) {
            if (row.Name() == "Marker") return true;
        }
        return false;
    }
    // The texts of the boxes shown, each with its caption and style.
    std::vector<std::string> Shown() {
        std::vector<std::string> shown;
        for (const PromptCall& call : w.prompt.calls) {
            shown.push_back(call.text + " | " + call.caption + " | " + std::to_string(call.style));
        }
        return shown;
    }

    TestWorld w;
    AlertActions actions{w.platform, w.texts, w.prompt, w.list};
};

TEST_F(AlertActionsTest, DeleteAsksAboutTheEntryAndRemovesOnlyItsLiveValue) {
    w.SetRunValue(Hive::LocalMachine, kMachineRun, "App", kApp + std::string(" /x"));
    w.SetRunValue(Hive::LocalMachine, kMachineRunDisabled, "App", kApp);
    const AlertEntry entry = Registry("Registry -> Machine Run", "App", kApp + std::string(" /x"));
    AddReloadMarker();

    w.prompt.Answer(kAnswerNo);
    EXPECT_EQ(actions.Delete(entry), AlertOutcome::StayOpen);
    EXPECT_TRUE(w.registry.GetString(Hive::LocalMachine, kMachineRun, "App"));
    EXPECT_TRUE(Reloaded());

    w.prompt.Answer(kAnswerYes);
    EXPECT_EQ(actions.Delete(entry), AlertOutcome::Close);
    const std::string question =
        "Section: Registry -> Machine Run\r\nName: App\r\nValue: C:\\Tools\\app.exe /x | "
        "Delete this registry item? | 36";
    EXPECT_EQ(Shown(), (std::vector<std::string>{question, question}));
    EXPECT_FALSE(w.registry.GetString(Hive::LocalMachine, kMachineRun, "App"));
    EXPECT_EQ(w.registry.GetString(Hive::LocalMachine, kMachineRunDisabled, "App"), kApp);
    EXPECT_EQ(w.list.RowCount(), 2u);  // the marker and the disabled twin

    // The exact stored name, not the Name column without its leading blanks.
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "  Lead", "one.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Lead", "two.exe");
    w.prompt.Answer(kAnswerYes);
    EXPECT_EQ(actions.Delete(Registry(kUserRunSection, "  Lead", "one.exe")), AlertOutcome::Close);
    EXPECT_NE(w.prompt.calls.back().text.find("\r\nName: Lead\r\n"), std::string::npos);
    EXPECT_FALSE(Live("  Lead"));
    EXPECT_EQ(Live("Lead"), "two.exe");
}

TEST_F(AlertActionsTest, DeleteOfAFolderEntryAsksForTheFileAndKeepsItsTarget) {
    w.AddShortcut(w.folders.user, "App.lnk", kApp);
    w.AddShortcut(w.folders.userDisabled, "App.lnk", kApp);
    w.prompt.Answer(kAnswerYes);
    EXPECT_EQ(actions.Delete(Folder("App.lnk")), AlertOutcome::Close);
    EXPECT_EQ(Shown(), std::vector<std::string>{"Section: Startup Folder -> User\r\nFile: " +
                                                UserFile("App.lnk") +
                                                " | Delete this Startup folder item? | 36"});
    EXPECT_FALSE(w.files.Exists(UserFile("App.lnk")));
    EXPECT_TRUE(w.files.Exists(ParkedFile("App.lnk")));
    EXPECT_TRUE(w.files.Exists(kApp));
}

TEST_F(AlertActionsTest, FailedDeleteIsReportedAndKeepsTheAlertOpen) {
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Held", kApp);
    w.AddShortcut(w.folders.user, "Held.lnk", kApp);
    w.registry.Fail(RegFault::Delete, Hive::CurrentUser, TestWorld::kUserRun);
    w.files.Fail(FileFault::Delete, UserFile("Held.lnk"));
    AddReloadMarker();

    w.prompt.Answer(kAnswerYes);
    EXPECT_EQ(actions.Delete(Registry(kUserRunSection, "Held", kApp)), AlertOutcome::StayOpen);
    w.prompt.Answer(kAnswerYes);
    EXPECT_EQ(actions.Delete(Folder("Held.lnk")), AlertOutcome::StayOpen);
    const std::vector<std::string> shown = Shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[1], "not deleted | Varnek Ruvazuv Avuzuza | 48");
    EXPECT_EQ(shown[3], "not deleted | Varnek Ruvazuv Avuzuza | 48");
    EXPECT_EQ(Live("Held"), kApp);
    EXPECT_TRUE(w.files.Exists(UserFile("Held.lnk")));
    EXPECT_TRUE(Reloaded());

    // Gone from the live store already: the wish is met.
    w.prompt.Answer(kAnswerYes);
    EXPECT_EQ(actions.Delete(Registry(kUserRunSection, "Absent", kApp)), AlertOutcome::Close);
    EXPECT_EQ(w.prompt.calls.size(), 5u);
}

TEST_F(AlertActionsTest, DisableMovesTheExactValueWithoutAsking) {
    const RegValue expandable{"Wow", RegType::ExpandString,
                              EncodeUtf16LeWithNul("%ProgramFiles%\\wow.exe -q")};
    w.registry.SetValue(Hive::CurrentUser, kWowUserRun, expandable);
    w.AddShortcut(w.folders.user, "App.lnk", kApp);
    AddReloadMarker();

    EXPECT_EQ(actions.Disable(Registry("Registry -> User Run (WOW64)", "Wow",
                                       "%ProgramFiles%\\wow.exe -q")),
              AlertOutcome::Close);
    EXPECT_EQ(actions.Disable(Folder("App.lnk")), AlertOutcome::Close);
    EXPECT_TRUE(w.prompt.calls.empty());
    EXPECT_FALSE(w.registry.GetValue(Hive::CurrentUser, kWowUserRun, "Wow"));
    const auto parked = w.registry.GetValue(Hive::CurrentUser, kWowUserRunDisabled, "Wow");
    ASSERT_TRUE(parked);
    EXPECT_EQ(parked->type, RegType::ExpandString);
    EXPECT_EQ(parked->data, expandable.data);
    EXPECT_FALSE(w.files.Exists(UserFile("App.lnk")));
    EXPECT_EQ(w.files.Content(ParkedFile("App.lnk")), FakeShell::ShortcutFileContent(kApp));
    EXPECT_TRUE(Reloaded());
}

TEST_F(AlertActionsTest, DisableNeverOverwritesAndNeverLosesTheEntry) {
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Dup", "new.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Dup", "old.exe");
    w.AddShortcut(w.folders.user, "Dup.lnk", "C:\\new.exe");
    w.AddShortcut(w.folders.userDisabled, "Dup.lnk", "C:\\old.exe");
    AddReloadMarker();
    EXPECT_EQ(actions.Disable(Registry(kUserRunSection, "Dup", "new.exe")), AlertOutcome::StayOpen);
    EXPECT_EQ(actions.Disable(Folder("Dup.lnk")), AlertOutcome::StayOpen);
    const std::string exists = "already there | Varnek Ruvazuv Avuzuza | 48";
    EXPECT_EQ(Shown(), (std::vector<std::string>{exists, exists}));
    EXPECT_EQ(Live("Dup"), "new.exe");
    EXPECT_EQ(Parked("Dup"), "old.exe");
    EXPECT_EQ(w.files.Content(UserFile("Dup.lnk")), FakeShell::ShortcutFileContent("C:\\new.exe"));
    EXPECT_EQ(w.files.Content(ParkedFile("Dup.lnk")), FakeShell::ShortcutFileContent("C:\\old.exe"));
    EXPECT_TRUE(Reloaded());

    // The write into the disabled key fails: the value stays live.
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Kept", kApp);
    w.registry.Fail(RegFault::Write, Hive::CurrentUser, TestWorld::kUserRunDisabled);
    EXPECT_EQ(actions.Disable(Registry(kUserRunSection, "Kept", kApp)), AlertOutcome::StayOpen);
    EXPECT_EQ(Live("Kept"), kApp);
    EXPECT_FALSE(Parked("Kept"));
    // The delete from the live key fails: no second copy is left behind.
    w.registry.ClearFailures();
    w.registry.Fail(RegFault::Delete, Hive::CurrentUser, TestWorld::kUserRun);
    EXPECT_EQ(actions.Disable(Registry(kUserRunSection, "Kept", kApp)), AlertOutcome::StayOpen);
    EXPECT_EQ(Live("Kept"), kApp);
    EXPECT_FALSE(Parked("Kept"));
    // The file cannot be moved.
    w.AddShortcut(w.folders.user, "Lock.lnk", kApp);
    w.files.Fail(FileFault::Move, UserFile("Lock.lnk"));
    EXPECT_EQ(actions.Disable(Folder("Lock.lnk")), AlertOutcome::StayOpen);
    EXPECT_TRUE(w.files.Exists(UserFile("Lock.lnk")));
    const std::string failed = "not moved | Varnek Ruvazuv Avuzuza | 48";
    EXPECT_EQ(Shown(), (std::vector<std::string>{exists, exists, failed, failed, failed}));
}

TEST_F(AlertActionsTest, DisableOfAnEntryThatIsNoLongerLive) {
    // Only in the disabled store: disabled already, nothing to say.
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Parked", kApp);
    EXPECT_EQ(actions.Disable(Registry(kUserRunSection, "Parked", kApp)), AlertOutcome::Close);
    EXPECT_TRUE(w.prompt.calls.empty());
    EXPECT_EQ(Parked("Parked"), kApp);

    // Gone altogether: it could not be disabled, and the user closes with Allow.
    EXPECT_EQ(actions.Disable(Registry(kUserRunSection, "Vanished", kApp)), AlertOutcome::StayOpen);
    EXPECT_EQ(Shown(), std::vector<std::string>{"not moved | Varnek Ruvazuv Avuzuza | 48"});
}

TEST_F(AlertActionsTest, UnknownSectionChangesNothingButReloadsAndAllowChangesNothing) {
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "App", kApp);
    AddReloadMarker();
    const AlertEntry stray = Registry("Registry -> Elsewhere", "App", kApp);
    EXPECT_EQ(actions.DeletePrompt(stray), "");
    EXPECT_EQ(actions.Delete(stray), AlertOutcome::StayOpen);
    EXPECT_EQ(actions.Disable(stray), AlertOutcome::StayOpen);
    EXPECT_TRUE(w.prompt.calls.empty());
    EXPECT_EQ(Live("App"), kApp);
    EXPECT_TRUE(Reloaded());

    const std::size_t rows = w.list.RowCount();
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Later", kApp);
    EXPECT_EQ(actions.Allow(Registry(kUserRunSection, "App", kApp)), AlertOutcome::Close);
    EXPECT_EQ(w.list.RowCount(), rows);
    EXPECT_EQ(Live("App"), kApp);
}

TEST_F(AlertActionsTest, TooltipAndQuestionIconRules) {
    EXPECT_EQ(ValueTooltip(std::string(60, 'x')), "");
    EXPECT_EQ(ValueTooltip(std::string(61, 'x')), std::string(61, 'x'));
    std::string cyrillic60;  // 120 bytes, 60 characters
    for (int i = 0; i < 60; ++i) cyrillic60 += "Ж";
    EXPECT_EQ(ValueTooltip(cyrillic60), "");
    EXPECT_EQ(ValueTooltip(cyrillic60 + "Ж"), cyrillic60 + "Ж");

    EXPECT_TRUE(ShowsQuestionIcon("", w.texts));
    EXPECT_TRUE(ShowsQuestionIcon("File not found", w.texts));
    EXPECT_FALSE(ShowsQuestionIcon("FILE NOT FOUND", w.texts));
    EXPECT_FALSE(ShowsQuestionIcon(kApp, w.texts));
}

class CollectingSink : public IAlertSink {
public:
    void RaiseAlert(const AlertEntry& entry) override { alerts.push_back(entry); }
    std::vector<AlertEntry> alerts;
};

TEST_F(AlertActionsTest, DisabledFromItsAlertAndWrittenBackTheEntryIsPutOutAgain) {
    CollectingSink sink;
    Monitor monitor(w.platform, w.fileInfo, w.texts, w.list, sink);
    w.list.LoadRegistryInfo();
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, " Pest", kApp);
    monitor.Tick();
    ASSERT_EQ(sink.alerts.size(), 1u);

    EXPECT_EQ(actions.Disable(sink.alerts[0]), AlertOutcome::Close);
    EXPECT_EQ(Parked(" Pest"), kApp);
    TickReport report = monitor.Tick();
    EXPECT_FALSE(report.alert);
    EXPECT_TRUE(report.enforcements.empty());

    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, " Pest", kApp);
    report = monitor.Tick();
    EXPECT_FALSE(report.alert);
    ASSERT_EQ(report.enforcements.size(), 1u);
    EXPECT_TRUE(report.enforcements[0].done);
    EXPECT_FALSE(Live(" Pest"));
    EXPECT_EQ(Parked(" Pest"), kApp);
}

}  // namespace
