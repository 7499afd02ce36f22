#pragma once
// Shared pieces of the Windows-layer tests: fixture programs, scratch folders,
// raw registry access as other programs see it, and the user's real Run key and
// Startup folder shared with the prefix without leaving anything behind.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/StartupLocation.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"

namespace dovoviza::win32::test {

// The folder of the running test program, without a trailing backslash.
std::wstring TestProgramFolder();
// Full path of a fixture program that the build puts beside the tests' folder.
std::string FixturePath(const std::string& name);
std::string CommandProcessor();  // cmd.exe in the system folder

// A fresh, uniquely named folder under the user's temp folder; removed with
// everything in it (hidden, system and read-only entries too) at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Writes a file through the system, failing the current test when it cannot.
void WriteTestFile(const std::string& path, const std::string& content,
                   DWORD attributes = FILE_ATTRIBUTE_NORMAL);
std::string ReadTestFile(const std::string& path);  // "<missing>" when it cannot
DWORD AttributesOf(const std::string& path);

// A registry value as a program that does not use our layer sees it (W API).
struct RawValue {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<std::uint8_t> data;
};
RawValue QueryRaw(HKEY root, const std::string& path, const std::wstring& name,
                  REGSAM view = KEY_WOW64_64KEY);
void SetRaw(HKEY root, const std::string& path, const std::wstring& name, DWORD type,
            const std::vector<std::uint8_t>& data);
std::vector<std::uint8_t> WideBytes(const std::wstring& text, bool withNul = true);

// Removes a registry key with all its subkeys from the native 64-bit view;
// a missing key is fine.
void DeleteKeyTree(HKEY root, const std::wstring& path);

// The current user's Run key and its disabled twin, as the location table names them.
const std::string& UserRunKey();
const std::string& UserRunDisabledKey();

// The user's real Run key and Startup folder, shared with the prefix: every
// value and file whose name starts with `prefix` is removed before and after;
// the "-Disabled" key and folders made during the test go again when empty.
class UserStartupSandbox {
public:
    explicit UserStartupSandbox(std::string prefix);
    ~UserStartupSandbox();
    UserStartupSandbox(const UserStartupSandbox&) = delete;
    UserStartupSandbox& operator=(const UserStartupSandbox&) = delete;
    void CleanUp();

    const std::string prefix;
    Win32Registry registry;
    Win32FileSystem files;
    Win32Shell shell;
    const StartupFolderPaths folders;

private:
    bool hadDisabledKey_;
    bool hadUserDisabled_;
    bool hadCommonDisabled_;
};

}  // namespace dovoviza::win32::test
