#pragma once
// Change notifications from the registry (RegNotifyChangeKeyValue) and the
// file system (FindFirstChangeNotification), polled without waiting: Poll
// asks about up to 64 handles with one wait.

#include <memory>
#include <vector>

#include "platform/ChangeWatch.h"

namespace dovoviza::win32 {

class WatchBase;

class Win32ChangeWatcher final : public IChangeWatcher {
public:
    Win32ChangeWatcher();
    std::unique_ptr<IChangeWatch> WatchKey(Hive hive, const std::string& path) override;
    std::unique_ptr<IChangeWatch> WatchFolder(const std::string& path) override;
    void Poll() override;

private:
    // Shared with the watches, which may outlive the watcher.
    std::shared_ptr<std::vector<WatchBase*>> watches_;
};

}  // namespace dovoviza::win32
