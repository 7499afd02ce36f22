#include <windows.h>

#include "platform/win32/ReadAheadRegistry.h"

#include <utility>

#include "platform/win32/WideText.h"

namespace dovoviza::win32 {
namespace {

bool Signalled(HANDLE event) { return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

// A key whose values come from the copy read ahead; the rest from the key itself.
class ReadAheadKey final : public ForwardingRegKey {
public:
    ReadAheadKey(std::unique_ptr<IRegKey> key, std::shared_ptr<const ReadAheadRegistry::Values> values)
        : ForwardingRegKey(std::move(key)), values_(std::move(values)) {}

    std::optional<std::uint32_t> ValueCount() override { return static_cast<std::uint32_t>(values_->size()); }
    std::optional<RegValue> EnumValue(std::uint32_t index) override {
        if (index >= values_->size()) return std::nullopt;
        return (*values_)[index];
    }

private:
    std::shared_ptr<const ReadAheadRegistry::Values> values_;
};

}  // namespace

ReadAheadRegistry::ReadAheadRegistry(IRegistry& registry)
    : registry_(registry),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

ReadAheadRegistry::~ReadAheadRegistry() {
    if (thread_.joinable()) {
        static_cast<void>(SetEvent(stop_.get()));
        thread_.join();
    }
}

void ReadAheadRegistry::Keep(Hive hive, const std::string& path) {
    if (thread_.joinable()) return;
    auto kept = std::make_unique<Kept>();
    kept->hive = hive;
    kept->path = path;
    kept->event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (kept->event) kept_.push_back(std::move(kept));
}

bool ReadAheadRegistry::Start() {
    if (thread_.joinable() || !stop_ || !wake_ || kept_.empty()) return false;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void ReadAheadRegistry::Arm(Kept& kept) {
    // Set again before each read, so that a change made while the key is read
    // is seen and the copy read again; opened afresh, since the key may have
    // been deleted and made again.
    kept.key.reset();
    const HKEY root = kept.hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    if (RegOpenKeyExW(root, Wide(kept.path).c_str(), 0, KEY_NOTIFY | KEY_WOW64_64KEY, kept.key.put()) !=
        ERROR_SUCCESS) {
        kept.key.reset();
    }
    kept.armed = kept.key && ResetEvent(kept.event.get()) &&
                 RegNotifyChangeKeyValue(kept.key.get(), FALSE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                         kept.event.get(), TRUE) == ERROR_SUCCESS;
    if (!kept.armed) kept.key.reset();
}

void ReadAheadRegistry::Refresh(Kept& kept) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        kept.current = false;
    }
    Arm(kept);
    if (!kept.armed) return;
    auto values = std::make_shared<Values>();
    const auto key = registry_.OpenKey(kept.hive, kept.path, false);
    const auto stamp = key ? key->ReadStamp() : std::nullopt;
    if (!stamp) return;
    for (std::uint32_t i = 0; i < stamp->values; ++i) {
        auto value = key->EnumValue(i);
        if (!value) return;  // gone while we read: the change is signalled
        values->push_back(std::move(*value));
    }
    const std::lock_guard<std::mutex> hold(lock_);
    // A change while we read makes this copy old before it is used.
    if (Signalled(kept.event.get()) || key->ReadStamp() != stamp) return;
    kept.values = std::move(values);
    kept.stamp = *stamp;
    kept.current = true;
}

void ReadAheadRegistry::Run() {
    for (auto& kept : kept_) Refresh(*kept);
    for (;;) {
        // A key that was missing, or whose copy a reader found old, is read
        // again when the reader says so.
        std::vector<HANDLE> events{stop_.get(), wake_.get()};
        for (const auto& kept : kept_) {
            if (kept->armed) events.push_back(kept->event.get());
        }
        // One wait takes at most MAXIMUM_WAIT_OBJECTS handles; the stores are far fewer.
        if (events.size() > MAXIMUM_WAIT_OBJECTS) events.resize(MAXIMUM_WAIT_OBJECTS);
        const DWORD woke = WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) return;
        for (auto& kept : kept_) {
            bool current = false;
            {
                const std::lock_guard<std::mutex> hold(lock_);
                current = kept->current;
            }
            if (!kept->armed || !current || Signalled(kept->event.get())) Refresh(*kept);
        }
    }
}

std::unique_ptr<IRegKey> ReadAheadRegistry::OpenKey(Hive hive, const std::string& path, bool writable) {
    auto key = registry_.OpenKey(hive, path, writable);
    if (!key || !thread_.joinable()) return key;
    for (const auto& kept : kept_) {
        if (kept->hive != hive || kept->path != path) continue;
        std::shared_ptr<const Values> values;
        const auto stamp = key->ReadStamp();
        {
            const std::lock_guard<std::mutex> hold(lock_);
            // Signalled: changed, and the thread has not read it again yet. A
            // key deleted and made again need not signal: its stamp differs.
            if (kept->current && !Signalled(kept->event.get()) && stamp == kept->stamp) {
                values = kept->values;
            } else {
                kept->current = false;  // read again by the thread
            }
        }
        if (values) return std::make_unique<ReadAheadKey>(std::move(key), std::move(values));
        static_cast<void>(SetEvent(wake_.get()));
        break;
    }
    return key;
}

std::unique_ptr<IRegKey> ReadAheadRegistry::CreateKey(Hive hive, const std::string& path) {
    return registry_.CreateKey(hive, path);
}

bool ReadAheadRegistry::KeyExists(Hive hive, const std::string& path) { return registry_.KeyExists(hive, path); }

}  // namespace dovoviza::win32
