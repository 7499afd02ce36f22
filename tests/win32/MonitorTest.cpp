#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "catalogue/Loaders.h"
#include "catalogue/MainList.h"
#include "catalogue/RegistryAccess.h"
#include "monitor/AlertActions.h"
#include "monitor/Monitor.h"
#include "platform/Text.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
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
const std::string kPrefix = "dovoviza-test-monitor-";

class Sink : public IAlertSink {
public:
    void RaiseAlert(const AlertEntry& entry) override { alerts.push_back(entry); }
    std::vector<AlertEntry> alerts;
};

// The real registry, Startup folders, shortcuts and version resources of the
// Wine prefix. Every value and file this makes carries kPrefix and is removed
// again; the "-Disabled" key and folder go too when they were not there before.
class MonitorOnWindows : public ::testing::Test {
protected:
    MonitorOnWindows() {
        texts.Set("Main", "36", "File not found");
        texts.Set("Main", "37", "Disabled");
        texts.Set("Alert", "11", "Delete this registry item?");
        texts.Set("Alert", "12", "Delete this Startup folder item?");
        hadDisabledKey = registry.KeyExists(Hive::CurrentUser, kRunDisabled);
        hadDisabledFolder = files.FolderExists(folders.userDisabled);
        PrepareDisabledFolders(files, folders);
        CleanUp();
    }
    ~MonitorOnWindows() override {
        CleanUp();
        const bool disabledKeyEmpty =
            CountRegEntries(OpenRegKey(registry, Hive::CurrentUser, kRunDisabled).get(), 0) == 0;
        if (!hadDisabledKey && disabledKeyEmpty) {
            DeleteKeyTree(HKEY_CURRENT_USER, Wide(kRunDisabled));
        }
        if (!hadDisabledFolder) {
            SetFileAttributesW(Wide(folders.userDisabled).c_str(), FILE_ATTRIBUTE_NORMAL);
            RemoveDirectoryW(Wide(folders.userDisabled).c_str());
        }
    }

    void CleanUp() {
        DeleteUserRunValuesWithPrefix(registry, kPrefix);
        for (const std::string& folder : {folders.user + "\\", folders.userDisabled}) {
            for (const std::string& name : files.ListNormalFiles(folder, kPrefix + "*")) {
                EXPECT_TRUE(files.RemoveFile(folder + name)) << folder + name;
            }
        }
    }

    void Run(const std::string& key, const std::string& name, const std::string& command,
             std::uint32_t type = RegType::String) {
        ASSERT_TRUE(WriteRegValue(registry, Hive::CurrentUser, key,
                                  RegValue{kPrefix + name, type, EncodeUtf16LeWithNul(command)}));
    }
    std::optional<RegValue> Stored(const std::string& key, const std::string& name) {
        return ReadRegValue(registry, Hive::CurrentUser, key, kPrefix + name);
    }
    std::string UserFile(const std::string& name) { return folders.user + "\\" + kPrefix + name; }
    std::string ParkedFile(const std::string& name) { return folders.userDisabled + kPrefix + name; }

    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
    Win32VersionReader versions;
    Win32System system;
    ShellIconList icons{IconSize::Small};
    dovoviza::test::FakeTexts texts;
    dovoviza::test::ScriptedPrompt prompt;
    Platform platform{registry, files, shell, versions, system};
    FileInfoClass fileInfo{versions};
    StartupFolderPaths folders = ResolveStartupFolders(shell);
    bool hadDisabledKey = false;
    bool hadDisabledFolder = false;
    MainList list{platform, fileInfo, texts, icons, folders};
    Sink sink;
    Monitor monitor{platform, fileInfo, texts, list, sink};
    AlertActions actions{platform, texts, prompt, list};
};

TEST_F(MonitorOnWindows, RunKeyEntriesAreKnownAlertedAndKeptDisabled) {
    const std::string program = FixturePath("fixture_complete");
    Run(kRun, "known", "\"" + program + "\" -x");
    ASSERT_TRUE(list.LoadRegistryInfo());
    TickReport report = monitor.Tick();
    EXPECT_FALSE(report.alert);
    EXPECT_TRUE(report.enforcements.empty());

    Run(kRun, "new", "C:\\nowhere\\new.exe /q");
    report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->name, kPrefix + "new");
    EXPECT_EQ(report.alert->value, "C:\\nowhere\\new.exe /q");
    EXPECT_EQ(report.alert->section, "Registry -> User Run");
    EXPECT_EQ(report.alert->path, "File not found");
    EXPECT_TRUE(report.reloadedForNewEntry);
    EXPECT_EQ(sink.alerts.size(), 1u);
    EXPECT_FALSE(monitor.Tick().alert);

    // Disabled from the alert, written back by its program: gone within one tick.
    EXPECT_EQ(actions.Disable(report.alert.value()), AlertOutcome::Close);
    ASSERT_TRUE(Stored(kRunDisabled, "new"));
    Run(kRun, "new", "C:\\nowhere\\new.exe /q");
    report = monitor.Tick();
    ASSERT_EQ(report.enforcements.size(), 1u);
    EXPECT_EQ(report.enforcements[0].action, Enforcement::Action::DeleteLiveCopy);
    EXPECT_TRUE(report.enforcements[0].done);
    EXPECT_FALSE(Stored(kRun, "new"));
    EXPECT_TRUE(Stored(kRunDisabled, "new"));

    // Moved back by another tool: moved into the disabled key again, type and data kept.
    ASSERT_TRUE(DeleteRegValue(registry, Hive::CurrentUser, kRunDisabled, kPrefix + "new"));
    Run(kRun, "new", "C:\\nowhere\\new.exe /q", RegType::ExpandString);
    report = monitor.Tick();
    ASSERT_EQ(report.enforcements.size(), 1u);
    EXPECT_EQ(report.enforcements[0].action, Enforcement::Action::MoveToDisabled);
    EXPECT_TRUE(report.enforcements[0].done);
    EXPECT_FALSE(Stored(kRun, "new"));
    const auto parked = Stored(kRunDisabled, "new");
    ASSERT_TRUE(parked);
    EXPECT_EQ(parked->type, RegType::ExpandString);
    EXPECT_EQ(parked->data, EncodeUtf16LeWithNul("C:\\nowhere\\new.exe /q"));
    EXPECT_EQ(sink.alerts.size(), 1u);
}

TEST_F(MonitorOnWindows, ShortcutInTheUserStartupFolder) {
    ASSERT_FALSE(folders.user.empty());
    const std::string program = FixturePath("fixture_complete");
    ASSERT_TRUE(list.LoadRegistryInfo());
    EXPECT_FALSE(monitor.Tick().alert);

    ShortcutInfo link;
    link.path = UserFile("app.lnk");
    link.target = program;
    ASSERT_TRUE(shell.WriteShortcut(link));
    TickReport report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    EXPECT_EQ(report.alert->name, kPrefix + "app.lnk");
    EXPECT_EQ(report.alert->value, UserFile("app.lnk"));
    EXPECT_EQ(report.alert->section, "Startup Folder -> User");
    EXPECT_TRUE(EqualsAsciiNoCase(report.alert->path, program)) << report.alert->path;

    EXPECT_EQ(actions.Disable(*report.alert), AlertOutcome::Close);
    EXPECT_TRUE(files.NormalFileExists(ParkedFile("app.lnk")));
    EXPECT_FALSE(files.NormalFileExists(UserFile("app.lnk")));
    EXPECT_FALSE(monitor.Tick().alert);

    // A copy put back into the live folder is removed; the disabled one stays.
    ASSERT_TRUE(files.CopyFileTo(ParkedFile("app.lnk"), UserFile("app.lnk"), true));
    report = monitor.Tick();
    ASSERT_EQ(report.enforcements.size(), 1u);
    EXPECT_TRUE(report.enforcements[0].done);
    EXPECT_FALSE(files.NormalFileExists(UserFile("app.lnk")));
    EXPECT_TRUE(files.NormalFileExists(ParkedFile("app.lnk")));
    EXPECT_TRUE(files.NormalFileExists(program));

    // Delete from a fresh alert removes the shortcut only.
    link.path = UserFile("other.lnk");
    ASSERT_TRUE(shell.WriteShortcut(link));
    report = monitor.Tick();
    ASSERT_TRUE(report.alert);
    prompt.Answer(kAnswerYes);
    EXPECT_EQ(actions.Delete(*report.alert), AlertOutcome::Close);
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].caption, "Delete this Startup folder item?");
    EXPECT_FALSE(files.NormalFileExists(UserFile("other.lnk")));
    EXPECT_TRUE(files.NormalFileExists(program));
}

}  // namespace
