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

void FillFileColumns(const LoadContext& context, const std::optional<FileDetails>& details,
                     const std::string& locationText, StartupItem& row) {
    auto& columns = row.columns;
    if (details) {
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

void FillVersionColumns(FileInfoClass& info, const std::string& path,
                        const std::optional<FileDetails>& details, StartupItem& row) {
    info.SetFileName(path, details);
    row.columns[kColProductName] = info.ProductName;
    row.columns[kColDescription] = info.FileDescription;
    row.columns[kColCompany] = info.CompanyName;
    row.columns[kColVersion] = info.FileVersion;
}



// The details a row read with RowDetail::Rows lacks; a scan takes the version
// strings only.
void AddDetails(const LoadContext& context, StartupItem& row) {
    if (context.detail == RowDetail::Rows) return;
    const std::string& path = row.program;
    if (context.detail == RowDetail::Scan) {
        if (row.location->IsRegistry() || row.programFound) {
            FillVersionColumns(context.fileInfo, path, context.platform.files.GetDetails(path), row);
        }
        return;
    }
    FillDetails(context, row, context.platform.files.GetDetails(path));
}

}  // namespace

void MarkSkipped(const ApprovedFlags& flags, const std::string& word, StartupItem& row) {
    if (flags.Skipped(row.storedName)) {
        row.skippedByWindows = true;
        row.columns[kColStatus] = word;
    }
}

void FillDetails(const LoadContext& context, StartupItem& row, const std::optional<FileDetails>& file) {
    const std::string& path = row.program;
    const bool registry = row.location->IsRegistry();
    // A registry entry's program may be a bare name found through the search
    // path; a folder entry's strings come from the file it starts, when it is there.
    if (registry || row.programFound) FillVersionColumns(context.fileInfo, path, file, row);
    if (row.programFound) {
        FillFileColumns(context, file,
                        registry ? std::string(row.location->locationText)
                                 : context.folders.Enabled(row.location->folder),
                        row);
    }
    if (context.icons != nullptr) row.icon = context.icons->AddFileIcon(path);
    row.detailsFilled = true;
}

StoreCursor::StoreCursor(const LoadContext& context, const StoreRead& read)
    : context_(context), read_(read) {
    const StartupLocation& location = *read.location;
    if (location.IsRegistry()) {
        key_ = OpenRegKey(context.platform.registry, location.hive, std::string(location.StoreKey(read.disabled)));
        count_ = CountRegEntries(key_.get(), 0);
        if (context.previous != nullptr) {
            for (StartupItem& row : *context.previous) {
                previous_.emplace(ValueText{row.storedName, row.valueType, row.Value()}, &row);
            }
        }
    } else {
        const std::string& enabled = context.folders.Enabled(location.folder);
        // A Startup folder the shell could not name is an empty location, not
        // the root of the current drive.
        if (!enabled.empty()) {
            storeFolder_ = read.disabled ? context.folders.Disabled(location.folder) : enabled + "\\";
            names_ = ListFolderFiles(context.platform.files, storeFolder_, "*.*");
            count_ = static_cast<std::uint32_t>(names_.size());
        }
    }
    // Windows' flags of a live store, read for the main list only: the
    // watchdog compares nothing they change.
    if (count_ > 0 && !read.disabled && context.detail != RowDetail::Scan) {
        flags_.emplace(context.platform.registry, context.platform.system, location);
    }
}

bool StoreCursor::Next(std::vector<StartupItem>& rows) {
    while (next_ < count_) {
        const bool added = read_.location->IsRegistry() ? NextValue(rows) : NextFile(rows);
        ++next_;
        if (added) return true;
    }
    return false;
}

bool StoreCursor::NextValue(std::vector<StartupItem>& rows) {
    // The value is read by index, whole: looking it up again by its display
    // name would miss a name with leading blanks.
    const auto value = EnumRegValue(key_.get(), next_);
    if (!value) return false;
    const StartupLocation& location = *read_.location;
    const std::string text = RegDataText(*value);
    if (!previous_.empty()) {
        const auto known = previous_.find(ValueText{value->name, value->type, text});
        if (known != previous_.end()) {
            // A store holds a name once: the row is taken over, its key
            // (which points into it) dropped first.
            StartupItem* const row = known->second;
            previous_.erase(known);
            rows.push_back(std::move(*row));
            ++reused_;
            return true;
        }
    }
    StartupItem row;
    row.storedName = value->name;
    row.columns[kColName] = TrimLeadingSpaces(CutAtNul(value->name));
    row.columns[kColValue] = text;
    row.columns[kColSection] = std::string(location.section);
    row.location = &location;
    row.disabled = read_.disabled;
    row.valueType = value->type;
    if (read_.disabled) row.columns[kColStatus] = context_.words.disabled;
    if (flags_) MarkSkipped(*flags_, context_.words.skippedByWindows, row);
    if (value->type == RegType::ExpandString) {
        row.expandedCommand = context_.platform.system.ExpandEnvironment(row.Value());
        if (row.expandedCommand == row.Value()) row.expandedCommand.clear();
    }
    // Logon starts only text values; any other type names no program.
    row.program = IsTextType(value->type) ? ProgramPathFromCommand(row.Command()) : std::string();
    row.programFound = FileExist(context_.platform.files, row.program);
    row.columns[kColProcessPath] = row.programFound ? row.program : context_.words.notFound;
    AddDetails(context_, row);
    rows.push_back(std::move(row));
    return true;
}

bool StoreCursor::NextFile(std::vector<StartupItem>& rows) {
    const StartupLocation& location = *read_.location;
    const std::string& name = names_[next_];
    StartupItem row;
    row.storedName = name;
    row.columns[kColName] = name;
    row.columns[kColValue] = context_.folders.Enabled(location.folder) + "\\" + name;
    row.columns[kColSection] = std::string(location.section);
    row.location = &location;
    row.disabled = read_.disabled;
    if (read_.disabled) row.columns[kColStatus] = context_.words.disabled;
    if (flags_) MarkSkipped(*flags_, context_.words.skippedByWindows, row);

    std::string path = storeFolder_ + name;
    if (EndsWithAsciiNoCase(path, ".lnk")) {
        if (auto target = context_.platform.shell.ReadShortcutTarget(path)) {
            path = context_.platform.system.ExpandEnvironment(*target);
        }
    }
    row.program = path;
    row.programFound = FileExist(context_.platform.files, path);
    row.columns[kColProcessPath] = row.programFound ? path : std::string();
    AddDetails(context_, row);
    rows.push_back(std::move(row));
    return true;
}
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

std::size_t LoadStore(const LoadContext& context, const StoreRead& read, std::vector<StartupItem>& rows) {
    StoreCursor cursor(context, read);
    while (cursor.Next(rows)) {
    }
    return cursor.Reused();
}

std::vector<StartupItem> LoadAllLocations(const LoadContext& context) {
    std::vector<StartupItem> rows;
    for (const StoreRead& read : CanonicalReads()) LoadStore(context, read, rows);
    return rows;
}

}  // namespace dovoviza
