// The monitor and the alert's actions over the real registry, Startup folder,
// shortcuts and version resources of the Wine prefix.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "catalogue/MainList.h"
#include "catalogue/RegistryAccess.h"
#include "monitor/AlertActions.h"
#include "monitor/Monitor.h"
#include "platform/Text.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"
#include "support/FakeTexts.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;

namespace {

const std::string& kRun = UserRunKey();
const std::string& kRunDisabled = UserRunDisabledKey();

class Sink : public IAlertSink {
public:
    void RaiseAlert(const AlertEntry& entry) override { alerts.push_back(entry); }
    std::vector<AlertEntry> alerts;
};

class MonitorOnWindows : public ::testing::Test {
protected:
    MonitorOnWindows() {
        texts.Set("Main", "36", "File not found");
        texts.Set("Main", "37", "Disabled");
        texts.Set("Alert", "12", "Delete this Startup folder item?");
    }

    void Run(const std::string& key, const std::string& name, const std::string& command,
             std::uint32_t type = RegType::String) {
        ASSERT_TRUE(WriteRegValue(registry, Hive::CurrentUser, key,
                                  RegValue{box.prefix + name, type, EncodeUtf16LeWithNul(command)}));
    }
    std::optional<RegValue> Stored(const std::string& key, const std::string& name) {
        return ReadRegValue(registry, Hive::CurrentUser, key, box.prefix + name);
    }
    std::string Live(const std::string& name) { return folders.user + "\\" + box.prefix + name; }
    std::string Parked(const std::string& name) { return folders.userDisabled + box.prefix + name; }
    // Runs one tick that must do exactly one enforcement, done, of the given kind.
    void ExpectOneEnforcement(Enforcement::Action action) {
        const TickReport report = monitor.Tick();
        ASSERT_EQ(report.enforcements.size(), 1u);
        EXPECT_EQ(report.enforcements[0].action, action);
        EXPECT_TRUE(report.enforcements[0].done);
    }

    UserStartupSandbox box{"dovoviza-test-monitor-"};
    Win32Registry& registry = box.registry;
    Win32FileSystem& files = box.files;
    const StartupFolderPaths& folders = box.folders;
    Win32VersionReader versions;
    Win32System system;
    ShellIconList icons{IconSize::Small};
    dovoviza::test::FakeTexts texts;
    dovoviza::test::ScriptedPrompt prompt;
    Platform platform{registry, files, box.shell, versions, system};
    FileInfoClass fileInfo{versions};
    MainList list{platform, fileInfo, texts, icons, folders};
    Sink sink;
    Monitor monitor{platform, fileInfo, texts, list, sink};
    AlertActions actions{platform, texts, prompt, list};
};

TEST_F(MonitorOnWindows, RunKeyEntriesAreKnownAlertedAndKeptDisabled) {
    Run(kRun, "known", "\"" + FixturePath("fixture_complete") + "\" -x");
    ASSERT_TRUE(list.LoadRegistryInfo());
    TickReport report = monitor.Tick();
    EXPECT_FALSE(report.alert);
    EXPECT_TRUE(report.enforcements.empty());

    Run(kRun, "new", "C:\\nowhere\\new.exe /q");
    report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->name, box.prefix + "new");
    EXPECT_EQ(report.alert->value, "C:\\nowhere\\new.exe /q");
    EXPECT_EQ(report.alert->Section(), "Registry -> User Run");
    EXPECT_EQ(report.alert->path, "File not found");
    EXPECT_TRUE(report.reloadedForNewEntry);
    EXPECT_FALSE(monitor.Tick().alert);

    // Disabled from the alert, written back by its program: gone within one tick.
    EXPECT_EQ(actions.Disable(*report.alert), AlertOutcome::Close);
    ASSERT_TRUE(Stored(kRunDisabled, "new"));
    Run(kRun, "new", "C:\\nowhere\\new.exe /q");
    ExpectOneEnforcement(Enforcement::Action::DeleteLiveCopy);
    EXPECT_FALSE(Stored(kRun, "new"));
    EXPECT_TRUE(Stored(kRunDisabled, "new"));

    // Moved back by another tool: moved into the disabled key again, type and data kept.
    ASSERT_TRUE(DeleteRegValue(registry, Hive::CurrentUser, kRunDisabled, box.prefix + "new"));
    Run(kRun, "new", "C:\\nowhere\\new.exe /q", RegType::ExpandString);
    ExpectOneEnforcement(Enforcement::Action::MoveToDisabled);
    EXPECT_FALSE(Stored(kRun, "new"));
    const auto parked = Stored(kRunDisabled, "new");
    ASSERT_TRUE(parked);
    EXPECT_EQ(parked->type, RegType::ExpandString);
    EXPECT_EQ(parked->data, EncodeUtf16LeWithNul("C:\\nowhere\\new.exe /q"));
    EXPECT_EQ(sink.alerts.size(), 1u);
}

TEST_F(MonitorOnWindows, ShortcutsInTheUserStartupFolderAreAlertedKeptDisabledAndDeleted) {
    const std::string program = FixturePath("fixture_complete");
    ASSERT_TRUE(list.LoadRegistryInfo());
    EXPECT_FALSE(monitor.Tick().alert);

    ShortcutInfo link;
    link.path = Live("app.lnk");
    link.target = program;
    ASSERT_TRUE(box.shell.WriteShortcut(link));
    TickReport report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->name, box.prefix + "app.lnk");
    EXPECT_EQ(report.alert->value, Live("app.lnk"));
    EXPECT_EQ(report.alert->Section(), "Startup Folder -> User");
    EXPECT_TRUE(EqualsAsciiNoCase(report.alert->path, program)) << report.alert->path;

    EXPECT_EQ(actions.Disable(*report.alert), AlertOutcome::Close);
    EXPECT_TRUE(files.NormalFileExists(Parked("app.lnk")));
    EXPECT_FALSE(files.NormalFileExists(Live("app.lnk")));
    EXPECT_FALSE(monitor.Tick().alert);

    // A copy put back into the live folder is removed; the disabled one stays.
    ASSERT_TRUE(files.CopyFileTo(Parked("app.lnk"), Live("app.lnk"), true));
    ExpectOneEnforcement(Enforcement::Action::DeleteLiveCopy);
    EXPECT_FALSE(files.NormalFileExists(Live("app.lnk")));
    EXPECT_TRUE(files.NormalFileExists(Parked("app.lnk")));

    // Delete from a fresh alert removes the shortcut only, never its program.
    link.path = Live("other.lnk");
    ASSERT_TRUE(box.shell.WriteShortcut(link));
    report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    prompt.Answer(kAnswerYes);
    EXPECT_EQ(actions.Delete(*report.alert), AlertOutcome::Close);
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].caption, "Delete this Startup folder item?");
    EXPECT_FALSE(files.NormalFileExists(Live("other.lnk")));
    EXPECT_TRUE(files.NormalFileExists(program));
}

}  // namespace
