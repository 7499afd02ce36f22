// Change notifications from the real registry and file system: what the
// watchdog relies on to skip the stores that did not change.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32ChangeWatcher.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32System.h"

using namespace dovoviza;

namespace {

constexpr const char* kParent = "Software\\dovoviza-watch-test";
constexpr const char* kKey = "Software\\dovoviza-watch-test\\Later\\Run";

std::wstring W(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// File notifications arrive a moment after the change: waits up to five
// seconds for the watch to report one.
bool Seen(IChangeWatch& watch) {
    for (int i = 0; i < 500; ++i) {
        if (watch.Changed()) return true;
        Sleep(10);
    }
    return false;
}

std::string TempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    return std::string(path, path + length);
}

TEST(ChangeWatch, KeyCreatedChangedDeletedAndCreatedAgain) {
    win32::Win32Registry registry;
    static_cast<void>(RegDeleteTreeW(HKEY_CURRENT_USER, W(kParent).c_str()));
    ASSERT_TRUE(registry.CreateKey(Hive::CurrentUser, kParent));
    win32::Win32ChangeWatcher watcher;
    const auto watch = watcher.WatchKey(Hive::CurrentUser, kKey);
    ASSERT_TRUE(watch);
    EXPECT_FALSE(watch->Changed());

    // Two levels are missing: each creation is seen from the key above it.
    auto key = registry.CreateKey(Hive::CurrentUser, kKey);
    ASSERT_TRUE(key);
    EXPECT_TRUE(watch->Changed());
    static_cast<void>(watch->Changed());  // the level below, now watched
    EXPECT_FALSE(watch->Changed());

    const std::vector<std::uint8_t> data{'a', 0, 0, 0};
    ASSERT_TRUE(key->WriteValue("One", RegType::String, data));
    EXPECT_TRUE(watch->Changed());
    EXPECT_FALSE(watch->Changed());
    ASSERT_TRUE(key->WriteValue("One", RegType::String, {'b', 0, 0, 0}));  // changed, not added
    EXPECT_TRUE(watch->Changed());

    key.reset();
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, W(kParent + std::string("\\Later")).c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(watch->Changed());
    key = registry.CreateKey(Hive::CurrentUser, kKey);
    ASSERT_TRUE(key);
    EXPECT_TRUE(watch->Changed());
    static_cast<void>(watch->Changed());
    ASSERT_TRUE(key->WriteValue("Two", RegType::String, data));
    EXPECT_TRUE(watch->Changed());
    key.reset();
    static_cast<void>(RegDeleteTreeW(HKEY_CURRENT_USER, W(kParent).c_str()));
}

TEST(ChangeWatch, FolderFilesAndTheFolderRenamedAwayAndBack) {
    win32::Win32System system;
    win32::Win32FileSystem files;
    const std::string base = TempFolder() + "dovoviza-watch-test";
    const std::string folder = base + "\\Startup";
    ASSERT_TRUE(files.CreateFolderPath(folder));
    win32::Win32ChangeWatcher watcher;
    auto watch = watcher.WatchFolder(folder);
    ASSERT_TRUE(watch);
    EXPECT_FALSE(watch->Changed());

    const std::string file = folder + "\\tool.exe";
    ASSERT_TRUE(files.CopyFileTo(system.SystemFolder() + "\\notepad.exe", file, true));
    EXPECT_TRUE(Seen(*watch));

    ASSERT_TRUE(MoveFileW(W(folder).c_str(), W(base + "\\Away").c_str()));
    EXPECT_TRUE(Seen(*watch));
    ASSERT_TRUE(MoveFileW(W(base + "\\Away").c_str(), W(folder).c_str()));
    EXPECT_TRUE(Seen(*watch));
    ASSERT_TRUE(files.RemoveFile(file));
    EXPECT_TRUE(Seen(*watch));
    watch.reset();  // its handles keep the folders open
    ASSERT_TRUE(RemoveDirectoryW(W(folder).c_str()));
    ASSERT_TRUE(RemoveDirectoryW(W(base).c_str()));
}

}  // namespace
