#include <gtest/gtest.h>

#include "operations/CommandLine.h"

using namespace dovoviza;

TEST(SplitCommand, EditDialogCutsAtTheFirstMarkerAndTakesTheListedCommandsLastExe) {
    // The edit dialog splits its Value field, searching the listed command
    // (here the same); "old" are the parameters it showed before.
    const struct {
        const char* command;
        const char* program;
        const char* parameters;
    } cases[] = {
        // The quote test keeps the closing quote; then both quotes go.
        {"\"C:\\Program Files\\App\\app.exe\" -min /tray", "C:\\Program Files\\App\\app.exe", "-min /tray"},
        // The blank before a slash stays with the program, and so does the character after ".exe".
        {"C:\\Tools\\app.exe /background", "C:\\Tools\\app.exe ", "/background"},
        // Only the leftmost marker counts.
        {"C:\\a.exe /x \"y\" -z", "C:\\a.exe ", "/x \"y\" -z"},
        // A quoted program without ".exe" survives whole.
        {"\"C:\\Tools\\run.cmd\" -fast", "C:\\Tools\\run.cmd", "-fast"},
        // A forward-slash path is cut at its first slash; the listed command still has the ".exe".
        {"C:/Tools/app.exe", "C:/Tools/app.exe", "/Tools/app.exe"},
        // The last ".exe" of the listed command wins, parameters included.
        {"C:\\a\\host.exe C:\\b\\plugin.exe", "C:\\a\\host.exe C:\\b\\plugin.exe", "old"},
        {"C:\\a\\host.exe /load C:\\b\\plugin.exe -q", "C:\\a\\host.exe /load C:\\b\\plugin.exe ",
         "/load C:\\b\\plugin.exe -q"},
        // Without markers the parameters stay as they were.
        {"notepad", "notepad", "old"},
        {"C:\\Tools\\APP.Exe", "C:\\Tools\\APP.Exe", "old"},
        {"", "", "old"},
        {"\"\"", "", "old"},
        {"\"", "\"", "old"},
        // Positions are characters.
        {"\"C:\\Программы\\Жук.exe\" -тихо", "C:\\Программы\\Жук.exe", "-тихо"},
    };
    for (const auto& c : cases) {
        const CommandParts parts = SplitCommandForEdit(c.command, c.command, "old");
        EXPECT_EQ(parts.program, c.program) << c.command;
        EXPECT_EQ(parts.parameters, c.parameters) << c.command;
    }
    // The Value may differ from the listed command (a shortcut's target).
    const auto shortcut = SplitCommandForEdit("D:\\Apps\\tool.exe", "C:\\Startup\\tool.lnk");
    EXPECT_EQ(shortcut.program, "D:\\Apps\\tool.exe");
    EXPECT_EQ(shortcut.parameters, "");
}

TEST(SplitCommand, PropertiesTakeTheFirstExeOfTheCutCommand) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\a\\host.exe C:\\b\\plugin.exe", "C:\\a\\host.exe "},
        // Parameters cut first never reach the search.
        {"C:\\a\\host.exe /load C:\\b\\plugin.exe -q", "C:\\a\\host.exe "},
        {"C:/Tools/app.exe", "C:"},
        {"C:\\x.exeЖ more", "C:\\x.exeЖ"},
        // An unclosed quote drops a whole multi-byte last character.
        {"\"C:\\Папка\\Жук", "C:\\Папка\\Жу"},
        {"\"C:\\日本\\アプリ.exe\" /s", "C:\\日本\\アプリ.exe"},
    };
    for (const auto& [command, program] : cases) EXPECT_EQ(SplitCommandForProperties(command), program) << command;
}
