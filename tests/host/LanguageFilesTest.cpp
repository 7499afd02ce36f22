// Every language file that ships beside the program: the same sections and
// keys as English.lng, bytes in the code page its CharacterSet names, and a
// text for every key once the program has read it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "language/Ini.h"
#include "platform/Text.h"
#include "support/FakeSystem.h"

using namespace dovoviza;

namespace {

namespace fs = std::filesystem;

constexpr unsigned kUtf8CodePage = 65001;
constexpr unsigned kWesternCodePage = 1252;

fs::path LanguageFolder() { return fs::path(DOVOVIZA_SOURCE_DIR) / "Language"; }

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> LanguageFileNames() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(LanguageFolder(), error)) {
        if (item.is_regular_file() && item.path().extension() == ".lng") {
            names.push_back(item.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The file as sections of keys and their values, read line by line; the
// repeated sections and keys found on the way, which would hide their later
// copies from the program.
struct ParsedFile {
    std::map<std::string, std::map<std::string, std::string>> sections;
    std::vector<std::string> repeats;
    std::vector<std::string> strayLines;  // text outside any section, or without '='
};

ParsedFile ParseLines(const std::string& text) {
    ParsedFile parsed;
    std::string section;
    bool inSection = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = Trim(line);
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            inSection = true;
            if (parsed.sections.count(section)) parsed.repeats.push_back("[" + section + "]");
            parsed.sections[section];
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string::npos) {
            parsed.strayLines.push_back(line);
            continue;
        }
        const std::string key = Trim(line.substr(0, equals));
        if (!parsed.sections[section].emplace(key, Trim(line.substr(equals + 1))).second) {
            parsed.repeats.push_back(section + "/" + key);
        }
    }
    return parsed;
}

std::size_t CountOf(const std::string& text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

// The CharacterSet line, read from the undecoded bytes (keys are ASCII in
// every code page the files use).
std::optional<int> RawCharacterSet(const std::vector<std::uint8_t>& bytes) {
    const ParsedFile raw = ParseLines(std::string(bytes.begin(), bytes.end()));
    const auto language = raw.sections.find("LANGUAGE");
    if (language == raw.sections.end()) return std::nullopt;
    const auto value = language->second.find("CharacterSet");
    if (value == language->second.end()) return std::nullopt;
    return ParseIniNumber(value->second);
}

class LanguageFiles : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        const std::vector<std::uint8_t> englishBytes = ReadBytes(LanguageFolder() / "English.lng");
        ASSERT_FALSE(englishBytes.empty()) << "Language/English.lng is missing";
        english = ParseLines(std::string(englishBytes.begin(), englishBytes.end()));
        bytes = ReadBytes(LanguageFolder() / GetParam());
        ASSERT_FALSE(bytes.empty()) << GetParam() << " is empty or unreadable";
    }

    // The file decoded in the code page of its own CharacterSet.
    std::optional<std::string> Decoded() {
        const std::optional<int> characterSet = RawCharacterSet(bytes);
        if (!characterSet) return std::nullopt;
        return system.DecodeCodePage(bytes, CharacterSetToCodePage(*characterSet));
    }

    test::FakeSystem system;
    ParsedFile english;
    std::vector<std::uint8_t> bytes;
};

std::string TestNameOf(const ::testing::TestParamInfo<std::string>& info) {
    std::string name;
    for (const char c : info.param.substr(0, info.param.rfind('.'))) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name + "_" + std::to_string(info.index);
}

}  // namespace

TEST(LanguageFolder, HoldsEnglishAndItsTranslations) {
    const std::vector<std::string> names = LanguageFileNames();
    for (const char* expected : {"English.lng", "Deutsch.lng", "Francais.lng", "Espanol.lng",
                                 "Russian.lng", "Japanese.lng"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    }
}

TEST_P(LanguageFiles, IsWindowsTextWithCrLfAndNoByteOrderMark) {
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_FALSE(bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) << "UTF-8 byte-order mark";
    EXPECT_FALSE((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))
        << "UTF-16 byte-order mark";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_NE(bytes[i], 0) << "NUL byte at " << i;
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR at " << i;
        }
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone LF at " << i;
        }
    }
    EXPECT_EQ(bytes.back(), '\n');
}

TEST_P(LanguageFiles, CharacterSetNamesACodePageThatDecodesTheWholeFile) {
    const std::optional<int> characterSet = RawCharacterSet(bytes);
    ASSERT_TRUE(characterSet) << "LANGUAGE/CharacterSet is missing or not a number";
    const unsigned codePage = CharacterSetToCodePage(*characterSet);
    // Unknown sets fall back to the Western code page; only ANSI and DEFAULT mean it.
    EXPECT_TRUE(*characterSet == 0 || *characterSet == 1 || codePage != kWesternCodePage)
        << "CharacterSet " << *characterSet << " names no code page";

    const std::optional<std::string> text = system.DecodeCodePage(bytes, codePage);
    ASSERT_TRUE(text) << "bytes that code page " << codePage << " cannot decode";
    EXPECT_EQ(text->find("\xEF\xBF\xBD"), std::string::npos) << "replacement character after decoding";

    // Text with letters beyond ASCII that is also valid UTF-8 was saved as
    // UTF-8 by mistake: the program would show its bytes as code-page letters.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b < 0x80; });
    if (!ascii && codePage != kUtf8CodePage) {
        // Decoders either refuse invalid UTF-8 or put replacement characters in.
        const std::optional<std::string> asUtf8 = system.DecodeCodePage(bytes, kUtf8CodePage);
        EXPECT_TRUE(!asUtf8 || asUtf8->find("\xEF\xBF\xBD") != std::string::npos)
            << "the file is UTF-8, not code page " << codePage;
    }
}

TEST_P(LanguageFiles, HasExactlyTheSectionsAndKeysOfEnglish) {
    const std::optional<std::string> text = Decoded();
    ASSERT_TRUE(text);
    const ParsedFile file = ParseLines(*text);
    EXPECT_TRUE(file.repeats.empty()) << "repeated: " << (file.repeats.empty() ? "" : file.repeats.front());
    EXPECT_TRUE(file.strayLines.empty()) << "stray line: " << (file.strayLines.empty() ? "" : file.strayLines.front());

    for (const auto& [section, keys] : english.sections) {
        const auto found = file.sections.find(section);
        if (found == file.sections.end()) {
            ADD_FAILURE() << "missing section [" << section << "]";
            continue;
        }
        for (const auto& entry : keys) {
            EXPECT_TRUE(found->second.count(entry.first)) << "missing " << section << "/" << entry.first;
        }
    }
    for (const auto& [section, keys] : file.sections) {
        const auto found = english.sections.find(section);
        if (found == english.sections.end()) {
            ADD_FAILURE() << "section [" << section << "] that English lacks";
            continue;
        }
        for (const auto& entry : keys) {
            EXPECT_TRUE(found->second.count(entry.first)) << section << "/" << entry.first << " that English lacks";
        }
    }
}

TEST_P(LanguageFiles, EveryTextReadsBackAsWrittenAndNoneIsEmpty) {
    const std::optional<std::string> text = Decoded();
    ASSERT_TRUE(text);
    const ParsedFile written = ParseLines(*text);
    const LanguageFile file = LanguageFile::FromBytes(system, bytes);
    EXPECT_EQ(file.CharacterSet(), RawCharacterSet(bytes));

    for (const auto& [section, keys] : english.sections) {
        for (const auto& [key, englishText] : keys) {
            SCOPED_TRACE(section + "/" + key);
            const std::string value = file.Get(section, key);
            EXPECT_FALSE(value.empty());
            // Quotes around the whole value, or a value past the program's
            // buffer, would read back shorter than written.
            const auto writtenSection = written.sections.find(section);
            if (writtenSection != written.sections.end() && writtenSection->second.count(key)) {
                EXPECT_EQ(value, writtenSection->second.at(key));
            }
            // Buttons keep their one keyboard accelerator; other texts get none.
            if (section != "LANGUAGE") {
                EXPECT_EQ(CountOf(value, '&'), CountOf(englishText, '&')) << value;
                const std::size_t amp = value.find('&');
                if (amp != std::string::npos) {
                    EXPECT_TRUE(amp + 1 < value.size() && value[amp + 1] != ' ') << value;
                }
            }
        }
    }
}

TEST_P(LanguageFiles, TextsThatTheProgramComparesOrNeedsAgree) {
    const LanguageFile file = LanguageFile::FromBytes(system, bytes);
    // The scan writes Main/36 into the path of a missing program; the alert
    // recognises it by Alert/10.
    EXPECT_FALSE(file.Get("Main", "36").empty());
    EXPECT_EQ(file.Get("Alert", "10"), file.Get("Main", "36"));
    // The status word of a disabled entry; empty would read as enabled.
    EXPECT_FALSE(file.Get("Main", "37").empty());
    EXPECT_FALSE(file.Get("Alert", "7").empty());
    // The create/edit dialog tells its mode by its caption.
    EXPECT_NE(file.Get("Main", "39"), file.Get("Add", "1"));
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageFiles, ::testing::ValuesIn(LanguageFileNames()), TestNameOf);

namespace {

std::u16string MainMenuFile(const char* fileName, std::optional<int>& characterSet) {
    test::FakeSystem system;
    const std::vector<std::uint8_t> bytes = ReadBytes(LanguageFolder() / fileName);
    const LanguageFile file = LanguageFile::FromBytes(system, bytes);
    characterSet = file.CharacterSet();
    return Utf8ToUtf16(file.Get("Main", "1"));
}

}  // namespace

TEST(RussianLanguageFile, IsCodePage1251) {
    std::optional<int> characterSet;
    const std::u16string word = MainMenuFile("Russian.lng", characterSet);
    EXPECT_EQ(characterSet, 204);
    ASSERT_FALSE(word.empty());
    // Only Cyrillic letters: UTF-8 bytes read as code page 1251 would give
    // pairs such as U+0420 U+00A4 instead.
    for (const char16_t c : word) {
        EXPECT_TRUE((c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451)
            << "U+" << std::hex << static_cast<unsigned>(c);
    }
}

TEST(JapaneseLanguageFile, IsCodePage932) {
    std::optional<int> characterSet;
    const std::u16string word = MainMenuFile("Japanese.lng", characterSet);
    EXPECT_EQ(characterSet, 128);
    ASSERT_FALSE(word.empty());
    // Full-width kana and kanji only, with at least one kana: UTF-8 bytes read
    // as code page 932 pair up wrongly and leave half-width katakana or other
    // symbols among the kanji.
    const auto isKana = [](char16_t c) { return c >= 0x3041 && c <= 0x30FF; };
    const auto isKanji = [](char16_t c) { return c >= 0x4E00 && c <= 0x9FFF; };
    for (const char16_t c : word) {
        EXPECT_TRUE(isKana(c) || isKanji(c)) << "U+" << std::hex << static_cast<unsigned>(c);
    }
    EXPECT_TRUE(std::any_of(word.begin(), word.end(), isKana)) << "no kana in Main/1";
}
