// The alert's buttons act on the alerted entry's live copy by its exact stored
// name, then reload the list and tell the window; the value's tooltip and icon.

#include <gtest/gtest.h>

#include "OperationsTestBench.h"
#include "catalogue/EntryStore.h"
#include "monitor/AlertActions.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;

struct AlertWorld : OpsWorld {
    AlertWorld() {
        const std::pair<std::string, const char*> values[] = {
            {kRunKey, "  Lead"}, {kRunKey, "Lead"}, {kRunDisabledKey, "  Lead"},
            {kRunKey, "Dup"}, {kRunDisabledKey, "Dup"}, {kRunDisabledKey, "Parked"}};
        for (const auto& [key, name] : values) registry.SetString(Hive::CurrentUser, key, name, "");
        registry.SetString(Hive::CurrentUser, kWowRunKey, " Wow", "%x%", RegType::ExpandString);
        registry.SetString(Hive::LocalMachine, kRunKey, "Stuck", "");
        registry.Fail(RegFault::Delete, Hive::LocalMachine, kRunKey);
        AddShortcut(folders.user, "App.lnk", "C:\\app.exe");
        AddShortcut(folders.userDisabled, "App.lnk", "C:\\app.exe");
    }
    int changed = 0;
    AlertActions actions{platform, texts, prompt, list, [this] { ++changed; }};
};

AlertEntry Entry(const std::string& section, const std::string& storedName) {
    return AlertEntry{storedName.substr(storedName.find_first_not_of(' ')), "x",
                      FindLocation(section), "C:\\app.exe", storedName};
}

std::string Asked(const std::string& section, const std::string& name) {
    return "Section: Registry -> " + section + "\r\nName: " + name +
           "\r\nValue: x | Delete registry item? | 36";
}

}  // namespace

TEST(AlertActions, ButtonsActOnTheLiveCopyByItsStoredNameTooltipAndIconFollowTheEntry) {
    enum Change { kNone, kDeleted, kMoved };
    constexpr AlertOutcome kClose = AlertOutcome::Close, kStay = AlertOutcome::StayOpen;
    using Act = AlertOutcome (AlertActions::*)(const AlertEntry&);
    const Act del = &AlertActions::Delete, disable = &AlertActions::Disable;
    const AlertEntry lead = Entry(kUserRunSection, "  Lead"), dup = Entry(kUserRunSection, "Dup");
    const AlertEntry parked = Entry(kUserRunSection, "Parked");
    const struct {
        const char* what;
        Act act;
        AlertEntry entry;
        int answer;  // to the question; 0: none is asked
        Change change;
        AlertOutcome outcome;
        Texts shown;
    } cases[] = {
        // The question shows the listed name; the delete uses the stored one.
        {"delete, No", del, lead, kAnswerNo, kNone, kStay, {Asked("User Run", "Lead")}},
        {"delete", del, lead, kAnswerYes, kDeleted, kClose, {Asked("User Run", "Lead")}},
        {"delete a file, not its twin", del, Entry(kUserFolder, "App.lnk"), kAnswerYes, kDeleted,
         kClose, {"Section: Startup Folder -> User\r\nFile: x | Delete folder item? | 36"}},
        {"delete, refused", del, Entry("Registry -> Machine Run", "Stuck"), kAnswerYes, kNone,
         kStay, {Asked("Machine Run", "Stuck"), "not deleted | " + kTitle + " | 48"}},
        // Gone from the live store already: the wish is met.
        {"delete, gone already", del, parked, kAnswerYes, kNone, kClose,
         {Asked("User Run", "Parked")}},
        {"disable", disable, Entry("Registry -> User Run (WOW64)", " Wow"), 0, kMoved, kClose, {}},
        {"disable beside a namesake", disable, dup, 0, kNone, kStay,
         {"target exists | " + kTitle + " | 48"}},
        // Only in the disabled store: disabled already, nothing to say.
        {"disable, parked already", disable, parked, 0, kNone, kClose, {}},
        // Gone altogether: it could not be disabled; the user closes with Allow.
        {"disable, gone", disable, Entry(kUserRunSection, "Vanished"), 0, kNone, kStay,
         {"not moved | " + kTitle + " | 48"}},
        {"allow", &AlertActions::Allow, dup, 0, kNone, kClose, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AlertWorld w, expected;
        const EntryRef live = c.entry.Live();
        if (c.change == kDeleted) DeleteEntry(expected.platform, expected.folders, live);
        if (c.change == kMoved) MoveEntry(expected.platform, expected.folders, live);
        if (c.answer != 0) w.prompt.Answer(c.answer);
        EXPECT_EQ((w.actions.*c.act)(c.entry), c.outcome);
        EXPECT_EQ(Shown(w.prompt), c.shown);
        EXPECT_EQ(Snapshot(w), Snapshot(expected));
        // Each but Allow reloads the list and says so, whatever came of it.
        EXPECT_EQ(w.list.RowCount() > 0, c.act != &AlertActions::Allow);
        EXPECT_EQ(w.changed, c.act != &AlertActions::Allow ? 1 : 0);
    }
    const std::string cyrillic60 = "ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ";
    EXPECT_EQ(ValueTooltip(cyrillic60), "");  // 60 characters, 120 bytes
    EXPECT_EQ(ValueTooltip(std::string(61, 'x')), std::string(61, 'x'));
    OpsWorld w;
    EXPECT_TRUE(ShowsQuestionIcon("", w.texts) && ShowsQuestionIcon("File not found", w.texts));
    EXPECT_FALSE(ShowsQuestionIcon("C:\\app.exe", w.texts));
}
