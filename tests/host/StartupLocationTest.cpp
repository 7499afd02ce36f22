#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "catalogue/StartupLocation.h"
#include "operations/EntryEditor.h"

using namespace dovoviza;

TEST(ProgramPathFromCommand, CutsAfterTheFirstExeOrBeforeTheFirstSlashCountingCharacters) {
    const std::pair<const char*, const char*> cases[] = {
        // The first ".exe" and the one character after it; quotes go.
        {"C:\\Windows\\app.EXE /background", "C:\\Windows\\app.EXE "},
        {"\"C:\\Program Files\\App\\app.exe\" -min", "C:\\Program Files\\App\\app.exe"},
        {"C:\\Windows\\app.exe", "C:\\Windows\\app.exe"},
        {"rundll32.exe shell32.dll,Control_RunDLL", "rundll32.exe "},
        {"C:\\a\\one.exe C:\\b\\two.exe", "C:\\a\\one.exe "},
        {"C:\\a\\One.Exe", "C:\\a\\One.Exe"},
        // No closing quote: the last character goes, whatever it is.
        {"\"C:\\Tools\\app.exe", "C:\\Tools\\app.ex"},
        // Without ".exe", everything before the first slash.
        {"cmd /c start x", "cmd "},
        {"C:/Tools/app.exe", "C:"},
        {"/silent", ""},
        {"", "Empty"},
        {"\"\"", "Empty"},
        {"\"", "\""},
        {"\"C:\\Tools\\run.bat\" -x", "C:\\Tools\\run.bat\" -"},
        // Positions are characters, not bytes.
        {"\"C:\\Программы\\Жук.exe\" -тихо", "C:\\Программы\\Жук.exe"},
        {"C:\\日本\\アプリ.exe /起動", "C:\\日本\\アプリ.exe "},
        {"C:\\x.exeЖ tail", "C:\\x.exeЖ"},
        {"C:\\x.exe\U0001F600 tail", "C:\\x.exe\U0001F600"},
        {"\"C:\\Папка\\Жук", "C:\\Папка\\Жу"},
        {"\"Ж\"", "Ж"},
    };
    for (const auto& [command, path] : cases) EXPECT_EQ(ProgramPathFromCommand(command), path) << command;
}

TEST(StartupLocations, ReadsInTheCanonicalOrder) {
    std::vector<std::string> reads;
    for (const auto& read : CanonicalReads()) {
        reads.push_back(std::string(read.location->section) + (read.disabled ? " [disabled]" : ""));
    }
    const std::vector<std::string> expected{
        "Registry -> User Run", "Registry -> User Run [disabled]",
        "Registry -> User Run (WOW64)", "Registry -> User Run (WOW64) [disabled]",
        "Registry -> User RunOnce", "Registry -> User RunOnce [disabled]",
        "Registry -> User RunOnce (WOW64)", "Registry -> User RunOnce (WOW64) [disabled]",
        "Registry -> Machine Run", "Registry -> Machine Run [disabled]",
        "Registry -> Machine Run (WOW64)", "Registry -> Machine Run (WOW64) [disabled]",
        "Registry -> Machine RunOnce", "Registry -> Machine RunOnce [disabled]",
        "Registry -> Machine RunOnce (WOW64)", "Registry -> Machine RunOnce (WOW64) [disabled]",
        "Startup Folder -> User", "Startup Folder -> User [disabled]",
        "Startup Folder -> Common", "Startup Folder -> Common [disabled]"};
    EXPECT_EQ(reads, expected);
}

TEST(StartupLocations, OneTableDerivesStoresLocationTextsRunKeysAndTheDialogsSections) {
    std::set<const StartupLocation*> offered;
    for (const StartupLocation* choice : SectionChoices()) offered.insert(choice);
    EXPECT_EQ(offered.size(), kLocationCount);
    for (const auto& location : StartupLocations()) {
        EXPECT_EQ(offered.count(&location), 1u) << location.section;
        if (!location.IsRegistry()) continue;
        const std::string hive = location.hive == Hive::CurrentUser ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\";
        EXPECT_EQ(location.locationText, hive + std::string(location.enabledKey)) << location.section;
        EXPECT_EQ(location.StoreKey(true), std::string(location.enabledKey) + "-Disabled") << location.section;
        EXPECT_EQ(location.section.find("(WOW64)") != std::string_view::npos,
                  location.enabledKey.find("\\Wow6432Node\\") != std::string_view::npos)
            << location.section;
    }
    EXPECT_EQ(RunLocation(Hive::LocalMachine, true).section, "Registry -> Machine Run (WOW64)");
    EXPECT_EQ(RunLocation(Hive::CurrentUser, false).section, "Registry -> User Run");
    EXPECT_EQ(SectionChoices()[0]->section, "Registry -> Machine Run");
    EXPECT_EQ(FindLocation("registry -> user run"), nullptr);  // exact match only

    const auto folders = StartupFolderPaths::FromEnabled("C:\\U\\Startup", "C:\\All\\Startup");
    EXPECT_EQ(folders.Disabled(StartupFolderKind::User), "C:\\U\\Startup-Disabled\\");
    EXPECT_EQ(folders.Disabled(StartupFolderKind::Common), "C:\\All\\Startup-Disabled\\");
}
