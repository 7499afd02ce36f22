#include <windows.h>

#include "platform/win32/Win32ChangeWatcher.h"

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace dovoviza::win32 {
namespace {

// "A\B\C" -> "A\B"; "A" -> "" (the root).
std::string ParentOf(const std::string& path) {
    const auto cut = path.find_last_of('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// "C:" names the current folder of the drive; its root is "C:\".
std::string FolderName(std::string path) {
    if (path.size() == 2 && path[1] == ':') path += '\\';
    return path;
}

bool Signalled(HANDLE handle) { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }

// The key itself, for its values and subkeys, and its nearest existing
// parent, for the key's creation and deletion. Every signal sets both again
// from the path, since the key may be a new one by then.
class KeyWatch final : public IChangeWatch {
public:
    KeyWatch(Hive hive, std::string path) : hive_(hive), path_(std::move(path)) {}

    bool Arm() {
        armed_ = ArmBoth();
        return armed_;
    }

    bool Changed() override {
        const bool signalled = !armed_ || Signalled(keyEvent_.get()) || Signalled(parentEvent_.get());
        if (signalled) Arm();
        return signalled;
    }

private:
    bool ArmOne(const std::string& path, DWORD filter, UniqueHKey& key, UniqueHandle& event) {
        key.reset();
        const HKEY root = hive_ == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        if (RegOpenKeyExW(root, Wide(path).c_str(), 0, KEY_NOTIFY | KEY_WOW64_64KEY, key.put()) !=
            ERROR_SUCCESS)
            return false;
        if (!event) event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!event || !ResetEvent(event.get())) return false;
        return RegNotifyChangeKeyValue(key.get(), FALSE, filter, event.get(), TRUE) == ERROR_SUCCESS;
    }

    bool ArmBoth() {
        const bool exists = ArmOne(path_, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, key_,
                                   keyEvent_);
        if (!exists) {
            key_.reset();
            keyEvent_.reset();
        }
        // The parent: the nearest key above that opens.
        std::string parent = path_;
        while (!parent.empty()) {
            parent = ParentOf(parent);
            if (ArmOne(parent, REG_NOTIFY_CHANGE_NAME, parentKey_, parentEvent_)) return true;
        }
        return false;
    }

    Hive hive_;
    std::string path_;
    UniqueHKey key_, parentKey_;
    UniqueHandle keyEvent_, parentEvent_;
    bool armed_ = false;
};

struct ChangeNotificationTraits {
    using Type = HANDLE;
    static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Type h) noexcept { static_cast<void>(FindCloseChangeNotification(h)); }
};
using UniqueChangeNotification = UniqueResource<ChangeNotificationTraits>;

// The folder's files, and the nearest existing folder above it for the
// folder's own name.
class FolderWatch final : public IChangeWatch {
public:
    explicit FolderWatch(std::string path) : path_(std::move(path)) {
        while (!path_.empty() && path_.back() == '\\') path_.pop_back();
    }

    bool Arm() {
        folder_.reset(FindFirstChangeNotificationW(
            Wide(FolderName(path_)).c_str(), FALSE,
            FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                FILE_NOTIFY_CHANGE_LAST_WRITE));
        parent_.reset();
        std::string parent = path_;
        while (!parent_ && parent.find('\\') != std::string::npos) {
            parent = ParentOf(parent);
            parent_.reset(FindFirstChangeNotificationW(Wide(FolderName(parent)).c_str(), FALSE,
                                                       FILE_NOTIFY_CHANGE_DIR_NAME));
        }
        armed_ = static_cast<bool>(parent_) || static_cast<bool>(folder_);
        return armed_;
    }

    bool Changed() override {
        const bool signalled = !armed_ || (folder_ && Signalled(folder_.get())) ||
                               (parent_ && Signalled(parent_.get()));
        if (signalled) Arm();
        return signalled;
    }

private:
    std::string path_;
    UniqueChangeNotification folder_, parent_;
    bool armed_ = false;
};

}  // namespace

std::unique_ptr<IChangeWatch> Win32ChangeWatcher::WatchKey(Hive hive, const std::string& path) {
    auto watch = std::make_unique<KeyWatch>(hive, path);
    if (!watch->Arm()) return nullptr;
    return watch;
}

std::unique_ptr<IChangeWatch> Win32ChangeWatcher::WatchFolder(const std::string& path) {
    auto watch = std::make_unique<FolderWatch>(path);
    if (!watch->Arm()) return nullptr;
    return watch;
}

}  // namespace dovoviza::win32
