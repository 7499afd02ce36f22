#include "WinTest.h"

#include <shlobj.h>

#include <algorithm>

namespace wintest {
namespace {

// Takes a folder away with everything in it, hidden and read-only entries too.
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName, full = folder + L"\\" + name;
            if (name == L"." || name == L"..") continue;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                EXPECT_TRUE(DeleteFileW(full.c_str())) << Narrow(full);
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

void DeleteOurValues(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_64KEY,
                      &key) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> ours;
    std::wstring name(16384, L'\0');
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (name.compare(0, kPrefix.size(), Wide(kPrefix)) == 0) ours.emplace_back(name.c_str(), length);
    }
    for (const std::wstring& value : ours) EXPECT_EQ(RegDeleteValueW(key, value.c_str()), ERROR_SUCCESS);
    RegCloseKey(key);
}

void DeleteOurFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    const HANDLE find = FindFirstFileW((folder + L"\\" + Wide(kPrefix) + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring full = folder + L"\\" + entry.cFileName;
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(DeleteFileW(full.c_str())) << Narrow(full);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

std::wstring ScratchFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    return temp + Wide(kPrefix) + std::to_wstring(GetCurrentProcessId());
}

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

std::string Cmd() {
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return Narrow(folder) + "\\cmd.exe";
}

std::string UserStartup() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, 0, path);
    return Narrow(path);
}

std::string ReadAll(const std::string& path) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string content(65536, '\0');
    DWORD read = 0;
    if (!ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) read = 0;
    CloseHandle(file);
    content.resize(read);
    return content;
}

void WriteAll(const std::string& path, const std::string& content, DWORD attributes) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    CloseHandle(file);
    if (attributes && !SetFileAttributesW(Wide(path).c_str(), attributes)) ADD_FAILURE() << path;
}

bool Gone(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) == INVALID_FILE_ATTRIBUTES; }

Raw GetRaw(HKEY root, const std::wstring& path, const std::wstring& name, REGSAM view) {
    Raw raw;
    HKEY key = nullptr;
    raw.status = RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key);
    if (raw.status != ERROR_SUCCESS) return raw;
    DWORD size = 0;
    raw.status = RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, nullptr, &size);
    raw.data.resize(size);
    if (raw.status == ERROR_SUCCESS)
        raw.status = RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, raw.data.data(), &size);
    raw.data.resize(size);
    RegCloseKey(key);
    return raw;
}

bool SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
            const std::vector<std::uint8_t>& data, REGSAM view) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr))
        return false;
    const LSTATUS set = RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

std::vector<std::uint8_t> Bytes(const std::wstring& text, bool withNul) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(text.c_str());
    return {begin, begin + (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t)};
}

void DeleteTree(HKEY root, const std::wstring& path, REGSAM view) {
    const std::size_t slash = path.find_last_of(L'\\');
    HKEY parent = nullptr;
    if (RegOpenKeyExW(root, path.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS | view, &parent)) return;
    const std::wstring name = path.substr(slash + 1);
    // Wine's RegDeleteTreeW empties the key and leaves it; the key itself goes after.
    if (RegDeleteTreeW(parent, name.c_str()) == ERROR_SUCCESS) RegDeleteKeyExW(parent, name.c_str(), view, 0);
    RegCloseKey(parent);
}

bool WaitUntil(const std::function<bool()>& done, DWORD guardMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > guardMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

void PrefixTest::CleanPrefix() {
    DeleteOurValues(kRun);
    DeleteOurValues(kRunDisabled);
    DeleteOurFiles(Wide(UserStartup()));
    DeleteOurFiles(Wide(UserStartup()) + L"-Disabled");
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) DeleteTree(root, kScratchKey, view);
        DeleteTree(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.dovoviza-test", view);
        DeleteTree(HKEY_LOCAL_MACHINE, L"Software\\Classes\\dovoviza-test.document", view);
        DeleteTree(HKEY_LOCAL_MACHINE, kSettings, view);
        HKEY run = nullptr;
        if (!RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRun, 0, KEY_SET_VALUE | view, &run)) {
            RegDeleteValueW(run, L"Varnek RuvazUv Avuzuza");  // the program's own start option
            RegCloseKey(run);
        }
    }
    RemoveTree(ScratchFolder());
    ASSERT_TRUE(CreateDirectoryW(ScratchFolder().c_str(), nullptr));
}

std::string PrefixTest::Scratch(const std::string& name) {
    return Narrow(ScratchFolder()) + (name.empty() ? "" : "\\" + name);
}

}  // namespace wintest
