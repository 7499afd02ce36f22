#include "monitor/ScanList.h"

#include "catalogue/Loaders.h"

namespace dovoviza {

std::vector<StartupItem> LoadCheckInfo(const Platform& platform, FileInfoClass& fileInfo,
                                       const StartupFolderPaths& folders, ITexts& texts) {
    return LoadAllLocations(LoadContext{platform, fileInfo, folders,
                                        StatusWords{texts.Get(lang::kFileNotFound), texts.Get(lang::kDisabledWord)},
                                        RowDetail::Scan, nullptr});
}

}  // namespace dovoviza
