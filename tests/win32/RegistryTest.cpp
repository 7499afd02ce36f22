#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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

std::vector<std::uint8_t> WideBytes(const std::wstring& text, bool withNul) {
    return Bytes(text.c_str(), (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
}

// What a program that does not use our layer sees: the raw value through the W API.
struct RawValue {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};

RawValue QueryRaw(HKEY root, const std::string& path, const std::wstring& name, REGSAM view) {
    RawValue result;
    UniqueHKey key;
    result.status = RegOpenKeyExW(root, Wide(path).c_str(), 0, KEY_QUERY_VALUE | view, key.put());
    if (result.status != ERROR_SUCCESS) return result;
    DWORD size = 0;
    result.status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &result.type, nullptr, &size);
    if (result.status != ERROR_SUCCESS) return result;
    result.data.resize(size);
    result.status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &result.type,
                                     result.data.data(), &size);
    result.data.resize(size);
    return result;
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

TEST_F(RegistryTest, NonAnsiValueNamesAreStoredAndEnumeratedExactly) {
    // Cyrillic and CJK, a character outside the BMP, and a lone surrogate
    // (which other programs do manage to store).
    const std::wstring wideNames[] = {L"Прогр日本", L"emoji \U0001F600", std::wstring(L"odd") + wchar_t(0xD800)};
    auto key = Scratch();
    ASSERT_NE(key, nullptr);
    for (const auto& wide : wideNames)
        ASSERT_TRUE(key->WriteValue(Narrow(wide), RegType::String, EncodeUtf16LeWithNul("x")));

    // The system holds exactly the names we meant...
    for (const auto& wide : wideNames) {
        const RawValue raw = QueryRaw(HKEY_CURRENT_USER, kScratchRoot + "\\key", wide, KEY_WOW64_64KEY);
        EXPECT_EQ(raw.status, ERROR_SUCCESS) << Narrow(wide);
    }
    // ...and hands them back unchanged through enumeration and reading.
    std::vector<std::string> enumerated;
    for (std::uint32_t i = 0; auto value = key->EnumValue(i); ++i) enumerated.push_back(value->name);
    ASSERT_EQ(enumerated.size(), 3u);
    for (const auto& wide : wideNames) {
        EXPECT_NE(std::find(enumerated.begin(), enumerated.end(), Narrow(wide)), enumerated.end());
        const auto read = key->ReadValue(Narrow(wide));
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->name, Narrow(wide));
        EXPECT_EQ(DecodeUtf16Le(read->data), std::string("x", 1) + '\0');
    }
}

TEST_F(RegistryTest, LongNamesAndLargeDataAreReadWhole) {
    const std::string longName(300, 'n');
    const std::string bigText(10'000, 'z');  // 20 KB of UTF-16 plus the terminator
    auto key = Scratch();
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteValue("short", RegType::String, EncodeUtf16LeWithNul("s")));
    ASSERT_TRUE(key->WriteValue(longName, RegType::String, EncodeUtf16LeWithNul(bigText)));

    const auto read = key->ReadValue(longName);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->data, EncodeUtf16LeWithNul(bigText));
    bool seen = false;
    for (std::uint32_t i = 0; auto value = key->EnumValue(i); ++i) {
        if (value->name != longName) continue;
        seen = true;
        EXPECT_EQ(value->data.size(), 20'002u);
        EXPECT_EQ(value->data, EncodeUtf16LeWithNul(bigText));
    }
    EXPECT_TRUE(seen);
}

TEST_F(RegistryTest, TypesAndBytesSurviveACopyToAnotherKey) {
    const std::wstring unexpanded = L"%SystemRoot%\\system32\\prog.exe /x";
    const std::uint32_t dword = 0x12345678;
    const std::uint64_t qword = 0x0102030405060708ull;
    const std::vector<std::uint8_t> binary = {0x00, 0xFF, 0x10, 0x00, 0x7F};
    const std::wstring multi(L"one\0two\0\0", 9);

    auto source = Scratch(Hive::CurrentUser, "source");
    ASSERT_NE(source, nullptr);
    ASSERT_TRUE(source->WriteValue("expand", RegType::ExpandString, WideBytes(unexpanded, true)));
    ASSERT_TRUE(source->WriteValue("dword", RegType::Dword, Bytes(&dword, sizeof(dword))));
    ASSERT_TRUE(source->WriteValue("qword", RegType::Qword, Bytes(&qword, sizeof(qword))));
    ASSERT_TRUE(source->WriteValue("binary", RegType::Binary, binary));
    ASSERT_TRUE(source->WriteValue("empty", RegType::Binary, {}));
    ASSERT_TRUE(source->WriteValue("multi", RegType::MultiString, WideBytes(multi, false)));

    // Copy as the disable operation does: enumerate, write elsewhere, compare with the raw store.
    auto target = Scratch(Hive::CurrentUser, "target");
    ASSERT_NE(target, nullptr);
    std::vector<RegValue> copied;
    for (std::uint32_t i = 0; auto value = source->EnumValue(i); ++i) {
        ASSERT_TRUE(target->WriteValue(value->name, value->type, value->data));
        copied.push_back(*value);
    }
    ASSERT_EQ(copied.size(), 6u);
    for (const auto& value : copied) {
        const RawValue raw = QueryRaw(HKEY_CURRENT_USER, kScratchRoot + "\\target", Wide(value.name),
                                      KEY_WOW64_64KEY);
        ASSERT_EQ(raw.status, ERROR_SUCCESS) << value.name;
        EXPECT_EQ(raw.type, value.type) << value.name;
        EXPECT_EQ(raw.data, value.data) << value.name;
    }
    const auto expand = target->ReadValue("expand");
    ASSERT_TRUE(expand.has_value());
    EXPECT_EQ(expand->type, RegType::ExpandString);
    EXPECT_EQ(expand->data, WideBytes(unexpanded, true));  // not expanded on the way
    EXPECT_EQ(target->ReadValue("empty")->data.size(), 0u);
}

TEST_F(RegistryTest, StringDataIsWrittenAsGivenEvenWithoutTerminator) {
    // Some programs store strings without the NUL; moving such a value must not add one.
    auto key = Scratch();
    ASSERT_NE(key, nullptr);
    const std::vector<std::uint8_t> unterminated = WideBytes(L"abc", false);
    const std::vector<std::uint8_t> oddLength = {'a', 0, 'b', 0, 'c'};
    ASSERT_TRUE(key->WriteValue("unterminated", RegType::String, unterminated));
    ASSERT_TRUE(key->WriteValue("odd", RegType::String, oddLength));
    ASSERT_TRUE(key->WriteValue("nothing", RegType::String, {}));
    EXPECT_EQ(key->ReadValue("unterminated")->data, unterminated);
    EXPECT_EQ(key->ReadValue("odd")->data, oddLength);
    EXPECT_EQ(key->ReadValue("nothing")->data.size(), 0u);
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

TEST_F(RegistryTest, MissingKeysAndValues) {
    EXPECT_EQ(registry.OpenKey(Hive::CurrentUser, kScratchRoot + "\\absent", false), nullptr);
    EXPECT_EQ(registry.OpenKey(Hive::CurrentUser, kScratchRoot + "\\absent", true), nullptr);
    EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, kScratchRoot + "\\absent"));
    EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, kScratchRoot + "\\absent"));

    auto key = Scratch();
    ASSERT_NE(key, nullptr);
    EXPECT_FALSE(key->ReadValue("absent").has_value());
    EXPECT_FALSE(key->DeleteValue("absent"));
    EXPECT_FALSE(key->EnumValue(0).has_value());
    EXPECT_EQ(key->ValueCount(), 0u);
}

TEST_F(RegistryTest, CreateKeyMakesMissingParentsAndOpensExistingKeys) {
    const std::string deep = kScratchRoot + "\\a\\b\\c";
    auto created = registry.CreateKey(Hive::CurrentUser, deep);
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(registry.KeyExists(Hive::CurrentUser, kScratchRoot + "\\a"));
    EXPECT_TRUE(registry.KeyExists(Hive::CurrentUser, kScratchRoot + "\\a\\b"));
    EXPECT_TRUE(registry.KeyExists(Hive::CurrentUser, deep));
    ASSERT_TRUE(created->WriteValue("v", RegType::String, EncodeUtf16LeWithNul("1")));

    // Creating it again opens it with its values.
    auto again = registry.CreateKey(Hive::CurrentUser, deep);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->ValueCount(), 1u);
}

TEST_F(RegistryTest, ReadOnlyKeysRefuseChangesAndWritableKeysDelete) {
    ASSERT_TRUE(Scratch()->WriteValue("v", RegType::String, EncodeUtf16LeWithNul("1")));

    auto readOnly = registry.OpenKey(Hive::CurrentUser, kScratchRoot + "\\key", false);
    ASSERT_NE(readOnly, nullptr);
    EXPECT_FALSE(readOnly->WriteValue("w", RegType::String, EncodeUtf16LeWithNul("2")));
    EXPECT_FALSE(readOnly->DeleteValue("v"));
    // The registry matches names without regard to case.
    ASSERT_TRUE(readOnly->ReadValue("V").has_value());

    auto writable = registry.OpenKey(Hive::CurrentUser, kScratchRoot + "\\key", true);
    ASSERT_NE(writable, nullptr);
    EXPECT_TRUE(writable->DeleteValue("v"));
    EXPECT_FALSE(readOnly->ReadValue("v").has_value());
}

TEST_F(RegistryTest, MachineKeysAndTheirWow6432NodeTwinAreWhat32BitProgramsSee) {
    auto machine = Scratch(Hive::LocalMachine);
    ASSERT_NE(machine, nullptr);
    ASSERT_TRUE(machine->WriteValue("machine", RegType::String, EncodeUtf16LeWithNul("m")));
    EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, kScratchRoot + "\\key"));
    EXPECT_EQ(QueryRaw(HKEY_LOCAL_MACHINE, kScratchRoot + "\\key", L"machine", KEY_WOW64_64KEY).status,
              ERROR_SUCCESS);

    if (sizeof(void*) == 4) GTEST_SKIP() << "the native view of a 64-bit process is needed";
    auto key = registry.CreateKey(Hive::LocalMachine, "Software\\Wow6432Node\\dovoviza-tests\\x");
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteValue("seen", RegType::String, EncodeUtf16LeWithNul("32")));

    const RawValue thirtyTwo =
        QueryRaw(HKEY_LOCAL_MACHINE, "Software\\dovoviza-tests\\x", L"seen", KEY_WOW64_32KEY);
    EXPECT_EQ(thirtyTwo.status, ERROR_SUCCESS);
    EXPECT_EQ(thirtyTwo.data, EncodeUtf16LeWithNul("32"));
    const RawValue native =
        QueryRaw(HKEY_LOCAL_MACHINE, "Software\\dovoviza-tests\\x", L"seen", KEY_WOW64_64KEY);
    EXPECT_EQ(native.status, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, "Software\\dovoviza-tests\\x"));
}

}  // namespace
