#include "WinTest.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace wintest {
namespace {

// Takes away what matches in a folder, with all that is in it, hidden and read-only too.
void Remove(const std::wstring& folder, const std::wstring& pattern) {
    WIN32_FIND_DATAW entry{};
    const HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &entry);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry)) {
        const std::wstring name = entry.cFileName, full = folder + L"\\" + name;
        if (name == L"." || name == L"..") continue;
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(full, L"*");
        EXPECT_TRUE(RemoveDirectoryW(full.c_str()) || DeleteFileW(full.c_str())) << Narrow(full);
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

void DeleteOurValues(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key)) return;
    std::vector<std::wstring> ours;
    wchar_t name[16384];
    for (DWORD i = 0, n = 16384; !RegEnumValueW(key, i, name, &n, 0, 0, 0, 0); ++i, n = 16384)
        if (Narrow(name).rfind(kPrefix, 0) == 0) ours.emplace_back(name, n);
    for (const std::wstring& value : ours) EXPECT_EQ(RegDeleteValueW(key, value.c_str()), 0);
    RegCloseKey(key);
}

void DeleteTree(HKEY root, const wchar_t* path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS | view, &key)) return;
    RegDeleteTreeW(key, nullptr);  // empties the key; the key itself goes after
    RegCloseKey(key);
    RegDeleteKeyExW(root, path, view, 0);
}

std::wstring Temp() {  // without its trailing backslash
    wchar_t temp[MAX_PATH + 1] = {};
    return std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp) - 1);
}
std::wstring ScratchName() { return Wide(kPrefix) + std::to_wstring(GetCurrentProcessId()); }

}  // namespace

std::string FixturePath(const std::string& name) {
    wchar_t self[MAX_PATH] = {}, full[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path = path.substr(0, path.find_last_of(L'\\')) + L"\\..\\fixtures\\" + Wide(name) + L".exe";
    return GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr) ? Narrow(full) : Narrow(path);
}

std::string SourcePath(const std::string& relative) {
    std::string path = std::string("Z:") + DOVOVIZA_SOURCE_DIR + "/" + relative;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string UserStartup() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, 0, path);
    return Narrow(path);
}

void WriteAll(const std::string& path, const std::string& content, DWORD attributes) {
    EXPECT_TRUE(std::ofstream(std::filesystem::path(Wide(path)), std::ios::binary) << content);
    if (attributes && !SetFileAttributesW(Wide(path).c_str(), attributes)) ADD_FAILURE() << path;
}

bool Gone(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool WaitUntil(const std::function<bool()>& done) {
    for (const DWORD start = GetTickCount(); !done();) {
        if (GetTickCount() - start > 30000) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

Raw GetRaw(HKEY root, const std::wstring& path, const std::wstring& name, REGSAM view) {
    Raw raw;
    HKEY key = nullptr;
    DWORD size = 1 << 16;
    raw.data.resize(size);
    raw.status = RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key);
    if (!raw.status)
        raw.status = RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, raw.data.data(), &size);
    raw.data.resize(raw.status ? 0 : size);
    if (key) RegCloseKey(key);
    return raw;
}

bool SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
            const std::vector<std::uint8_t>& data, REGSAM view) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, 0, &key, 0))
        return false;
    const auto size = static_cast<DWORD>(data.size());
    const LSTATUS set = RegSetValueExW(key, name.c_str(), 0, type, data.data(), size);
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

std::vector<std::uint8_t> Bytes(const std::wstring& text, bool withNul) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(text.c_str());
    return {begin, begin + (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t)};
}

void PrefixTest::SetUp() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CleanPrefix();
}

void PrefixTest::CleanPrefix() {
    const std::wstring startup = Wide(UserStartup()), ours = Wide(kPrefix) + L"*";
    Remove(startup, ours);
    Remove(startup + L"-Disabled", ours);
    DeleteOurValues(kRun);
    DeleteOurValues(kRunDisabled);
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        DeleteTree(HKEY_CURRENT_USER, kScratchKey, view);
        for (const wchar_t* key : {kScratchKey, kSettings, L"Software\\Classes\\.dovoviza-test",
                                   L"Software\\Classes\\dovoviza-test.document"})
            DeleteTree(HKEY_LOCAL_MACHINE, key, view);
        HKEY run = nullptr;  // the program's own start option
        if (!RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRun, 0, KEY_SET_VALUE | view, &run)) {
            RegDeleteValueW(run, L"Varnek RuvazUv Avuzuza");
            RegCloseKey(run);
        }
    }
    Remove(Temp(), ScratchName());
    ASSERT_TRUE(CreateDirectoryW(Wide(Scratch()).c_str(), nullptr));
}

std::string PrefixTest::Scratch(const std::string& name) {
    return Narrow(Temp() + L"\\" + ScratchName()) + (name.empty() ? "" : "\\" + name);
}

}  // namespace wintest
