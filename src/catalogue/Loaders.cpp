#include "catalogue/Loaders.h"

#include <cstdint>

#include "catalogue/RegistryAccess.h"
#include "catalogue/StartupApproved.h"
#include "platform/Text.h"

namespace dovoviza {

namespace {

// A signed 32-bit byte count was all the list ever showed; larger files leave
// the column empty rather than showing a wrapped number.
constexpr std::uint64_t kLargestShownSize = 0x7FFFFFFF;

void FillFileColumns(const LoadContext& context, const std::string& path,
                     const std::string& locationText, StartupItem& row) {
    auto& columns = row.columns;
    columns[kColProcessPath] = path;
    if (context.detail != RowDetail::Full) return;
    if (const auto details = context.platform.files.GetDetails(path)) {
        if (details->size <= kLargestShownSize) {
            columns[kColFileSize] = FormatFileSize(static_cast<std::int64_t>(details->size),
                                                   context.platform.system.DecimalSymbol());
        }
        columns[kColDateCreated] = DateTimeText(context.platform.system, details->created);
        columns[kColDateAccessed] = DateTimeText(context.platform.system, details->accessed);
        columns[kColDateModified] = DateTimeText(context.platform.system, details->modified);
    }
    columns[kColLocation] = locationText;
}

void FillVersionColumns(FileInfoClass& info, const std::string& path, StartupItem& row) {
    info.SetFileName(path);
    row.columns[kColProductName] = info.ProductName;
    row.columns[kColDescription] = info.FileDescription;
    row.columns[kColCompany] = info.CompanyName;
    row.columns[kColVersion] = info.FileVersion;
}

// Windows' flags of a live store, read for the main list only: the watchdog
// compares nothing they change.
std::optional<ApprovedFlags> FlagsOf(const LoadContext& context, const StartupLocation& location,
                                     bool disabledStore) {
    if (disabledStore || context.detail != RowDetail::Full) return std::nullopt;
    return ApprovedFlags(context.platform.registry, context.platform.system, location);
}

void MarkSkipped(const LoadContext& context, const std::optional<ApprovedFlags>& flags,
                 StartupItem& row) {
    if (flags && flags->Skipped(row.storedName)) {
        row.skippedByWindows = true;
        row.columns[kColStatus] = context.words.skippedByWindows;
    }
}

void AddIcon(const LoadContext& context, const std::string& path, StartupItem& row) {
    if (context.detail == RowDetail::Full && context.icons != nullptr) {
        row.icon = context.icons->AddFileIcon(path);
    }
}

}  // namespace

StartupFolderPaths ResolveStartupFolders(IShell& shell) {
    return StartupFolderPaths::FromEnabled(shell.StartupFolder(StartupFolderKind::User),
                                           shell.StartupFolder(StartupFolderKind::Common));
}

void PrepareDisabledFolders(IFileSystem& files, const StartupFolderPaths& folders) {
    for (const auto kind : {StartupFolderKind::User, StartupFolderKind::Common}) {
        if (folders.Enabled(kind).empty()) continue;
        const std::string& twin = folders.Disabled(kind);
        if (files.CreateFolderPath(twin)) files.HideFolder(twin);
    }
}

std::vector<std::string> ListFolderFiles(IFileSystem& files, const std::string& folder,
                                         const std::string& pattern) {
    std::string path = folder;
    if (path.empty() || path.back() != '\\') path += '\\';
    return files.ListNormalFiles(path, pattern);
}

void LoadRegistryLocation(const LoadContext& context, const StartupLocation& location,
                          bool disabledStore, std::vector<StartupItem>& rows) {
    const auto key = OpenRegKey(context.platform.registry, location.hive,
                                std::string(location.StoreKey(disabledStore)));
    const std::uint32_t count = CountRegEntries(key.get(), 0);
    const auto flags = count > 0 ? FlagsOf(context, location, disabledStore) : std::nullopt;
    for (std::uint32_t i = 0; i < count; ++i) {
        // The value is read by index, whole: looking it up again by its
        // display name would miss a name with leading blanks.
        const auto value = EnumRegValue(key.get(), i);
        if (!value) continue;
        StartupItem row;
        row.storedName = value->name;
        row.columns[kColName] = TrimLeadingSpaces(CutAtNul(value->name));
        row.columns[kColValue] = RegDataText(*value);
        row.columns[kColSection] = std::string(location.section);
        row.location = &location;
        row.disabled = disabledStore;
        row.valueType = value->type;
        if (disabledStore) row.columns[kColStatus] = context.words.disabled;
        MarkSkipped(context, flags, row);
        if (value->type == RegType::ExpandString) {
            row.expandedCommand = context.platform.system.ExpandEnvironment(row.Value());
            if (row.expandedCommand == row.Value()) row.expandedCommand.clear();
        }

        // Logon starts only text values; any other type names no program.
        const std::string path =
            IsTextType(value->type) ? ProgramPathFromCommand(row.Command()) : std::string();
        FillVersionColumns(context.fileInfo, path, row);
        row.program = path;
        row.programFound = FileExist(context.platform.files, path);
        if (row.programFound) {
            FillFileColumns(context, path, std::string(location.locationText), row);
        } else {
            row.columns[kColProcessPath] = context.words.notFound;
        }
        AddIcon(context, path, row);
        rows.push_back(std::move(row));
    }
}

void LoadFolderLocation(const LoadContext& context, const StartupLocation& location,
                        bool disabledStore, std::vector<StartupItem>& rows) {
    const std::string& enabled = context.folders.Enabled(location.folder);
    // A Startup folder the shell could not name is an empty location, not the
    // root of the current drive.
    if (enabled.empty()) return;
    const std::string storeFolder =
        disabledStore ? context.folders.Disabled(location.folder) : enabled + "\\";

    const std::vector<std::string> names = ListFolderFiles(context.platform.files, storeFolder, "*.*");
    const auto flags = names.empty() ? std::nullopt : FlagsOf(context, location, disabledStore);
    for (const std::string& name : names) {
        StartupItem row;
        row.storedName = name;
        row.columns[kColName] = name;
        row.columns[kColValue] = enabled + "\\" + name;
        row.columns[kColSection] = std::string(location.section);
        row.location = &location;
        row.disabled = disabledStore;
        if (disabledStore) row.columns[kColStatus] = context.words.disabled;
        MarkSkipped(context, flags, row);

        std::string path = storeFolder + name;
        if (EndsWithAsciiNoCase(path, ".lnk")) {
            if (auto target = context.platform.shell.ReadShortcutTarget(path)) {
                path = context.platform.system.ExpandEnvironment(*target);
            }
        }
        row.program = path;
        row.programFound = FileExist(context.platform.files, path);
        if (row.programFound) {
            FillVersionColumns(context.fileInfo, path, row);
            FillFileColumns(context, path, enabled, row);
        }
        AddIcon(context, path, row);
        rows.push_back(std::move(row));
    }
}

void LoadStore(const LoadContext& context, const StoreRead& read, std::vector<StartupItem>& rows) {
    if (read.location->IsRegistry()) {
        LoadRegistryLocation(context, *read.location, read.disabled, rows);
    } else {
        LoadFolderLocation(context, *read.location, read.disabled, rows);
    }
}

std::vector<StartupItem> LoadAllLocations(const LoadContext& context) {
    std::vector<StartupItem> rows;
    for (const StoreRead& read : CanonicalReads()) LoadStore(context, read, rows);
    return rows;
}

}  // namespace dovoviza
