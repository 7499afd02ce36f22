// The alert's buttons: Delete, Disable and Allow act on the alerted entry's
// live copy by its exact stored name; the value's tooltip and the icon.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "OperationsTestBench.h"
#include "monitor/AlertActions.h"
#include "platform/Text.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;

constexpr const char* kApp = "C:\\Tools\\app.exe";
const std::string kMachineRun = TestWorld::kUserRun;
const std::string kWowRunDisabled = kWowRunKey + "-Disabled";
const std::string kWowExpandable = "%ProgramFiles%\\wow.exe -q";

struct AlertWorld : OpsWorld {
    AlertWorld() {
        texts.Set("Alert", "11", "Alert: delete value?");
        texts.Set("Alert", "12", "Alert: delete file?");
        AddProgram(kApp);
        registry.SetString(Hive::LocalMachine, kMachineRun, "App", kApp + std::string(" /x"));
        registry.SetString(Hive::LocalMachine, kMachineRun + "-Disabled", "App", kApp);
        registry.SetString(Hive::CurrentUser, kRunKey, "  Lead", "one.exe");
        registry.SetString(Hive::CurrentUser, kRunKey, "Lead", "two.exe");
        registry.SetString(Hive::CurrentUser, kRunKey, "Dup", "new.exe");
        registry.SetString(Hive::CurrentUser, kRunDisabledKey, "Dup", "old.exe");
        registry.SetString(Hive::CurrentUser, kRunDisabledKey, "Parked", kApp);
        registry.SetString(Hive::CurrentUser, kWowRunKey, "Wow", kWowExpandable, RegType::ExpandString);
        AddShortcut(folders.user, "App.lnk", kApp);
        AddShortcut(folders.user, "Del.lnk", kApp);
        AddShortcut(folders.userDisabled, "Del.lnk", kApp);
    }
    void Unset(Hive hive, const std::string& key, const std::string& name) {
        ASSERT_TRUE(registry.OpenKey(hive, key, true)->DeleteValue(name)) << name;
    }

    AlertActions actions{platform, texts, prompt, list};
};

using Arrange = std::function<void(AlertWorld&)>;
const Arrange kNothing = [](AlertWorld&) {};

AlertEntry Registry(const std::string& section, const std::string& storedName,
                    const std::string& value) {
    return AlertEntry{TrimLeadingSpaces(storedName), value, FindLocation(section), kApp, storedName};
}
AlertEntry Folder(const std::string& name) {
    return AlertEntry{name, FakeShell().userStartup + "\\" + name, FindLocation(kUserFolder), kApp, name};
}

struct Case {
    const char* what;
    AlertEntry entry;
    Arrange before, expectedChange;
    AlertOutcome outcome;
    Texts shown;
};

// Runs each case in a fresh world, with its list not yet loaded: every action
// but Allow reloads it.
void RunCases(const std::vector<Case>& cases,
              const std::function<AlertOutcome(AlertActions&, const AlertEntry&)>& act) {
    for (const Case& c : cases) {
        AlertWorld w, expected;
        c.expectedChange(expected);
        c.before(w);
        EXPECT_EQ(act(w.actions, c.entry), c.outcome) << c.what;
        EXPECT_EQ(Shown(w.prompt), c.shown) << c.what;
        EXPECT_EQ(Snapshot(w), Snapshot(expected)) << c.what;
        EXPECT_GT(w.list.RowCount(), 0u) << c.what;
        EXPECT_TRUE(w.files.Exists(kApp)) << c.what;
    }
}

}  // namespace

TEST(AlertActions, DeleteAsksAboutTheEntryAndRemovesOnlyItsLiveCopy) {
    const std::string machine =
        "Section: Registry -> Machine Run\r\nName: App\r\nValue: C:\\Tools\\app.exe /x | "
        "Alert: delete value? | 36";
    // The question shows the listed name; the delete uses the stored one.
    const std::string lead =
        "Section: Registry -> User Run\r\nName: Lead\r\nValue: one.exe | Alert: delete value? | 36";
    const std::string file = "Section: Startup Folder -> User\r\nFile: " +
                             FakeShell().userStartup + "\\Del.lnk" + " | Alert: delete file? | 36";
    const std::string failed = "not deleted | " + kTitle + " | 48";
    const AlertEntry machineApp = Registry("Registry -> Machine Run", "App", kApp + std::string(" /x"));
    const AlertEntry spaced = Registry(kUserRunSection, "  Lead", "one.exe");
    RunCases(
        {
            {"No", machineApp, [](AlertWorld& w) { w.prompt.Answer(kAnswerNo); }, kNothing,
             AlertOutcome::StayOpen, {machine}},
            {"live value, not the disabled twin", machineApp,
             [](AlertWorld& w) { w.prompt.Answer(kAnswerYes); },
             [](AlertWorld& w) { w.Unset(Hive::LocalMachine, kMachineRun, "App"); },
             AlertOutcome::Close, {machine}},
            {"exact stored name", spaced, [](AlertWorld& w) { w.prompt.Answer(kAnswerYes); },
             [](AlertWorld& w) { w.Unset(Hive::CurrentUser, kRunKey, "  Lead"); },
             AlertOutcome::Close, {lead}},
            {"live file, not its twin nor its target", Folder("Del.lnk"),
             [](AlertWorld& w) { w.prompt.Answer(kAnswerYes); },
             [](AlertWorld& w) { w.files.Remove(w.UserLink("Del.lnk")); }, AlertOutcome::Close, {file}},
            {"value that cannot be deleted", spaced,
             [](AlertWorld& w) {
                 w.prompt.Answer(kAnswerYes);
                 w.registry.Fail(RegFault::Delete, Hive::CurrentUser, kRunKey);
             },
             kNothing, AlertOutcome::StayOpen, {lead, failed}},
            // Gone from the live store already: the wish is met.
            {"gone already", Registry(kUserRunSection, "Absent", kApp),
             [](AlertWorld& w) { w.prompt.Answer(kAnswerYes); }, kNothing, AlertOutcome::Close,
             {"Section: Registry -> User Run\r\nName: Absent\r\nValue: C:\\Tools\\app.exe | "
              "Alert: delete value? | 36"}},
            {"unknown Section", Registry("Registry -> Elsewhere", "Dup", kApp), kNothing, kNothing,
             AlertOutcome::StayOpen, {}},
        },
        [](AlertActions& actions, const AlertEntry& entry) { return actions.Delete(entry); });
}

TEST(AlertActions, DisableMovesTheExactEntryWithoutAskingAndNeverLosesIt) {
    const std::string exists = "target exists | " + kTitle + " | 48";
    const std::string notMoved = "not moved | " + kTitle + " | 48";
    const AlertEntry dup = Registry(kUserRunSection, "Dup", "new.exe");
    RunCases(
        {
            {"expandable WOW64 value", Registry("Registry -> User Run (WOW64)", "Wow", kWowExpandable),
             kNothing,
             [](AlertWorld& w) {
                 w.Unset(Hive::CurrentUser, kWowRunKey, "Wow");
                 w.registry.SetString(Hive::CurrentUser, kWowRunDisabled, "Wow", kWowExpandable,
                                      RegType::ExpandString);
             },
             AlertOutcome::Close, {}},
            {"exact stored name", Registry(kUserRunSection, "  Lead", "one.exe"), kNothing,
             [](AlertWorld& w) {
                 w.Unset(Hive::CurrentUser, kRunKey, "  Lead");
                 w.registry.SetString(Hive::CurrentUser, kRunDisabledKey, "  Lead", "one.exe");
             },
             AlertOutcome::Close, {}},
            {"shortcut", Folder("App.lnk"), kNothing,
             [](AlertWorld& w) {
                 w.files.Remove(w.UserLink("App.lnk"));
                 w.AddShortcut(w.folders.userDisabled, "App.lnk", kApp);
             },
             AlertOutcome::Close, {}},
            {"value with a parked namesake", dup, kNothing, kNothing, AlertOutcome::StayOpen, {exists}},
            {"disabled key refuses the write", dup,
             [](AlertWorld& w) {
                 w.Unset(Hive::CurrentUser, kRunDisabledKey, "Dup");
                 w.registry.Fail(RegFault::Write, Hive::CurrentUser, kRunDisabledKey);
             },
             [](AlertWorld& w) { w.Unset(Hive::CurrentUser, kRunDisabledKey, "Dup"); },
             AlertOutcome::StayOpen, {notMoved}},
            // Only in the disabled store: disabled already, nothing to say.
            {"parked already", Registry(kUserRunSection, "Parked", kApp), kNothing, kNothing,
             AlertOutcome::Close, {}},
            // Gone altogether: it could not be disabled; the user closes with Allow.
            {"gone", Registry(kUserRunSection, "Vanished", kApp), kNothing, kNothing, AlertOutcome::StayOpen,
             {notMoved}},
            {"unknown Section", Registry("Registry -> Elsewhere", "Dup", kApp), kNothing, kNothing,
             AlertOutcome::StayOpen, {}},
        },
        [](AlertActions& actions, const AlertEntry& entry) { return actions.Disable(entry); });
}

TEST(AlertActions, AllowAndTheDeleteTextOfAnUnknownSectionChangeNothing) {
    AlertWorld w;
    const std::string before = Snapshot(w);
    EXPECT_EQ(w.actions.Allow(Registry(kUserRunSection, "Dup", "new.exe")), AlertOutcome::Close);
    EXPECT_EQ(w.actions.DeletePrompt(Registry("Registry -> Elsewhere", "Dup", kApp)), "");
    EXPECT_EQ(Snapshot(w), before);
    EXPECT_EQ(w.list.RowCount(), 0u);  // no reload
    EXPECT_TRUE(w.prompt.calls.empty());
}

TEST(AlertActions, TooltipOnlyBeyondSixtyCharactersAndQuestionIconForAMissingPath) {
    EXPECT_EQ(ValueTooltip(std::string(60, 'x')), "");
    EXPECT_EQ(ValueTooltip(std::string(61, 'x')), std::string(61, 'x'));
    std::string cyrillic60;  // 120 bytes, 60 characters
    for (int i = 0; i < 60; ++i) cyrillic60 += "Ж";
    EXPECT_EQ(ValueTooltip(cyrillic60), "");
    EXPECT_EQ(ValueTooltip(cyrillic60 + "Ж"), cyrillic60 + "Ж");

    OpsWorld w;
    EXPECT_TRUE(ShowsQuestionIcon("", w.texts));
    EXPECT_TRUE(ShowsQuestionIcon("File not found", w.texts));
    EXPECT_FALSE(ShowsQuestionIcon("FILE NOT FOUND", w.texts));
    EXPECT_FALSE(ShowsQuestionIcon(kApp, w.texts));
}
