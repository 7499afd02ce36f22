#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "language/Texts.h"
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
