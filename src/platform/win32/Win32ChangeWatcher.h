#pragma once
// Change notifications from the registry (RegNotifyChangeKeyValue) and the
// file system (FindFirstChangeNotification), polled without waiting.

#include "platform/ChangeWatch.h"

namespace dovoviza::win32 {

class Win32ChangeWatcher final : public IChangeWatcher {
public:
    std::unique_ptr<IChangeWatch> WatchKey(Hive hive, const std::string& path) override;
    std::unique_ptr<IChangeWatch> WatchFolder(const std::string& path) override;
};

}  // namespace dovoviza::win32
