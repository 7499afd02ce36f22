// Disable, enable, delete, execute and file properties of the selected row.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "OperationsTestBench.h"
#include "platform/Text.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;
using Arrange = std::function<void(OpsWorld&)>;

class Operations : public OperationsBench {};

// A prompt that lets something happen while its box is open (a monitor tick
// reloading the list), then answers.
class BusyPrompt : public IPrompt {
public:
    BusyPrompt(ScriptedPrompt& inner, std::function<void()> whileOpen)
        : inner_(inner), whileOpen_(std::move(whileOpen)) {}
    int Show(const std::string& text, const std::string& caption, int style) override {
        whileOpen_();
        return inner_.Show(text, caption, style);
    }

private:
    ScriptedPrompt& inner_;
    std::function<void()> whileOpen_;
};

// Live "App" and "Machine" (in the other hive), parked "Parked", "Both"
// live and parked, a live shortcut "Tool.lnk" and a parked one "Twin.lnk".
void AddEntries(OpsWorld& w) {
    w.files.AddFile("C:\\app.exe", "MZ");
    w.registry.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\app.exe /min");
    w.registry.SetString(Hive::CurrentUser, kRunDisabledKey, "Parked", "C:\\app.exe");
    w.registry.SetString(Hive::LocalMachine, kRunKey, "Machine", "C:\\app.exe");
    w.registry.SetString(Hive::CurrentUser, kRunKey, "Both", "C:\\live.exe");
    w.registry.SetString(Hive::CurrentUser, kRunDisabledKey, "Both", "C:\\parked.exe");
    w.shell.AddShortcut(w.UserLink("Tool.lnk"), "C:\\tool.exe");
    w.shell.AddShortcut(w.UserTwin("Twin.lnk"), "C:\\twin.exe");
}

}  // namespace

TEST_F(Operations, DisableAndEnableMoveTheExactEntryAndMarkTheRowInPlace) {
    // Expandable data with a second string after the first NUL, a 20 KB
    // command, a name outside any ANSI code page, a name with leading blanks
    // the list does not show.
    std::vector<std::uint8_t> expandable = EncodeUtf16LeWithNul("%ProgramFiles%\\App\\app.exe");
    const auto tail = EncodeUtf16LeWithNul("tail");
    expandable.insert(expandable.end(), tail.begin(), tail.end());
    const RegValue values[] = {
        {"Expand", RegType::ExpandString, expandable},
        {"Huge", RegType::String, EncodeUtf16LeWithNul("C:\\big.exe " + std::string(10240, 'x'))},
        {"Запуск 日本 ✓", RegType::String, EncodeUtf16LeWithNul("C:\\ü\\прог.exe")},
        {"  Spaced", RegType::String, EncodeUtf16LeWithNul("C:\\spaced.exe")},
    };
    for (const RegValue& value : values) registry.SetValue(Hive::CurrentUser, kRunKey, value);
    registry.SetString(Hive::CurrentUser, kRunKey, "Other", "C:\\other.exe");
    // A parked namesake in another Section (the WOW64 twin) is no conflict.
    registry.SetString(Hive::CurrentUser, kWowRunKey + "-Disabled", "Expand", "C:\\wow.exe");

    for (const RegValue& value : values) {
        const std::string shown = TrimLeadingSpaces(value.name);
        for (const bool disable : {true, false}) {
            LoadAndSelect(shown, kUserRunSection, !disable);
            const std::size_t index = *list.SelectedIndex();
            EXPECT_TRUE(disable ? DisableSelected(context) : EnableSelected(context)) << shown;
            const auto moved =
                registry.GetValue(Hive::CurrentUser, disable ? kRunDisabledKey : kRunKey, value.name);
            ASSERT_TRUE(moved) << shown;
            EXPECT_EQ(std::tie(moved->name, moved->type, moved->data),
                      std::tie(value.name, value.type, value.data)) << shown;
            EXPECT_FALSE(registry.GetValue(Hive::CurrentUser, disable ? kRunKey : kRunDisabledKey,
                                           value.name)) << shown;
            EXPECT_EQ(list.Rows()[index].Status(), disable ? "Disabled" : "") << shown;
        }
    }
    EXPECT_EQ(registry.ValueNames(Hive::CurrentUser, kRunKey).size(), 5u);
    EXPECT_EQ(Live("Other"), "C:\\other.exe");

    // A shortcut goes to the hidden twin folder and back. No reload: the row
    // is marked in place, and an entry added behind the list's back stays unlisted.
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\Tools\\tool.exe");
    LoadAndSelect("Tool.lnk", kUserFolder);
    registry.SetString(Hive::CurrentUser, kRunKey, "Later", "C:\\later.exe");
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_FALSE(files.Exists(UserLink("Tool.lnk")));
    EXPECT_EQ(files.Content(UserTwin("Tool.lnk")), FakeShell::ShortcutFileContent("C:\\Tools\\tool.exe"));
    EXPECT_EQ(Status("Tool.lnk", kUserFolder), "Disabled");
    EXPECT_TRUE(EnableSelected(context));
    EXPECT_FALSE(files.Exists(UserTwin("Tool.lnk")));
    EXPECT_EQ(files.Content(UserLink("Tool.lnk")), FakeShell::ShortcutFileContent("C:\\Tools\\tool.exe"));
    EXPECT_EQ(Status("Tool.lnk", kUserFolder), "");
    EXPECT_FALSE(RowOf("Later", kUserRunSection));
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_F(Operations, EmptyListOrNoSelectionChangesNothing) {
    // An empty list only asks for the counts to be redrawn.
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_TRUE(EnableSelected(context));
    registry.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\app.exe");
    for (const bool loaded : {false, true}) {
        if (loaded) {
            list.LoadRegistryInfo();
            ASSERT_EQ(list.RowCount(), 1u);
            // Rows but no selection.
            EXPECT_FALSE(DisableSelected(context));
            EXPECT_FALSE(EnableSelected(context));
        }
        EXPECT_FALSE(DeleteSelected(context));
        EXPECT_FALSE(ExecuteSelected(context));
        EXPECT_FALSE(ShowSelectedProperties(context));
        EXPECT_EQ(list.RowCount(), loaded ? 1u : 0u);  // delete did not reload
    }
    EXPECT_EQ(Live("App"), "C:\\app.exe");
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_TRUE(shell.started.empty());
    EXPECT_TRUE(shell.propertiesShown.empty());
}

TEST(OperationsFailures, ARefusedOrFailedMoveIsReportedAndChangesNothing) {
    const std::string notMoved = "not moved | " + kTitle + " | 48";
    const std::string exists = "target exists | " + kTitle + " | 48";
    const Arrange nothing = [](OpsWorld&) {};
    const struct {
        const char* what;
        std::string name, section;
        bool disabledRow;
        Arrange afterLoad;
        std::string shown;
        bool disable = !disabledRow;
    } cases[] = {
        // The conflict scan: a row of the same Section and name (exactly) that
        // has the target status already, the selected row itself included.
        {"a parked namesake", "Both", kUserRunSection, false, nothing, "already disabled | " + kTitle + " | 64"},
        {"a live namesake", "Both", kUserRunSection, true, nothing, "already enabled | " + kTitle + " | 64"},
        {"disabled already", "Parked", kUserRunSection, true, nothing,
         "already disabled | " + kTitle + " | 64", true},
        {"enabled already", "App", kUserRunSection, false, nothing, "already enabled | " + kTitle + " | 64",
         false},
        // A parked name in other case passes the scan, but the registry holds
        // it as the same name.
        {"a listed parked namesake in other case", "App", kUserRunSection, false,
         [](OpsWorld& w) {
             w.registry.SetString(Hive::CurrentUser, kRunDisabledKey, "APP", "x");
             w.LoadAndSelect("App", kUserRunSection);
         },
         exists},
        {"disabled key cannot be created", "Machine", "Registry -> Machine Run", false,
         [](OpsWorld& w) { w.registry.Fail(RegFault::Create, Hive::LocalMachine, kRunDisabledKey); },
         notMoved},
        {"disabled key refuses the write", "App", kUserRunSection, false,
         [](OpsWorld& w) { w.registry.Fail(RegFault::Write, Hive::CurrentUser, kRunDisabledKey); },
         notMoved},
        {"source cannot be removed: the copy is taken back", "App", kUserRunSection, false,
         [](OpsWorld& w) { w.registry.Fail(RegFault::Delete, Hive::CurrentUser, kRunKey); }, notMoved},
        {"live key refuses the write", "Parked", kUserRunSection, true,
         [](OpsWorld& w) { w.registry.Fail(RegFault::Write, Hive::CurrentUser, kRunKey); }, notMoved},
        {"source vanished", "App", kUserRunSection, false,
         [](OpsWorld& w) { w.registry.OpenKey(Hive::CurrentUser, kRunKey, true)->DeleteValue("App"); },
         notMoved},
        {"shortcut cannot be moved", "Tool.lnk", kUserFolder, false,
         [](OpsWorld& w) { w.files.Fail(FileFault::Move, w.UserLink("Tool.lnk")); }, notMoved},
        {"parked shortcut cannot be moved back", "Twin.lnk", kUserFolder, true,
         [](OpsWorld& w) { w.files.Fail(FileFault::Move, w.UserTwin("Twin.lnk")); }, notMoved},
        {"parked value appeared after the load", "App", kUserRunSection, false,
         [](OpsWorld& w) { w.registry.SetString(Hive::CurrentUser, kRunDisabledKey, "APP", "x"); },
         exists},
        {"live value appeared after the load", "Parked", kUserRunSection, true,
         [](OpsWorld& w) { w.registry.SetString(Hive::CurrentUser, kRunKey, "PARKED", "x"); },
         exists},
        {"parked shortcut appeared after the load", "Tool.lnk", kUserFolder, false,
         [](OpsWorld& w) { w.shell.AddShortcut(w.UserTwin("Tool.lnk"), "C:\\p.exe"); },
         exists},
        {"live shortcut written back after the load", "Twin.lnk", kUserFolder, true,
         [](OpsWorld& w) { w.shell.AddShortcut(w.UserLink("Twin.lnk"), "C:\\other.exe"); }, exists},
    };
    for (const auto& c : cases) {
        OpsWorld w;
        AddEntries(w);
        w.LoadAndSelect(c.name, c.section, c.disabledRow);
        const std::size_t index = *w.list.SelectedIndex();
        const std::string status = w.list.Rows()[index].Status();
        c.afterLoad(w);
        const std::string before = Snapshot(w);
        // False only for the conflict scan's refusals.
        EXPECT_EQ(c.disable ? DisableSelected(w.context) : EnableSelected(w.context),
                  c.shown == exists || c.shown == notMoved) << c.what;
        EXPECT_EQ(Shown(w.prompt), Texts{c.shown}) << c.what;
        EXPECT_EQ(Snapshot(w), before) << c.what;
        EXPECT_EQ(w.list.Rows()[index].Status(), status) << c.what;
    }
}

TEST(OperationsDelete, DeleteAsksThenRemovesOnlyTheRowsOwnEntry) {
    const auto setUp = [](OpsWorld& w) {
        AddEntries(w);
        w.registry.SetString(Hive::CurrentUser, kRunKey, "Parked", "C:\\live namesake.exe");
        w.shell.AddShortcut(w.UserTwin("Tool.lnk"), "C:\\parked.exe");
    };
    const auto removeValue = [](const std::string& key, const std::string& name) -> Arrange {
        return [=](OpsWorld& w) { w.registry.OpenKey(Hive::CurrentUser, key, true)->DeleteValue(name); };
    };
    const Arrange nothing = [](OpsWorld&) {};
    const std::string app = "Section: Registry -> User Run\r\nName: App\r\nValue: C:\\app.exe /min | "
                            "Delete registry item? | 36";
    const std::string parked = "Section: Registry -> User Run\r\nName: Parked\r\nValue: C:\\app.exe | "
                               "Delete registry item? | 36";
    // The live path, also for a parked shortcut, and no name line.
    const std::string tool = "Section: Startup Folder -> User\r\nFile: " + FakeShell().userStartup + "\\Tool.lnk" +
                             " | Delete folder item? | 36";
    const std::string failed = "not deleted | " + kTitle + " | 48";
    const struct {
        const char* what;
        std::string name, section;
        bool disabledRow;
        int answer;
        Arrange beforeAnswer, expectedChange;
        Texts shown;
    } cases[] = {
        {"No keeps everything", "App", kUserRunSection, false, kAnswerNo, nothing, nothing, {app}},
        {"live value, not its program", "App", kUserRunSection, false, kAnswerYes, nothing,
         removeValue(kRunKey, "App"), {app}},
        {"parked copy only", "Parked", kUserRunSection, true, kAnswerYes, nothing,
         removeValue(kRunDisabledKey, "Parked"), {parked}},
        {"parked shortcut only", "Tool.lnk", kUserFolder, true, kAnswerYes, nothing,
         [](OpsWorld& w) { w.files.Remove(w.UserTwin("Tool.lnk")); }, {tool}},
        {"live shortcut only", "Tool.lnk", kUserFolder, false, kAnswerYes, nothing,
         [](OpsWorld& w) { w.files.Remove(w.UserLink("Tool.lnk")); }, {tool}},
        {"value that cannot be deleted", "App", kUserRunSection, false, kAnswerYes,
         [](OpsWorld& w) { w.registry.Fail(RegFault::Delete, Hive::CurrentUser, kRunKey); }, nothing,
         {app, failed}},
        {"file that cannot be deleted", "Tool.lnk", kUserFolder, false, kAnswerYes,
         [](OpsWorld& w) { w.files.Fail(FileFault::Delete, w.UserLink("Tool.lnk")); }, nothing,
         {tool, failed}},
        {"gone already when the answer came", "App", kUserRunSection, false, kAnswerYes,
         removeValue(kRunKey, "App"), removeValue(kRunKey, "App"), {app}},
    };
    for (const auto& c : cases) {
        OpsWorld w, expected;
        setUp(w);
        setUp(expected);
        c.expectedChange(expected);
        w.LoadAndSelect(c.name, c.section, c.disabledRow);
        c.beforeAnswer(w);
        // Listed only if the delete reloads the list, whatever the answer.
        for (OpsWorld* x : {&w, &expected})
            x->registry.SetString(Hive::LocalMachine, kRunKey, "Later", "C:\\later.exe");
        w.prompt.Answer(c.answer);
        EXPECT_TRUE(DeleteSelected(w.context)) << c.what;
        EXPECT_EQ(Shown(w.prompt), c.shown) << c.what;
        EXPECT_EQ(Snapshot(w), Snapshot(expected)) << c.what;
        EXPECT_TRUE(w.RowOf("Later", "Registry -> Machine Run")) << c.what;
        EXPECT_TRUE(w.files.Exists("C:\\app.exe")) << c.what;
    }
}

TEST_F(Operations, DeleteActsOnTheEntryTheQuestionNamed) {
    registry.SetString(Hive::CurrentUser, kRunKey, "Bravo", "C:\\bravo.exe");
    registry.SetString(Hive::CurrentUser, kRunKey, "Charlie", "C:\\charlie.exe");
    LoadAndSelect("Bravo", kUserRunSection);

    // While the question is open, a tick reloads the list with a new entry
    // that sorts first, and the user's sort puts Charlie where Bravo was.
    BusyPrompt busy(prompt, [&] {
        registry.SetString(Hive::CurrentUser, kRunKey, "Alpha", "C:\\alpha.exe");
        list.LoadRegistryInfo();
        list.ColumnClick(1);
        list.ColumnClick(1);
        list.Select(std::size_t{0});
    });
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(OperationContext{platform, texts, busy, list}));
    EXPECT_EQ(prompt.calls[0].text, "Section: Registry -> User Run\r\nName: Bravo\r\nValue: C:\\bravo.exe");
    EXPECT_FALSE(Live("Bravo"));
    EXPECT_TRUE(Live("Alpha") && Live("Charlie"));

    // The named entry was disabled meanwhile: its parked copy is not what
    // the question named, so it stays.
    LoadAndSelect("Charlie", kUserRunSection);
    BusyPrompt moving(prompt, [&] {
        registry.OpenKey(Hive::CurrentUser, kRunKey, true)->DeleteValue("Charlie");
        registry.SetString(Hive::CurrentUser, kRunDisabledKey, "Charlie", "C:\\charlie.exe");
        list.LoadRegistryInfo();
        list.Select(RowOf("Charlie", kUserRunSection, true));
    });
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(OperationContext{platform, texts, moving, list}));
    EXPECT_EQ(Parked("Charlie"), "C:\\charlie.exe");
}

TEST_F(Operations, ExecuteAndPropertiesUseTheCommandOrTheParkedShortcutsTarget) {
    files.AddFile("C:\\Tools\\tool.exe", "MZ");
    registry.SetString(Hive::CurrentUser, kRunKey, "Plain", "C:\\Tools\\tool.exe /background");
    registry.SetString(Hive::CurrentUser, kRunKey, "Quoted", "\"C:\\Program Files\\x.exe\" -min /x");
    registry.SetString(Hive::CurrentUser, kRunDisabledKey, "Parked", "C:\\Tools\\tool.exe -p");
    shell.AddShortcut(UserLink("Live.lnk"), "C:\\Tools\\tool.exe");
    shell.AddShortcut(folders.commonDisabled + "Twin.lnk", "C:\\Tools\\tool.exe");
    const struct {
        std::string name, section;
        bool disabled;
        std::string started, properties;
    } cases[] = {
        {"Plain", kUserRunSection, false, "\"C:\\Tools\\tool.exe /background\"", "C:\\Tools\\tool.exe "},
        {"Quoted", kUserRunSection, false, "\"C:\\Program Files\\x.exe\" -min /x", "C:\\Program Files\\x.exe"},
        {"Parked", kUserRunSection, true, "\"C:\\Tools\\tool.exe -p\"", "C:\\Tools\\tool.exe "},
        // A live shortcut is started itself; a parked one through its target,
        // but its properties are the parked shortcut's own.
        {"Live.lnk", kUserFolder, false, "\"" + UserLink("Live.lnk") + "\"", UserLink("Live.lnk")},
        {"Twin.lnk", kCommonFolder, true, "\"C:\\Tools\\tool.exe\"", folders.commonDisabled + "Twin.lnk"},
    };
    for (const auto& c : cases) {
        LoadAndSelect(c.name, c.section, c.disabled);
        EXPECT_TRUE(ExecuteSelected(context)) << c.name;
        EXPECT_EQ(shell.started.back(), c.started) << c.name;
        EXPECT_TRUE(ShowSelectedProperties(context)) << c.name;
        EXPECT_EQ(shell.propertiesShown.back(), c.properties) << c.name;
    }
    EXPECT_TRUE(prompt.calls.empty());

    // The shell's failure to show properties is not the program's to report.
    shell.startResult = shell.propertiesResult = false;
    EXPECT_FALSE(ExecuteSelected(context));
    EXPECT_FALSE(ShowSelectedProperties(context));
    EXPECT_EQ(Shown(prompt), Texts{"not started | " + kTitle + " | 48"});
}
