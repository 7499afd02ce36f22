#include "FakeFileSystem.h"

#include "FakeShell.h"
#include "FakeSystem.h"

namespace dovoviza::test {

namespace {

constexpr std::uint32_t kNotNormal = FileAttr::Hidden | FileAttr::System;

std::string Clean(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '/') c = '\\';
        // Doubled separators name the same folder; a leading pair (a network path) is kept.
        if (c == '\\' && out.size() > 1 && out.back() == '\\') continue;
        out += c;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\\')) out.pop_back();
    return out;
}

std::string ParentOf(const std::string& cleanPath) {
    const std::size_t slash = cleanPath.rfind('\\');
    return slash == std::string::npos ? std::string() : cleanPath.substr(0, slash);
}

std::string NameOf(const std::string& cleanPath) { return cleanPath.substr(cleanPath.rfind('\\') + 1); }

bool IsMalformed(const std::string& cleanPath) {
    const std::size_t colon = cleanPath.find(':');
    return cleanPath.find_first_of("<>|\"") != std::string::npos || (colon != std::string::npos && colon != 1);
}

bool IsUnder(const std::string& folded, const std::string& folderFolded) {
    return folded.compare(0, folderFolded.size(), folderFolded) == 0 &&
           (folded.size() == folderFolded.size() || folded[folderFolded.size()] == '\\');
}

}  // namespace

const FakeFileSystem::Entry* FakeFileSystem::Find(const std::string& path) const {
    const std::string folded = FoldCase(Clean(path));
    for (const Entry& entry : entries_) {
        if (!folded.empty() && entry.folded == folded) return &entry;
    }
    return nullptr;
}

void FakeFileSystem::Put(Entry entry) {
    entry.folded = FoldCase(entry.path);
    if (Entry* existing = Find(entry.path)) {
        *existing = std::move(entry);
    } else {
        entries_.push_back(std::move(entry));
    }
}

bool FakeFileSystem::MakeFolders(const std::string& cleanPath) {
    if (cleanPath.empty()) return false;
    std::size_t end = 0;
    do {
        end = cleanPath.find('\\', end + 1);
        const std::string part = cleanPath.substr(0, end);
        if (part.empty() || part == "\\") continue;
        if (const Entry* existing = Find(part)) {
            if (!existing->folder) return false;
        } else {
            Put(Entry{part, {}, true, FileAttr::Normal, {}, {}});
        }
    } while (end != std::string::npos);
    return true;
}

bool FakeFileSystem::Fails(FileFault fault, const std::string& path) const {
    const std::string folded = FoldCase(Clean(path));
    for (const auto& [f, where] : faults_) {
        if (f == fault && IsUnder(folded, where)) return true;
    }
    return false;
}

bool FakeFileSystem::CanLand(const std::string& target) const {
    return !target.empty() && !IsMalformed(target) && IsFolder(ParentOf(target));
}

bool FakeFileSystem::NormalFileExists(const std::string& path) {
    const std::string clean = Clean(path);
    if (clean.empty() || IsMalformed(clean) || HasWildcard(ParentOf(clean))) return false;
    if (HasWildcard(NameOf(clean))) return !ListNormalFiles(ParentOf(clean), NameOf(clean)).empty();
    const Entry* entry = Find(clean);
    return entry && !entry->folder && (entry->attributes & kNotNormal) == 0;
}

std::vector<std::string> FakeFileSystem::ListNormalFiles(const std::string& folder, const std::string& pattern) {
    if (!IsFolder(folder)) return {};
    std::vector<std::string> names = Names(folder, kNotNormal);
    std::erase_if(names, [&](const std::string& name) { return !WildcardMatch(pattern, name); });
    return names;
}

std::optional<FileDetails> FakeFileSystem::GetDetails(const std::string& path) {
    const Entry* entry = Find(path);
    return entry && !entry->folder ? std::optional(entry->details) : std::nullopt;
}

FileResult FakeFileSystem::MoveFileNoReplace(const std::string& from, const std::string& to) {
    if (Fails(FileFault::Locked, from)) return {FileError::InUse};
    if (Fails(FileFault::Move, from) || Fails(FileFault::Move, to)) return {FileError::Other};
    const Entry* source = Find(from);
    const std::string target = Clean(to);
    if (Find(target)) return {FileError::Exists};
    if (!source || source->folder || !CanLand(target)) return {FileError::Other};
    Entry moved = *source;
    moved.path = target;
    entries_.erase(entries_.begin() + (source - entries_.data()));
    Put(std::move(moved));
    return {};
}

bool FakeFileSystem::WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (Fails(FileFault::Copy, path) || !CanLand(Clean(path)) || FolderExists(path)) return false;
    AddFile(path, std::string(bytes.begin(), bytes.end()));
    return true;
}

bool FakeFileSystem::AppendToFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (Fails(FileFault::Copy, path) || FolderExists(path) || !CanLand(Clean(path))) return false;
    AddFile(path, Content(path) + std::string(bytes.begin(), bytes.end()));
    return true;
}

bool FakeFileSystem::RemoveFile(const std::string& path) {
    if (Fails(FileFault::Delete, path)) return false;
    const Entry* entry = Find(path);
    if (!entry || entry->folder || (entry->attributes & FileAttr::ReadOnly) != 0) return false;
    entries_.erase(entries_.begin() + (entry - entries_.data()));
    return true;
}

bool FakeFileSystem::CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) {
    if (Fails(FileFault::Copy, from) || Fails(FileFault::Copy, to)) return false;
    const Entry* source = Find(from);
    const std::string target = Clean(to);
    if (!source || source->folder || !CanLand(target)) return false;
    // Windows refuses to overwrite read-only or hidden files.
    const Entry* existing = Find(target);
    if (existing && (existing == source || existing->folder || failIfExists ||
                     (existing->attributes & (FileAttr::ReadOnly | FileAttr::Hidden)) != 0)) {
        return false;
    }
    Entry copy = *source;
    copy.path = target;
    Put(std::move(copy));
    return true;
}

bool FakeFileSystem::CreateFolderPath(const std::string& path) {
    if (Fails(FileFault::CreateFolder, path)) return false;
    const std::string clean = Clean(path);
    if (clean.empty() || IsMalformed(clean) || HasWildcard(clean)) return false;
    return MakeFolders(clean) && IsFolder(clean);
}

bool FakeFileSystem::HideFolder(const std::string& path) {
    Entry* entry = Find(path);
    if (Fails(FileFault::HideFolder, path) || !entry || !entry->folder) return false;
    entry->attributes |= FileAttr::Hidden | FileAttr::System;
    return true;
}

std::optional<std::vector<std::uint8_t>> FakeFileSystem::ReadSmallFile(const std::string& path, std::size_t maxBytes) {
    const Entry* entry = Find(path);
    return entry && !entry->folder && entry->content.size() <= maxBytes ? std::optional(entry->content) : std::nullopt;
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& content, std::uint32_t attributes) {
    const std::string clean = Clean(path);
    if (!ParentOf(clean).empty()) MakeFolders(ParentOf(clean));
    // The fake's clock is UTC.
    const FileDetails details{content.size(), kDefaultDate, kDefaultDate, kDefaultDate,
                              kDefaultDate, kDefaultDate, kDefaultDate};
    Put(Entry{clean, {}, false, attributes, {content.begin(), content.end()}, details});
}

void FakeFileSystem::AddFolder(const std::string& path, std::uint32_t attributes) {
    MakeFolders(Clean(path));
    if (Entry* entry = Find(path)) entry->attributes = attributes;
}

void FakeFileSystem::Remove(const std::string& path) {
    const std::string folded = FoldCase(Clean(path));
    if (!folded.empty()) std::erase_if(entries_, [&](const Entry& e) { return IsUnder(e.folded, folded); });
}

std::string FakeFileSystem::Content(const std::string& path) const {
    const Entry* entry = Find(path);
    return entry && !entry->folder ? std::string(entry->content.begin(), entry->content.end()) : std::string();
}

std::vector<std::string> FakeFileSystem::Names(const std::string& folder, std::uint32_t skipped) const {
    std::vector<std::string> names;
    const std::string folded = FoldCase(Clean(folder));
    for (const Entry& entry : entries_) {
        if (!entry.folder && (entry.attributes & skipped) == 0 && FoldCase(ParentOf(entry.path)) == folded) {
            names.push_back(NameOf(entry.path));
        }
    }
    return names;
}

void FakeFileSystem::Fail(FileFault fault, const std::string& path) { faults_.insert({fault, FoldCase(Clean(path))}); }

// Shortcuts are files of the fake file system that carry their target.
std::optional<std::string> FakeShell::ReadShortcutTarget(const std::string& lnkPath) {
    const std::string content = files_ ? files_->Content(lnkPath) : std::string();
    const std::string magic = ShortcutFileContent("");
    if (content.compare(0, magic.size(), magic) != 0) return std::nullopt;
    return content.substr(magic.size());
}

bool FakeShell::WriteShortcut(const ShortcutInfo& shortcut) {
    written.push_back(shortcut);
    if (!writeShortcutResult) return false;
    if (!files_) return true;
    const std::size_t slash = shortcut.path.find_last_of("\\/");
    if (slash == std::string::npos || !files_->FolderExists(shortcut.path.substr(0, slash))) return false;
    files_->AddFile(shortcut.path, ShortcutFileContent(shortcut.target));
    return true;
}

void FakeShell::AddShortcut(const std::string& lnkPath, const std::string& target) {
    if (files_) files_->AddFile(lnkPath, ShortcutFileContent(target));
}

}  // namespace dovoviza::test
