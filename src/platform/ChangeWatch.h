#pragma once
// Change notifications: the watchdog asks each store's watch whether anything
// changed instead of reading every store on every tick.

#include <memory>
#include <string>

#include "platform/Registry.h"

namespace dovoviza {

class IChangeWatch {
public:
    virtual ~IChangeWatch() = default;
    // True when what is watched may have changed since the watch was set or
    // last asked; the watch is set again before it answers, so that a change
    // made while the caller reads is reported next time. A watch that lost
    // its hold answers true every time.
    virtual bool Changed() = 0;
};

class IChangeWatcher {
public:
    virtual ~IChangeWatcher() = default;
    // A key's values and subkeys and the key's own creation or deletion; a key
    // that does not exist yet is watched through its nearest existing parent.
    // nullptr when no watch can be set.
    virtual std::unique_ptr<IChangeWatch> WatchKey(Hive hive, const std::string& path) = 0;
    // A folder's files (names, attributes, size, last write) and the folder's
    // own name; a folder that does not exist yet is watched through its
    // nearest existing parent. nullptr when no watch can be set.
    virtual std::unique_ptr<IChangeWatch> WatchFolder(const std::string& path) = 0;
    // Looks at all the watches at once, so that until the next Poll each one
    // that saw nothing answers Changed() without asking the system again.
    virtual void Poll() {}
};

}  // namespace dovoviza
