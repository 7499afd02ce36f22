#include "history/Restore.h"

#include "catalogue/RegistryAccess.h"

namespace dovoviza {

namespace {

RestoreResult RestoreValue(const Platform& platform, const EntryRef& entry, const JournalRecord& record) {
    const auto type = RegTypeFromName(record.type);
    const auto bytes = HexBytes(record.data);
    if (!type || !bytes) return RestoreResult::CopyMissing;
    const RegValue value{record.name, *type, *bytes};
    const Hive hive = entry.location->hive;
    const auto there = ReadRegValue(platform.registry, hive, std::string(entry.location->StoreKey(entry.disabledStore)),
                                    record.name);
    if (there) return there->type == value.type && there->data == value.data ? RestoreResult::AlreadyThere
                                                                             : RestoreResult::Occupied;
    // Beside its twin in the other store it would be an entry twice.
    if (EntryExists(platform, StartupFolderPaths{}, OtherStore(entry))) return RestoreResult::Occupied;
    return WriteRegValue(platform.registry, hive, std::string(entry.location->StoreKey(entry.disabledStore)), value)
               ? RestoreResult::Restored
               : RestoreResult::Failed;
}

RestoreResult RestoreFile(const Platform& platform, const StartupFolderPaths& folders, const Journal& journal,
                          const EntryRef& entry, const JournalRecord& record) {
    const std::string target = EntryFilePath(folders, entry);
    if (target.empty()) return RestoreResult::Failed;
    const std::string copy = record.copy.empty() ? std::string() : journal.CopyPath(record.copy);
    if (copy.empty() || !platform.files.GetDetails(copy)) return RestoreResult::CopyMissing;
    if (platform.files.GetDetails(target) || platform.files.FolderExists(target) ||
        EntryExists(platform, folders, OtherStore(entry))) {
        return RestoreResult::Occupied;
    }
    return platform.files.CopyFileTo(copy, target, true) ? RestoreResult::Restored : RestoreResult::Failed;
}

}  // namespace

bool Restorable(const JournalRecord& record) {
    return (record.action == "deleted" || record.action == "kept-disabled") && FindLocation(record.place) != nullptr;
}

RestoreResult Restore(const Platform& platform, const StartupFolderPaths& folders, Journal& journal,
                      const JournalRecord& record) {
    if (!Restorable(record)) return RestoreResult::NotRestorable;
    const EntryRef entry{FindLocation(record.place), record.store == "disabled", record.name};
    const RestoreResult result = entry.location->IsRegistry()
                                     ? RestoreValue(platform, entry, record)
                                     : RestoreFile(platform, folders, journal, entry, record);
    if (result == RestoreResult::Restored) {
        JournalRecord restored = record;
        restored.action = "restored";
        restored.reason.clear();
        journal.Write(std::move(restored));
    }
    return result;
}

}  // namespace dovoviza
