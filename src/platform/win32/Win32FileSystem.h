#pragma once
// Files and folders through the Win32 file functions.

#include "platform/FileSystem.h"

namespace dovoviza::win32 {

class Win32FileSystem final : public IFileSystem {
public:
    bool NormalFileExists(const std::string& path) override;
    // An empty folder lists nothing (rather than the current drive's root).
    std::vector<std::string> ListNormalFiles(const std::string& folder,
                                             const std::string& pattern) override;
    // Nothing for a folder or a missing file; dates in local time.
    std::optional<FileDetails> GetDetails(const std::string& path) override;
    // May copy across volumes; an existing target makes it fail.
    FileResult MoveFileNoReplace(const std::string& from, const std::string& to) override;
    bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override;
    bool AppendToFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override;
    bool RemoveFile(const std::string& path) override;
    bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) override;
    bool CreateFolderPath(const std::string& path) override;
    // Adds the hidden attribute and keeps the others.
    bool HideFolder(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path,
                                                           std::size_t maxBytes) override;
};

}  // namespace dovoviza::win32
