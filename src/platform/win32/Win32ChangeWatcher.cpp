#include <windows.h>

#include "platform/win32/Win32ChangeWatcher.h"

#include <algorithm>
#include <utility>
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

}  // namespace

// What the watcher's Poll needs of a watch: its handles, and a place to say
// that none of them was signalled.
class WatchBase : public IChangeWatch {
public:
    explicit WatchBase(std::shared_ptr<std::vector<WatchBase*>> board) : board_(std::move(board)) {
        board_->push_back(this);
    }
    ~WatchBase() override {
        board_->erase(std::remove(board_->begin(), board_->end(), this), board_->end());
    }
    WatchBase(const WatchBase&) = delete;
    WatchBase& operator=(const WatchBase&) = delete;

    // Appends the handles to wait on; none while the watch has lost its hold.
    virtual void Handles(std::vector<HANDLE>& out) const = 0;
    void SetQuiet(bool quiet) { quiet_ = quiet; }

    bool Changed() final {
        // Told by the last Poll that nothing came: once, then ask again.
        if (std::exchange(quiet_, false)) return false;
        return Look();
    }

protected:
    virtual bool Look() = 0;

private:
    std::shared_ptr<std::vector<WatchBase*>> board_;
    bool quiet_ = false;
};

namespace {

// The key itself, for its values and subkeys, and its nearest existing
// parent, for the key's creation and deletion. Every signal sets both again
// from the path, since the key may be a new one by then.
class KeyWatch final : public WatchBase {
public:
    KeyWatch(std::shared_ptr<std::vector<WatchBase*>> board, Hive hive, std::string path)
        : WatchBase(std::move(board)), hive_(hive), path_(std::move(path)) {}

    bool Arm() {
        armed_ = ArmBoth();
        return armed_;
    }

    void Handles(std::vector<HANDLE>& out) const override {
        if (!armed_) return;
        if (keyEvent_) out.push_back(keyEvent_.get());
        out.push_back(parentEvent_.get());
    }

protected:
    bool Look() override {
        const bool signalled = !armed_ || (keyEvent_ && Signalled(keyEvent_.get())) ||
                               Signalled(parentEvent_.get());
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
class FolderWatch final : public WatchBase {
public:
    FolderWatch(std::shared_ptr<std::vector<WatchBase*>> board, std::string path)
        : WatchBase(std::move(board)), path_(std::move(path)) {
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

    void Handles(std::vector<HANDLE>& out) const override {
        if (!armed_) return;
        if (folder_) out.push_back(folder_.get());
        if (parent_) out.push_back(parent_.get());
    }

protected:
    bool Look() override {
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

Win32ChangeWatcher::Win32ChangeWatcher() : watches_(std::make_shared<std::vector<WatchBase*>>()) {}

std::unique_ptr<IChangeWatch> Win32ChangeWatcher::WatchKey(Hive hive, const std::string& path) {
    auto watch = std::make_unique<KeyWatch>(watches_, hive, path);
    if (!watch->Arm()) return nullptr;
    return watch;
}

std::unique_ptr<IChangeWatch> Win32ChangeWatcher::WatchFolder(const std::string& path) {
    auto watch = std::make_unique<FolderWatch>(watches_, path);
    if (!watch->Arm()) return nullptr;
    return watch;
}


void Win32ChangeWatcher::Poll() {
    std::vector<HANDLE> handles;
    std::vector<WatchBase*> owners;  // one per handle
    for (WatchBase* watch : *watches_) {
        const std::size_t before = handles.size();
        watch->Handles(handles);
        // A watch without handles has lost its hold and must look itself.
        watch->SetQuiet(handles.size() > before);
        owners.resize(handles.size(), watch);
    }
    for (std::size_t first = 0; first < handles.size(); first += MAXIMUM_WAIT_OBJECTS) {
        const auto count =
            static_cast<DWORD>(std::min<std::size_t>(MAXIMUM_WAIT_OBJECTS, handles.size() - first));
        if (WaitForMultipleObjects(count, handles.data() + first, FALSE, 0) == WAIT_TIMEOUT) continue;
        // Something in this group was signalled (or the wait failed): each of
        // its watches looks at its own handles.
        for (std::size_t i = first; i < first + count; ++i) owners[i]->SetQuiet(false);
    }
}

}  // namespace dovoviza::win32
