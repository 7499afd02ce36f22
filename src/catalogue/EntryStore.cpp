#include "catalogue/EntryStore.h"

#include "catalogue/RegistryAccess.h"

namespace dovoviza {

namespace {

std::string KeyPath(const EntryRef& entry) {
    return std::string(entry.location->StoreKey(entry.disabledStore));
}

MoveResult MoveRegistryValue(const Platform& platform, const EntryRef& from) {
    IRegistry& registry = platform.registry;
    const Hive hive = from.location->hive;
    const EntryRef to = OtherStore(from);
    const auto value = ReadRegValue(registry, hive, KeyPath(from), from.storedName);
    if (!value) return MoveResult::SourceMissing;
    if (ReadRegValue(registry, hive, KeyPath(to), from.storedName)) return MoveResult::TargetExists;
    if (!WriteRegValue(registry, hive, KeyPath(to), *value)) return MoveResult::Failed;
    if (!DeleteRegValue(registry, hive, KeyPath(from), from.storedName)) {
        // Both stores would hold it now; take the copy back so nothing changed.
        DeleteRegValue(registry, hive, KeyPath(to), from.storedName);
        return MoveResult::Failed;
    }
    return MoveResult::Moved;
}

MoveResult MoveFolderFile(const Platform& platform, const StartupFolderPaths& folders,
                          const EntryRef& from) {
    IFileSystem& files = platform.files;
    const std::string source = EntryFilePath(folders, from);
    const std::string target = EntryFilePath(folders, OtherStore(from));
    if (source.empty() || target.empty()) return MoveResult::Failed;
    if (!files.GetDetails(source)) return MoveResult::SourceMissing;
    if (files.FolderExists(target)) return MoveResult::TargetIsFolder;
    if (files.GetDetails(target)) return MoveResult::TargetExists;
    switch (files.MoveFileNoReplace(source, target).error) {
        case FileError::None: return MoveResult::Moved;
        case FileError::InUse: return MoveResult::InUse;
        case FileError::AccessDenied: return MoveResult::AccessDenied;
        case FileError::Exists: return MoveResult::TargetExists;
        case FileError::Other: break;
    }
    return MoveResult::Failed;
}

}  // namespace

const char* MoveResultName(MoveResult result) {
    switch (result) {
        case MoveResult::Moved: return "moved";
        case MoveResult::TargetExists: return "target exists";
        case MoveResult::TargetIsFolder: return "a folder is in the way";
        case MoveResult::SourceMissing: return "no longer in its store";
        case MoveResult::InUse: return "file in use";
        case MoveResult::AccessDenied: return "access denied";
        case MoveResult::Failed: break;
    }
    return "refused";
}

EntryRef OtherStore(const EntryRef& entry) {
    return EntryRef{entry.location, !entry.disabledStore, entry.storedName};
}

std::string StoreText(const StartupFolderPaths& folders, const EntryRef& entry) {
    if (entry.location == nullptr) return {};
    const StartupLocation& location = *entry.location;
    if (location.IsRegistry()) {
        return std::string(location.locationText) + (entry.disabledStore ? "-Disabled" : "");
    }
    if (!entry.disabledStore) return folders.Enabled(location.folder);
    std::string folder = folders.Disabled(location.folder);
    if (!folder.empty()) folder.pop_back();
    return folder;
}

std::string EntryFilePath(const StartupFolderPaths& folders, const EntryRef& entry) {
    if (entry.location == nullptr || entry.location->IsRegistry()) return {};
    const std::string& enabled = folders.Enabled(entry.location->folder);
    if (enabled.empty()) return {};
    return entry.disabledStore ? folders.Disabled(entry.location->folder) + entry.storedName
                               : enabled + "\\" + entry.storedName;
}

bool EntryExists(const Platform& platform, const StartupFolderPaths& folders, const EntryRef& entry) {
    if (entry.location == nullptr) return false;
    if (entry.location->IsRegistry()) {
        return ReadRegValue(platform.registry, entry.location->hive, KeyPath(entry),
                            entry.storedName)
            .has_value();
    }
    const std::string path = EntryFilePath(folders, entry);
    return !path.empty() && platform.files.GetDetails(path).has_value();
}

MoveResult MoveEntry(const Platform& platform, const StartupFolderPaths& folders,
                     const EntryRef& entry) {
    if (entry.location == nullptr) return MoveResult::Failed;
    return entry.location->IsRegistry() ? MoveRegistryValue(platform, entry)
                                        : MoveFolderFile(platform, folders, entry);
}

bool DeleteEntry(const Platform& platform, const StartupFolderPaths& folders, const EntryRef& entry) {
    if (entry.location == nullptr) return false;
    if (entry.location->IsRegistry()) {
        return DeleteRegValue(platform.registry, entry.location->hive, KeyPath(entry),
                              entry.storedName);
    }
    const std::string path = EntryFilePath(folders, entry);
    return !path.empty() && platform.files.RemoveFile(path);
}

bool DeleteEntryOrGone(const Platform& platform, const StartupFolderPaths& folders,
                       const EntryRef& entry) {
    return DeleteEntry(platform, folders, entry) || !EntryExists(platform, folders, entry);
}

}  // namespace dovoviza
