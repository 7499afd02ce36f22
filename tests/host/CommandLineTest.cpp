#include <gtest/gtest.h>

#include "operations/CommandLine.h"

using namespace dovoviza;

namespace {

// The edit dialog splits its Value field, searching the listed command.
CommandParts Edit(std::string_view command) { return SplitCommandForEdit(command, command, "old"); }

}  // namespace

TEST(SplitCommand, MarkersCutTheParameters) {
    // The quote test keeps the closing quote; step 4 then drops both quotes.
    const auto quoted = Edit("\"C:\\Program Files\\App\\app.exe\" -min /tray");
    EXPECT_EQ(quoted.program, "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(quoted.parameters, "-min /tray");

    // The blank before a slash stays with the program, and so does the
    // character after ".exe".
    const auto slash = Edit("C:\\Tools\\app.exe /background");
    EXPECT_EQ(slash.program, "C:\\Tools\\app.exe ");
    EXPECT_EQ(slash.parameters, "/background");

    // Only the leftmost marker counts.
    const auto first = Edit("C:\\a.exe /x \"y\" -z");
    EXPECT_EQ(first.parameters, "/x \"y\" -z");

    // A quoted program without ".exe" survives whole.
    const auto script = Edit("\"C:\\Tools\\run.cmd\" -fast");
    EXPECT_EQ(script.program, "C:\\Tools\\run.cmd");
    EXPECT_EQ(script.parameters, "-fast");

    // A forward-slash path is cut at its first slash.
    const auto forward = Edit("C:/Tools/app.exe");
    EXPECT_EQ(forward.parameters, "/Tools/app.exe");
    EXPECT_EQ(forward.program, "C:/Tools/app.exe");  // the listed command still has the ".exe"
    EXPECT_EQ(SplitCommandForProperties("C:/Tools/app.exe"), "C:");
}

TEST(SplitCommand, WithoutMarkersTheParametersStayAsTheyWere) {
    const auto plain = Edit("notepad");
    EXPECT_EQ(plain.program, "notepad");
    EXPECT_EQ(plain.parameters, "old");

    const auto bare = Edit("C:\\Tools\\APP.Exe");
    EXPECT_EQ(bare.program, "C:\\Tools\\APP.Exe");
    EXPECT_EQ(bare.parameters, "old");

    EXPECT_EQ(Edit("").program, "");
    EXPECT_EQ(Edit("\"\"").program, "");
    EXPECT_EQ(Edit("\"").program, "\"");
}

TEST(SplitCommand, TheTwoCallersPickDifferentExe) {
    const std::string command = "C:\\a\\host.exe C:\\b\\plugin.exe";
    // File properties search the command itself: the first ".exe" wins.
    EXPECT_EQ(SplitCommandForProperties(command), "C:\\a\\host.exe ");
    // The edit dialog searches the listed command: the last one wins.
    EXPECT_EQ(Edit(command).program, "C:\\a\\host.exe C:\\b\\plugin.exe");

    // Parameters cut first never reach the properties' search, but the edit
    // dialog's listed command still holds them.
    const std::string withSwitch = "C:\\a\\host.exe /load C:\\b\\plugin.exe -q";
    EXPECT_EQ(SplitCommandForProperties(withSwitch), "C:\\a\\host.exe ");
    const auto edited = Edit(withSwitch);
    EXPECT_EQ(edited.program, "C:\\a\\host.exe /load C:\\b\\plugin.exe ");
    EXPECT_EQ(edited.parameters, "/load C:\\b\\plugin.exe -q");

    // The edit dialog's Value may differ from the listed command (a shortcut's target).
    const auto shortcut = SplitCommandForEdit("D:\\Apps\\tool.exe", "C:\\Startup\\tool.lnk");
    EXPECT_EQ(shortcut.program, "D:\\Apps\\tool.exe");
    EXPECT_EQ(shortcut.parameters, "");
}

TEST(SplitCommand, PositionsAreCharacters) {
    const auto cyrillic = Edit("\"C:\\Программы\\Жук.exe\" -тихо");
    EXPECT_EQ(cyrillic.program, "C:\\Программы\\Жук.exe");
    EXPECT_EQ(cyrillic.parameters, "-тихо");
    EXPECT_EQ(SplitCommandForProperties("C:\\x.exeЖ more"), "C:\\x.exeЖ");
    // An unclosed quote drops a whole multi-byte last character.
    EXPECT_EQ(SplitCommandForProperties("\"C:\\Папка\\Жук"), "C:\\Папка\\Жу");
    EXPECT_EQ(SplitCommandForProperties("\"C:\\日本\\アプリ.exe\" /s"), "C:\\日本\\アプリ.exe");
}
