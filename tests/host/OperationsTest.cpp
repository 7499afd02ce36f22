// Disable, enable, delete, execute and file properties of the selected row.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "OperationsTestBench.h"
#include "platform/Text.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

class Operations : public OperationsBench {};

// A prompt that lets something happen while its box is open (a monitor tick
// reloading the list), then answers.
class BusyPrompt : public IPrompt {
public:
    BusyPrompt(ScriptedPrompt& inner, std::function<void()> whileOpen)
        : inner_(inner), whileOpen_(std::move(whileOpen)) {}
    int Show(const std::string& text, const std::string& caption, int style) override {
        if (whileOpen_) whileOpen_();
        return inner_.Show(text, caption, style);
    }

private:
    ScriptedPrompt& inner_;
    std::function<void()> whileOpen_;
};

}  // namespace

TEST_F(Operations, DisableAndEnableMoveRegistryValueAndMarkTheRowInPlace) {
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\app.exe /min");
    reg.SetString(Hive::CurrentUser, kRunKey, "Other", "C:\\other.exe");
    LoadAndSelect("App", kUserRun);
    const std::size_t index = *list.SelectedIndex();

    EXPECT_TRUE(DisableSelected(context));
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunKey, "App"));
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunDisabledKey, "App"), "C:\\app.exe /min");
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunKey, "Other"), "C:\\other.exe");
    // No reload: the same row, now marked.
    EXPECT_EQ(list.SelectedIndex(), index);
    EXPECT_EQ(list.Rows()[index].Status(), "Disabled");

    EXPECT_TRUE(EnableSelected(context));
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunKey, "App"), "C:\\app.exe /min");
    EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunDisabledKey, "App"));
    EXPECT_EQ(list.Rows()[index].Status(), "");
}

TEST_F(Operations, DisableAndEnableMoveAShortcutToTheHiddenTwinAndBack) {
    files.AddFile("C:\\Tools\\tool.exe", "MZ");
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\Tools\\tool.exe");
    LoadAndSelect("Tool.lnk", kUserFolder);

    EXPECT_TRUE(DisableSelected(context));
    EXPECT_FALSE(files.Exists(UserLink("Tool.lnk")));
    EXPECT_EQ(files.Content(UserTwin("Tool.lnk")),
              FakeShell::ShortcutFileContent("C:\\Tools\\tool.exe"));
    EXPECT_EQ(Status("Tool.lnk", kUserFolder), "Disabled");

    EXPECT_TRUE(EnableSelected(context));
    EXPECT_FALSE(files.Exists(UserTwin("Tool.lnk")));
    EXPECT_EQ(files.Content(UserLink("Tool.lnk")),
              FakeShell::ShortcutFileContent("C:\\Tools\\tool.exe"));
    EXPECT_EQ(Status("Tool.lnk", kUserFolder), "");
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_F(Operations, ConflictScanRefusesWithTheRightMessageAndChangesNothing) {
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\live.exe");
    reg.SetString(Hive::CurrentUser, kRunDisabledKey, "App", "C:\\parked.exe");
    reg.SetString(Hive::CurrentUser, kRunDisabledKey, "Parked", "C:\\parked.exe");

    // A disabled namesake in the same location blocks disabling.
    LoadAndSelect("App", kUserRun);
    EXPECT_FALSE(DisableSelected(context));
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text,
              "This item, or an item of the same name in this section, is already disabled.");
    EXPECT_EQ(prompt.calls[0].caption, kTitle);
    EXPECT_EQ(prompt.calls[0].style, 64);
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunKey, "App"), "C:\\live.exe");
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunDisabledKey, "App"), "C:\\parked.exe");

    // And the enabled namesake blocks enabling the disabled one.
    LoadAndSelect("App", kUserRun, true);
    EXPECT_FALSE(EnableSelected(context));
    ASSERT_EQ(prompt.calls.size(), 2u);
    EXPECT_EQ(prompt.calls[1].text,
              "This item, or an item of the same name in this section, is already enabled.");
    EXPECT_EQ(prompt.calls[1].caption, kTitle);
    EXPECT_EQ(prompt.calls[1].style, 64);

    // A disabled row cannot be disabled again, an enabled one not enabled.
    LoadAndSelect("Parked", kUserRun, true);
    EXPECT_FALSE(DisableSelected(context));
    EXPECT_EQ(prompt.calls.back().text,
              "This item, or an item of the same name in this section, is already disabled.");
    reg.SetString(Hive::CurrentUser, kRunKey, "Solo", "C:\\solo.exe");
    LoadAndSelect("Solo", kUserRun);
    EXPECT_FALSE(EnableSelected(context));
    EXPECT_EQ(prompt.calls.back().text,
              "This item, or an item of the same name in this section, is already enabled.");
    EXPECT_EQ(prompt.calls.size(), 4u);
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunDisabledKey, "Parked"), "C:\\parked.exe");
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunKey, "Solo"), "C:\\solo.exe");
}

TEST_F(Operations, ConflictScanComparesSectionAndNameExactly) {
    // A disabled namesake in the WOW64 twin does not block the native entry.
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\app.exe");
    reg.SetString(Hive::CurrentUser, kWowRunKey + "-Disabled", "App", "C:\\wow.exe");
    LoadAndSelect("App", kUserRun);
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_EQ(Status("App", kUserRun), "Disabled");
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kWowRunKey + "-Disabled", "App"), "C:\\wow.exe");

    // A disabled name differing in case passes the scan, but the registry
    // holds it as the same name: the move is refused and both survive.
    reg.SetString(Hive::CurrentUser, kRunKey, "Tool", "C:\\new tool.exe");
    reg.SetString(Hive::CurrentUser, kRunDisabledKey, "TOOL", "C:\\old tool.exe");
    LoadAndSelect("Tool", kUserRun);
    EXPECT_TRUE(DisableSelected(context));
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text.substr(0, 21), "The item was not move");
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunKey, "Tool"), "C:\\new tool.exe");
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunDisabledKey, "TOOL"), "C:\\old tool.exe");
    EXPECT_EQ(Status("Tool", kUserRun), "");
}

TEST_F(Operations, EmptyListOrNoSelectionChangesNothing) {
    // An empty list only asks for the counts to be redrawn.
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_TRUE(EnableSelected(context));
    EXPECT_FALSE(DeleteSelected(context));
    EXPECT_FALSE(ExecuteSelected(context));
    EXPECT_FALSE(ShowSelectedProperties(context));

    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\app.exe");
    list.LoadRegistryInfo();
    ASSERT_EQ(list.RowCount(), 1u);
    // Something the list does not know yet: a reload would show it.
    reg.SetString(Hive::CurrentUser, kRunKey, "Later", "C:\\later.exe");
    EXPECT_FALSE(DisableSelected(context));
    EXPECT_FALSE(EnableSelected(context));
    EXPECT_FALSE(DeleteSelected(context));
    EXPECT_FALSE(ExecuteSelected(context));
    EXPECT_FALSE(ShowSelectedProperties(context));
    EXPECT_EQ(list.RowCount(), 1u);  // delete did not reload
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunKey, "App"), "C:\\app.exe");
    EXPECT_TRUE(prompt.calls.empty());
    EXPECT_TRUE(shell.started.empty());
    EXPECT_TRUE(shell.propertiesShown.empty());
}

TEST_F(Operations, MovesKeepTypeBytesAndRealNames) {
    // Expandable data with an embedded second string after the first NUL,
    // a 20 KB command, a name outside any ANSI code page, a name with
    // leading blanks the list does not show.
    std::vector<std::uint8_t> expandable = EncodeUtf16LeWithNul("%ProgramFiles%\\App\\app.exe");
    const auto tail = EncodeUtf16LeWithNul("tail");
    expandable.insert(expandable.end(), tail.begin(), tail.end());
    const RegValue expand{"Expand", RegType::ExpandString, expandable};
    const RegValue huge{"Huge", RegType::String,
                        EncodeUtf16LeWithNul("C:\\big.exe " + std::string(10 * 1024, 'x'))};
    const RegValue foreign{"Запуск 日本 ✓", RegType::String,
                           EncodeUtf16LeWithNul("C:\\ü\\прог.exe")};
    const RegValue spaced{"  Spaced", RegType::String, EncodeUtf16LeWithNul("C:\\spaced.exe")};
    for (const auto& value : {expand, huge, foreign, spaced}) {
        reg.SetValue(Hive::CurrentUser, kRunKey, value);
    }
    ASSERT_GE(huge.data.size(), 20u * 1024u);

    for (const auto& value : {expand, huge, foreign, spaced}) {
        const std::string shown = TrimLeadingSpaces(value.name);
        LoadAndSelect(shown, kUserRun);
        EXPECT_TRUE(DisableSelected(context)) << shown;
        const auto parked = reg.GetValue(Hive::CurrentUser, kRunDisabledKey, value.name);
        ASSERT_TRUE(parked) << shown;
        EXPECT_EQ(parked->name, value.name);
        EXPECT_EQ(parked->type, value.type);
        EXPECT_EQ(parked->data, value.data);
        EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunKey, value.name));

        LoadAndSelect(shown, kUserRun, true);
        EXPECT_TRUE(EnableSelected(context)) << shown;
        const auto back = reg.GetValue(Hive::CurrentUser, kRunKey, value.name);
        ASSERT_TRUE(back) << shown;
        EXPECT_EQ(back->name, value.name);
        EXPECT_EQ(back->type, value.type);
        EXPECT_EQ(back->data, value.data);
        EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunDisabledKey, value.name));
    }
    EXPECT_TRUE(prompt.calls.empty());
    // Only "  Spaced" moved, not a value called "Spaced".
    EXPECT_EQ(reg.ValueNames(Hive::CurrentUser, kRunKey).size(), 4u);
}

TEST_F(Operations, FailedMovesKeepTheEntryAndTheStatus) {
    const std::string kNotMoved = "The item could not be moved. Nothing was changed.";
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\app.exe");

    // The disabled key cannot be created or written.
    reg.Fail(RegFault::Create, Hive::CurrentUser, kRunDisabledKey);
    LoadAndSelect("App", kUserRun);
    EXPECT_TRUE(DisableSelected(context));
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text, kNotMoved);
    EXPECT_EQ(prompt.calls[0].caption, kTitle);
    EXPECT_EQ(prompt.calls[0].style, 48);
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunKey, "App"), "C:\\app.exe");
    EXPECT_EQ(Status("App", kUserRun), "");

    // The copy is written but the source cannot be removed: the copy is taken back.
    reg.ClearFailures();
    reg.Fail(RegFault::Delete, Hive::CurrentUser, kRunKey);
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_EQ(prompt.calls.back().text, kNotMoved);
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunKey, "App"), "C:\\app.exe");
    EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunDisabledKey, "App"));
    EXPECT_EQ(Status("App", kUserRun), "");

    // Enabling with a live key that refuses the write.
    reg.ClearFailures();
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_EQ(Status("App", kUserRun), "Disabled");
    reg.Fail(RegFault::Write, Hive::CurrentUser, kRunKey);
    EXPECT_TRUE(EnableSelected(context));
    EXPECT_EQ(prompt.calls.back().text, kNotMoved);
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunDisabledKey, "App"), "C:\\app.exe");
    EXPECT_EQ(Status("App", kUserRun), "Disabled");

    // A shortcut that cannot be moved stays where it is.
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\tool.exe");
    files.Fail(FileFault::Move, UserLink("Tool.lnk"));
    LoadAndSelect("Tool.lnk", kUserFolder);
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_EQ(prompt.calls.back().text, kNotMoved);
    EXPECT_TRUE(files.Exists(UserLink("Tool.lnk")));
    EXPECT_FALSE(files.Exists(UserTwin("Tool.lnk")));
    EXPECT_EQ(Status("Tool.lnk", kUserFolder), "");
}

TEST_F(Operations, MoveNeverOverwritesWhatTheListDidNotShow) {
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\live.exe");
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\live.exe");
    list.LoadRegistryInfo();
    // Parked copies appear after the load.
    shell.AddShortcut(UserTwin("Tool.lnk"), "C:\\parked.exe");
    reg.SetString(Hive::CurrentUser, kRunDisabledKey, "App", "C:\\parked.exe");

    list.Select(RowOf("Tool.lnk", kUserFolder));
    EXPECT_TRUE(DisableSelected(context));
    list.Select(RowOf("App", kUserRun));
    EXPECT_TRUE(DisableSelected(context));
    ASSERT_EQ(prompt.calls.size(), 2u);
    for (const auto& call : prompt.calls) {
        EXPECT_EQ(call.caption, kTitle);
        EXPECT_EQ(call.text,
                  "The item was not moved: the other store already holds an item of the same "
                  "name. Nothing was changed.");
        EXPECT_EQ(call.style, 48);
    }
    EXPECT_EQ(files.Content(UserLink("Tool.lnk")), FakeShell::ShortcutFileContent("C:\\live.exe"));
    EXPECT_EQ(files.Content(UserTwin("Tool.lnk")),
              FakeShell::ShortcutFileContent("C:\\parked.exe"));
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunKey, "App"), "C:\\live.exe");
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunDisabledKey, "App"), "C:\\parked.exe");
    EXPECT_EQ(Status("Tool.lnk", kUserFolder), "");
    EXPECT_EQ(Status("App", kUserRun), "");
}

TEST_F(Operations, DeleteAsksThenRemovesFromTheStoreOfTheStatus) {
    files.AddFile("C:\\app.exe", "MZ");
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\app.exe /min");
    reg.SetString(Hive::CurrentUser, kRunDisabledKey, "Parked", "C:\\app.exe");
    reg.SetString(Hive::CurrentUser, kRunKey, "Parked", "C:\\live namesake.exe");

    // No: nothing goes, and the list is reloaded all the same.
    LoadAndSelect("App", kUserRun);
    reg.SetString(Hive::CurrentUser, kRunKey, "Later", "C:\\later.exe");
    prompt.Answer(kAnswerNo);
    EXPECT_TRUE(DeleteSelected(context));
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text,
              "Section: Registry -> User Run\r\nName: App\r\nValue: C:\\app.exe /min");
    EXPECT_EQ(prompt.calls[0].caption, "Delete this registry item?");
    EXPECT_EQ(prompt.calls[0].style, 36);
    EXPECT_TRUE(reg.GetValue(Hive::CurrentUser, kRunKey, "App"));
    EXPECT_TRUE(RowOf("Later", kUserRun));

    // Yes on an enabled entry: the live value goes, the program file stays.
    list.Select(RowOf("App", kUserRun));
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(context));
    EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunKey, "App"));
    EXPECT_TRUE(files.Exists("C:\\app.exe"));
    EXPECT_FALSE(RowOf("App", kUserRun));

    // Yes on a disabled entry: only the "-Disabled" copy goes.
    list.Select(RowOf("Parked", kUserRun, true));
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(context));
    EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunDisabledKey, "Parked"));
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunKey, "Parked"), "C:\\live namesake.exe");
    EXPECT_EQ(prompt.calls.size(), 3u);  // no failure reported
}

TEST_F(Operations, DeleteOfAFolderEntryNamesTheLivePathAndRemovesTheRightFile) {
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\tool.exe");
    shell.AddShortcut(UserTwin("Tool.lnk"), "C:\\parked.exe");

    LoadAndSelect("Tool.lnk", kUserFolder, true);
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(context));
    ASSERT_EQ(prompt.calls.size(), 1u);
    // The live path, also for a disabled entry, and no name line.
    EXPECT_EQ(prompt.calls[0].text,
              "Section: Startup Folder -> User\r\nFile: " + UserLink("Tool.lnk"));
    EXPECT_EQ(prompt.calls[0].caption, "Delete this Startup folder item?");
    EXPECT_EQ(prompt.calls[0].style, 36);
    EXPECT_FALSE(files.Exists(UserTwin("Tool.lnk")));
    EXPECT_TRUE(files.Exists(UserLink("Tool.lnk")));

    list.Select(RowOf("Tool.lnk", kUserFolder));
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(context));
    EXPECT_FALSE(files.Exists(UserLink("Tool.lnk")));
    EXPECT_EQ(list.RowCount(), 0u);
}

TEST_F(Operations, FailedDeleteIsReportedAndAVanishedEntryIsNot) {
    reg.SetString(Hive::CurrentUser, kRunKey, "App", "C:\\app.exe");
    shell.AddShortcut(UserLink("Tool.lnk"), "C:\\tool.exe");
    reg.Fail(RegFault::Delete, Hive::CurrentUser, kRunKey);
    files.Fail(FileFault::Delete, UserLink("Tool.lnk"));

    LoadAndSelect("App", kUserRun);
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(context));
    LoadAndSelect("Tool.lnk", kUserFolder);
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(context));
    ASSERT_EQ(prompt.calls.size(), 4u);
    for (const std::size_t i : {1u, 3u}) {
        EXPECT_EQ(prompt.calls[i].text, "The item could not be deleted.");
        EXPECT_EQ(prompt.calls[i].caption, kTitle);
        EXPECT_EQ(prompt.calls[i].style, 48);
    }
    EXPECT_TRUE(reg.GetValue(Hive::CurrentUser, kRunKey, "App"));
    EXPECT_TRUE(files.Exists(UserLink("Tool.lnk")));
    EXPECT_TRUE(RowOf("App", kUserRun));

    // Gone already when the answer came: nothing to report.
    reg.ClearFailures();
    LoadAndSelect("App", kUserRun);
    ASSERT_TRUE(reg.OpenKey(Hive::CurrentUser, kRunKey, true)->DeleteValue("App"));
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(context));
    EXPECT_EQ(prompt.calls.size(), 5u);
}

TEST_F(Operations, DeleteActsOnTheEntryTheQuestionNamed) {
    reg.SetString(Hive::CurrentUser, kRunKey, "Bravo", "C:\\bravo.exe");
    reg.SetString(Hive::CurrentUser, kRunKey, "Charlie", "C:\\charlie.exe");
    LoadAndSelect("Bravo", kUserRun);

    // While the question is open, a tick reloads the list with a new entry
    // that sorts first, and the user's sort puts Charlie where Bravo was.
    BusyPrompt busy(prompt, [&] {
        reg.SetString(Hive::CurrentUser, kRunKey, "Alpha", "C:\\alpha.exe");
        list.LoadRegistryInfo();
        list.ColumnClick(1);
        list.ColumnClick(1);
        list.Select(std::size_t{0});
    });
    const OperationContext busyContext{platform, texts, busy, list};
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(busyContext));
    EXPECT_EQ(prompt.calls[0].text,
              "Section: Registry -> User Run\r\nName: Bravo\r\nValue: C:\\bravo.exe");
    EXPECT_FALSE(reg.GetValue(Hive::CurrentUser, kRunKey, "Bravo"));
    EXPECT_TRUE(reg.GetValue(Hive::CurrentUser, kRunKey, "Alpha"));
    EXPECT_TRUE(reg.GetValue(Hive::CurrentUser, kRunKey, "Charlie"));

    // The named entry was disabled meanwhile: its parked copy is not what
    // the question named, so it stays.
    LoadAndSelect("Charlie", kUserRun);
    BusyPrompt moving(prompt, [&] {
        reg.OpenKey(Hive::CurrentUser, kRunKey, true)->DeleteValue("Charlie");
        reg.SetString(Hive::CurrentUser, kRunDisabledKey, "Charlie", "C:\\charlie.exe");
        list.LoadRegistryInfo();
        list.Select(RowOf("Charlie", kUserRun, true));
    });
    const OperationContext movingContext{platform, texts, moving, list};
    prompt.Answer(kAnswerYes);
    EXPECT_TRUE(DeleteSelected(movingContext));
    EXPECT_EQ(reg.GetString(Hive::CurrentUser, kRunDisabledKey, "Charlie"), "C:\\charlie.exe");
}

TEST_F(Operations, ExecuteStartsTheQuotedCommandAndReportsFailure) {
    files.AddFile("C:\\Tools\\tool.exe", "MZ");
    reg.SetString(Hive::CurrentUser, kRunKey, "Plain", "C:\\Tools\\tool.exe /background");
    reg.SetString(Hive::CurrentUser, kRunKey, "Quoted", "\"C:\\Program Files\\x.exe\" -min");
    reg.SetString(Hive::CurrentUser, kRunDisabledKey, "Parked", "C:\\Tools\\tool.exe -p");
    shell.AddShortcut(UserLink("Live.lnk"), "C:\\Tools\\tool.exe");
    shell.AddShortcut(UserTwin("Parked.lnk"), "C:\\Tools\\tool.exe");

    const std::pair<std::string, std::pair<std::string, bool>> cases[] = {
        {"\"C:\\Tools\\tool.exe /background\"", {"Plain", false}},
        {"\"C:\\Program Files\\x.exe\" -min", {"Quoted", false}},
        {"\"C:\\Tools\\tool.exe -p\"", {"Parked", true}},
    };
    for (const auto& [expected, row] : cases) {
        LoadAndSelect(row.first, kUserRun, row.second);
        EXPECT_TRUE(ExecuteSelected(context));
        EXPECT_EQ(shell.started.back(), expected);
    }
    // A live shortcut is started itself; a parked one through its target.
    LoadAndSelect("Live.lnk", kUserFolder);
    EXPECT_TRUE(ExecuteSelected(context));
    EXPECT_EQ(shell.started.back(), "\"" + UserLink("Live.lnk") + "\"");
    LoadAndSelect("Parked.lnk", kUserFolder, true);
    EXPECT_TRUE(ExecuteSelected(context));
    EXPECT_EQ(shell.started.back(), "\"C:\\Tools\\tool.exe\"");
    EXPECT_TRUE(prompt.calls.empty());

    shell.startResult = false;
    EXPECT_FALSE(ExecuteSelected(context));
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text, "The program could not be started.");
    EXPECT_EQ(prompt.calls[0].caption, kTitle);
    EXPECT_EQ(prompt.calls[0].style, 48);
}

TEST_F(Operations, PropertiesShowTheProgramOrTheParkedShortcut) {
    reg.SetString(Hive::CurrentUser, kRunKey, "Quoted",
                  "\"C:\\Program Files\\App\\app.exe\" -min /x");
    reg.SetString(Hive::CurrentUser, kRunDisabledKey, "Parked", "C:\\Tools\\tool.exe /p");
    shell.AddShortcut(UserLink("Live.lnk"), "C:\\Tools\\tool.exe");
    shell.AddShortcut(shell.commonStartup + "\\Twin.lnk", "C:\\Tools\\tool.exe");
    files.MoveFileNoReplace(shell.commonStartup + "\\Twin.lnk",
                            folders.commonDisabled + "Twin.lnk");

    LoadAndSelect("Quoted", kUserRun);
    EXPECT_TRUE(ShowSelectedProperties(context));
    EXPECT_EQ(shell.propertiesShown.back(), "C:\\Program Files\\App\\app.exe");
    LoadAndSelect("Parked", kUserRun, true);
    EXPECT_TRUE(ShowSelectedProperties(context));
    EXPECT_EQ(shell.propertiesShown.back(), "C:\\Tools\\tool.exe ");
    LoadAndSelect("Live.lnk", kUserFolder);
    EXPECT_TRUE(ShowSelectedProperties(context));
    EXPECT_EQ(shell.propertiesShown.back(), UserLink("Live.lnk"));
    LoadAndSelect("Twin.lnk", kCommonFolder, true);
    EXPECT_TRUE(ShowSelectedProperties(context));
    EXPECT_EQ(shell.propertiesShown.back(), folders.commonDisabled + "Twin.lnk");

    // The shell's failure is not the program's to report.
    shell.propertiesResult = false;
    EXPECT_FALSE(ShowSelectedProperties(context));
    EXPECT_TRUE(prompt.calls.empty());
}
