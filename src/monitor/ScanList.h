#pragma once
// The monitor's fresh look at every startup store: the same entries the main
// list loads, with only the columns a comparison needs (0 to 8), rebuilt on
// every tick.

#include <vector>

#include "catalogue/FileDetails.h"
#include "catalogue/StartupItem.h"
#include "catalogue/StartupLocation.h"
#include "language/Texts.h"
#include "platform/Platform.h"

namespace dovoviza {

struct ScanRow {
    // Columns 0 to 8; column 3 ("Disabled") holds the disabled word for rows
    // of a disabled store.
    StartupItem item;
    const StartupLocation* location = nullptr;
    // Which store the entry sits in, known from where it was read: the status
    // word may be empty in a language file that lacks it.
    bool disabledStore = false;
};

// All twenty stores in their fixed order. The not-found and disabled words are
// read once per scan.
std::vector<ScanRow> LoadCheckInfo(const Platform& platform, FileInfoClass& fileInfo,
                                   const StartupFolderPaths& folders, ITexts& texts);

}  // namespace dovoviza
