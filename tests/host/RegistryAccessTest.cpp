#include <gtest/gtest.h>

#include "catalogue/RegistryAccess.h"
#include "language/Texts.h"
#include "platform/Text.h"
#include "support/FakeRegistry.h"
#include "support/FakeTexts.h"

using namespace dovoviza;
using namespace dovoviza::test;

constexpr Hive kUser = Hive::CurrentUser;
const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(RegistryAccess, ReadRegStringMatchesTheNameExactlyAndReadsTheWholeValue) {
    FakeRegistry reg;
    const std::string huge(10 * 1024, 'y'), multi("a\0b\0", 4);
    const std::pair<RegValue, std::string> values[] = {
        {{"Language", RegType::String, EncodeUtf16LeWithNul("English")}, "English"},
        {{" Spaced ", RegType::String, EncodeUtf16LeWithNul("  kept  ")}, "  kept  "},
        {{std::string(300, 'n'), RegType::String, EncodeUtf16LeWithNul(huge)}, huge},
        {{"日本 \U0001F600", RegType::String, EncodeUtf16LeWithNul("C:\\Ελλ.exe")}, "C:\\Ελλ.exe"},
        // Only one terminating NUL goes; without one the last character stays.
        {{"Multi", RegType::MultiString, EncodeUtf16LeWithNul(multi)}, multi},
        {{"Bare", RegType::String, {'o', 0, 'k', 0}}, "ok"},
        {{"NoData", RegType::String, {}}, ""},
    };
    for (const auto& [value, text] : values) reg.SetValue(kUser, kRun, value);
    for (const auto& [value, text] : values) {
        EXPECT_EQ(ReadRegString(reg, kUser, kRun, value.name), text) << value.name;
    }
    for (auto n : {"language", "Spaced"}) EXPECT_EQ(ReadRegString(reg, kUser, kRun, n), "") << n;
    // What it writes reads back: UTF-16 with its NUL, in a key created on the way.
    ASSERT_TRUE(WriteRegString(reg, kUser, kRun + "\\New", "App", "ab"));
    EXPECT_EQ(reg.GetValue(kUser, kRun + "\\New", "App")->data,
              (std::vector<std::uint8_t>{'a', 0, 'b', 0, 0, 0}));
    // A key that cannot be created, written or opened: false, nothing changed, empty.
    reg.Fail(RegFault::Create, kUser, kRun + "\\Blocked");
    reg.Fail(RegFault::Write, kUser, kRun);
    EXPECT_FALSE(WriteRegString(reg, kUser, kRun + "\\Blocked", "x", "1") ||
                 WriteRegValue(reg, kUser, kRun + "\\Blocked", {}) ||
                 WriteRegString(reg, kUser, kRun, "Language", "x"));
    reg.Fail(RegFault::Open, kUser, kRun);
    EXPECT_EQ(ReadRegString(reg, kUser, kRun, "Language"), "");
    EXPECT_FALSE(OpenRegKey(reg, kUser, kRun) || RegKeyExists(reg, kUser, kRun));
    EXPECT_EQ(reg.GetString(kUser, kRun, "Language"), "English");
}

TEST(RegistryAccess, EnumerationTrimsLeadingBlanksAndCutsAtNul) {
    FakeRegistry reg;
    reg.SetString(kUser, kRun, "  Two Lead ", "  C:\\a.exe -x  ");
    reg.SetString(kUser, kRun, "Cut", std::string("C:\\b.exe\0junk", 13));
    const auto key = OpenRegKey(reg, kUser, kRun);
    ASSERT_TRUE(key && CountRegEntries(key.get(), 0) == 2u);
    EXPECT_EQ(EnumRegValueName(key.get(), 0), "Two Lead ");
    EXPECT_EQ(QueryRegString(key.get(), "  Two Lead "), "C:\\a.exe -x  ");
    EXPECT_EQ(QueryRegString(key.get(), "Cut"), "C:\\b.exe");
    // The loaders' key cannot change anything; deleting never creates a key.
    EXPECT_FALSE(key->WriteValue("New", RegType::String, {}) || key->DeleteValue("Cut"));
    EXPECT_FALSE(DeleteRegValue(reg, kUser, kRun + "\\None", "Cut"));
    EXPECT_FALSE(reg.HasKey(kUser, kRun + "\\None"));
}

TEST(Text, Utf16KeepsEveryUnitInvalidUtf8BecomesReplacementsAndTheCharacterSetIsANumber) {
    const std::u16string lone = std::u16string(1, char16_t(0xD800)) + u"x" + char16_t(0xDC01);
    for (const std::u16string& s : {std::u16string(u"Жук 日本 \U0001F600"), lone}) {
        EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(s)), s);
    }
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b\xC0\xAF\xC3"), u"a\uFFFDb\uFFFD\uFFFD");  // overlong, cut
    EXPECT_EQ(DecodeUtf16Le({'a', 0, 'b', 0, 'c'}), "ab");  // odd byte ignored
    FakeTexts texts;
    texts.Set("Main", "CharacterSet", "204");  // not the language's
    texts.Set("LANGUAGE", "CharacterSet", "+161");
    EXPECT_EQ(CharacterSetOf(texts), 161);
}
