#pragma once
// What every test on the Windows side shares: the real platform, a prefix
// cleaned before and after each test (our Run values and Startup shortcuts,
// scratch keys, the program's settings and start option, a scratch folder),
// the registry as other programs see it, and a bounded wait.

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>
#include "app/WindowIds.h"
#include "platform/Platform.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"

namespace wintest {

using dovoviza::win32::Narrow;
using dovoviza::win32::Wide;
namespace ids = dovoviza::ids;

inline const std::string kPrefix = "dovoviza-test-";  // every name a test makes starts so
inline const wchar_t* const kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const wchar_t* const kRunDisabled =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
inline const wchar_t* const kSettings = L"SOFTWARE\\Varnek Ruvazuv Avuzuza";
inline const wchar_t* const kScratchKey = L"Software\\dovoviza-tests";

// A small program the build makes.
inline std::string FixturePath(const std::string& name) {
    wchar_t self[MAX_PATH] = {}, full[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path = std::wstring(self).substr(0, std::wstring(self).rfind(L'\\')) +
                              L"\\..\\fixtures\\" + Wide(name) + L".exe";
    return GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr) ? Narrow(full) : Narrow(path);
}

inline std::string SourcePath(const std::string& relative) {  // a file of the source tree
    return "Z:" DOVOVIZA_SOURCE_DIR "/" + relative;
}

inline std::string UserStartup() {  // without a trailing backslash
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, 0, path);
    return Narrow(path);
}

inline void WriteAll(const std::string& path, const std::string& content, DWORD attributes = 0) {
    EXPECT_TRUE(std::ofstream(std::filesystem::path(Wide(path)), std::ios::binary) << content);
    if (attributes && !SetFileAttributesW(Wide(path).c_str(), attributes)) ADD_FAILURE() << path;
}

inline bool Gone(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) == INVALID_FILE_ATTRIBUTES;
}

// Pumps this thread's messages until `done` holds; false only past a generous
// bound, which guards against a hang and measures nothing.
inline bool WaitUntil(const std::function<bool()>& done) {
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

// A registry value as a program that does not use our layer sees it.
struct Raw {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};

inline Raw GetRaw(HKEY root, const std::wstring& path, const std::wstring& name,
                  REGSAM view = KEY_WOW64_64KEY) {
    Raw raw{ERROR_FILE_NOT_FOUND, REG_NONE, std::vector<std::uint8_t>(1 << 16)};
    HKEY key = nullptr;
    DWORD size = 1 << 16;
    if (!(raw.status = RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key)))
        raw.status =
            RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, raw.data.data(), &size);
    raw.data.resize(raw.status ? 0 : size);
    if (key) RegCloseKey(key);
    return raw;
}

inline bool SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                   const std::vector<std::uint8_t>& data, REGSAM view = KEY_WOW64_64KEY) {
    HKEY key = nullptr;
    LSTATUS set =
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, 0, &key, 0);
    if (!set) set = RegSetValueExW(key, name.c_str(), 0, type, data.data(), DWORD(data.size()));
    if (key) RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

inline std::vector<std::uint8_t> Bytes(const std::wstring& text, bool withNul = true) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(text.c_str());
    return {begin, begin + (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t)};
}

class PrefixTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the shell's objects need it
        CleanPrefix();
    }
    void TearDown() override { CleanPrefix(); }
    static void CleanPrefix() {
        const std::wstring startup = Wide(UserStartup()), ours = Wide(kPrefix) + L"*";
        EXPECT_TRUE(Remove(startup, ours) && Remove(startup + L"-Disabled", ours));
        for (const wchar_t* key : {kRun, kRunDisabled}) DeleteOurValues(key);
        for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            DeleteTree(HKEY_CURRENT_USER, kScratchKey, view);
            for (const wchar_t* key : {kScratchKey, kSettings})
                DeleteTree(HKEY_LOCAL_MACHINE, key, view);
        }
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRun, L"Varnek RuvazUv Avuzuza");  // start option
        // A program that a test started may stand in the scratch folder a moment longer.
        const std::wstring scratch = Wide(Scratch()),
                           parent = scratch.substr(0, scratch.rfind('\\'));
        ASSERT_TRUE(WaitUntil([&] {
            return Remove(parent, scratch.substr(parent.size() + 1)) &&
                   CreateDirectoryW(scratch.c_str(), 0);
        }));
    }
    static std::string Scratch(const std::string& name = "") {  // inside a fresh folder
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        const std::string folder = Narrow(temp) + kPrefix + std::to_string(GetCurrentProcessId());
        return name.empty() ? folder : folder + "\\" + name;
    }
    static std::string Named(const std::string& name) { return kPrefix + name; }
    // Our value `name` in the user's Run key or its disabled twin.
    static bool Put(const std::string& name, const std::wstring& text, const wchar_t* key = kRun) {
        return SetRaw(HKEY_CURRENT_USER, key, Wide(Named(name)), REG_SZ, Bytes(text));
    }
    static Raw Get(const std::string& name, const wchar_t* key = kRun) {
        return GetRaw(HKEY_CURRENT_USER, key, Wide(Named(name)));
    }
    std::string Cmd() { return system.SystemFolder() + "\\cmd.exe"; }
    std::string ReadAll(const std::string& path) {  // "-" when it cannot
        const auto bytes = files.ReadSmallFile(path, 1 << 20);
        return bytes ? std::string(bytes->begin(), bytes->end()) : "-";
    }

    dovoviza::win32::Win32Registry registry;
    dovoviza::win32::Win32FileSystem files;
    dovoviza::win32::Win32Shell shell;
    dovoviza::win32::Win32VersionReader versions;
    dovoviza::win32::Win32System system;
    dovoviza::Platform platform{registry, files, shell, versions, system};

private:
    // Takes away what matches in a folder, with all that is in it, hidden and
    // read-only too; false when something stays.
    static bool Remove(const std::wstring& folder, const std::wstring& pattern) {
        WIN32_FIND_DATAW entry{};
        const HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &entry);
        bool removed = true;
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &entry)) {
            const std::wstring name = entry.cFileName, full = folder + L"\\" + name;
            if (name == L"." || name == L"..") continue;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(full, L"*");
            removed = (RemoveDirectoryW(full.c_str()) || DeleteFileW(full.c_str())) && removed;
        }
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
        return removed;
    }
    static void DeleteOurValues(const wchar_t* path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key))
            return;
        std::vector<std::wstring> ours;
        wchar_t name[16384];
        for (DWORD i = 0, n = 16384; !RegEnumValueW(key, i, name, &n, 0, 0, 0, 0); ++i, n = 16384)
            if (Narrow(name).rfind(kPrefix, 0) == 0) ours.emplace_back(name, n);
        for (const std::wstring& value : ours) EXPECT_EQ(RegDeleteValueW(key, value.c_str()), 0);
        RegCloseKey(key);
    }
    static void DeleteTree(HKEY root, const wchar_t* path, REGSAM view) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS | view, &key)) return;
        RegDeleteTreeW(key, nullptr);  // empties the key; the key itself goes after
        RegCloseKey(key);
        RegDeleteKeyExW(root, path, view, 0);
    }
};

}  // namespace wintest
