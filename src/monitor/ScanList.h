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

// All twenty stores in their fixed order, columns 0 to 8 of each row (column
// 3 holds the disabled word for rows of a disabled store). The not-found and
// disabled words are read once per scan.
std::vector<StartupItem> LoadCheckInfo(const Platform& platform, FileInfoClass& fileInfo,
                                   const StartupFolderPaths& folders, ITexts& texts);

}  // namespace dovoviza
