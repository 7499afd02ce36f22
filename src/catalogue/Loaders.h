#pragma once
// Reading the startup locations into rows: the main list's loads (every column,
// with icons) and the monitor's scans (the columns it compares, nothing costly).

#include <string>
#include <vector>

#include "catalogue/FileDetails.h"
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
};

// Everything one load or scan works with.
struct LoadContext {
    const Platform& platform;
    FileInfoClass& fileInfo;
    const StartupFolderPaths& folders;
    StatusWords words;
    RowDetail detail = RowDetail::Full;
    IIconList* icons = nullptr;  // Full loads only; nullptr draws no icons
};

// The user's and the common Startup folder as the shell names them.
StartupFolderPaths ResolveStartupFolders(IShell& shell);

// Creates the two "-Disabled" twins beside the Startup folders and hides them.
// A folder that could not be found is left alone.
void PrepareDisabledFolders(IFileSystem& files, const StartupFolderPaths& folders);

// The normal files of a folder matching the pattern, in listing order.
std::vector<std::string> ListFolderFiles(IFileSystem& files, const std::string& folder,
                                         const std::string& pattern);

// Appends one row per value of a registry store.
void LoadRegistryLocation(const LoadContext& context, const StartupLocation& location,
                          bool disabledStore, std::vector<StartupItem>& rows);

// Appends one row per normal file of a Startup folder or its twin.
void LoadFolderLocation(const LoadContext& context, const StartupLocation& location,
                        bool disabledStore, std::vector<StartupItem>& rows);

// Appends one row per entry of one store.
void LoadStore(const LoadContext& context, const StoreRead& read, std::vector<StartupItem>& rows);

// All twenty stores in their fixed order.
std::vector<StartupItem> LoadAllLocations(const LoadContext& context);

}  // namespace dovoviza
