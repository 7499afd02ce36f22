#include <windows.h>

#include <gtest/gtest.h>

#include "Win32TestSupport.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32System.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;

namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class SystemTest : public ::testing::Test {
protected:
    Win32System system;
};

TEST_F(SystemTest, VersionAndBitness) {
    const auto version = system.Version();
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->platformId, 2u);  // NT family
    EXPECT_GE(version->major, 5u);
    if (sizeof(void*) == 8) {
        EXPECT_FALSE(system.IsWow64());
    } else {
        BOOL wow64 = FALSE;
        ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
        EXPECT_EQ(system.IsWow64(), wow64 != FALSE);
    }
}

TEST_F(SystemTest, ProgramAndSystemFolders) {
    EXPECT_EQ(system.ProgramName(), "windows_tests");
    const std::string folder = system.ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_EQ(folder, Narrow(TestProgramFolder()));
    EXPECT_NE(AttributesOf(folder + "\\windows_tests.exe"), INVALID_FILE_ATTRIBUTES);

    const std::string systemFolder = system.SystemFolder();
    ASSERT_FALSE(systemFolder.empty());
    EXPECT_NE(systemFolder.back(), '\\');
    EXPECT_NE(AttributesOf(systemFolder + "\\kernel32.dll"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SystemTest, DecodesCodePages) {
    EXPECT_EQ(system.DecodeCodePage({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}, 1251), "Привет");
    EXPECT_EQ(system.DecodeCodePage({0x93, 0xFA, 0x96, 0x7B}, 932), "日本");
    EXPECT_EQ(system.DecodeCodePage({'c', 'a', 'f', 0xE9, 0x80}, 1252), "café€");
    EXPECT_EQ(system.DecodeCodePage({0xC3, 0xA4}, 65001), "ä");
    EXPECT_EQ(system.DecodeCodePage({}, 1252), "");
    EXPECT_FALSE(system.DecodeCodePage({'a'}, 12345).has_value());
}

TEST_F(SystemTest, UpperCasesBeyondAscii) {
    const std::string upper = system.ToUpper("straße äöü привет");
    EXPECT_TRUE(Contains(upper, "STRA")) << upper;
    EXPECT_TRUE(Contains(upper, "ÄÖÜ")) << upper;
    EXPECT_TRUE(Contains(upper, "ПРИВЕТ")) << upper;
    EXPECT_EQ(system.ToUpper(""), "");
    EXPECT_EQ(system.ToUpper("ABC 123"), "ABC 123");
}

TEST_F(SystemTest, FormatsDatesTimesAndNumbersForTheUser) {
    const DateTime when{2024, 3, 15, 13, 47, 9};
    const std::string date = system.FormatShortDate(when);
    EXPECT_TRUE(Contains(date, "24")) << date;
    EXPECT_TRUE(Contains(date, "15")) << date;
    const std::string time = system.FormatLongTime(when);
    EXPECT_TRUE(Contains(time, "47")) << time;
    EXPECT_TRUE(Contains(time, "09")) << time;
    EXPECT_EQ(system.FormatShortDate(DateTime{2024, 13, 1, 0, 0, 0}), "");
    EXPECT_FALSE(system.DecimalSymbol().empty());
}

}  // namespace
