// The journal: lines that read back exactly, torn lines skipped, roll-over,
// kept copies of deleted files, and what the operations note.

#include <gtest/gtest.h>

#include "history/Journal.h"
#include "history/Restore.h"
#include "monitor/Monitor.h"
#include "operations/ItemOperations.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

const std::string kFolder = "C:\\ProgramData\\dovoviza";

std::string Line(const std::string& name) {
    return JournalLine(JournalRecord{"2026-01-01T00:00:00Z", "new", "Registry -> User Run", name, "x.exe"}) + "\n";
}

TEST(Journal, LinesReadBackExactlyAndTornOnesAreSkipped) {
    const JournalRecord odd{"2026-12-08T09:30:00Z", "failed", "Registry -> User Run", "Жук \"q\"\n\\",
                            "C:\\a b\\x.exe /q", "REG_SZ", "41004200", "disabled", "", "disabled: file in use"};
    const std::string line = JournalLine(odd);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(ParseJournalLine(line), odd);
    for (std::size_t cut = 0; cut < line.size(); ++cut) {
        EXPECT_FALSE(ParseJournalLine(line.substr(0, cut))) << cut;
    }
    EXPECT_EQ(HexBytes(HexText({0x00, 0xAB, 0xFF})), (std::vector<std::uint8_t>{0x00, 0xAB, 0xFF}));
    EXPECT_FALSE(HexBytes("0G"));

    TestWorld w;
    w.files.AddFolder(kFolder);
    w.files.AddFile(kFolder + "\\history.1.jsonl", Line("oldest") + Line("older"));
    w.files.AddFile(kFolder + "\\history.jsonl", Line("newer") + Line("newest") + "{\"time\":\"2026-");
    std::vector<std::string> names;
    for (const JournalRecord& r : Journal(w.files, w.system, kFolder).Read()) names.push_back(r.name);
    EXPECT_EQ(names, (std::vector<std::string>{"newest", "newer", "older", "oldest"}));
}

TEST(Journal, RollsOverAtAMegabyteAndDropsCopiesNoLineNames) {
    TestWorld w;
    w.files.AddFolder(kFolder + "\\deleted");
    JournalRecord kept{"2026-01-01T00:00:00Z", "deleted", "Startup Folder -> User", "a.lnk", "x", "file"};
    kept.copy = "kept.lnk";
    std::string big = JournalLine(kept) + "\n";
    while (big.size() < Journal::kRollOverBytes) big += Line("filler");
    w.files.AddFile(kFolder + "\\history.jsonl", big);
    w.files.AddFile(kFolder + "\\history.1.jsonl", Line("gone"));
    w.files.AddFile(kFolder + "\\deleted\\kept.lnk", "k");
    w.files.AddFile(kFolder + "\\deleted\\orphan.lnk", "o");

    Journal journal(w.files, w.system, kFolder);
    journal.Write(JournalRecord{"", "new", "Registry -> User Run", "fresh", "y.exe"});
    EXPECT_EQ(w.files.Content(kFolder + "\\history.1.jsonl"), big);
    EXPECT_EQ(w.files.Content(kFolder + "\\history.jsonl"),
              JournalLine(JournalRecord{"2026-12-08T09:30:00Z", "new", "Registry -> User Run", "fresh", "y.exe"}) + "\n");
    EXPECT_EQ(w.files.Content(kFolder + "\\deleted\\kept.lnk"), "k");
    EXPECT_FALSE(w.files.GetDetails(kFolder + "\\deleted\\orphan.lnk"));
}

}  // namespace

namespace {

TEST(Journal, EveryOperationIsNotedAndRestorePutsBackExactlyWhatWent) {
    TestWorld w;
    Journal journal(w.files, w.system, kFolder);
    const OperationContext context{w.platform, w.texts, w.prompt, w.list, &journal};
    const RegValue bin{"Bin", RegType::Binary, {0x01, 0x00, 0x83}};
    w.registry.SetValue(Hive::CurrentUser, TestWorld::kUserRun, bin);
    w.AddShortcut(w.folders.user, "Clock.lnk", "C:\\clock.exe");
    const std::string link = w.folders.user + "\\Clock.lnk", content = w.files.Content(link);
    const auto run = [&](const std::string& name, bool (*operation)(const OperationContext&)) {
        w.list.LoadRegistryInfo();
        for (std::size_t i = 0; i < w.list.Rows().size(); ++i) {
            if (w.list.Rows()[i].Name() == name) w.list.Select(i);
        }
        w.prompt.Answer(kAnswerYes);
        operation(context);
    };
    run("Bin", DisableSelected);
    w.files.Fail(FileFault::Locked, link);
    run("Clock.lnk", DisableSelected);
    run("Bin", DeleteSelected);
    run("Clock.lnk", DeleteSelected);
    const auto records = journal.Read();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[3].action + records[3].type + records[3].data + records[3].store, "disabledREG_BINARY010083disabled");
    EXPECT_EQ(records[2].action + ": " + records[2].reason, "failed: disabled: file in use");
    const JournalRecord file = records[0], value = records[1];
    EXPECT_EQ(file.action + file.type, "deletedfile");
    EXPECT_EQ(w.files.Content(journal.CopyPath(file.copy)), content);
    EXPECT_FALSE(w.files.GetDetails(link));

    EXPECT_EQ(Restore(w.platform, w.folders, journal, value), RestoreResult::Restored);
    EXPECT_EQ(w.registry.GetValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Bin")->data, bin.data);
    EXPECT_EQ(w.registry.GetValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Bin")->type, bin.type);
    EXPECT_EQ(Restore(w.platform, w.folders, journal, value), RestoreResult::AlreadyThere);
    w.registry.SetString(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Bin", "other.exe");
    EXPECT_EQ(Restore(w.platform, w.folders, journal, value), RestoreResult::Occupied);

    w.AddShortcut(w.folders.userDisabled, "Clock.lnk", "C:\\elsewhere.exe");  // its twin stands
    EXPECT_EQ(Restore(w.platform, w.folders, journal, file), RestoreResult::Occupied);
    w.files.RemoveFile(w.folders.userDisabled + "Clock.lnk");
    EXPECT_EQ(Restore(w.platform, w.folders, journal, file), RestoreResult::Restored);
    EXPECT_EQ(w.files.Content(link), content);
    w.files.RemoveFile(link);
    w.files.RemoveFile(journal.CopyPath(file.copy));
    EXPECT_EQ(Restore(w.platform, w.folders, journal, file), RestoreResult::CopyMissing);

    const auto after = journal.Read();
    ASSERT_EQ(after.size(), 6u);
    EXPECT_EQ(after[0].action, "restored");
    EXPECT_EQ(after[0].name, "Clock.lnk");
    EXPECT_EQ(after[1].action, "restored");
    EXPECT_EQ(after[1].store, "disabled");
    EXPECT_EQ(Restore(w.platform, w.folders, journal, after[0]), RestoreResult::NotRestorable);
}

}  // namespace

namespace {

struct Alerts : IAlertSink {
    void RaiseAlert(const AlertEntry& entry) override { seen.push_back(entry); }
    std::vector<AlertEntry> seen;
};

TEST(Journal, TheWatchdogNotesWhatItSeesAndAnUpdatersRewriteNamesTheEarlierCommand) {
    TestWorld w;
    Journal journal(w.files, w.system, kFolder);
    Alerts alerts;
    Monitor monitor(w.platform, w.fileInfo, w.texts, w.list, alerts);
    monitor.SetJournal(&journal);
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Updater", "C:\\u\\1.0\\up.exe");
    w.list.LoadRegistryInfo();
    monitor.Tick();
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "UPDATER", "C:\\u\\2.0\\up.exe");
    monitor.Tick();
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Other", "C:\\o.exe");
    std::vector<std::uint8_t> flag(12, 0);
    flag[0] = 3;  // Windows will not start it: the alert says so
    w.registry.SetValue(Hive::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run",
                        RegValue{"Other", RegType::Binary, flag});
    monitor.Tick();
    ASSERT_EQ(alerts.seen.size(), 2u);
    EXPECT_EQ(alerts.seen[0].previous, "C:\\u\\1.0\\up.exe");
    EXPECT_EQ(alerts.seen[1].previous, "");
    EXPECT_TRUE(alerts.seen[1].skippedByWindows && !alerts.seen[0].skippedByWindows);
    const auto records = journal.Read();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "Other");
    EXPECT_EQ(records[1].action, "new");
    EXPECT_EQ(records[1].command, "C:\\u\\2.0\\up.exe");
}

}  // namespace
