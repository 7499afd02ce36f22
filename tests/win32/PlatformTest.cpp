// The small services over the system: text, code pages, case, formats, the
// system's facts, and version resources.

#include "WinTest.h"

using namespace dovoviza;
using namespace wintest;

namespace {

using Platform = PrefixTest;

TEST_F(Platform, TextCodePagesCaseFormatsAndTheSystemsFacts) {
    for (const std::string s : {"Привет", "日本語", "\xF0\x9F\x98\x80"}) {
        wchar_t theirs[64] = {};
        const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), theirs, 64);
        EXPECT_EQ(Wide(s), std::wstring(theirs, static_cast<std::size_t>(n)));
        EXPECT_EQ(Narrow(Wide(s)), s);
    }
    const std::tuple<std::vector<std::uint8_t>, unsigned, const char*> decodes[] = {
        {{0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}, 1251, "Привет"}, {{0x93, 0xFA, 0x96, 0x7B}, 932, "日本"},
        {{'c', 'a', 'f', 0xE9, 0x80}, 1252, "café€"}, {{0xC3, 0xA4}, 65001, "ä"}, {{}, 1252, ""}};
    for (const auto& [bytes, codePage, text] : decodes)
        EXPECT_EQ(system.DecodeCodePage(bytes, codePage), text) << codePage;
    EXPECT_FALSE(system.DecodeCodePage({'a'}, 12345));
    const std::string upper = system.ToUpper("straße äöü привет");  // ß may grow
    EXPECT_EQ(upper.substr(0, 4) + upper.substr(upper.size() - 20), "STRA ÄÖÜ ПРИВЕТ") << upper;
    const std::string date = system.FormatShortDate({2024, 3, 15, 13, 47, 9});
    const std::string time = system.FormatLongTime({2024, 3, 15, 13, 47, 9});
    EXPECT_NE(date.find("15"), std::string::npos) << date;
    EXPECT_TRUE(time.find("47") != std::string::npos && time.find("09") != std::string::npos) << time;
    EXPECT_EQ(system.FormatShortDate({2024, 13, 1, 0, 0, 0}), "");
    BOOL wow64 = FALSE;
    ASSERT_TRUE(system.Version() && IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(system.Version()->platformId, 2u);
    EXPECT_EQ(system.IsWow64(), wow64 != FALSE);
    EXPECT_EQ(system.ProgramName(), "windows_tests");
    EXPECT_FALSE(Gone(system.SystemFolder() + "\\kernel32.dll"));
    EXPECT_FALSE(Gone(system.ProgramFolder() + "\\windows_tests.exe"));
}

TEST_F(Platform, VersionStringsAreReadFromTheBlockTheQueryNames) {
    const std::string complete = FixturePath("fixture_complete"), copy = Scratch("Образец 日本.exe");
    ASSERT_TRUE(files.CopyFileTo(complete, copy, true));
    const std::tuple<std::string, const char*, std::optional<std::string>> cases[] = {
        {complete, "040904B0\\CompanyName", "  Fixture Works  "},  // blanks kept here
        {complete, "040904B0\\FileDescription", "Образец программы"},
        {complete, "040904B0\\Comments", std::nullopt},
        {complete, "0409FDE9\\CompanyName", std::nullopt},
        {complete, "0409FDE9\\ProductName", "日本 Fixture"},
        {copy, "040904B0\\ProductName", "Fixture Complete"}};
    for (const auto& [file, query, text] : cases) {
        const auto resource = versions.Open(file);
        ASSERT_TRUE(resource) << file;
        EXPECT_EQ(resource->FirstTranslation(), 0x04B00409u) << file;
        EXPECT_EQ(resource->QueryString(std::string("\\StringFileInfo\\") + query), text) << query;
    }
    EXPECT_TRUE(versions.Open("kernel32.dll"));  // found where libraries are
    for (const std::string& none : {FixturePath("fixture_noversion"), FixturePath("absent"), {}})
        EXPECT_FALSE(versions.Open(none)) << none;
}

}  // namespace
