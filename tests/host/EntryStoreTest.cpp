#include <gtest/gtest.h>

#include "catalogue/RegistryAccess.h"
#include "operations/EntryStore.h"
#include "platform/Text.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

class EntryStoreTest : public ::testing::Test {
protected:
    const StartupLocation* userRun = FindLocation("Registry -> User Run");
    const StartupLocation* userFolder = FindLocation("Startup Folder -> User");
    TestWorld w;
};

TEST_F(EntryStoreTest, RegistryMoveKeepsNameTypeAndBytesBothWays) {
    const std::string command = "%ProgramFiles%\\App\\app.exe " + std::string(20000, 'x');
    const RegValue original{"  Прог 日本", RegType::ExpandString, EncodeUtf16LeWithNul(command)};
    w.registry.SetValue(Hive::CurrentUser, TestWorld::kUserRun, original);

    const EntryRef live{userRun, false, original.name};
    ASSERT_EQ(MoveEntry(w.platform, w.folders, live), MoveResult::Moved);
    EXPECT_FALSE(w.registry.GetValue(Hive::CurrentUser, TestWorld::kUserRun, original.name));
    const auto parked = w.registry.GetValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, original.name);
    ASSERT_TRUE(parked);
    EXPECT_EQ(parked->name, original.name);
    EXPECT_EQ(parked->type, RegType::ExpandString);
    EXPECT_EQ(parked->data, original.data);

    ASSERT_EQ(MoveEntry(w.platform, w.folders, EntryRef{userRun, true, original.name}),
              MoveResult::Moved);
    const auto back = w.registry.GetValue(Hive::CurrentUser, TestWorld::kUserRun, original.name);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->type, RegType::ExpandString);
    EXPECT_EQ(back->data, original.data);
    EXPECT_TRUE(w.registry.ValueNames(Hive::CurrentUser, TestWorld::kUserRunDisabled).empty());
}

TEST_F(EntryStoreTest, RegistryMoveThatCannotCompleteChangesNothing) {
    w.registry.SetString(Hive::CurrentUser, TestWorld::kUserRun, "App", "live");
    w.registry.SetString(Hive::CurrentUser, TestWorld::kUserRunDisabled, "APP", "parked");
    const EntryRef live{userRun, false, "App"};

    // A namesake in the other store is never overwritten.
    EXPECT_EQ(MoveEntry(w.platform, w.folders, live), MoveResult::TargetExists);
    EXPECT_EQ(w.registry.GetString(Hive::CurrentUser, TestWorld::kUserRun, "App"), "live");
    EXPECT_EQ(w.registry.GetString(Hive::CurrentUser, TestWorld::kUserRunDisabled, "APP"), "parked");

    w.registry.RemoveKey(Hive::CurrentUser, TestWorld::kUserRunDisabled);
    w.registry.Fail(RegFault::Create, Hive::CurrentUser, TestWorld::kUserRunDisabled);
    EXPECT_EQ(MoveEntry(w.platform, w.folders, live), MoveResult::Failed);
    EXPECT_EQ(w.registry.GetString(Hive::CurrentUser, TestWorld::kUserRun, "App"), "live");

    // The copy went in but the original would not go: the copy is taken back.
    w.registry.ClearFailures();
    w.registry.Fail(RegFault::Delete, Hive::CurrentUser, TestWorld::kUserRun);
    EXPECT_EQ(MoveEntry(w.platform, w.folders, live), MoveResult::Failed);
    EXPECT_EQ(w.registry.GetString(Hive::CurrentUser, TestWorld::kUserRun, "App"), "live");
    EXPECT_TRUE(w.registry.ValueNames(Hive::CurrentUser, TestWorld::kUserRunDisabled).empty());

    EXPECT_EQ(MoveEntry(w.platform, w.folders, EntryRef{userRun, false, "Nobody"}),
              MoveResult::SourceMissing);
}

TEST_F(EntryStoreTest, FolderMoveGoesToTheTwinAndBackWithoutReplacingAnything) {
    w.AddShortcut(w.folders.user, "App.lnk", "C:\\app.exe");
    const EntryRef live{userFolder, false, "App.lnk"};
    EXPECT_EQ(EntryFilePath(w.folders, live), w.folders.user + "\\App.lnk");

    ASSERT_EQ(MoveEntry(w.platform, w.folders, live), MoveResult::Moved);
    EXPECT_TRUE(w.files.Exists(w.folders.userDisabled + "App.lnk"));
    EXPECT_FALSE(w.files.Exists(w.folders.user + "\\App.lnk"));
    EXPECT_TRUE(EntryExists(w.platform, w.folders, EntryRef{userFolder, true, "App.lnk"}));

    w.AddShortcut(w.folders.user, "App.lnk", "C:\\other.exe");  // a copy written back
    EXPECT_EQ(MoveEntry(w.platform, w.folders, EntryRef{userFolder, true, "App.lnk"}),
              MoveResult::TargetExists);
    EXPECT_EQ(w.shell.ReadShortcutTarget(w.folders.userDisabled + "App.lnk"), "C:\\app.exe");
    EXPECT_EQ(w.shell.ReadShortcutTarget(w.folders.user + "\\App.lnk"), "C:\\other.exe");

    w.files.Fail(FileFault::Move, w.folders.user);
    w.files.Remove(w.folders.userDisabled + "App.lnk");
    EXPECT_EQ(MoveEntry(w.platform, w.folders, live), MoveResult::Failed);
    EXPECT_TRUE(w.files.Exists(w.folders.user + "\\App.lnk"));
}

TEST_F(EntryStoreTest, DeleteTouchesOnlyTheNamedStore) {
    w.registry.SetString(Hive::CurrentUser, TestWorld::kUserRun, "App", "live");
    w.registry.SetString(Hive::CurrentUser, TestWorld::kUserRunDisabled, "App", "parked");
    EXPECT_TRUE(DeleteEntry(w.platform, w.folders, EntryRef{userRun, true, "App"}));
    EXPECT_EQ(w.registry.GetString(Hive::CurrentUser, TestWorld::kUserRun, "App"), "live");
    EXPECT_FALSE(DeleteEntry(w.platform, w.folders, EntryRef{userRun, true, "App"}));

    w.files.AddFile(w.folders.user + "\\a.txt");
    w.files.AddFile(w.folders.userDisabled + "a.txt");
    EXPECT_TRUE(DeleteEntry(w.platform, w.folders, EntryRef{userFolder, false, "a.txt"}));
    EXPECT_TRUE(w.files.Exists(w.folders.userDisabled + "a.txt"));
}

}  // namespace
