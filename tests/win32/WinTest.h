#pragma once
// What every test on the Windows side shares: a clean prefix before and after
// each test (our Run values and Startup shortcuts, scratch keys, the program's
// settings and start option, a scratch folder), the registry as other programs
// see it, and a wait for something the user could see.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "about/frmAbout.h"
#include "app/WindowIds.h"
#include "language/frmLanguage.h"
#include "monitor/frmAlert.h"
#include "operations/frmAdd.h"
#include "platform/win32/WideText.h"

namespace wintest {

using dovoviza::win32::Narrow;
using dovoviza::win32::Wide;
namespace ids = dovoviza::ids;  // the windows' classes and control ids

inline const std::string kPrefix = "dovoviza-test-";  // every name a test makes starts so
inline const wchar_t* const kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const wchar_t* const kRunDisabled = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
inline const wchar_t* const kSettings = L"SOFTWARE\\Varnek Ruvazuv Avuzuza";
inline const wchar_t* const kScratchKey = L"Software\\dovoviza-tests";

std::string FixturePath(const std::string& name);  // a small program the build makes
std::string SourcePath(const std::string& relative);  // a file of the source tree
std::string Cmd();  // cmd.exe of the system folder
std::string UserStartup();  // the user's Startup folder, no trailing backslash
std::string ReadAll(const std::string& path);  // "<missing>" when it cannot
void WriteAll(const std::string& path, const std::string& content, DWORD attributes = 0);
bool Gone(const std::string& path);

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
inline bool SetString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text) {
    return SetRaw(root, path, name, REG_SZ, Bytes(text));
}
void DeleteTree(HKEY root, const std::wstring& path, REGSAM view = KEY_WOW64_64KEY);

// Pumps this thread's messages until `done` holds; false only past a generous
// bound, which guards against a hang and measures nothing.
bool WaitUntil(const std::function<bool()>& done, DWORD guardMs = 30000);

class PrefixTest : public ::testing::Test {
protected:
    void SetUp() override { CleanPrefix(); }
    void TearDown() override { CleanPrefix(); }
    static void CleanPrefix();
    static std::string Scratch(const std::string& name = "");  // inside a fresh folder
    static std::string Named(const std::string& name) { return kPrefix + name; }
};

}  // namespace wintest
