#pragma once
// Reading the startup locations into rows: the main list's loads (every column,
// with icons) and the monitor's scans (the columns it compares, nothing costly).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue/FileDetails.h"
#include "catalogue/StartupApproved.h"
#include "catalogue/StartupItem.h"
#include "catalogue/StartupLocation.h"
#include "platform/Icons.h"
#include "platform/Platform.h"

namespace dovoviza {

// The texts a load writes into rows: the not-found word for a registry entry
// whose program is missing, and the status word of a disabled entry.
struct StatusWords {
    std::string notFound;
    std::string disabled;
    std::string skippedByWindows = {};  // a live entry whose Windows flag says not to start it
};

enum class RowDetail {
    Full,  // the main list: size, dates, Location, icon and Windows' flags too
    Scan,  // the monitor: name, value, section, status, version strings, program path
    Rows,  // the main list's first pass: Full without what FillDetails adds later
};

// Everything one load or scan works with.
struct LoadContext {
    const Platform& platform;
    FileInfoClass& fileInfo;
    const StartupFolderPaths& folders;
    StatusWords words;
    RowDetail detail = RowDetail::Full;
    IIconList* icons = nullptr;  // Full loads only; nullptr draws no icons
    // The rows of the same store as last read, when nothing but a change of
    // its values can have changed them: the row of a value read again as it
    // was is taken over from here (left empty) instead of looking at its
    // program file again.
    std::vector<StartupItem>* previous = nullptr;
};

// Marks a live row that Windows' flag tells not to start, with the given status word.
void MarkSkipped(const ApprovedFlags& flags, const std::string& word, StartupItem& row);

// Adds the version strings, size, dates, Location text and icon to a row read
// with RowDetail::Rows, given its program file's details (nothing: no such file).
void FillDetails(const LoadContext& context, StartupItem& row,
                 const std::optional<FileDetails>& file);

// What a registry value's row is made of: its name, type and data as text.
struct ValueText {
    std::string_view name;
    std::uint32_t type;
    std::string_view text;
    bool operator==(const ValueText&) const = default;
};
struct ValueTextHash {
    std::size_t operator()(const ValueText& value) const noexcept {
        const std::hash<std::string_view> hash;
        return (hash(value.name) * 1000003u ^ hash(value.text)) + value.type;
    }
};

// Reads one store an entry at a time, so that a long read can stop between
// entries and go on later.
class StoreCursor {
public:
    StoreCursor(const LoadContext& context, const StoreRead& read);
    // Appends the next entry's row; false when the store has no more.
    bool Next(std::vector<StartupItem>& rows);
    // Rows taken over from the previous ones so far.
    std::size_t Reused() const { return reused_; }

private:
    bool NextValue(std::vector<StartupItem>& rows);
    bool NextFile(std::vector<StartupItem>& rows);

    const LoadContext& context_;
    StoreRead read_;
    std::unique_ptr<IRegKey> key_;
    std::vector<std::string> names_;  // a folder's files
    std::string storeFolder_;
    std::uint32_t count_ = 0;
    std::uint32_t next_ = 0;
    std::optional<ApprovedFlags> flags_;
    std::unordered_map<ValueText, StartupItem*, ValueTextHash> previous_;
    std::size_t reused_ = 0;
};

// The user's and the common Startup folder as the shell names them.
StartupFolderPaths ResolveStartupFolders(IShell& shell);

// Creates the two "-Disabled" twins beside the Startup folders and hides them.
// A folder that could not be found is left alone.
void PrepareDisabledFolders(IFileSystem& files, const StartupFolderPaths& folders);

// The normal files of a folder matching the pattern, in listing order.
std::vector<std::string> ListFolderFiles(IFileSystem& files, const std::string& folder,
                                         const std::string& pattern);

// Appends one row per entry of one store; returns how many were taken over
// from the context's previous rows.
std::size_t LoadStore(const LoadContext& context, const StoreRead& read, std::vector<StartupItem>& rows);

// All twenty stores in their fixed order.
std::vector<StartupItem> LoadAllLocations(const LoadContext& context);

}  // namespace dovoviza
