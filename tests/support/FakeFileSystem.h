#pragma once
// An in-memory file system with Windows path rules: "\" or "/" separate,
// letter case is ignored, trailing blanks are dropped. Folders list their files
// in the order they were added. Every file was made, read and written on
// 4 March 2021 at 13:05:06 UTC. Moves can be made to fail.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FakeSystem.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace dovoviza::test {

// Attribute bits, numbered as Windows numbers them.
namespace FileAttr {
constexpr std::uint32_t Hidden = 0x2;
constexpr std::uint32_t System = 0x4;
}  // namespace FileAttr

// Locked: another program holds the file open, so moving it fails as in use.
enum class FileFault { Move, Locked };

class FakeFileSystem : public IFileSystem {
public:
    bool NormalFileExists(const std::string& path) override {
        const std::string clean = Clean(path);
        return !ListNormalFiles(ParentOf(clean), clean.substr(clean.rfind('\\') + 1)).empty();
    }
    std::vector<std::string> ListNormalFiles(const std::string& folder,
                                             const std::string& pattern) override {
        const std::u16string wanted = Utf8ToUtf16(pattern == "*.*" ? "*" : FoldCase(pattern));
        std::vector<std::string> names = Names(folder, kNotNormal);
        std::erase_if(names, [&](const std::string& name) {
            return !Matches(wanted, Utf8ToUtf16(FoldCase(name)));
        });
        return names;
    }
    std::optional<FileDetails> GetDetails(const std::string& path) override {
        constexpr DateTime t{2021, 3, 4, 13, 5, 6};
        const Entry* file = Find(path, false);
        if (!file) return std::nullopt;
        return FileDetails{file->content.size(), t, t, t, t, t, t};
    }
    FileResult MoveFileNoReplace(const std::string& from, const std::string& to) override {
        if (Fails(FileFault::Locked, from)) return {FileError::InUse};
        if (Fails(FileFault::Move, from) || Fails(FileFault::Move, to)) return {FileError::Other};
        if (Find(to)) return {FileError::Exists};
        if (!CopyFileTo(from, to, true)) return {FileError::Other};
        RemoveFile(from);
        return {};
    }
    bool RemoveFile(const std::string& path) override {
        const Entry* file = Find(path, false);
        if (!file) return false;
        entries_.erase(entries_.begin() + (file - entries_.data()));
        return true;
    }
    bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) override {
        const Entry* source = Find(from, false);
        const Entry* existing = Find(to);
        const std::string target = Clean(to);
        if (!source || !CanLand(target) || (existing && (failIfExists || existing->folder))) {
            return false;
        }
        Put(Entry{target, {}, false, source->attributes, source->content});
        return true;
    }
    bool CreateFolderPath(const std::string& path) override {
        return !IsMalformed(Clean(path)) && MakeFolders(path);
    }
    bool HideFolder(const std::string& path) override {
        Entry* entry = Find(path);
        if (!entry || !entry->folder) return false;
        entry->attributes |= kNotNormal;
        return true;
    }
    bool FolderExists(const std::string& path) override { return Find(path, true); }
    bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override {
        return Write(path, {bytes.begin(), bytes.end()});
    }
    bool AppendToFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override {
        return Write(path, Content(path) + std::string(bytes.begin(), bytes.end()));
    }
    std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path,
                                                           std::size_t maxBytes) override {
        const Entry* file = Find(path, false);
        if (!file || file->content.size() > maxBytes) return std::nullopt;
        return std::vector<std::uint8_t>(file->content.begin(), file->content.end());
    }

    // Test set-up. Adding a file creates its folders and replaces a file of the
    // same name in place; its size is the content's length.
    void AddFile(const std::string& path, const std::string& content = {},
                 std::uint32_t attributes = 0) {
        const std::string clean = Clean(path);
        MakeFolders(ParentOf(clean));
        Put(Entry{clean, {}, false, attributes, content});
    }
    void AddFolder(const std::string& path) { MakeFolders(path); }
    void Remove(const std::string& path) {  // a file, or a folder with everything in it
        const std::string folded = Folded(path), inside = folded + "\\";
        std::erase_if(entries_, [&](const Entry& e) {
            return e.folded == folded || e.folded.starts_with(inside);
        });
    }
    // Failure injection: the operation fails when its source or target is the path.
    void Fail(FileFault fault, const std::string& path) { faults_.insert({fault, Folded(path)}); }

    bool Exists(const std::string& path) const { return Find(path); }  // whatever its attributes
    std::string Content(const std::string& path) const {
        const Entry* file = Find(path, false);
        return file ? file->content : std::string();
    }
    std::uint32_t Attributes(const std::string& path) const {
        const Entry* entry = Find(path);
        return entry ? entry->attributes : 0;
    }
    // Every file name in a folder, hidden and system files included.
    std::vector<std::string> AllFiles(const std::string& folder) const { return Names(folder, 0); }

private:
    struct Entry {
        std::string path;    // as given, cleaned
        std::string folded;  // the lookup key
        bool folder = false;
        std::uint32_t attributes = 0;
        std::string content;
    };
    static constexpr std::uint32_t kNotNormal = FileAttr::Hidden | FileAttr::System;

    static std::string Clean(const std::string& path) {
        std::string out;
        for (char c : path) {
            if (c == '/') c = '\\';
            // Doubled separators name the same folder; a leading pair (a network path) is kept.
            if (c != '\\' || out.size() < 2 || out.back() != '\\') out += c;
        }
        return TrimEnd(out, " \\");
    }
    static std::string Folded(const std::string& path) { return FoldCase(Clean(path)); }
    static std::string ParentOf(const std::string& clean) {
        const std::size_t slash = clean.rfind('\\');
        return slash == std::string::npos ? std::string() : clean.substr(0, slash);
    }
    // Characters Windows refuses in names, or a colon that does not follow a drive letter.
    static bool IsMalformed(const std::string& clean) {
        const std::size_t colon = clean.find(':');
        return clean.find_first_of("<>|\"*?") != std::string::npos ||
               (colon != std::string::npos && colon != 1);
    }
    // "*" and "?" over folded UTF-16, so that "?" stands for one character.
    static bool Matches(std::u16string_view pattern, std::u16string_view name) {
        if (pattern.empty()) return name.empty();
        if (pattern[0] == u'*') {
            return Matches(pattern.substr(1), name) ||
                   (!name.empty() && Matches(pattern, name.substr(1)));
        }
        return !name.empty() && (pattern[0] == u'?' || pattern[0] == name[0]) &&
               Matches(pattern.substr(1), name.substr(1));
    }

    const Entry* Find(const std::string& path) const {
        const std::string folded = Folded(path);
        for (const Entry& entry : entries_) {
            if (!folded.empty() && entry.folded == folded) return &entry;
        }
        return nullptr;
    }
    Entry* Find(const std::string& path) {
        return const_cast<Entry*>(std::as_const(*this).Find(path));
    }
    // Only a folder, or only a file.
    const Entry* Find(const std::string& path, bool folder) const {
        const Entry* entry = Find(path);
        return entry && entry->folder == folder ? entry : nullptr;
    }
    // Stores the entry under its path, in place of one of the same name.
    void Put(Entry entry) {
        entry.folded = FoldCase(entry.path);
        if (Entry* existing = Find(entry.path)) {
            *existing = std::move(entry);
        } else {
            entries_.push_back(std::move(entry));
        }
    }
    bool MakeFolders(const std::string& path) {
        const std::string clean = Clean(path);
        std::size_t end = 0;
        do {
            end = clean.find('\\', end + 1);
            const std::string part = clean.substr(0, end);
            if (part.empty() || part == "\\") continue;
            const Entry* existing = Find(part);
            if (existing && !existing->folder) return false;
            if (!existing) Put(Entry{part, {}, true, 0, {}});
        } while (end != std::string::npos);
        return !clean.empty();
    }
    bool Write(const std::string& path, const std::string& content) {
        const std::string clean = Clean(path);
        if (!CanLand(clean) || Find(clean, true)) return false;
        AddFile(clean, content);
        return true;
    }
    // A copy or move may land there: a well-formed path in an existing folder.
    bool CanLand(const std::string& clean) const {
        return !IsMalformed(clean) && Find(ParentOf(clean), true);
    }
    bool Fails(FileFault fault, const std::string& path) const {
        return faults_.count({fault, Folded(path)}) > 0;
    }
    // The files of a folder, in order, without those that have a `skipped` attribute.
    std::vector<std::string> Names(const std::string& folder, std::uint32_t skipped) const {
        std::vector<std::string> names;
        const std::string folded = Folded(folder);
        for (const Entry& e : entries_) {
            if (!e.folder && (e.attributes & skipped) == 0 && ParentOf(e.folded) == folded) {
                names.push_back(e.path.substr(e.path.rfind('\\') + 1));
            }
        }
        return names;
    }

    std::vector<Entry> entries_;  // in the order they were added
    std::set<std::pair<FileFault, std::string>> faults_;
};

}  // namespace dovoviza::test
