#include "monitor/ScanList.h"

#include "catalogue/Loaders.h"

namespace dovoviza {

std::vector<ScanRow> LoadCheckInfo(const Platform& platform, FileInfoClass& fileInfo,
                                   const StartupFolderPaths& folders, ITexts& texts) {
    const LoadContext context{platform, fileInfo, folders,
                              StatusWords{texts.Text("Main", "36"), texts.Text("Main", "37")},
                              RowDetail::Scan, nullptr};
    std::vector<ScanRow> scan;
    std::vector<StartupItem> rows;
    for (const StoreRead& read : CanonicalReads()) {
        rows.clear();
        if (read.location->IsRegistry()) {
            LoadRegistryLocation(context, *read.location, read.disabled, rows);
        } else {
            LoadFolderLocation(context, *read.location, read.disabled, rows);
        }
        for (StartupItem& row : rows) {
            scan.push_back(ScanRow{std::move(row), read.location, read.disabled});
        }
    }
    return scan;
}

}  // namespace dovoviza
