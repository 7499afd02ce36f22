#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "language/Ini.h"
#include "language/Texts.h"
#include "support/FakeFileSystem.h"
#include "support/FakeSystem.h"
#include "support/FakeTexts.h"

using namespace dovoviza;

TEST(TextsTest, CharacterSetOfReadsTheLanguageSectionsNumber) {
    test::FakeTexts texts;
    texts.Set("LANGUAGE", "CharacterSet", "204");
    EXPECT_EQ(CharacterSetOf(texts), 204);
    texts.Set("LANGUAGE", "CharacterSet", "0");
    EXPECT_EQ(CharacterSetOf(texts), 0);
    texts.Set("LANGUAGE", "CharacterSet", "+161");
    EXPECT_EQ(CharacterSetOf(texts), 161);
}

TEST(TextsTest, CharacterSetOfIsNothingWhenMissingOrNotANumber) {
    test::FakeTexts texts;
    EXPECT_EQ(CharacterSetOf(texts), std::nullopt);
    // The key elsewhere is not the language's.
    texts.Set("Main", "CharacterSet", "204");
    EXPECT_EQ(CharacterSetOf(texts), std::nullopt);
    for (const char* text : {"", "Cyrillic", "204x", "2 04", "+-1", "99999999999"}) {
        texts.Set("LANGUAGE", "CharacterSet", text);
        EXPECT_EQ(CharacterSetOf(texts), std::nullopt) << '"' << text << '"';
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
        EXPECT_EQ(CharacterSetOf(texts), LanguageFile::Load(files, system, path).CharacterSet())
            << line;
    }
    files.AddFile(path, std::string("[LANGUAGE]\r\nCharacterSet=238\r\n"));
    LanguageTexts texts(files, system, path);
    EXPECT_EQ(CharacterSetOf(texts), 238);
}
