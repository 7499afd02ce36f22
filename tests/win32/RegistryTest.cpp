// The registry layer against the real registry: exact names, types and bytes,
// enumeration as the system orders it, missing and read-only keys, and the
// machine key's 32-bit view.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "Win32TestSupport.h"
#include "platform/Text.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Registry.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;

namespace {

const std::string kScratchRoot = "Software\\dovoviza-tests";

std::vector<std::uint8_t> Bytes(const void* data, std::size_t size) {
    const auto* begin = static_cast<const std::uint8_t*>(data);
    return {begin, begin + size};
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { CleanUp(); }
    void TearDown() override { CleanUp(); }
    static void CleanUp() {
        DeleteKeyTree(HKEY_CURRENT_USER, Wide(kScratchRoot));
        DeleteKeyTree(HKEY_LOCAL_MACHINE, Wide(kScratchRoot));
        DeleteKeyTree(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\dovoviza-tests");
    }
    std::unique_ptr<IRegKey> Scratch(Hive hive = Hive::CurrentUser, const std::string& sub = "key") {
        auto key = registry.CreateKey(hive, kScratchRoot + "\\" + sub);
        EXPECT_NE(key, nullptr);
        return key;
    }

    Win32Registry registry;
};

TEST_F(RegistryTest, NonAnsiAndLongNamesAndLargeDataAreStoredAndReadExactly) {
    // Cyrillic and CJK, a character outside the BMP, a lone surrogate (which
    // other programs do manage to store) and a 300-character name with 20 KB of data.
    const std::string big(10'000, 'z');
    const std::pair<std::wstring, std::string> values[] = {
        {L"Прогр日本", "x"},
        {L"emoji \U0001F600", "y"},
        {std::wstring(L"odd") + wchar_t(0xD800), "z"},
        {std::wstring(300, L'n'), big}};
    auto key = Scratch();
    ASSERT_NE(key, nullptr);
    for (const auto& [name, text] : values)
        ASSERT_TRUE(key->WriteValue(Narrow(name), RegType::String, EncodeUtf16LeWithNul(text)));

    std::vector<RegValue> enumerated;
    for (std::uint32_t i = 0; auto value = key->EnumValue(i); ++i) enumerated.push_back(*value);
    ASSERT_EQ(enumerated.size(), std::size(values));
    for (const auto& [name, text] : values) {
        SCOPED_TRACE(Narrow(name).substr(0, 12));
        // The system holds exactly the name we meant...
        const RawValue raw = QueryRaw(HKEY_CURRENT_USER, kScratchRoot + "\\key", name);
        EXPECT_EQ(raw.status, ERROR_SUCCESS);
        EXPECT_EQ(raw.data, EncodeUtf16LeWithNul(text));
        // ...and hands it back unchanged through enumeration and reading.
        const auto listed = std::find_if(enumerated.begin(), enumerated.end(),
                                         [&](const RegValue& v) { return v.name == Narrow(name); });
        ASSERT_NE(listed, enumerated.end());
        EXPECT_EQ(listed->data, EncodeUtf16LeWithNul(text));
        const auto read = key->ReadValue(Narrow(name));
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->name, Narrow(name));
        EXPECT_EQ(read->data, EncodeUtf16LeWithNul(text));
    }
}

TEST_F(RegistryTest, TypesAndBytesSurviveACopyToAnotherKeyAsGiven) {
    const std::uint32_t dword = 0x12345678;
    const std::uint64_t qword = 0x0102030405060708ull;
    const std::wstring multi(L"one\0two\0\0", 9);
    const RegValue values[] = {
        {"expand", RegType::ExpandString, WideBytes(L"%SystemRoot%\\system32\\prog.exe /x")},
        {"dword", RegType::Dword, Bytes(&dword, sizeof(dword))},
        {"qword", RegType::Qword, Bytes(&qword, sizeof(qword))},
        {"binary", RegType::Binary, {0x00, 0xFF, 0x10, 0x00, 0x7F}},
        {"empty", RegType::Binary, {}},
        {"multi", RegType::MultiString, WideBytes(multi, false)},
        // Some programs store strings without the NUL; moving such a value must not add one.
        {"unterminated", RegType::String, WideBytes(L"abc", false)},
        {"odd", RegType::String, {'a', 0, 'b', 0, 'c'}},
        {"nothing", RegType::String, {}}};
    auto source = Scratch(Hive::CurrentUser, "source");
    auto target = Scratch(Hive::CurrentUser, "target");
    ASSERT_TRUE(source && target);
    for (const RegValue& value : values)
        ASSERT_TRUE(source->WriteValue(value.name, value.type, value.data)) << value.name;

    // Copy as the disable operation does: enumerate, write elsewhere, compare with the raw store.
    std::size_t copied = 0;
    for (std::uint32_t i = 0; auto value = source->EnumValue(i); ++i, ++copied)
        ASSERT_TRUE(target->WriteValue(value->name, value->type, value->data));
    EXPECT_EQ(copied, std::size(values));
    for (const RegValue& value : values) {
        const RawValue raw = QueryRaw(HKEY_CURRENT_USER, kScratchRoot + "\\target", Wide(value.name));
        ASSERT_EQ(raw.status, ERROR_SUCCESS) << value.name;
        EXPECT_EQ(raw.type, value.type) << value.name;
        EXPECT_EQ(raw.data, value.data) << value.name;  // expandable data not expanded on the way
        const auto read = target->ReadValue(value.name);
        ASSERT_TRUE(read.has_value()) << value.name;
        EXPECT_EQ(read->type, value.type) << value.name;
        EXPECT_EQ(read->data, value.data) << value.name;
    }
}

TEST_F(RegistryTest, EnumerationFollowsTheSystemsOrderAndCounts) {
    auto key = Scratch();
    ASSERT_NE(key, nullptr);
    for (const char* name : {"zeta", "alpha", "Mid", "beta"})
        ASSERT_TRUE(key->WriteValue(name, RegType::String, EncodeUtf16LeWithNul(name)));
    ASSERT_NE(registry.CreateKey(Hive::CurrentUser, kScratchRoot + "\\key\\child"), nullptr);
    EXPECT_EQ(key->ValueCount(), 4u);
    EXPECT_EQ(key->SubkeyCount(), 1u);

    UniqueHKey raw;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Wide(kScratchRoot + "\\key").c_str(), 0,
                            KEY_QUERY_VALUE | KEY_WOW64_64KEY, raw.put()),
              ERROR_SUCCESS);
    for (DWORD i = 0; i < 4; ++i) {
        wchar_t name[64] = {};
        DWORD length = 64;
        ASSERT_EQ(RegEnumValueW(raw.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
        const auto ours = key->EnumValue(i);
        ASSERT_TRUE(ours.has_value());
        EXPECT_EQ(ours->name, Narrow(name)) << "index " << i;
        EXPECT_EQ(DecodeUtf16Le(ours->data), ours->name + '\0');
    }
    EXPECT_FALSE(key->EnumValue(4).has_value());
}

TEST_F(RegistryTest, MissingCreatedReadOnlyAndWritableKeys) {
    EXPECT_EQ(registry.OpenKey(Hive::CurrentUser, kScratchRoot + "\\absent", false), nullptr);
    EXPECT_EQ(registry.OpenKey(Hive::CurrentUser, kScratchRoot + "\\absent", true), nullptr);
    EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, kScratchRoot + "\\absent"));

    // Creating makes every missing parent; an empty key has nothing to read, delete or list.
    auto created = registry.CreateKey(Hive::CurrentUser, kScratchRoot + "\\a\\b\\key");
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(registry.KeyExists(Hive::CurrentUser, kScratchRoot + "\\a\\b"));
    EXPECT_FALSE(created->ReadValue("absent").has_value());
    EXPECT_FALSE(created->DeleteValue("absent"));
    EXPECT_FALSE(created->EnumValue(0).has_value());
    EXPECT_EQ(created->ValueCount(), 0u);
    ASSERT_TRUE(created->WriteValue("v", RegType::String, EncodeUtf16LeWithNul("1")));
    EXPECT_EQ(registry.CreateKey(Hive::CurrentUser, kScratchRoot + "\\a\\b\\key")->ValueCount(), 1u);

    auto readOnly = registry.OpenKey(Hive::CurrentUser, kScratchRoot + "\\a\\b\\key", false);
    ASSERT_NE(readOnly, nullptr);
    EXPECT_FALSE(readOnly->WriteValue("w", RegType::String, EncodeUtf16LeWithNul("2")));
    EXPECT_FALSE(readOnly->DeleteValue("v"));
    ASSERT_TRUE(readOnly->ReadValue("V").has_value());  // names match without regard to case
    auto writable = registry.OpenKey(Hive::CurrentUser, kScratchRoot + "\\a\\b\\key", true);
    ASSERT_NE(writable, nullptr);
    EXPECT_TRUE(writable->DeleteValue("v"));
    EXPECT_FALSE(readOnly->ReadValue("v").has_value());
}

TEST_F(RegistryTest, MachineKeysAndTheirWow6432NodeTwinAreWhat32BitProgramsSee) {
    auto machine = Scratch(Hive::LocalMachine);
    ASSERT_NE(machine, nullptr);
    ASSERT_TRUE(machine->WriteValue("machine", RegType::String, EncodeUtf16LeWithNul("m")));
    EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, kScratchRoot + "\\key"));
    EXPECT_EQ(QueryRaw(HKEY_LOCAL_MACHINE, kScratchRoot + "\\key", L"machine").status, ERROR_SUCCESS);

    // Both builds open the 64-bit view, where the 32-bit programs' keys sit
    // under Wow6432Node; the shipped 32-bit build reaches the native keys so too.
    auto key = registry.CreateKey(Hive::LocalMachine, "Software\\Wow6432Node\\dovoviza-tests\\x");
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteValue("seen", RegType::String, EncodeUtf16LeWithNul("32")));
    const RawValue thirtyTwo =
        QueryRaw(HKEY_LOCAL_MACHINE, "Software\\dovoviza-tests\\x", L"seen", KEY_WOW64_32KEY);
    EXPECT_EQ(thirtyTwo.status, ERROR_SUCCESS);
    EXPECT_EQ(thirtyTwo.data, EncodeUtf16LeWithNul("32"));
    EXPECT_EQ(QueryRaw(HKEY_LOCAL_MACHINE, "Software\\dovoviza-tests\\x", L"seen").status,
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, "Software\\dovoviza-tests\\x"));
}

}  // namespace
