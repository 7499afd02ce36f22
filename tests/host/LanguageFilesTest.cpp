// Every language file that ships beside the program: the same sections and
// keys as English.lng, bytes in the code page its CharacterSet names, and a
// text for every key the program reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
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
constexpr const char* kReplacement = "\xEF\xBF\xBD";

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

// The file as sections of keys and their values, read line by line, with the
// repeated sections and keys (which would hide their later copies from the
// program) and the lines outside any section or without '='.
struct ParsedFile {
    std::map<std::string, std::map<std::string, std::string>> sections;
    std::vector<std::string> faults;
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
            if (parsed.sections.count(section)) parsed.faults.push_back("repeated [" + section + "]");
            parsed.sections[section];
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string::npos) {
            parsed.faults.push_back("stray line " + line);
            continue;
        }
        const std::string key = Trim(line.substr(0, equals));
        if (!parsed.sections[section].emplace(key, Trim(line.substr(equals + 1))).second) {
            parsed.faults.push_back("repeated " + section + "/" + key);
        }
    }
    return parsed;
}

ParsedFile ParseBytes(const std::vector<std::uint8_t>& bytes) {
    return ParseLines(std::string(bytes.begin(), bytes.end()));
}

// The CharacterSet line, read from the undecoded bytes (keys are ASCII in
// every code page the files use).
std::optional<int> RawCharacterSet(const std::vector<std::uint8_t>& bytes) {
    const ParsedFile raw = ParseBytes(bytes);
    const auto language = raw.sections.find("LANGUAGE");
    if (language == raw.sections.end() || !language->second.count("CharacterSet")) return std::nullopt;
    return ParseIniNumber(language->second.at("CharacterSet"));
}

std::size_t CountOf(const std::string& text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

class LanguageFiles : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        const std::vector<std::uint8_t> englishBytes = ReadBytes(LanguageFolder() / "English.lng");
        ASSERT_FALSE(englishBytes.empty()) << "Language/English.lng is missing";
        english = ParseBytes(englishBytes);
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
        const bool lone = bytes[i] == '\r' ? i + 1 == bytes.size() || bytes[i + 1] != '\n'
                                            : bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
        ASSERT_FALSE(lone) << "lone CR or LF at " << i;
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
    EXPECT_EQ(text->find(kReplacement), std::string::npos) << "replacement character after decoding";

    // Text with letters beyond ASCII that is also valid UTF-8 was saved as
    // UTF-8 by mistake: the program would show its bytes as code-page letters.
    // (Decoders either refuse invalid UTF-8 or put replacement characters in.)
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b < 0x80; });
    if (!ascii && codePage != kUtf8CodePage) {
        const std::optional<std::string> asUtf8 = system.DecodeCodePage(bytes, kUtf8CodePage);
        EXPECT_TRUE(!asUtf8 || asUtf8->find(kReplacement) != std::string::npos)
            << "the file is UTF-8, not code page " << codePage;
    }
}

TEST_P(LanguageFiles, HasExactlyEnglishsKeysAndEveryTextReadsBackAsWritten) {
    const std::optional<std::string> text = Decoded();
    ASSERT_TRUE(text);
    const ParsedFile written = ParseLines(*text);
    EXPECT_TRUE(written.faults.empty()) << written.faults.front();
    for (const auto& [section, keys] : written.sections) {
        const auto found = english.sections.find(section);
        EXPECT_TRUE(found != english.sections.end()) << "[" << section << "] that English lacks";
        for (const auto& entry : keys) {
            EXPECT_TRUE(found != english.sections.end() && found->second.count(entry.first))
                << section << "/" << entry.first << " that English lacks";
        }
    }

    const LanguageFile file = LanguageFile::FromBytes(system, bytes);
    EXPECT_EQ(file.CharacterSet(), RawCharacterSet(bytes));
    for (const auto& [section, keys] : english.sections) {
        const auto found = written.sections.find(section);
        for (const auto& [key, englishText] : keys) {
            SCOPED_TRACE(section + "/" + key);
            const std::string value = file.Get(section, key);
            EXPECT_FALSE(value.empty());
            // Quotes around the whole value, or a value past the program's
            // buffer, would read back shorter than written.
            if (found == written.sections.end() || !found->second.count(key)) {
                ADD_FAILURE() << "missing";
            } else {
                EXPECT_EQ(value, found->second.at(key));
            }
            // Buttons keep their one keyboard accelerator; other texts get none.
            if (section != "LANGUAGE") {
                EXPECT_EQ(CountOf(value, '&'), CountOf(englishText, '&')) << value;
                const std::size_t amp = value.find('&');
                EXPECT_TRUE(amp == std::string::npos || (amp + 1 < value.size() && value[amp + 1] != ' '))
                    << value;
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

TEST(LanguageFolder, EveryTextTheProgramReadsIsInEnglish) {
    // The reads written out in the sources: Text("Main", "36"), {control, "Alert", "1"},
    // Text("Alert", registry ? "11" : "12"); and the few whose key is a named constant.
    std::set<std::pair<std::string, std::string>> reads = {{"Alert", "6"}, {"Add", "16"}, {"Add", "17"}};
    const std::regex read(
        R"re("(Main|About|Add|Alert|Splash|Tray|LANGUAGE)",\s*(?:[\w.>()-]*\s*\?\s*)?)re"
        R"re("([^"]+)"(?:\s*:\s*"([^"]+)")?)re");
    for (const auto& item : fs::recursive_directory_iterator(fs::path(DOVOVIZA_SOURCE_DIR) / "src")) {
        if (item.path().extension() != ".cpp" && item.path().extension() != ".h") continue;
        std::ifstream in(item.path(), std::ios::binary);
        const std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        for (std::sregex_iterator m(source.begin(), source.end(), read), end; m != end; ++m) {
            reads.insert({(*m)[1], (*m)[2]});
            if ((*m)[3].matched) reads.insert({(*m)[1], (*m)[3]});
        }
    }
    // Far fewer would mean the sources are no longer read as they are written.
    EXPECT_GT(reads.size(), 80u);

    const ParsedFile english = ParseBytes(ReadBytes(LanguageFolder() / "English.lng"));
    for (const auto& [section, key] : reads) {
        const auto found = english.sections.find(section);
        EXPECT_TRUE(found != english.sections.end() && found->second.count(key)) << section << "/" << key;
    }
}

TEST(LanguageFolder, TranslationsNameTheCodePageOfTheirScript) {
    // Only letters of the script: UTF-8 bytes read as code page 1251 would give
    // pairs such as U+0420 U+00A4, read as 932 half-width katakana or symbols.
    const auto cyrillic = [](char16_t c) { return (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451; };
    const auto kana = [](char16_t c) { return c >= 0x3041 && c <= 0x30FF; };
    const auto japanese = [&](char16_t c) { return kana(c) || (c >= 0x4E00 && c <= 0x9FFF); };
    struct Script {
        const char* file;
        int characterSet;
        std::function<bool(char16_t)> letter;
        std::function<bool(char16_t)> needed;  // at least one letter of this kind
    };
    const Script scripts[] = {{"Russian.lng", 204, cyrillic, cyrillic}, {"Japanese.lng", 128, japanese, kana}};
    for (const Script& script : scripts) {
        test::FakeSystem system;
        const LanguageFile file = LanguageFile::FromBytes(system, ReadBytes(LanguageFolder() / script.file));
        EXPECT_EQ(file.CharacterSet(), script.characterSet) << script.file;
        const std::u16string word = Utf8ToUtf16(file.Get("Main", "1"));
        for (const char16_t c : word) {
            EXPECT_TRUE(script.letter(c)) << script.file << " U+" << std::hex << static_cast<unsigned>(c);
        }
        EXPECT_TRUE(std::any_of(word.begin(), word.end(), script.needed)) << script.file;
    }
}
