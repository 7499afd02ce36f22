#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/FakeFileSystem.h"
#include "support/FakeSystem.h"
#include "language/Ini.h"
#include "platform/Text.h"

using namespace dovoviza;

namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// Without its byte-order mark a UTF-8 file would read as code page 1252.
std::string Utf8File(std::string_view text) { return "\xEF\xBB\xBF" + std::string(text); }

class IniTest : public ::testing::Test {
protected:
    LanguageFile Parse(std::string_view bytes) { return LanguageFile::FromBytes(system, Bytes(bytes)); }

    test::FakeSystem system;
};

}  // namespace

TEST_F(IniTest, SectionsAndKeysMatchWithoutRegardToCase) {
    const LanguageFile file = Parse(Utf8File(
        "[Main]\r\n1=File\r\nCaption=Main caption\r\n"
        "[Настройки]\r\nключ=значение\r\n"));
    EXPECT_EQ(file.Get("MAIN", "1"), "File");
    EXPECT_EQ(file.Get("main", "caption"), "Main caption");
    EXPECT_EQ(file.Get("Main", "CAPTION"), "Main caption");
    // Letter case is folded by the system's upper-casing, not just for ASCII.
    EXPECT_EQ(file.Get("НАСТРОЙКИ", "КЛЮЧ"), "значение");
}

TEST_F(IniTest, KeyNamesAreTextNotNumbers) {
    const LanguageFile file = Parse("[Main]\n01=zero one\n1 = one\n");
    EXPECT_EQ(file.Get("Main", "1"), "one");
    EXPECT_EQ(file.Get("Main", "01"), "zero one");
    EXPECT_EQ(file.Get("Main", "001"), "");
    EXPECT_EQ(file.Get("Main", " 1 "), "one");
    EXPECT_EQ(file.Get(" Main\t", "1"), "one");
}

TEST_F(IniTest, FirstMatchingSectionAndKeyWin) {
    const LanguageFile file = Parse(
        "[Main]\n1=first\n1=second\n"
        "[Other]\n1=other\n"
        "[MAIN]\n1=third\n2=only in the repeated section\n");
    EXPECT_EQ(file.Get("Main", "1"), "first");
    EXPECT_EQ(file.Get("Other", "1"), "other");
    EXPECT_EQ(file.Get("Main", "2"), "");
}

TEST_F(IniTest, LineShapes) {
    const LanguageFile file = Parse(
        "orphan=before any section\n"
        "   [Indented]   trailing words\n"
        "bare key\n"
        "bare key=shadowed by the line above\n"
        "[  Blank Name  ]\n"
        "x=1\n"
        "[Unclosed\n"
        "y=2\n"
        "\n"
        "   \t\n"
        "=empty key\n"
        "a==b=c\n");
    EXPECT_EQ(file.Get("", "orphan"), "");
    EXPECT_EQ(file.Get("Indented", "bare key"), "");
    EXPECT_EQ(file.Get("Blank Name", "x"), "1");
    // A "[" without "]" is an ordinary line of the section it stands in.
    EXPECT_EQ(file.Get("Blank Name", "y"), "2");
    EXPECT_EQ(file.Get("Unclosed", "y"), "");
    EXPECT_EQ(file.Get("Blank Name", ""), "empty key");
    EXPECT_EQ(file.Get("Blank Name", "a"), "=b=c");
}

TEST_F(IniTest, EveryKindOfLineEnd) {
    const LanguageFile file = Parse("[S]\r\na=1\nb=2\rc=3\r\n\r\nd=4\n\re=5");
    EXPECT_EQ(file.Get("S", "a"), "1");
    EXPECT_EQ(file.Get("S", "b"), "2");
    EXPECT_EQ(file.Get("S", "c"), "3");
    EXPECT_EQ(file.Get("S", "d"), "4");
    EXPECT_EQ(file.Get("S", "e"), "5");  // last line without a line end
}

TEST_F(IniTest, BlanksAroundKeysAndValuesAreDropped) {
    const LanguageFile file = Parse("[S]\n \t key one \t=  two  words \t\nempty =   \n");
    EXPECT_EQ(file.Get("S", "key one"), "two  words");
    EXPECT_EQ(file.Get("S", "empty"), "");
}

TEST_F(IniTest, OnePairOfEnclosingQuotesIsDropped) {
    const LanguageFile file = Parse(
        "[S]\n"
        "double=\"  keeps its blanks  \"\n"
        "single=  'single'  \n"
        "nested=\"\"twice\"\"\n"
        "mixed=\"mixed'\n"
        "inner=say \"hi\" there\n"
        "open=\"open\n"
        "lone=\"\n"
        "pair=\"\"\n");
    EXPECT_EQ(file.Get("S", "double"), "  keeps its blanks  ");
    EXPECT_EQ(file.Get("S", "single"), "single");
    EXPECT_EQ(file.Get("S", "nested"), "\"twice\"");
    EXPECT_EQ(file.Get("S", "mixed"), "\"mixed'");
    EXPECT_EQ(file.Get("S", "inner"), "say \"hi\" there");
    EXPECT_EQ(file.Get("S", "open"), "\"open");
    EXPECT_EQ(file.Get("S", "lone"), "\"");
    EXPECT_EQ(file.Get("S", "pair"), "");
}

TEST_F(IniTest, ValuesAreCutTo354Utf16Units) {
    const std::string a354(354, 'a');
    const std::string cyrillic400 = [] {
        std::string s;
        for (int i = 0; i < 400; ++i) s += "Ж";
        return s;
    }();
    const std::string emoji = "\xF0\x9F\x98\x80";  // two UTF-16 units
    const LanguageFile file = Parse(Utf8File(
        "[S]\n"
        "exact=" + a354 + "\n"
        "long=" + std::string(400, 'b') + "\n"
        "cyrillic=" + cyrillic400 + "\n"
        "straddle=" + std::string(353, 'c') + emoji + "\n"
        "fits=" + std::string(352, 'd') + emoji + "x\n"
        "quoted=\"" + a354 + "\"\n"));
    EXPECT_EQ(file.Get("S", "exact"), a354);
    EXPECT_EQ(file.Get("S", "long"), std::string(354, 'b'));
    EXPECT_EQ(CharCount(file.Get("S", "cyrillic")), 354u);
    EXPECT_EQ(file.Get("S", "cyrillic"), cyrillic400.substr(0, 354 * 2));
    // Half a surrogate pair is never kept.
    EXPECT_EQ(file.Get("S", "straddle"), std::string(353, 'c'));
    EXPECT_EQ(file.Get("S", "fits"), std::string(352, 'd') + emoji);
    // The quotes go first; they do not count against the limit.
    EXPECT_EQ(file.Get("S", "quoted"), a354);
}

TEST_F(IniTest, EmptyFileAndDefaultFileGiveEmptyTexts) {
    EXPECT_EQ(Parse("").Get("Main", "1"), "");
    EXPECT_EQ(LanguageFile().Get("Main", "1"), "");
    EXPECT_EQ(LanguageFile().CharacterSet(), std::nullopt);
    EXPECT_EQ(Parse("[Main]\n1=x\n").Get("Other", "1"), "");
    EXPECT_EQ(Parse("[Main]\n1=x\n").Get("Main", "2"), "");
}

// --- Decoding -------------------------------------------------------------

TEST_F(IniTest, FileIsDecodedByTheCodePageOfItsCharacterSet) {
    // "Файл" and "Выход" in code page 1251.
    const LanguageFile file = Parse(
        "[LANGUAGE]\r\nCharacterSet=204\r\n"
        "[Main]\r\n1=\xD4\xE0\xE9\xEB\r\n9=\xC2\xFB\xF5\xEE\xE4\r\n");
    EXPECT_EQ(file.Get("Main", "1"), "Файл");
    EXPECT_EQ(file.Get("Main", "9"), "Выход");
    EXPECT_EQ(file.CharacterSet(), 204);
}

TEST_F(IniTest, DoubleByteTrailBytesThatLookLikeBracketsStayInsideTheirText) {
    // Shift-JIS: ソ = 83 5C, ゾ = 83 5D, ー = 81 5B; 表 = 95 5C; 開く = 8A 4A 82 AD.
    const LanguageFile file = Parse(
        "[LANGUAGE]\r\n"
        "translator=\x83\x5C\x83\x5D\r\n"
        "CharacterSet=128\r\n"
        "[Main]\r\n"
        "1=\x95\x5C\x81\x5B\r\n"
        "2=[\x83\x5D]\r\n"
        "3=\x83\x5D\r\n"
        "[\x83\x5D]\r\n"
        "1=named in Japanese\r\n"
        "[Tray]\r\n"
        "1=\x8A\x4A\x82\xAD\r\n");
    EXPECT_EQ(file.Get("LANGUAGE", "translator"), "ソゾ");
    EXPECT_EQ(file.Get("Main", "1"), "表ー");
    EXPECT_EQ(file.Get("Main", "2"), "[ゾ]");
    EXPECT_EQ(file.Get("Main", "3"), "ゾ");
    EXPECT_EQ(file.Get("ゾ", "1"), "named in Japanese");
    EXPECT_EQ(file.Get("Tray", "1"), "開く");
    EXPECT_EQ(file.CharacterSet(), 128);
}

TEST_F(IniTest, CharacterSetIsFoundWhereverTheLanguageSectionStands) {
    // Cyrillic text before the section that names its code page.
    const LanguageFile file = Parse(
        "[Main]\n1=\xD4\xE0\xE9\xEB\n"
        "  [language]  \n  charactERSet  =  \"204\"  \n");
    EXPECT_EQ(file.Get("Main", "1"), "Файл");
    EXPECT_EQ(file.CharacterSet(), 204);
}

TEST_F(IniTest, OnlyTheFirstLanguageSectionNamesTheCodePage) {
    const LanguageFile elsewhere = Parse(
        "[Main]\nCharacterSet=204\n1=\xC0\n[LANGUAGE]\nCharacterSet=0\n");
    EXPECT_EQ(elsewhere.Get("Main", "1"), "\xC3\x80");  // À of code page 1252

    const LanguageFile repeated = Parse(
        "[LANGUAGE]\ntranslator=x\n[Main]\n1=\xC0\n[LANGUAGE]\nCharacterSet=204\n");
    EXPECT_EQ(repeated.Get("Main", "1"), "\xC3\x80");
    EXPECT_EQ(repeated.CharacterSet(), std::nullopt);
}

TEST_F(IniTest, MissingOrUnknownCharacterSetMeansWestern) {
    const std::string body = "[Main]\n1=Caf\xE9 \x80\n";  // é and the euro sign in 1252
    for (const std::string language : {"", "[LANGUAGE]\nCharacterSet=\n", "[LANGUAGE]\nCharacterSet=abc\n",
                                       "[LANGUAGE]\nCharacterSet=999\n", "[LANGUAGE]\nCharacterSet=1\n",
                                       "[LANGUAGE]\nCharacterSet=204x\n"}) {
        SCOPED_TRACE(language);
        EXPECT_EQ(Parse(language + body).Get("Main", "1"), "Café €");
    }
    EXPECT_EQ(Parse("[LANGUAGE]\nCharacterSet=abc\n").CharacterSet(), std::nullopt);
    EXPECT_EQ(Parse("[LANGUAGE]\nCharacterSet=999\n").CharacterSet(), 999);
    EXPECT_EQ(Parse(body).CharacterSet(), std::nullopt);
}

TEST_F(IniTest, BytesTheCodePageLacksStillReadAsText) {
    // 0x81 has no character in code page 1252; the file must not vanish for it.
    const LanguageFile file = Parse("[Main]\n1=a\x81z\n2=ok\n");
    EXPECT_EQ(file.Get("Main", "2"), "ok");
    EXPECT_EQ(file.Get("Main", "1").front(), 'a');
    EXPECT_EQ(file.Get("Main", "1").back(), 'z');
}

TEST_F(IniTest, ByteOrderMarksOverrideTheCharacterSet) {
    const LanguageFile utf8 = Parse("\xEF\xBB\xBF[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=Файл 日本\r\n");
    EXPECT_EQ(utf8.Get("Main", "1"), "Файл 日本");
    EXPECT_EQ(utf8.Get("LANGUAGE", "CharacterSet"), "204");

    const std::u16string wide = u"[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=Файл \U0001F600\r\n";
    std::vector<std::uint8_t> le = {0xFF, 0xFE};
    std::vector<std::uint8_t> be = {0xFE, 0xFF};
    for (char16_t unit : wide) {
        le.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        le.push_back(static_cast<std::uint8_t>(unit >> 8));
        be.push_back(static_cast<std::uint8_t>(unit >> 8));
        be.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    }
    EXPECT_EQ(LanguageFile::FromBytes(system, le).Get("Main", "1"), "Файл \U0001F600");
    EXPECT_EQ(LanguageFile::FromBytes(system, be).Get("Main", "1"), "Файл \U0001F600");
    EXPECT_EQ(LanguageFile::FromBytes(system, le).CharacterSet(), 204);
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

TEST(LanguageFilePath, BuildsThePathInTheLanguageFolder) {
    EXPECT_EQ(LanguageFilePath("C:\\Program Files\\dovoviza", "Deutsch"),
              "C:\\Program Files\\dovoviza\\Language\\Deutsch.lng");
    EXPECT_EQ(LanguageFilePath("C:\\Program Files\\dovoviza", ""),
              "C:\\Program Files\\dovoviza\\Language\\English.lng");
}

// --- Reading files ----------------------------------------------------------

TEST_F(IniTest, ReadINIReadsTheNamedFileAfresh) {
    test::FakeFileSystem files;
    const std::string path = LanguageFilePath(system.programFolder, "Russian");
    files.AddFile(path, "[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=\xD4\xE0\xE9\xEB\r\n");
    EXPECT_EQ(ReadINI(files, system, "main", "1", path), "Файл");

    // Nothing is cached: the next read sees the file as it is now.
    files.AddFile(path, "[Main]\r\n1=File\r\n");
    EXPECT_EQ(ReadINI(files, system, "Main", "1", path), "File");
    EXPECT_EQ(LanguageFile::Load(files, system, path).Get("Main", "1"), "File");
}

TEST_F(IniTest, MissingOrOversizedFilesGiveEmptyTexts) {
    test::FakeFileSystem files;
    const std::string folder = system.programFolder + "\\Language\\";
    EXPECT_EQ(ReadINI(files, system, "Main", "1", folder + "Missing.lng"), "");
    EXPECT_EQ(ReadINI(files, system, "Main", "1", ""), "");

    files.AddFolder(folder + "Folder.lng");
    EXPECT_EQ(ReadINI(files, system, "Main", "1", folder + "Folder.lng"), "");

    std::string huge = "[Main]\r\n1=File\r\n";
    huge.resize(kLanguageFileMaxBytes + 1, ' ');
    files.AddFile(folder + "Huge.lng", huge);
    EXPECT_EQ(ReadINI(files, system, "Main", "1", folder + "Huge.lng"), "");
    EXPECT_EQ(LanguageFile::Load(files, system, folder + "Huge.lng").CharacterSet(), std::nullopt);

    huge.resize(kLanguageFileMaxBytes);
    files.AddFile(folder + "Largest.lng", huge);
    EXPECT_EQ(ReadINI(files, system, "Main", "1", folder + "Largest.lng"), "File");
}
