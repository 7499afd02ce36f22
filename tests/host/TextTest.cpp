#include <gtest/gtest.h>

#include "platform/Text.h"

using namespace dovoviza;

TEST(Text, Utf16RoundTripKeepsEveryUnitIncludingLoneSurrogates) {
    const std::u16string samples[] = {
        u"plain", u"Привет", u"日本語", u"\U0001F600 emoji", std::u16string(1, char16_t(0xD800)) + u"x",
        u"a" + std::u16string(1, char16_t(0xDC01)), std::u16string(u"nul\0in", 6)};
    for (const auto& s : samples) {
        EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(s)), s);
    }
}

TEST(Text, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");         // cut sequence at the end
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");     // overlong form
}

TEST(Text, RegistryStringBytes) {
    const auto bytes = EncodeUtf16LeWithNul("abc");
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{'a', 0, 'b', 0, 'c', 0, 0, 0}));
    EXPECT_EQ(DecodeUtf16Le({'a', 0, 'b', 0, 'c'}), "ab");  // odd byte ignored
    EXPECT_EQ(DecodeUtf16Le(EncodeUtf16LeWithNul("Ж")), std::string("Ж") + '\0');
}

TEST(Text, CharacterPositionsCountCodePointsNotBytes) {
    EXPECT_EQ(CharCount("aЖ日\U0001F600"), 4u);
    EXPECT_EQ(LeftChars("ЖЖЖ", 2), "ЖЖ");
    EXPECT_EQ(LeftChars("ab", 5), "ab");
}

TEST(Text, TrimmingTouchesSpacesOnly) {
    EXPECT_EQ(TrimSpaces("  a b \t "), "a b \t");
    EXPECT_EQ(TrimLeadingSpaces("  x  "), "x  ");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(CutAtNul(std::string("ab\0cd", 5)), "ab");
    EXPECT_TRUE(EndsWithAsciiNoCase("APP.LnK", ".lnk"));
    EXPECT_FALSE(EndsWithAsciiNoCase("lnk", ".lnk"));
}
