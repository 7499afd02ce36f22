#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "catalogue/StartupLocation.h"
#include "operations/EntryEditor.h"

using namespace dovoviza;

TEST(ProgramPathFromCommand, CutsAfterTheFirstExeOrBeforeTheFirstSlashCountingCharacters) {
    const std::pair<const char*, const char*> cases[] = {
        // The first ".exe" in any letter case and the one character after it;
        // quotes go, and without a closing one the last character, whatever it is.
        {"C:\\app.EXE -x", "C:\\app.EXE "}, {"C:\\a.exe", "C:\\a.exe"},
        {"\"C:\\My Apps\\a.exe\" -x", "C:\\My Apps\\a.exe"}, {"C:\\a.exe C:\\b.exe", "C:\\a.exe "},
        {"\"C:\\app.exe", "C:\\app.ex"}, {"\"C:\\run.bat\" -x", "C:\\run.bat\" -"},
        // Everything before the first slash, even after ".exe".
        {"cmd /c x", "cmd "}, {"C:/a.exe", "C:"}, {"", "Empty"}, {"\"\"", "Empty"}, {"\"", "\""},
        // Positions are characters, not bytes.
        {"\"C:\\Жук.exe\" -тихо", "C:\\Жук.exe"}, {"C:\\x.exeЖ tail", "C:\\x.exeЖ"}, {"\"Ж\"", "Ж"},
        {"C:\\x.exe\U0001F600 tail", "C:\\x.exe\U0001F600"}, {"\"C:\\Жук", "C:\\Жу"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(ProgramPathFromCommand(in), out) << in;
}

TEST(StartupLocations, EachIsOfferedOnceAndItsKeysAndLocationTextFollowFromOneTable) {
    for (const auto& location : StartupLocations()) {
        EXPECT_EQ(std::count(SectionChoices().begin(), SectionChoices().end(), &location), 1);
        if (!location.IsRegistry()) continue;
        const std::string key(location.enabledKey);
        const char* hive = location.hive == Hive::CurrentUser ? "CURRENT_USER" : "LOCAL_MACHINE";
        EXPECT_EQ(location.locationText, "HKEY_" + std::string(hive) + "\\" + key);
        EXPECT_EQ(location.StoreKey(true), key + "-Disabled");
    }
}
