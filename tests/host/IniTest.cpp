// The language-file reader: lines, sections and keys as Windows reads them, decoding by
// byte-order mark or CharacterSet, the value buffer, loading, and the shipped files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "language/Ini.h"
#include "language/Texts.h"
#include "support/FakeFileSystem.h"
#include "support/FakeSystem.h"

using namespace dovoviza;

namespace {

struct Lookup { const char *section, *key; std::string expected; };
struct Case { std::string name, file; std::optional<int> characterSet; std::vector<Lookup> lookups; };

void Check(const std::vector<Case>& cases) {
    test::FakeSystem system;
    for (const Case& c : cases) {
        const LanguageFile file = LanguageFile::FromBytes(system, {c.file.begin(), c.file.end()});
        EXPECT_EQ(file.CharacterSet(), c.characterSet) << c.name;
        for (const Lookup& l : c.lookups) EXPECT_EQ(file.Get(l.section, l.key), l.expected) << c.name << ": " << l.key;
    }
}

}  // namespace

TEST(Ini, LinesSectionsAndKeysReadAsWindowsReadsThemIntoA354UnitBuffer) {
    const std::string a354(354, 'a'), emoji = "\xF0\x9F\x98\x80";  // two UTF-16 units
    Check({
        {"letter case folded by the system, beyond ASCII", "\xEF\xBB\xBF[Main]\nCaption=Main\n[Настройки]\nключ=ок\n",
         std::nullopt, {{"MAIN", "caption", "Main"}, {"НАСТРОЙКИ", "КЛЮЧ", "ок"}}},
        {"keys are text, names trimmed", "[Main]\n01=zero one\n1 = one\n", std::nullopt,
         {{"Main", "1", "one"}, {"Main", "01", "zero one"}, {"Main", "001", ""}, {" Main\t", " 1 ", "one"}}},
        {"first match wins, a later section of that name is never read",
         "[Main]\n1=first\n1=second\n[Other]\n1=other\n[MAIN]\n1=third\n2=hidden\n", std::nullopt,
         {{"Main", "1", "first"}, {"Other", "1", "other"}, {"Main", "2", ""}}},
        {"line shapes; [ without ] is an ordinary line",
         "orphan=no section\n  [Indented]  words\nbare key\nbare key=shadowed\n[  Blank  ]\nx=1\n"
         "[Unclosed\ny=2\n\n \t\n=empty key\na==b=c\n", std::nullopt,
         {{"", "orphan", ""}, {"Indented", "bare key", ""}, {"Blank", "x", "1"}, {"Blank", "y", "2"},
          {"Unclosed", "y", ""}, {"Blank", "", "empty key"}, {"Blank", "a", "=b=c"}}},
        {"line ends and blanks", "[S]\r\na=1\nb=2\rc=3\r\n\r\nd=4\n\re= \t x  y \t\nf =   ", std::nullopt,
         {{"S", "a", "1"}, {"S", "b", "2"}, {"S", "c", "3"}, {"S", "d", "4"}, {"S", "e", "x  y"}, {"S", "f", ""}}},
        {"one pair of enclosing quotes goes", "[S]\n1=\"  kept  \"\n2=  'single'  \n3=\"\"twice\"\"\n4=\"mixed'\n"
         "5=say \"hi\"\n6=\"\n7=\"\"\n", std::nullopt,
         {{"S", "1", "  kept  "}, {"S", "2", "single"}, {"S", "3", "\"twice\""}, {"S", "4", "\"mixed'"},
          {"S", "5", "say \"hi\""}, {"S", "6", "\""}, {"S", "7", ""}}},
        {"longer values are cut, never through a character; quotes go first",
         "\xEF\xBB\xBF[S]\n1=" + a354 + "\n2=" + a354 + "b\n3=" + a354.substr(1) + emoji + "\n4=" + a354.substr(2) +
             emoji + "x\n5=\"" + a354 + "\"\n", std::nullopt,
         {{"S", "1", a354}, {"S", "2", a354}, {"S", "3", a354.substr(1)}, {"S", "4", a354.substr(2) + emoji},
          {"S", "5", a354}}},
    });
}

TEST(Ini, FileIsDecodedByItsByteOrderMarkOrTheCodePageItsLanguageSectionNames) {
    const std::string western = "[Main]\n1=Caf\xE9 \x80\n";  // é and the euro sign in 1252
    std::vector<Case> cases = {
        // Shift-JIS: ソ = 83 5C, ゾ = 83 5D, ー = 81 5B, 表 = 95 5C. Trail bytes that
        // look like "\", "]" or "[" stay inside their text.
        {"Shift-JIS", "[LANGUAGE]\r\nname=\x83\x5C\x83\x5D\r\nCharacterSet=128\r\n[Main]\r\n1=\x95\x5C\x81\x5B\r\n"
         "2=[\x83\x5D]\r\n[\x83\x5D]\r\n1=named in Japanese\r\n", 128,
         {{"LANGUAGE", "name", "ソゾ"}, {"Main", "1", "表ー"}, {"Main", "2", "[ゾ]"}, {"ゾ", "1", "named in Japanese"}}},
        {"only LANGUAGE names the set, wherever it stands",
         "[Main]\nCharacterSet=0\n1=\xD4\xE0\xE9\xEB\n[language]\ncharactERSet=\"204\"", 204, {{"Main", "1", "Файл"}}},
        {"malformed set", "[LANGUAGE]\nCharacterSet=204x\n" + western, std::nullopt, {{"Main", "1", "Café €"}}},
        {"unknown set", "[LANGUAGE]\nCharacterSet=+999\n" + western, 999, {{"Main", "1", "Café €"}}},
        {"UTF-8 mark", "\xEF\xBB\xBF[LANGUAGE]\nCharacterSet=204\n[Main]\n1=Файл 日\n", 204, {{"Main", "1", "Файл 日"}}},
        {"UTF-8 without a mark reads as 1252", "[Main]\n1=Caf\xC3\xA9\n", std::nullopt, {{"Main", "1", "CafÃ©"}}},
        {"0x81, which 1252 lacks, loses no text", "[Main]\n1=a\x81z\n2=ok\n", std::nullopt, {{"Main", "2", "ok"}}},
    };
    for (const bool bigEndian : {false, true}) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t u : std::u16string(u"[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=Файл \U0001F600\r\n")) {
            bytes += bigEndian ? std::string{char(u >> 8), char(u & 0xFF)} : std::string{char(u & 0xFF), char(u >> 8)};
        }
        cases.push_back({bigEndian ? "UTF-16BE" : "UTF-16LE", bytes, 204, {{"Main", "1", "Файл \U0001F600"}}});
    }
    Check(cases);
}

TEST(Ini, LanguageFilesLoadFromTheLanguageFolderAndOversizedOnesReadAsMissing) {
    EXPECT_EQ(LanguageFilePath("C:\\dovoviza", ""), "C:\\dovoviza\\Language\\English.lng");  // nothing stored
    test::FakeSystem system;
    test::FakeFileSystem files;
    const std::string folder = "C:\\dovoviza\\Language\\";
    files.AddFile(folder + "Russian.lng", "[LANGUAGE]\r\nCharacterSet=204\r\n[Main]\r\n1=\xD4\xE0\xE9\xEB\r\n");
    LanguageTexts texts(files, system, LanguageFilePath("C:\\dovoviza", "Russian"));
    EXPECT_EQ(texts.Get(lang::kMenuFile), "Файл");

    std::string largest = "[Main]\r\n1=File\r\n";
    largest.resize(kLanguageFileMaxBytes, ' ');
    files.AddFile(folder + "Largest.lng", largest);
    files.AddFile(folder + "Huge.lng", largest + " ");
    EXPECT_EQ(LanguageFile::Load(files, system, folder + "Largest.lng").Get("Main", "1"), "File");
    for (const std::string& path : {folder + "Missing.lng", std::string(), folder + "Huge.lng"})
        EXPECT_EQ(LanguageFile::Load(files, system, path).Get("Main", "1"), "") << path;
}

TEST(Ini, EveryShippedLanguageFileHasEachEnglishTextInTheCodePageItsCharacterSetNames) {
    constexpr const char* kBad = "\xEF\xBF\xBD";  // the replacement character
    const auto read = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    // The sections, keys and values as a translator wrote them.
    const auto written = [](const std::string& text) {
        static const std::regex header(R"(\s*\[(.*)\]\s*)"), entry(R"(\s*([^=]*?)\s*=\s*(.*?)\s*)");
        std::map<std::pair<std::string, std::string>, std::string> values;
        std::istringstream lines(text);
        std::string section;
        for (std::string line; std::getline(lines, line);) {
            if (std::smatch m; std::regex_match(line, m, header)) section = m[1];
            else if (std::regex_match(line, m, entry)) values.emplace(std::pair(section, m[1].str()), m[2].str());
        }
        return values;
    };
    const std::filesystem::path folder = std::filesystem::path(DOVOVIZA_SOURCE_DIR) / "Language";
    const auto english = written(read(folder / "English.lng"));
    ASSERT_GT(english.size(), 50u) << "Language/English.lng is missing";
    std::map<std::string, std::string> words;
    test::FakeSystem system;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        const std::string name = item.path().filename().string(), raw = read(item.path());
        if (item.path().extension() != ".lng") continue;
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> bytes(raw.begin(), raw.end());
        const LanguageFile file = LanguageFile::FromBytes(system, bytes);
        ASSERT_TRUE(file.CharacterSet()) << "LANGUAGE/CharacterSet is missing or not a number";
        const unsigned codePage = CharacterSetToCodePage(*file.CharacterSet());
        // Decoded strictly, every byte belongs to the code page; letters beyond
        // ASCII that are valid UTF-8 were saved as UTF-8 by mistake.
        const auto text = system.DecodeCodePage(bytes, codePage), asUtf8 = system.DecodeCodePage(bytes, 65001);
        ASSERT_TRUE(text && text->find(kBad) == std::string::npos) << "bytes that code page " << codePage << " lacks";
        EXPECT_FALSE(asUtf8 && *asUtf8 != *text && asUtf8->find(kBad) == std::string::npos) << "the file is UTF-8";
        const auto own = written(*text);
        for (const auto& [id, englishText] : english) {
            // Quotes around the whole value, or a value past the program's buffer,
            // would read back other than written. Buttons keep their one keyboard
            // accelerator; other texts get none.
            const std::string value = file.Get(id.first, id.second);
            EXPECT_TRUE(!value.empty() && own.count(id) && value == own.at(id) &&
                        (id.first == "LANGUAGE" || std::count(value.begin(), value.end(), '&') ==
                                                       std::count(englishText.begin(), englishText.end(), '&')))
                << id.first << "/" << id.second << " reads \"" << value << "\"";
        }
        // The alert knows a missing program by the word the scan wrote into its
        // path; the create/edit dialog tells its mode by its caption.
        EXPECT_EQ(file.Get("Alert", "10"), file.Get("Main", "36"));
        EXPECT_NE(file.Get("Main", "39"), file.Get("Add", "1"));
        words[name] = file.Get("Main", "1");
    }
    // Files of other scripts read in their own letters.
    EXPECT_EQ(words["Russian.lng"] + " " + words["Japanese.lng"], "Файл ファイル");
}
