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

TEST(SystemTest, VersionBitnessAndFolders) {
    Win32System system;
    const auto version = system.Version();
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->platformId, 2u);  // NT family
    EXPECT_GE(version->major, 5u);
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(system.IsWow64(), wow64 != FALSE);

    EXPECT_EQ(system.ProgramName(), "windows_tests");
    EXPECT_EQ(system.ProgramFolder(), Narrow(TestProgramFolder()));
    const std::string systemFolder = system.SystemFolder();
    ASSERT_FALSE(systemFolder.empty());
    EXPECT_NE(systemFolder.back(), '\\');
    EXPECT_NE(AttributesOf(systemFolder + "\\kernel32.dll"), INVALID_FILE_ATTRIBUTES);
}

TEST(SystemTest, DecodesCodePagesAndUpperCasesBeyondAscii) {
    Win32System system;
    const struct {
        std::vector<std::uint8_t> bytes;
        unsigned codePage;
        const char* text;
    } decodes[] = {{{0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}, 1251, "Привет"},
                   {{0x93, 0xFA, 0x96, 0x7B}, 932, "日本"},
                   {{'c', 'a', 'f', 0xE9, 0x80}, 1252, "café€"},
                   {{0xC3, 0xA4}, 65001, "ä"},
                   {{}, 1252, ""}};
    for (const auto& d : decodes) EXPECT_EQ(system.DecodeCodePage(d.bytes, d.codePage), d.text) << d.codePage;
    EXPECT_FALSE(system.DecodeCodePage({'a'}, 12345).has_value());

    const std::string upper = system.ToUpper("straße äöü привет");
    for (const char* part : {"STRA", "ÄÖÜ", "ПРИВЕТ"}) EXPECT_TRUE(Contains(upper, part)) << upper;
    EXPECT_EQ(system.ToUpper("ABC 123"), "ABC 123");
}

TEST(SystemTest, FormatsDatesAndTimesForTheUser) {
    Win32System system;
    const DateTime when{2024, 3, 15, 13, 47, 9};
    const std::string date = system.FormatShortDate(when);
    const std::string time = system.FormatLongTime(when);
    EXPECT_TRUE(Contains(date, "24") && Contains(date, "15")) << date;
    EXPECT_TRUE(Contains(time, "47") && Contains(time, "09")) << time;
    EXPECT_EQ(system.FormatShortDate(DateTime{2024, 13, 1, 0, 0, 0}), "");
    EXPECT_FALSE(system.DecimalSymbol().empty());
}

}  // namespace
