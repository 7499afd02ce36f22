#pragma once
// What every test on the Windows side shares: the real platform, a prefix
// cleaned before and after each test (our Run values and Startup shortcuts,
// scratch keys, the program's settings and start option, a scratch folder),
// the registry as other programs see it, and a bounded wait.

#include <windows.h>

#include <gtest/gtest.h>

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
inline const wchar_t* const kRunDisabled = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
inline const wchar_t* const kSettings = L"SOFTWARE\\Varnek Ruvazuv Avuzuza";
inline const wchar_t* const kScratchKey = L"Software\\dovoviza-tests";

std::string FixturePath(const std::string& name);     // a small program the build makes
std::string SourcePath(const std::string& relative);  // a file of the source tree
std::string UserStartup();                            // no trailing backslash
void WriteAll(const std::string& path, const std::string& content, DWORD attributes = 0);
bool Gone(const std::string& path);
// Pumps this thread's messages until `done` holds; false only past a generous
// bound, which guards against a hang and measures nothing.
bool WaitUntil(const std::function<bool()>& done);

// A registry value as a program that does not use our layer sees it.
struct Raw {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};
Raw GetRaw(HKEY root, const std::wstring& path, const std::wstring& name, REGSAM view = KEY_WOW64_64KEY);
bool SetRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
            const std::vector<std::uint8_t>& data, REGSAM view = KEY_WOW64_64KEY);
std::vector<std::uint8_t> Bytes(const std::wstring& text, bool withNul = true);

class PrefixTest : public ::testing::Test {
protected:
    void SetUp() override;  // also gives the thread COM, which the shell's objects need
    void TearDown() override { CleanPrefix(); }
    static void CleanPrefix();
    static std::string Scratch(const std::string& name = "");  // inside a fresh folder
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
};

}  // namespace wintest
