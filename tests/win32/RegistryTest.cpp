// The registry layer against the real registry: exact names, types and bytes
// in the system's order, missing and read-only keys, and the 64-bit view.

#include <algorithm>

#include "WinTest.h"
#include "platform/Text.h"

using namespace dovoviza;
using namespace wintest;

namespace {

const std::string kKey = Narrow(kScratchKey) + "\\key";

using Registry = PrefixTest;

TEST_F(Registry, NamesTypesAndBytesGoInAndComeOutExactlyInTheSystemsOrder) {
    const RegValue values[] = {
        {"Прогр日本", RegType::String, EncodeUtf16LeWithNul("x")},
        {"emoji \xF0\x9F\x98\x80", RegType::String, EncodeUtf16LeWithNul("y")},
        {Narrow(std::wstring(L"odd") + wchar_t(0xD800)), RegType::String, {}},  // a lone surrogate
        {std::string(300, 'n'), RegType::String, EncodeUtf16LeWithNul(std::string(10'000, 'z'))},
        {"expand", RegType::ExpandString, Bytes(L"%SystemRoot%\\x.exe")},  // not expanded
        {"dword", RegType::Dword, {0x78, 0x56, 0x34, 0x12}},
        {"qword", RegType::Qword, {8, 7, 6, 5, 4, 3, 2, 1}},
        {"binary", RegType::Binary, {0x00, 0xFF, 0x10}},
        {"multi", RegType::MultiString, Bytes(std::wstring(L"one\0two\0\0", 9), false)},
        {"unterminated", RegType::String, Bytes(L"abc", false)},  // no NUL added
        {"odd length", RegType::String, {'a', 0, 'b'}}};
    auto key = registry.CreateKey(Hive::CurrentUser, kKey);
    ASSERT_TRUE(key);
    for (const RegValue& v : values) ASSERT_TRUE(key->WriteValue(v.name, v.type, v.data));
    EXPECT_EQ(key->ValueCount(), std::size(values));
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Wide(kKey).c_str(), 0, KEY_QUERY_VALUE, &raw), 0);
    for (DWORD i = 0; i < std::size(values); ++i) {
        std::wstring name(400, L'\0');
        DWORD length = 400;
        ASSERT_EQ(RegEnumValueW(raw, i, name.data(), &length, 0, 0, 0, 0), 0);
        name.resize(length);
        const auto ours = key->EnumValue(i);
        ASSERT_TRUE(ours);
        EXPECT_EQ(Wide(ours->name), name) << i;  // in the system's order
        const auto given = std::find_if(std::begin(values), std::end(values),
                                        [&](const RegValue& v) { return v.name == ours->name; });
        ASSERT_NE(given, std::end(values)) << ours->name;
        const Raw stored = GetRaw(HKEY_CURRENT_USER, Wide(kKey), name);
        const auto read = key->ReadValue(given->name);
        ASSERT_TRUE(read);
        for (const auto& [type, data] : {std::pair{stored.type, stored.data},
                                         {DWORD{ours->type}, ours->data},
                                         {DWORD{read->type}, read->data}})
            EXPECT_TRUE(type == given->type && data == given->data) << given->name;
    }
    RegCloseKey(raw);
    EXPECT_FALSE(key->EnumValue(std::size(values)));
}

// The machine's keys are read in the 64-bit view whatever the program's own
// bitness, so that it names the WOW64 twins itself: what a 32-bit program
// writes to Software\X is Software\Wow6432Node\X to it, and never Software\X.
TEST_F(Registry, MissingReadOnlyAndWritableKeysAndTheMachinesKeysInThe64BitView) {
    const auto string = [](const char* text) { return EncodeUtf16LeWithNul(text); };
    const std::string absent = Narrow(kScratchKey) + "\\absent", below = kKey + "\\a\\b";
    EXPECT_FALSE(registry.OpenKey(Hive::CurrentUser, absent, false) ||
                 registry.OpenKey(Hive::CurrentUser, absent, true) ||
                 registry.KeyExists(Hive::CurrentUser, absent));
    auto created = registry.CreateKey(Hive::CurrentUser, below);  // parents too
    ASSERT_TRUE(created && registry.CreateKey(Hive::CurrentUser, kKey + "\\c"));
    EXPECT_EQ(registry.OpenKey(Hive::CurrentUser, kKey, false)->SubkeyCount(), 2u);
    EXPECT_FALSE(created->ReadValue("absent") || created->DeleteValue("absent"));
    ASSERT_TRUE(created->WriteValue("v", RegType::String, string("1")));
    auto readOnly = registry.OpenKey(Hive::CurrentUser, below, false);
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(readOnly->WriteValue("w", RegType::String, string("2")) || readOnly->DeleteValue("v"));
    EXPECT_TRUE(readOnly->ReadValue("V"));  // names match without regard to case
    EXPECT_TRUE(registry.OpenKey(Hive::CurrentUser, below, true)->DeleteValue("v"));
    EXPECT_FALSE(readOnly->ReadValue("v"));

    const std::wstring path = std::wstring(kScratchKey) + L"\\machine";
    auto ours = registry.CreateKey(Hive::LocalMachine, Narrow(path));
    ASSERT_TRUE(ours && ours->WriteValue("ours", RegType::String, string("64")));
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, path, L"ours").data, Bytes(L"64"));
    EXPECT_EQ(GetRaw(HKEY_LOCAL_MACHINE, path, L"ours", KEY_WOW64_32KEY).status, ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(SetRaw(HKEY_LOCAL_MACHINE, path, L"theirs", REG_SZ, Bytes(L"32"), KEY_WOW64_32KEY));
    EXPECT_FALSE(registry.OpenKey(Hive::LocalMachine, Narrow(path), false)->ReadValue("theirs"));
    const auto twin = registry.OpenKey(Hive::LocalMachine,
                                       "Software\\Wow6432Node\\dovoviza-tests\\machine", false);
    ASSERT_TRUE(twin);
    EXPECT_EQ(twin->ReadValue("theirs").value_or(RegValue{}).data, Bytes(L"32"));
    EXPECT_FALSE(twin->ReadValue("ours"));
}

}  // namespace
