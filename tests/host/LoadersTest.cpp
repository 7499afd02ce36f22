#include <gtest/gtest.h>

#include "support/TestWorld.h"
#include "catalogue/Loaders.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

class Loaders : public ::testing::Test {
protected:
    std::vector<StartupItem> Load(RowDetail detail = RowDetail::Full) {
        const LoadContext context{w.platform, w.fileInfo, w.folders,
                                  StatusWords{TestWorld::kNotFound, TestWorld::kDisabled}, detail,
                                  &w.icons};
        return LoadAllLocations(context);
    }
    std::string UserFolder() const { return w.folders.user; }

    TestWorld w;
};

TEST_F(Loaders, RegistryRowCarriesCommandProgramDetailsAndLocation) {
    w.AddProgram("C:\\Tools\\App.exe", "App Suite", "Tool Works");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "App", "\"C:\\Tools\\App.exe\" -hidden");

    const auto rows = Load();
    ASSERT_EQ(rows.size(), 1u);
    const auto& c = rows[0].columns;
    EXPECT_EQ(c[kColName], "App");
    EXPECT_EQ(c[kColValue], "\"C:\\Tools\\App.exe\" -hidden");
    EXPECT_EQ(c[kColSection], "Registry -> User Run");
    EXPECT_EQ(c[kColStatus], "");
    EXPECT_EQ(c[kColProductName], "App Suite");
    EXPECT_EQ(c[kColDescription], "App Suite description");
    EXPECT_EQ(c[kColCompany], "Tool Works");
    EXPECT_EQ(c[kColVersion], "1.2.3");
    EXPECT_EQ(c[kColProcessPath], "C:\\Tools\\App.exe");
    EXPECT_EQ(c[kColFileSize], "1.46 KB");
    EXPECT_EQ(c[kColDateCreated], "3/4/2021 1:05:06 PM");
    EXPECT_EQ(c[kColDateModified], "3/4/2021 1:05:06 PM");
    EXPECT_EQ(c[kColLocation], "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_EQ(rows[0].icon, 1);
    EXPECT_EQ(rows[0].storedName, "App");
}

TEST_F(Loaders, MissingProgramShowsNotFoundWordAndNoFileColumns) {
    // A bare name may still have version strings through the library search.
    w.versions.AddStrings("helper.exe ", 0x0409, 0x04B0, {{"CompanyName", "Found Elsewhere"}});
    w.SetRunValue(Hive::LocalMachine, TestWorld::kUserRun, "Gone", "helper.exe /start");
    w.SetRunValue(Hive::LocalMachine, TestWorld::kUserRun, "Empty", "");

    const auto rows = Load();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].columns[kColSection], "Registry -> Machine Run");
    EXPECT_EQ(rows[0].columns[kColCompany], "Found Elsewhere");
    for (const auto& row : rows) {
        EXPECT_EQ(row.columns[kColProcessPath], TestWorld::kNotFound);
        for (std::size_t col = kColFileSize; col <= kColLocation; ++col) {
            EXPECT_EQ(row.columns[col], "") << col;
        }
        EXPECT_EQ(row.icon, 0);
    }
    EXPECT_EQ(rows[1].columns[kColValue], "");
}

TEST_F(Loaders, DisabledStoreRowsKeepTheirLocationsTextsAndShowTheStatusWord) {
    w.AddProgram("C:\\x\\a.exe");
    const std::string wow = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled";
    w.SetRunValue(Hive::LocalMachine, wow, "A", "C:\\x\\a.exe");

    const auto rows = Load();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].columns[kColSection], "Registry -> Machine Run (WOW64)");
    EXPECT_EQ(rows[0].columns[kColStatus], TestWorld::kDisabled);
    EXPECT_EQ(rows[0].columns[kColLocation],
              "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");
}

TEST_F(Loaders, NameWithLeadingBlanksIsShownTrimmedButKeptExactForOperations) {
    w.AddProgram("C:\\x\\a.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "  Spaced ", "  C:\\x\\a.exe");

    const auto rows = Load();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].columns[kColName], "Spaced ");
    EXPECT_EQ(rows[0].storedName, "  Spaced ");
    // The data belongs to this very value, not to a lookup of the trimmed name.
    EXPECT_EQ(rows[0].columns[kColValue], "C:\\x\\a.exe");
    EXPECT_EQ(rows[0].columns[kColProcessPath], "C:\\x\\a.exe");
}

TEST_F(Loaders, HugeProgramFileLeavesOnlyTheSizeEmpty) {
    w.AddProgram("C:\\big.exe");
    FileDetails details;
    details.size = 0x80000000ull;
    details.created = details.accessed = details.modified = DateTime{2020, 1, 2, 0, 0, 0};
    w.files.SetDetails("C:\\big.exe", details);
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Big", "C:\\big.exe");

    const auto rows = Load();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].columns[kColFileSize], "");
    EXPECT_EQ(rows[0].columns[kColDateCreated], "1/2/2020");  // midnight: date only
    EXPECT_FALSE(rows[0].columns[kColLocation].empty());
}

TEST_F(Loaders, FolderRowsDescribeShortcutTargetsAndOtherFilesThemselves) {
    w.AddProgram("C:\\Apps\\tool.exe", "Tool");
    w.AddShortcut(UserFolder(), "Tool.LNK", "C:\\Apps\\tool.exe");
    w.files.AddFile(UserFolder() + "\\notes.txt", "hello");
    w.files.AddFile(UserFolder() + "\\desktop.ini", "x", FileAttr::Hidden | FileAttr::System);
    w.AddShortcut(UserFolder(), "Dangling.lnk", "C:\\Apps\\removed.exe");

    const auto rows = Load();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].columns[kColName], "Tool.LNK");
    EXPECT_EQ(rows[0].columns[kColValue], UserFolder() + "\\Tool.LNK");
    EXPECT_EQ(rows[0].columns[kColSection], "Startup Folder -> User");
    EXPECT_EQ(rows[0].columns[kColProductName], "Tool");
    EXPECT_EQ(rows[0].columns[kColProcessPath], "C:\\Apps\\tool.exe");
    EXPECT_EQ(rows[0].columns[kColLocation], UserFolder());
    EXPECT_GT(rows[0].icon, 0);

    EXPECT_EQ(rows[1].columns[kColName], "notes.txt");
    EXPECT_EQ(rows[1].columns[kColProductName], "");
    EXPECT_EQ(rows[1].columns[kColProcessPath], UserFolder() + "\\notes.txt");
    EXPECT_EQ(rows[1].columns[kColFileSize], "5 bytes");

    // A shortcut whose target is gone: only the first four columns, no
    // not-found word (unlike a registry row), no icon.
    EXPECT_EQ(rows[2].columns[kColName], "Dangling.lnk");
    for (std::size_t col = kColProductName; col <= kColLocation; ++col) {
        EXPECT_EQ(rows[2].columns[col], "") << col;
    }
    EXPECT_EQ(rows[2].icon, 0);
}

TEST_F(Loaders, DisabledFolderEntryNamesItsLiveFolderButReadsTheTwin) {
    w.AddProgram("C:\\Apps\\tool.exe");
    w.AddShortcut(w.folders.commonDisabled, "Tool.lnk", "C:\\Apps\\tool.exe");

    const auto rows = Load();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].columns[kColSection], "Startup Folder -> Common");
    EXPECT_EQ(rows[0].columns[kColStatus], TestWorld::kDisabled);
    EXPECT_EQ(rows[0].columns[kColValue], w.folders.common + "\\Tool.lnk");
    EXPECT_EQ(rows[0].columns[kColProcessPath], "C:\\Apps\\tool.exe");
    EXPECT_EQ(rows[0].columns[kColLocation], w.folders.common);
}

TEST_F(Loaders, TwentyStoresAreReadInTheirFixedOrder) {
    const std::string wowRun = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string runOnce = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
    // Added out of order on purpose.
    w.files.AddFile(w.folders.common + "\\common.txt");
    w.files.AddFile(w.folders.userDisabled + "user-off.txt");
    w.SetRunValue(Hive::LocalMachine, runOnce, "m-once", "x");
    w.SetRunValue(Hive::CurrentUser, runOnce + "-Disabled", "u-once-off", "x");
    w.SetRunValue(Hive::CurrentUser, wowRun, "u-wow", "x");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "u-off", "x");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "u", "x");
    w.files.AddFile(w.folders.user + "\\user.txt");

    std::vector<std::string> names;
    for (const auto& row : Load()) names.push_back(row.Name());
    EXPECT_EQ(names, (std::vector<std::string>{"u", "u-off", "u-wow", "u-once-off", "m-once",
                                               "user.txt", "user-off.txt", "common.txt"}));
}

TEST_F(Loaders, ScanRowsLeaveOutTheCostlyColumnsAndIcons) {
    w.AddProgram("C:\\Tools\\App.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "App", "C:\\Tools\\App.exe");
    w.AddShortcut(UserFolder(), "App.lnk", "C:\\Tools\\App.exe");

    const auto rows = Load(RowDetail::Scan);
    ASSERT_EQ(rows.size(), 2u);
    for (const auto& row : rows) {
        EXPECT_EQ(row.columns[kColProcessPath], "C:\\Tools\\App.exe");
        EXPECT_EQ(row.columns[kColProductName], "Product");
        for (std::size_t col = kColFileSize; col <= kColLocation; ++col) {
            EXPECT_EQ(row.columns[col], "") << col;
        }
        EXPECT_EQ(row.icon, 0);
    }
    EXPECT_TRUE(w.icons.requests.empty());
}

TEST_F(Loaders, StartupFoldersGetHiddenTwinsAndAnUnnamedFolderListsNothing) {
    EXPECT_EQ(w.folders.userDisabled, w.folders.user + "-Disabled\\");
    EXPECT_TRUE(w.files.IsFolder(w.folders.userDisabled));
    EXPECT_TRUE(w.files.Attributes(w.folders.commonDisabled) & FileAttr::Hidden);

    // The shell could not name the folders: no twin in the current folder, no rows
    // from the drive's root.
    FakeFileSystem files;
    FakeShell shell{&files};
    shell.userStartup.clear();
    shell.commonStartup.clear();
    const StartupFolderPaths unnamed = ResolveStartupFolders(shell);
    PrepareDisabledFolders(files, unnamed);
    EXPECT_FALSE(files.Exists("-Disabled"));
    w.files.AddFile("\\root.txt");
    const LoadContext context{w.platform, w.fileInfo, unnamed, StatusWords{}, RowDetail::Full,
                              nullptr};
    EXPECT_TRUE(LoadAllLocations(context).empty());
}

}  // namespace
