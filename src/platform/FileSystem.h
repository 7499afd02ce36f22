#pragma once
// Files and folders. Paths are Windows paths in UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dovoviza {

// A local date and time, as the user's clock shows it.
struct DateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    bool operator==(const DateTime&) const = default;
};

struct FileDetails {
    std::uint64_t size = 0;
    DateTime created, accessed, modified;
    // The same three in UTC.
    DateTime createdUtc, accessedUtc, modifiedUtc;
};

// Why a file operation failed.
enum class FileError { None, InUse, AccessDenied, Exists, Other };

// True when the operation was done; otherwise it says why not.
struct FileResult {
    FileError error = FileError::None;
    explicit operator bool() const { return error == FileError::None; }
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // True when a listing for the name, asking for normal files only (neither
    // hidden nor system, no folders), yields a file. Wildcards match; an empty
    // or malformed name, a missing drive or folder give false.
    virtual bool NormalFileExists(const std::string& path) = 0;
    // Names of the normal files in a folder that match the pattern, in the
    // order the system lists them.
    virtual std::vector<std::string> ListNormalFiles(const std::string& folder,
                                                     const std::string& pattern) = 0;
    virtual std::optional<FileDetails> GetDetails(const std::string& path) = 0;
    // Moves a file; fails when the target exists (it is never replaced).
    virtual FileResult MoveFileNoReplace(const std::string& from, const std::string& to) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    virtual bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) = 0;
    // Creates the folder and every missing folder above it; true when it exists afterwards.
    virtual bool CreateFolderPath(const std::string& path) = 0;
    // Hides a folder from ordinary listings.
    virtual bool HideFolder(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // Writes the whole file, replacing one of that name only once the new
    // content is complete. True when it was written.
    virtual bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) = 0;
    // Adds the bytes at the end of the file, making it when it is missing.
    virtual bool AppendToFile(const std::string& path, const std::vector<std::uint8_t>& bytes) = 0;
    // The whole file, when it exists and is at most maxBytes long.
    virtual std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path,
                                                                   std::size_t maxBytes) = 0;
};

}  // namespace dovoviza
