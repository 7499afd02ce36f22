// The registry layer against the real registry: exact names, types and bytes,
// the system's order, missing and read-only keys, and the 64-bit view.

#include <algorithm>

#include "WinTest.h"
#include "platform/Text.h"
#include "platform/win32/Win32Registry.h"

using namespace dovoviza;
using namespace wintest;

namespace {

const std::string kKey = Narrow(kScratchKey) + "\\key";

std::vector<std::uint8_t> Of(const void* data, std::size_t size) {
    return {static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size};
}

class RegistryTest : public PrefixTest {
protected:
    std::unique_ptr<IRegKey> Key(Hive hive = Hive::CurrentUser, const std::string& path = kKey) {
        auto key = registry.CreateKey(hive, path);
        EXPECT_NE(key, nullptr);
        return key;
    }
    dovoviza::win32::Win32Registry registry;
};

TEST_F(RegistryTest, NamesTypesAndBytesGoInAndComeOutExactly) {
    const std::uint32_t dword = 0x12345678;
    const std::uint64_t qword = 0x0102030405060708ull;
    const RegValue values[] = {
        {"Прогр日本", RegType::String, EncodeUtf16LeWithNul("x")},
        {"emoji \xF0\x9F\x98\x80", RegType::String, EncodeUtf16LeWithNul("y")},
        {Narrow(std::wstring(L"odd") + wchar_t(0xD800)), RegType::String, {}},  // a lone surrogate
        {std::string(300, 'n'), RegType::String, EncodeUtf16LeWithNul(std::string(10'000, 'z'))},
        {"expand", RegType::ExpandString, Bytes(L"%SystemRoot%\\x.exe")},  // not expanded on the way
        {"dword", RegType::Dword, Of(&dword, sizeof dword)},
        {"qword", RegType::Qword, Of(&qword, sizeof qword)},
        {"binary", RegType::Binary, {0x00, 0xFF, 0x10}},
        {"multi", RegType::MultiString, Bytes(std::wstring(L"one\0two\0\0", 9), false)},
        {"unterminated", RegType::String, Bytes(L"abc", false)},  // no NUL added
        {"odd length", RegType::String, {'a', 0, 'b'}}};
    auto key = Key();
    for (const RegValue& value : values) ASSERT_TRUE(key->WriteValue(value.name, value.type, value.data));
    EXPECT_EQ(key->ValueCount(), std::size(values));

    // Enumerated in the system's own order, each as the system holds it.
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Wide(kKey).c_str(), 0, KEY_QUERY_VALUE, &raw), ERROR_SUCCESS);
    for (DWORD i = 0; i < std::size(values); ++i) {
        std::wstring name(400, L'\0');
        DWORD length = 400;
        ASSERT_EQ(RegEnumValueW(raw, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
        name.resize(length);
        const auto ours = key->EnumValue(i);
        ASSERT_TRUE(ours);
        EXPECT_EQ(Wide(ours->name), name) << i;
        const Raw stored = GetRaw(HKEY_CURRENT_USER, Wide(kKey), name);
        EXPECT_EQ(ours->type, stored.type) << ours->name;
        EXPECT_EQ(ours->data, stored.data) << ours->name;
        const auto given = std::find_if(std::begin(values), std::end(values),
                                        [&](const RegValue& v) { return v.name == ours->name; });
        ASSERT_NE(given, std::end(values)) << ours->name;
        EXPECT_EQ(stored.type, given->type) << given->name;
        EXPECT_EQ(stored.data, given->data) << given->name;
        const auto read = key->ReadValue(given->name);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->data, given->data);
    }
    RegCloseKey(raw);
    EXPECT_FALSE(key->EnumValue(std::size(values)));
}

TEST_F(RegistryTest, MissingCreatedReadOnlyAndWritableKeys) {
    const std::string absent = Narrow(kScratchKey) + "\\absent";
    EXPECT_EQ(registry.OpenKey(Hive::CurrentUser, absent, false), nullptr);
    EXPECT_EQ(registry.OpenKey(Hive::CurrentUser, absent, true), nullptr);
    EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, absent));

    auto created = Key(Hive::CurrentUser, kKey + "\\a\\b");  // every missing parent too
    ASSERT_NE(Key(Hive::CurrentUser, kKey + "\\c"), nullptr);
    EXPECT_EQ(Key()->SubkeyCount(), 2u);
    EXPECT_FALSE(created->ReadValue("absent"));
    EXPECT_FALSE(created->DeleteValue("absent"));
    EXPECT_EQ(created->ValueCount(), 0u);
    ASSERT_TRUE(created->WriteValue("v", RegType::String, EncodeUtf16LeWithNul("1")));

    auto readOnly = registry.OpenKey(Hive::CurrentUser, kKey + "\\a\\b", false);
    ASSERT_NE(readOnly, nullptr);
    EXPECT_FALSE(readOnly->WriteValue("w", RegType::String, EncodeUtf16LeWithNul("2")));
    EXPECT_FALSE(readOnly->DeleteValue("v"));
    EXPECT_TRUE(readOnly->ReadValue("V"));  // names match without regard to case
    EXPECT_TRUE(registry.OpenKey(Hive::CurrentUser, kKey + "\\a\\b", true)->DeleteValue("v"));
    EXPECT_FALSE(readOnly->ReadValue("v"));
}

// The program reads the machine's keys in the 64-bit view, whatever its own
// bitness, so that it names the WOW64 twins itself: what a 32-bit program
// writes to Software\X is Software\Wow6432Node\X to it, and never Software\X.
TEST_F(RegistryTest, MachineKeysAreReadInThe64BitView) {
    const std::wstring path = std::wstring(kScratchKey) + L"\\machine";
    ASSERT_TRUE(Key(Hive::LocalMachine, Narrow(path))->WriteValue("ours", RegType::String, EncodeUtf16LeWithNul("64")));
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, path, L"ours", KEY_WOW64_64KEY).data, Bytes(L"64"));
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, path, L"ours", KEY_WOW64_32KEY).status, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, Narrow(path)));

    ASSERT_TRUE(SetRaw(HKEY_LOCAL_MACHINE, path, L"theirs", REG_SZ, Bytes(L"32"), KEY_WOW64_32KEY));
    EXPECT_FALSE(registry.OpenKey(Hive::LocalMachine, Narrow(path), false)->ReadValue("theirs"));
    const auto twin = registry.OpenKey(Hive::LocalMachine, "Software\\Wow6432Node\\dovoviza-tests\\machine", false);
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->ReadValue("theirs").value_or(RegValue{}).data, Bytes(L"32"));
    EXPECT_FALSE(twin->ReadValue("ours"));
}

}  // namespace
