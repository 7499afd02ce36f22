#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "language/Ini.h"
#include "language/Texts.h"
#include "support/FakeFileSystem.h"
#include "support/FakeSystem.h"
#include "support/FakeTexts.h"

using namespace dovoviza;

TEST(TextsTest, CharacterSetOfReadsTheLanguageSectionsNumberOnly) {
    test::FakeTexts texts;
    EXPECT_EQ(CharacterSetOf(texts), std::nullopt);
    // The key elsewhere is not the language's.
    texts.Set("Main", "CharacterSet", "204");
    EXPECT_EQ(CharacterSetOf(texts), std::nullopt);
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"204", 204}, {"0", 0}, {"+161", 161}, {"", std::nullopt}, {"Cyrillic", std::nullopt},
        {"204x", std::nullopt}, {"2 04", std::nullopt}, {"+-1", std::nullopt}, {"99999999999", std::nullopt}};
    for (const auto& [text, expected] : cases) {
        texts.Set("LANGUAGE", "CharacterSet", text);
        EXPECT_EQ(CharacterSetOf(texts), expected) << '"' << text << '"';
    }
}

TEST(TextsTest, CharacterSetOfAFileAgreesWithTheLanguageFile) {
    // The windows read the number through their texts, the decoder through
    // the file: both must take the same font character set.
    test::FakeFileSystem files;
    test::FakeSystem system;
    const std::string path = "C:\\Program\\Language\\Test.lng";
    for (const char* line : {"CharacterSet=238", "CharacterSet = \"161\"", "CharacterSet=x"}) {
        files.AddFile(path, std::string("[LANGUAGE]\r\n") + line + "\r\n[Main]\r\n1=File\r\n");
        LanguageTexts texts(files, system, path);
        EXPECT_EQ(CharacterSetOf(texts), LanguageFile::Load(files, system, path).CharacterSet()) << line;
    }
    files.AddFile(path, std::string("[LANGUAGE]\r\nCharacterSet=238\r\n"));
    LanguageTexts texts(files, system, path);
    EXPECT_EQ(CharacterSetOf(texts), 238);
}
