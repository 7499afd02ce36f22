#pragma once
// A registry whose chosen keys have their values read ahead by a thread of
// its own: it reads a key again as soon as the key changes, so that listing
// a key of a thousand values costs the caller no trip to the registry per
// value. A key whose copy may be out of date is read from the registry as
// before; everything but listing values goes to the registry itself.

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Registry.h"
#include "platform/win32/Handles.h"

namespace dovoviza::win32 {

class ReadAheadRegistry final : public IRegistry {
public:
    explicit ReadAheadRegistry(IRegistry& registry);
    ~ReadAheadRegistry() override;
    ReadAheadRegistry(const ReadAheadRegistry&) = delete;
    ReadAheadRegistry& operator=(const ReadAheadRegistry&) = delete;

    // The keys to read ahead, all named before Start; a key that does not
    // exist yet is looked for again once a reader finds it there.
    void Keep(Hive hive, const std::string& path);
    // Starts the thread; false when it could not be started (every key is
    // then read from the registry).
    bool Start();

    std::unique_ptr<IRegKey> OpenKey(Hive hive, const std::string& path, bool writable) override;
    std::unique_ptr<IRegKey> CreateKey(Hive hive, const std::string& path) override;
    bool KeyExists(Hive hive, const std::string& path) override;

    using Values = std::vector<RegValue>;

private:
    struct Kept {
        Hive hive;
        std::string path;
        UniqueHKey key;       // opened for notification, while it exists
        UniqueHandle event;   // signalled by any change of the key
        bool armed = false;
        std::shared_ptr<const Values> values;  // as last read whole
        IRegKey::Stamp stamp;                  // the key's when they were read
        bool current = false;  // no change since `values` was read
    };
    void Run();
    void Arm(Kept& kept);
    void Refresh(Kept& kept);

    IRegistry& registry_;
    std::vector<std::unique_ptr<Kept>> kept_;
    std::mutex lock_;
    UniqueHandle stop_;
    UniqueHandle wake_;
    std::thread thread_;
};

}  // namespace dovoviza::win32
