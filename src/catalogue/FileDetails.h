#pragma once
// Details of the program file behind a startup entry: does it exist, its
// version strings, its size and dates as the list shows them.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/FileSystem.h"
#include "platform/System.h"
#include "platform/VersionInfo.h"

namespace dovoviza {

// True when a normal file (neither hidden nor system, not a folder) answers to
// the name; wildcards match.
bool FileExist(IFileSystem& files, const std::string& path);

// The version strings of one file at a time; one instance serves every row.
class FileInfoClass {
public:
    // With a file system, the strings of a file are remembered while its size
    // and last write time stay the same: the monitor asks for every program's
    // strings every two seconds, and reading a version resource means loading
    // the file.
    explicit FileInfoClass(IVersionReader& versions, IFileSystem* files = nullptr)
        : versions_(versions), files_(files) {}

    // Forgets the previous file's strings and reads the new file's. Reading
    // stops at the first string the resource lacks; that one and the later
    // ones stay empty.
    void SetFileName(const std::string& path);
    // The same, with the file's details as the caller has just read them
    // (nothing: no such file), so that they are not asked for twice.
    void SetFileName(const std::string& path, const std::optional<FileDetails>& details);
    const std::string& FileName() const { return fileName_; }

    std::string CompanyName;
    std::string FileDescription;
    std::string FileVersion;
    std::string ProductName;
    std::string ProductVersion;

private:
    struct Remembered {
        std::uint64_t size = 0;
        DateTime modified;
        std::string strings[5];
    };
    void ReadStrings(const std::string& path);
    void ClearStrings();

    IVersionReader& versions_;
    IFileSystem* files_;
    std::string fileName_;
    std::unordered_map<std::string, Remembered> remembered_;
};

// "1023 bytes", "1.5 KB", "1. KB", "5. MB": at most two decimals, no trailing
// zeros, always the decimal symbol. Negative sizes are shown in bytes.
std::string FormatFileSize(std::int64_t bytes, const std::string& decimalSymbol);

// The short date, a blank and the long time in the user's formats; the time is
// left out at exactly midnight.
std::string DateTimeText(ISystem& system, const DateTime& value);

}  // namespace dovoviza
