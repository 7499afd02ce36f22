#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/FakeFileSystem.h"
#include "support/FakeSystem.h"
#include "language/Ini.h"
#include "language/Texts.h"
#include "platform/Text.h"

using namespace dovoviza;

namespace {

// Without its byte-order mark a UTF-8 file would read as code page 1252.
std::string Utf8File(std::string_view text) { return "\xEF\xBB\xBF" + std::string(text); }

std::string Utf16File(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

struct Lookup {
    const char* section;
    const char* key;
    std::string expected;
};

struct Case {
    const char* name;
    std::string file;
    std::optional<int> characterSet;
    std::vector<Lookup> lookups;
};

class IniTest : public ::testing::Test {
protected:
    LanguageFile Parse(std::string_view bytes) {
        return LanguageFile::FromBytes(system, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }

    void Check(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            const LanguageFile file = Parse(c.file);
            EXPECT_EQ(file.CharacterSet(), c.characterSet) << c.name;
            for (const Lookup& l : c.lookups) {
                EXPECT_EQ(file.Get(l.section, l.key), l.expected) << c.name << ": " << l.section << "/" << l.key;
            }
        }
    }

    test::FakeSystem system;
};

}  // namespace

TEST_F(IniTest, LinesSectionsAndKeysReadAsWindowsReadsThem) {
    Check({
        // Letter case is folded by the system's upper-casing, not just for ASCII.
        {"case", Utf8File("[Main]\r\n1=File\r\nCaption=Main caption\r\n[Настройки]\r\nключ=значение\r\n"),
         std::nullopt,
         {{"MAIN", "1", "File"}, {"main", "caption", "Main caption"}, {"НАСТРОЙКИ", "КЛЮЧ", "значение"}}},
        {"key names are text", "[Main]\n01=zero one\n1 = one\n", std::nullopt,
         {{"Main", "1", "one"}, {"Main", "01", "zero one"}, {"Main", "001", ""}, {"Main", " 1 ", "one"},
          {" Main\t", "1", "one"}}},
        {"first match wins", "[Main]\n1=first\n1=second\n[Other]\n1=other\n[MAIN]\n1=third\n2=repeated\n",
         std::nullopt, {{"Main", "1", "first"}, {"Other", "1", "other"}, {"Main", "2", ""}}},
        // A "[" without "]" is an ordinary line of the section it stands in.
        {"line shapes",
         "orphan=before any section\n   [Indented]   trailing words\nbare key\nbare key=shadowed\n"
         "[  Blank Name  ]\nx=1\n[Unclosed\ny=2\n\n   \t\n=empty key\na==b=c\n",
         std::nullopt,
         {{"", "orphan", ""}, {"Indented", "bare key", ""}, {"Blank Name", "x", "1"}, {"Blank Name", "y", "2"},
          {"Unclosed", "y", ""}, {"Blank Name", "", "empty key"}, {"Blank Name", "a", "=b=c"}}},
        {"line ends", "[S]\r\na=1\nb=2\rc=3\r\n\r\nd=4\n\re=5", std::nullopt,
         {{"S", "a", "1"}, {"S", "b", "2"}, {"S", "c", "3"}, {"S", "d", "4"}, {"S", "e", "5"}}},
        {"blanks", "[S]\n \t key one \t=  two  words \t\nempty =   \n", std::nullopt,
         {{"S", "key one", "two  words"}, {"S", "empty", ""}}},
        {"one pair of enclosing quotes goes",
         "[S]\ndouble=\"  keeps its blanks  \"\nsingle=  'single'  \nnested=\"\"twice\"\"\nmixed=\"mixed'\n"
         "inner=say \"hi\" there\nopen=\"open\nlone=\"\npair=\"\"\n",
         std::nullopt,
         {{"S", "double", "  keeps its blanks  "}, {"S", "single", "single"}, {"S", "nested", "\"twice\""},
          {"S", "mixed", "\"mixed'"}, {"S", "inner", "say \"hi\" there"}, {"S", "open", "\"open"},
          {"S", "lone", "\""}, {"S", "pair", ""}}},
        {"empty file", "", std::nullopt, {{"Main", "1", ""}}},
        {"missing section or key", "[Main]\n1=x\n", std::nullopt, {{"Other", "1", ""}, {"Main", "2", ""}}},
    });
    EXPECT_EQ(LanguageFile().Get("Main", "1"), "");
    EXPECT_EQ(LanguageFile().CharacterSet(), std::nullopt);
}

TEST_F(IniTest, FileIsDecodedByTheCodePageItsFirstLanguageSectionNames) {
    const std::string western = "[Main]\n1=Caf\xE9 \x80\n";  // é and the euro sign in 1252
    std::vector<Case> cases = {
        // "Файл" and "Выход" in code page 1251.
        {"Cyrillic",
         "[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=\xD4\xE0\xE9\xEB\r\n9=\xC2\xFB\xF5\xEE\xE4\r\n", 204,
         {{"Main", "1", "Файл"}, {"Main", "9", "Выход"}}},
        // Shift-JIS: ソ = 83 5C, ゾ = 83 5D, ー = 81 5B; 表 = 95 5C; 開く = 8A 4A 82 AD.
        // Trail bytes that look like "\", "]" or "[" stay inside their text.
        {"Shift-JIS",
         "[LANGUAGE]\r\ntranslator=\x83\x5C\x83\x5D\r\nCharacterSet=128\r\n[Main]\r\n1=\x95\x5C\x81\x5B\r\n"
         "2=[\x83\x5D]\r\n3=\x83\x5D\r\n[\x83\x5D]\r\n1=named in Japanese\r\n[Tray]\r\n1=\x8A\x4A\x82\xAD\r\n",
         128,
         {{"LANGUAGE", "translator", "ソゾ"}, {"Main", "1", "表ー"}, {"Main", "2", "[ゾ]"}, {"Main", "3", "ゾ"},
          {"ゾ", "1", "named in Japanese"}, {"Tray", "1", "開く"}}},
        {"language section after the text",
         "[Main]\n1=\xD4\xE0\xE9\xEB\n  [language]  \n  charactERSet  =  \"204\"  \n", 204, {{"Main", "1", "Файл"}}},
        // À of code page 1252, not of 1251.
        {"key outside LANGUAGE", "[Main]\nCharacterSet=204\n1=\xC0\n[LANGUAGE]\nCharacterSet=0\n", 0,
         {{"Main", "1", "\xC3\x80"}}},
        {"repeated LANGUAGE", "[LANGUAGE]\ntranslator=x\n[Main]\n1=\xC0\n[LANGUAGE]\nCharacterSet=204\n",
         std::nullopt, {{"Main", "1", "\xC3\x80"}}},
        {"no LANGUAGE", western, std::nullopt, {{"Main", "1", "Café €"}}},
        // Byte-order marks override the character set.
        {"UTF-8 mark", "\xEF\xBB\xBF[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=Файл 日本\r\n", 204,
         {{"Main", "1", "Файл 日本"}, {"LANGUAGE", "CharacterSet", "204"}}},
    };
    for (const bool bigEndian : {false, true}) {
        cases.push_back({bigEndian ? "UTF-16BE" : "UTF-16LE",
                         Utf16File(u"[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=Файл \U0001F600\r\n", bigEndian),
                         204, {{"Main", "1", "Файл \U0001F600"}}});
    }
    // Missing or unknown sets mean Western.
    const std::pair<const char*, std::optional<int>> unknown[] = {
        {"", std::nullopt}, {"abc", std::nullopt}, {"204x", std::nullopt}, {"999", 999}, {"1", 1}};
    for (const auto& [value, number] : unknown) {
        cases.push_back({value, std::string("[LANGUAGE]\nCharacterSet=") + value + "\n" + western, number,
                         {{"Main", "1", "Café €"}}});
    }
    Check(cases);
}

TEST_F(IniTest, ValuesAreCutTo354Utf16Units) {
    const std::string a354(354, 'a');
    std::string cyrillic400;
    for (int i = 0; i < 400; ++i) cyrillic400 += "Ж";
    const std::string emoji = "\xF0\x9F\x98\x80";  // two UTF-16 units
    Check({{"long values",
            Utf8File("[S]\nexact=" + a354 + "\nlong=" + std::string(400, 'b') + "\ncyrillic=" + cyrillic400 +
                     "\nstraddle=" + std::string(353, 'c') + emoji + "\nfits=" + std::string(352, 'd') + emoji +
                     "x\nquoted=\"" + a354 + "\"\n"),
            std::nullopt,
            {{"S", "exact", a354},
             {"S", "long", std::string(354, 'b')},
             {"S", "cyrillic", cyrillic400.substr(0, 354 * 2)},
             // Half a surrogate pair is never kept.
             {"S", "straddle", std::string(353, 'c')},
             {"S", "fits", std::string(352, 'd') + emoji},
             // The quotes go first; they do not count against the limit.
             {"S", "quoted", a354}}}});
}

TEST_F(IniTest, BytesTheCodePageLacksStillReadAsText) {
    // 0x81 has no character in code page 1252; the file must not vanish for it.
    const LanguageFile file = Parse("[Main]\n1=a\x81z\n2=ok\n");
    EXPECT_EQ(file.Get("Main", "2"), "ok");
    EXPECT_EQ(file.Get("Main", "1").front(), 'a');
    EXPECT_EQ(file.Get("Main", "1").back(), 'z');
}

TEST_F(IniTest, CharacterSetsMapToTheirCodePages) {
    const std::pair<int, unsigned> table[] = {
        {0, 1252},   {1, 1252},   {204, 1251}, {238, 1250}, {161, 1253}, {162, 1254},
        {128, 932},  {129, 949},  {134, 936},  {136, 950},  {177, 1255}, {178, 1256},
        {186, 1257}, {163, 1258}, {222, 874},  {2, 1252},   {-1, 1252},  {999, 1252}};
    for (const auto& [characterSet, codePage] : table) {
        EXPECT_EQ(CharacterSetToCodePage(characterSet), codePage) << characterSet;
    }
}

TEST_F(IniTest, TextsAreParsedOnceFromTheLanguageFolderAndOversizedFilesAreEmpty) {
    EXPECT_EQ(LanguageFilePath("C:\\Program Files\\dovoviza", "Deutsch"),
              "C:\\Program Files\\dovoviza\\Language\\Deutsch.lng");
    EXPECT_EQ(LanguageFilePath("C:\\Program Files\\dovoviza", ""),
              "C:\\Program Files\\dovoviza\\Language\\English.lng");

    test::FakeFileSystem files;
    const std::string folder = system.programFolder + "\\Language\\";
    files.AddFile(folder + "Russian.lng", "[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=\xD4\xE0\xE9\xEB\r\n");
    LanguageTexts texts(files, system, folder + "Russian.lng");
    EXPECT_EQ(texts.Text("main", "1"), "Файл");
    // Parsed once: a changed file is seen when the language is loaded again.
    files.AddFile(folder + "Russian.lng", "[Main]\r\n1=File\r\n");
    EXPECT_EQ(texts.Get(lang::kMenuFile), "Файл");
    texts.Load(folder + "Russian.lng");
    EXPECT_EQ(texts.Get(lang::kMenuFile), "File");

    files.AddFolder(folder + "Folder.lng");
    std::string huge = "[Main]\r\n1=File\r\n";
    huge.resize(kLanguageFileMaxBytes + 1, ' ');
    files.AddFile(folder + "Huge.lng", huge);
    for (const std::string& path : {folder + "Missing.lng", std::string(), folder + "Folder.lng",
                                    folder + "Huge.lng"}) {
        EXPECT_EQ(LanguageFile::Load(files, system, path).Get("Main", "1"), "") << path;
    }
    EXPECT_EQ(LanguageFile::Load(files, system, folder + "Huge.lng").CharacterSet(), std::nullopt);
    huge.resize(kLanguageFileMaxBytes);
    files.AddFile(folder + "Largest.lng", huge);
    EXPECT_EQ(LanguageFile::Load(files, system, folder + "Largest.lng").Get("Main", "1"), "File");
}
