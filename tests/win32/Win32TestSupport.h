#pragma once
// Shared pieces of the Windows-layer tests: where the fixture programs are,
// and scratch folders and registry keys that clean up after themselves.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Registry.h"

namespace dovoviza::win32::test {

// The folder of the running test program, without a trailing backslash.
std::wstring TestProgramFolder();
// Full path of a fixture program that the build puts beside the tests' folder.
std::string FixturePath(const std::string& name);

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
std::string ReadTestFile(const std::string& path);
DWORD AttributesOf(const std::string& path);

// Removes a registry key with all its subkeys from the native 64-bit view;
// a missing key is fine.
void DeleteKeyTree(HKEY root, const std::wstring& path);

// The current user's Run key and its disabled twin, as the location table names them.
const std::string& UserRunKey();
const std::string& UserRunDisabledKey();
// Deletes every value whose name starts with the prefix from those two keys:
// tests share the prefix's real Run key and leave nothing of theirs behind.
void DeleteUserRunValuesWithPrefix(IRegistry& registry, const std::string& prefix);

}  // namespace dovoviza::win32::test
