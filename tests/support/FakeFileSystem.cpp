#include "FakeFileSystem.h"

#include <algorithm>

#include "NoCase.h"

namespace dovoviza::test {

namespace {

constexpr std::uint32_t kNotNormal = FileAttr::Hidden | FileAttr::System;

bool IsUnder(const std::string& folded, const std::string& folderFolded) {
    return folded == folderFolded ||
           (folded.size() > folderFolded.size() &&
            folded.compare(0, folderFolded.size(), folderFolded) == 0 &&
            folded[folderFolded.size()] == '\\');
}

}  // namespace

std::string FakeFileSystem::Clean(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '/') c = '\\';
        // Doubled separators name the same folder; a leading pair (a network path) is kept.
        if (c == '\\' && out.size() > 1 && out.back() == '\\') continue;
        out += c;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\\')) out.pop_back();
    return out;
}

std::string FakeFileSystem::ParentOf(const std::string& cleanPath) {
    const std::size_t slash = cleanPath.rfind('\\');
    return slash == std::string::npos ? std::string() : cleanPath.substr(0, slash);
}

std::string FakeFileSystem::NameOf(const std::string& cleanPath) {
    const std::size_t slash = cleanPath.rfind('\\');
    return slash == std::string::npos ? cleanPath : cleanPath.substr(slash + 1);
}

bool FakeFileSystem::IsMalformed(const std::string& cleanPath) {
    if (cleanPath.find_first_of("<>|\"") != std::string::npos) return true;
    const std::size_t colon = cleanPath.find(':');
    return colon != std::string::npos && colon != 1;
}

FakeFileSystem::Entry* FakeFileSystem::Find(const std::string& path) {
    return const_cast<Entry*>(std::as_const(*this).Find(path));
}

const FakeFileSystem::Entry* FakeFileSystem::Find(const std::string& path) const {
    const std::string folded = FoldCase(Clean(path));
    if (folded.empty()) return nullptr;
    for (const auto& entry : entries_) {
        if (entry.folded == folded) return &entry;
    }
    return nullptr;
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
            continue;
        }
        Entry folder;
        folder.path = part;
        folder.folded = FoldCase(part);
        folder.folder = true;
        entries_.push_back(std::move(folder));
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

bool FakeFileSystem::NormalFileExists(const std::string& path) {
    const std::string clean = Clean(path);
    if (clean.empty() || IsMalformed(clean)) return false;
    const std::string parent = ParentOf(clean);
    const std::string name = NameOf(clean);
    if (HasWildcard(parent)) return false;
    if (HasWildcard(name)) return !ListNormalFiles(parent, name).empty();
    const Entry* entry = Find(clean);
    return entry && !entry->folder && (entry->attributes & kNotNormal) == 0;
}

std::vector<std::string> FakeFileSystem::ListNormalFiles(const std::string& folder,
                                                         const std::string& pattern) {
    std::vector<std::string> names;
    const Entry* dir = Find(folder);
    if (!dir || !dir->folder) return names;
    for (const auto& entry : entries_) {
        if (entry.folder || (entry.attributes & kNotNormal) != 0) continue;
        if (FoldCase(ParentOf(entry.path)) != dir->folded) continue;
        const std::string name = NameOf(entry.path);
        if (WildcardMatch(pattern, name)) names.push_back(name);
    }
    return names;
}

std::optional<FileDetails> FakeFileSystem::GetDetails(const std::string& path) {
    const Entry* entry = Find(path);
    if (!entry || entry->folder) return std::nullopt;
    return entry->details;
}

bool FakeFileSystem::MoveFileNoReplace(const std::string& from, const std::string& to) {
    if (Fails(FileFault::Move, from) || Fails(FileFault::Move, to)) return false;
    const Entry* source = Find(from);
    const std::string target = Clean(to);
    if (!source || source->folder || target.empty() || IsMalformed(target) || Find(target)) {
        return false;
    }
    const Entry* parent = Find(ParentOf(target));
    if (!parent || !parent->folder) return false;
    Entry moved = *source;
    moved.path = target;
    moved.folded = FoldCase(target);
    entries_.erase(entries_.begin() + (source - entries_.data()));
    entries_.push_back(std::move(moved));
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
    if (!source || source->folder || target.empty() || IsMalformed(target)) return false;
    const Entry* parent = Find(ParentOf(target));
    if (!parent || !parent->folder) return false;
    Entry copy = *source;
    copy.path = target;
    copy.folded = FoldCase(target);
    if (Entry* existing = Find(target)) {
        // Windows refuses to overwrite read-only or hidden files.
        if (existing == source || existing->folder || failIfExists ||
            (existing->attributes & (FileAttr::ReadOnly | FileAttr::Hidden)) != 0) {
            return false;
        }
        *existing = std::move(copy);
        return true;
    }
    entries_.push_back(std::move(copy));
    return true;
}

bool FakeFileSystem::CreateFolderPath(const std::string& path) {
    if (Fails(FileFault::CreateFolder, path)) return false;
    const std::string clean = Clean(path);
    if (clean.empty() || IsMalformed(clean) || HasWildcard(clean)) return false;
    return MakeFolders(clean) && FolderExists(clean);
}

bool FakeFileSystem::HideFolder(const std::string& path) {
    if (Fails(FileFault::HideFolder, path)) return false;
    Entry* entry = Find(path);
    if (!entry || !entry->folder) return false;
    entry->attributes |= FileAttr::Hidden | FileAttr::System;
    return true;
}

bool FakeFileSystem::FolderExists(const std::string& path) {
    const Entry* entry = Find(path);
    return entry && entry->folder;
}

std::optional<std::vector<std::uint8_t>> FakeFileSystem::ReadSmallFile(const std::string& path,
                                                                       std::size_t maxBytes) {
    const Entry* entry = Find(path);
    if (!entry || entry->folder || entry->content.size() > maxBytes) return std::nullopt;
    return entry->content;
}

void FakeFileSystem::AddFile(const std::string& path, std::string content,
                             std::uint32_t attributes) {
    AddFile(path, std::vector<std::uint8_t>(content.begin(), content.end()), attributes);
}

void FakeFileSystem::AddFile(const std::string& path, std::vector<std::uint8_t> content,
                             std::uint32_t attributes) {
    const std::string clean = Clean(path);
    const std::string parent = ParentOf(clean);
    if (!parent.empty()) MakeFolders(parent);
    Entry file;
    file.path = clean;
    file.folded = FoldCase(clean);
    file.attributes = attributes;
    file.details = FileDetails{content.size(), kDefaultDate, kDefaultDate, kDefaultDate};
    file.content = std::move(content);
    if (Entry* existing = Find(clean)) {
        *existing = std::move(file);
    } else {
        entries_.push_back(std::move(file));
    }
}

void FakeFileSystem::AddFolder(const std::string& path, std::uint32_t attributes) {
    const std::string clean = Clean(path);
    MakeFolders(clean);
    if (Entry* entry = Find(clean)) entry->attributes = attributes;
}

void FakeFileSystem::SetDetails(const std::string& path, const FileDetails& details) {
    if (Entry* entry = Find(path)) entry->details = details;
}

void FakeFileSystem::Remove(const std::string& path) {
    const std::string folded = FoldCase(Clean(path));
    if (folded.empty()) return;
    std::erase_if(entries_, [&](const Entry& e) { return IsUnder(e.folded, folded); });
}

bool FakeFileSystem::Exists(const std::string& path) const { return Find(path) != nullptr; }

bool FakeFileSystem::IsFolder(const std::string& path) const {
    const Entry* entry = Find(path);
    return entry && entry->folder;
}

std::string FakeFileSystem::Content(const std::string& path) const {
    const Entry* entry = Find(path);
    if (!entry || entry->folder) return std::string();
    return std::string(entry->content.begin(), entry->content.end());
}

std::uint32_t FakeFileSystem::Attributes(const std::string& path) const {
    const Entry* entry = Find(path);
    return entry ? entry->attributes : 0;
}

std::vector<std::string> FakeFileSystem::AllFiles(const std::string& folder) const {
    std::vector<std::string> names;
    const std::string folded = FoldCase(Clean(folder));
    for (const auto& entry : entries_) {
        if (!entry.folder && FoldCase(ParentOf(entry.path)) == folded) {
            names.push_back(NameOf(entry.path));
        }
    }
    return names;
}

void FakeFileSystem::Fail(FileFault fault, const std::string& path) {
    faults_.insert({fault, FoldCase(Clean(path))});
}

void FakeFileSystem::ClearFailures() { faults_.clear(); }

}  // namespace dovoviza::test
