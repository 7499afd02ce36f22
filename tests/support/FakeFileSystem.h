#pragma once
// An in-memory file system with Windows path rules: "\" or "/" separate,
// letter case is ignored, trailing blanks are dropped. Folders list their files
// in the order they were added. Moves, deletes, copies and folder creation can
// be made to fail.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace dovoviza::test {

// Attribute bits, numbered as Windows numbers them.
namespace FileAttr {
constexpr std::uint32_t Normal = 0;
constexpr std::uint32_t ReadOnly = 0x1;
constexpr std::uint32_t Hidden = 0x2;
constexpr std::uint32_t System = 0x4;
}  // namespace FileAttr

// Locked: another program holds the file open, so moving it fails as in use.
enum class FileFault { Move, Locked, Delete, Copy, CreateFolder, HideFolder };

class FakeFileSystem : public IFileSystem {
public:
    bool NormalFileExists(const std::string& path) override;
    std::vector<std::string> ListNormalFiles(const std::string& folder, const std::string& pattern) override;
    std::optional<FileDetails> GetDetails(const std::string& path) override;
    FileResult MoveFileNoReplace(const std::string& from, const std::string& to) override;
    bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override;
    bool AppendToFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override;
    bool RemoveFile(const std::string& path) override;
    bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) override;
    bool CreateFolderPath(const std::string& path) override;
    bool HideFolder(const std::string& path) override;
    bool FolderExists(const std::string& path) override { return IsFolder(path); }
    std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path, std::size_t maxBytes) override;

    // Test set-up. Adding a file creates its folders and replaces a file of the
    // same name in place; its size is the content's length and its dates are
    // kDefaultDate until SetDetails changes them.
    void AddFile(const std::string& path, const std::string& content = {}, std::uint32_t attributes = FileAttr::Normal);
    void AddFolder(const std::string& path, std::uint32_t attributes = FileAttr::Normal);
    void SetDetails(const std::string& path, const FileDetails& details) {
        if (Entry* entry = Find(path)) entry->details = details;
    }
    void Remove(const std::string& path);  // a file, or a folder with everything in it

    // Test inspection.
    bool Exists(const std::string& path) const { return Find(path) != nullptr; }  // whatever its attributes
    bool IsFolder(const std::string& path) const {
        const Entry* entry = Find(path);
        return entry && entry->folder;
    }
    std::string Content(const std::string& path) const;  // empty when missing
    std::uint32_t Attributes(const std::string& path) const {
        const Entry* entry = Find(path);
        return entry ? entry->attributes : 0;
    }
    // Every file name in a folder, hidden and system files included.
    std::vector<std::string> AllFiles(const std::string& folder) const { return Names(folder, 0); }

    // Failure injection: the operation fails when its source or target is the
    // path or lies inside it.
    void Fail(FileFault fault, const std::string& path);

    static constexpr DateTime kDefaultDate{2021, 3, 4, 13, 5, 6};

private:
    struct Entry {
        std::string path;    // as given, cleaned
        std::string folded;  // the lookup key
        bool folder = false;
        std::uint32_t attributes = FileAttr::Normal;
        std::vector<std::uint8_t> content;
        FileDetails details;
    };

    Entry* Find(const std::string& path) { return const_cast<Entry*>(std::as_const(*this).Find(path)); }
    const Entry* Find(const std::string& path) const;
    // Stores the entry under its path, in place of one of the same name.
    void Put(Entry entry);
    bool MakeFolders(const std::string& cleanPath);
    bool Fails(FileFault fault, const std::string& path) const;
    // The files of a folder, in order, without those that have a `skipped` attribute.
    std::vector<std::string> Names(const std::string& folder, std::uint32_t skipped) const;
    // A copy or move may land there: a well-formed path in an existing folder.
    bool CanLand(const std::string& cleanTarget) const;

    std::vector<Entry> entries_;  // in the order they were added
    std::set<std::pair<FileFault, std::string>> faults_;
};

}  // namespace dovoviza::test
