#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#include "catalogue/Loaders.h"
#include "catalogue/RegistryAccess.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace dovoviza::win32::test {
namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (find) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = folder + L"\\" + name;
            EXPECT_TRUE(SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL));
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                EXPECT_TRUE(DeleteFileW(full.c_str())) << Narrow(full);
            }
        } while (FindNextFileW(find.get(), &entry));
    }
    find.reset();
    EXPECT_TRUE(SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << Narrow(folder);
}

void RemoveEmptyFolder(const std::string& path) {
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(Wide(path).c_str());  // fails, as it should, when something is inside
}

}  // namespace

std::wstring TestProgramFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\'));
}

std::string FixturePath(const std::string& name) {
    const std::wstring path = TestProgramFolder() + L"\\..\\fixtures\\" + Wide(name) + L".exe";
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return Narrow(length == 0 || length >= MAX_PATH ? path : std::wstring(full, length));
}

std::string CommandProcessor() {
    wchar_t folder[MAX_PATH] = {};
    EXPECT_GT(GetSystemDirectoryW(folder, MAX_PATH), 0u);
    return Narrow(folder) + "\\cmd.exe";
}

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) {
        ADD_FAILURE() << "no temp folder";
        return;
    }
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring candidate = std::wstring(temp) + L"dovoviza-test-" +
                                       std::to_wstring(GetCurrentProcessId()) + L"-" +
                                       std::to_wstring(++counter);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = Narrow(candidate);
            return;
        }
    }
    ADD_FAILURE() << "cannot create a scratch folder";
}

ScratchFolder::~ScratchFolder() {
    if (!path_.empty()) RemoveTree(Wide(path_));
}

void WriteTestFile(const std::string& path, const std::string& content, DWORD attributes) {
    UniqueHandle file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << path;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written,
                          nullptr));
    ASSERT_EQ(written, content.size());
    file.reset();
    if (attributes != FILE_ATTRIBUTE_NORMAL) {
        ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), attributes)) << path;
    }
}

std::string ReadTestFile(const std::string& path) {
    UniqueHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "<missing>";
    std::string content(4096, '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr))
        return "<unreadable>";
    content.resize(read);
    return content;
}

DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

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

void SetRaw(HKEY root, const std::string& path, const std::wstring& name, DWORD type,
            const std::vector<std::uint8_t>& data) {
    UniqueHKey key;
    ASSERT_EQ(RegCreateKeyExW(root, Wide(path).c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), name.c_str(), 0, type, data.data(),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
}

std::vector<std::uint8_t> WideBytes(const std::wstring& text, bool withNul) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(text.c_str());
    return {begin, begin + (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t)};
}

void DeleteKeyTree(HKEY root, const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    const std::wstring parentPath = slash == std::wstring::npos ? L"" : path.substr(0, slash);
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    UniqueHKey parent;
    const LSTATUS opened = RegOpenKeyExW(root, parentPath.c_str(), 0,
                                         KEY_ALL_ACCESS | KEY_WOW64_64KEY, parent.put());
    if (opened == ERROR_FILE_NOT_FOUND) return;
    ASSERT_EQ(opened, ERROR_SUCCESS);
    const LSTATUS deleted = RegDeleteTreeW(parent.get(), name.c_str());
    EXPECT_TRUE(deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND) << deleted;
    if (deleted == ERROR_SUCCESS) {
        // RegDeleteTreeW empties the key; removing the key itself is left to us.
        const LSTATUS removed = RegDeleteKeyExW(parent.get(), name.c_str(), KEY_WOW64_64KEY, 0);
        EXPECT_TRUE(removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND) << removed;
    }
}

const std::string& UserRunKey() {
    static const std::string key(FindLocation("Registry -> User Run")->enabledKey);
    return key;
}

const std::string& UserRunDisabledKey() {
    static const std::string key(FindLocation("Registry -> User Run")->disabledKey);
    return key;
}

UserStartupSandbox::UserStartupSandbox(std::string namePrefix)
    : prefix(std::move(namePrefix)),
      folders(ResolveStartupFolders(shell)),
      hadDisabledKey_(registry.KeyExists(Hive::CurrentUser, UserRunDisabledKey())),
      hadUserDisabled_(files.FolderExists(folders.userDisabled)),
      hadCommonDisabled_(files.FolderExists(folders.commonDisabled)) {
    EXPECT_FALSE(folders.user.empty());
    PrepareDisabledFolders(files, folders);
    CleanUp();
}

UserStartupSandbox::~UserStartupSandbox() {
    CleanUp();
    const bool keyEmpty =
        CountRegEntries(OpenRegKey(registry, Hive::CurrentUser, UserRunDisabledKey()).get(), 0) == 0;
    if (!hadDisabledKey_ && keyEmpty) DeleteKeyTree(HKEY_CURRENT_USER, Wide(UserRunDisabledKey()));
    if (!hadUserDisabled_) RemoveEmptyFolder(folders.userDisabled);
    if (!hadCommonDisabled_) RemoveEmptyFolder(folders.commonDisabled);
}

void UserStartupSandbox::CleanUp() {
    for (const std::string& key : {UserRunKey(), UserRunDisabledKey()}) {
        const auto open = OpenRegKey(registry, Hive::CurrentUser, key);
        std::vector<std::string> ours;
        for (std::uint32_t i = 0; i < CountRegEntries(open.get(), 0); ++i) {
            const auto value = EnumRegValue(open.get(), i);
            if (value && value->name.rfind(prefix, 0) == 0) ours.push_back(value->name);
        }
        for (const std::string& name : ours) DeleteRegValue(registry, Hive::CurrentUser, key, name);
    }
    for (const std::string& folder : {folders.user + "\\", folders.userDisabled}) {
        for (const std::string& name : files.ListNormalFiles(folder, prefix + "*")) {
            EXPECT_TRUE(files.RemoveFile(folder + name)) << folder + name;
        }
    }
}

}  // namespace dovoviza::win32::test
