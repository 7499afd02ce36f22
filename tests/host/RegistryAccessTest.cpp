#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeRegistry.h"
#include "catalogue/RegistryAccess.h"
#include "platform/Text.h"

using namespace dovoviza;
using dovoviza::test::FakeRegistry;
using dovoviza::test::RegFault;

namespace {

constexpr Hive kUser = Hive::CurrentUser;
const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace

TEST(RegistryAccess, WriteStoresUtf16StringWithItsNulAndAFailedWriteChangesNothing) {
    FakeRegistry reg;
    ASSERT_TRUE(WriteRegString(reg, kUser, kRun, "App", "abc"));
    const auto value = reg.GetValue(kUser, kRun, "App");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, RegType::String);
    EXPECT_EQ(value->data, (std::vector<std::uint8_t>{'a', 0, 'b', 0, 'c', 0, 0, 0}));
    ASSERT_TRUE(WriteRegString(reg, kUser, kRun, "Empty", ""));
    EXPECT_EQ(reg.GetValue(kUser, kRun, "Empty")->data, (std::vector<std::uint8_t>{0, 0}));

    // Missing keys along the path are created; a failed write says so.
    EXPECT_TRUE(WriteRegString(reg, Hive::LocalMachine, "SOFTWARE\\New\\Deep", "x", "1"));
    EXPECT_TRUE(reg.HasKey(Hive::LocalMachine, "SOFTWARE\\New"));
    reg.Fail(RegFault::Write, kUser, kRun);
    EXPECT_FALSE(WriteRegString(reg, kUser, kRun, "App", "changed"));
    EXPECT_EQ(reg.GetString(kUser, kRun, "App"), "abc");
    reg.Fail(RegFault::Create, kUser, "Software\\Blocked");
    EXPECT_FALSE(WriteRegString(reg, kUser, "Software\\Blocked", "x", "1"));
}

TEST(RegistryAccess, ReadRegStringMatchesNamesExactlyAndReadsWholeValues) {
    FakeRegistry reg;
    const std::string longCommand = "\"C:\\Tools\\app.exe\" " + std::string(540, 'x');  // over 1100 bytes in UTF-16
    const std::string huge(10 * 1024, 'y');                                              // 20 KB in UTF-16
    const std::string longName(300, 'n');
    const std::string unicodeName = "Программа 日本 \U0001F600";
    const std::string unicodeData = "\"C:\\Ελληνικά\\app.exe\" -ü";
    reg.SetString(kUser, kRun, "Language", "English");
    reg.SetString(kUser, kRun, " Spaced ", "  kept  ");
    reg.SetString(kUser, kRun, "Long", longCommand);
    reg.SetString(kUser, kRun, longName, huge);
    ASSERT_TRUE(WriteRegString(reg, kUser, kRun, unicodeName, unicodeData));
    // Data is taken whole: only one terminating NUL goes, and a value stored
    // without one keeps its last character.
    reg.SetValue(kUser, kRun, RegValue{"Multi", RegType::MultiString, EncodeUtf16LeWithNul(std::string("a\0b\0", 4))});
    reg.SetValue(kUser, kRun, RegValue{"Bare", RegType::String, {'o', 0, 'k', 0}});
    reg.SetValue(kUser, kRun, RegValue{"NoData", RegType::String, {}});
    reg.SetString(kUser, kRun, "After", "C:\\after.exe");

    const std::pair<std::string, std::string> cases[] = {
        {"Language", "English"}, {"language", ""}, {" Spaced ", "  kept  "}, {"Spaced", ""},
        {"Long", longCommand}, {longName, huge}, {unicodeName, unicodeData},
        {"Multi", std::string("a\0b\0", 4)}, {"Bare", "ok"}, {"NoData", ""}, {"After", "C:\\after.exe"}};
    for (const auto& [name, expected] : cases) EXPECT_EQ(ReadRegString(reg, kUser, kRun, name), expected) << name;
    EXPECT_EQ(ReadRegString(reg, kUser, "Software\\Missing", "Language"), "");
}

TEST(RegistryAccess, EnumerationTrimsLeadingBlanksOnlyAndTheRawFormKeepsEverything) {
    FakeRegistry reg;
    const std::string longCommand(600, 'x');
    const std::string unicode = "Программа 日本 \U0001F600" + std::string(300, 'n');
    reg.SetString(kUser, kRun, "  Two Lead ", "  C:\\a.exe -x  ");
    reg.SetString(kUser, kRun, "Cut", std::string("C:\\b.exe\0junk", 13));
    reg.SetValue(kUser, kRun, RegValue{"Expand", RegType::ExpandString, EncodeUtf16LeWithNul("%windir%\\c.exe")});
    reg.SetString(kUser, kRun, unicode, longCommand);
    const auto key = OpenRegKey(reg, kUser, kRun);
    ASSERT_TRUE(key);
    EXPECT_EQ(CountRegEntries(key.get(), 0), 4u);
    EXPECT_EQ(EnumRegValueName(key.get(), 0), "Two Lead ");
    EXPECT_EQ(EnumRegValueName(key.get(), 3), unicode);
    EXPECT_EQ(EnumRegValueName(key.get(), 4), "");
    const std::pair<std::string, std::string> queries[] = {
        {"  Two Lead ", "C:\\a.exe -x  "}, {"cut", "C:\\b.exe"},  // registry names ignore case
        {"Expand", "%windir%\\c.exe"}, {unicode, longCommand}, {"Missing", ""}};
    for (const auto& [name, expected] : queries) EXPECT_EQ(QueryRegString(key.get(), name), expected) << name;

    // The raw form keeps the real name, type and bytes for moving the entry.
    const auto raw = EnumRegValue(key.get(), 0);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->name, "  Two Lead ");
    EXPECT_EQ(raw->data, EncodeUtf16LeWithNul("  C:\\a.exe -x  "));
    EXPECT_EQ(EnumRegValue(key.get(), 2)->type, RegType::ExpandString);
    EXPECT_FALSE(EnumRegValue(key.get(), 4));

    const RegValue binary{" Bin", RegType::Binary, {1, 2, 3}};
    reg.SetValue(kUser, kRun, binary);
    const auto read = ReadRegValue(reg, kUser, kRun, " Bin");
    ASSERT_TRUE(read);
    ASSERT_TRUE(WriteRegValue(reg, kUser, kRun + "-Disabled", *read));
    const auto moved = reg.GetValue(kUser, kRun + "-Disabled", " Bin");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->name, binary.name);
    EXPECT_EQ(moved->type, binary.type);
    EXPECT_EQ(moved->data, binary.data);
    EXPECT_FALSE(ReadRegValue(reg, kUser, "Software\\Nowhere", " Bin"));
}

TEST(RegistryAccess, MissingKeysAndModesGiveEmptyResults) {
    FakeRegistry reg;
    reg.SetString(kUser, "Software\\P\\A", "v", "1");
    reg.AddKey(kUser, "Software\\P\\B");
    reg.SetString(kUser, "Software\\P", "v", "1");

    EXPECT_EQ(OpenRegKey(reg, kUser, kRun), nullptr);
    EXPECT_FALSE(RegKeyExists(reg, kUser, kRun));
    EXPECT_EQ(CountRegEntries(nullptr, 0), 0u);
    EXPECT_EQ(EnumRegValueName(nullptr, 0), "");
    EXPECT_EQ(QueryRegString(nullptr, "v"), "");
    EXPECT_FALSE(DeleteRegValue(reg, kUser, kRun, "v"));
    EXPECT_FALSE(reg.HasKey(kUser, kRun));  // deleting never creates the key

    const auto parent = OpenRegKey(reg, kUser, "software\\p");
    ASSERT_TRUE(parent);
    EXPECT_TRUE(RegKeyExists(reg, kUser, "SOFTWARE\\P\\b"));
    EXPECT_EQ(CountRegEntries(parent.get(), 0), 1u);
    EXPECT_EQ(CountRegEntries(parent.get(), 1), 2u);
    EXPECT_EQ(CountRegEntries(parent.get(), 2), 0u);

    // A key that cannot be opened reads as missing.
    reg.Fail(RegFault::Open, kUser, "Software\\P");
    EXPECT_EQ(OpenRegKey(reg, kUser, "Software\\P"), nullptr);
    EXPECT_EQ(ReadRegString(reg, kUser, "Software\\P", "v"), "");
}

TEST(RegistryAccess, DeleteReportsFailureAndReadKeysAreReadOnly) {
    FakeRegistry reg;
    reg.SetString(kUser, kRun, "App", "a");
    reg.SetString(kUser, kRun, "Other", "b");
    EXPECT_TRUE(DeleteRegValue(reg, kUser, kRun, "APP"));
    EXPECT_EQ(reg.ValueNames(kUser, kRun), std::vector<std::string>{"Other"});
    EXPECT_FALSE(DeleteRegValue(reg, kUser, kRun, "App"));
    reg.Fail(RegFault::Delete, kUser, kRun);
    EXPECT_FALSE(DeleteRegValue(reg, kUser, kRun, "Other"));
    EXPECT_TRUE(reg.GetValue(kUser, kRun, "Other"));

    // The loaders' key is opened for reading only.
    const auto key = OpenRegKey(reg, kUser, kRun);
    EXPECT_FALSE(key->WriteValue("New", RegType::String, EncodeUtf16LeWithNul("x")));
    EXPECT_FALSE(key->DeleteValue("Other"));
}
