// Loading the rows of the twenty stores: their columns, order and icons.

#include <gtest/gtest.h>

#include "catalogue/Loaders.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;

class Loaders : public ::testing::Test {
protected:
    // Each row as its fourteen columns, then "#icon" and "=stored name".
    Texts Load(RowDetail detail = RowDetail::Full) {
        const LoadContext context{w.platform, w.fileInfo, w.folders,
                                  StatusWords{TestWorld::kNotFound, TestWorld::kDisabled}, detail,
                                  &w.icons};
        Texts rows;
        for (const StartupItem& row : LoadAllLocations(context)) {
            std::string text;
            for (const std::string& column : row.columns) text += column + "|";
            rows.push_back(text + "#" + std::to_string(row.icon) + "=" + row.storedName);
        }
        return rows;
    }

    TestWorld w;
};

TEST_F(Loaders, RowsShowTheCommandTheProgramsDetailsAndTheLocation) {
    const std::string wow = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    w.AddProgram("C:\\Tools\\App.exe", "App Suite", "Tool Works");
    w.AddProgram("C:\\x\\a.exe");
    w.AddProgram("C:\\Apps\\tool.exe", "Tool");
    w.AddProgram("C:\\big.exe");
    FileDetails big;
    big.size = 0x80000000ull;
    big.created = big.accessed = big.modified = DateTime{2020, 1, 2, 0, 0, 0};
    w.files.SetDetails("C:\\big.exe", big);
    // A bare name may still have version strings through the library search.
    w.versions.AddStrings("helper.exe ", 0x0409, 0x04B0, {{"CompanyName", "Found Elsewhere"}});

    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "App", "\"C:\\Tools\\App.exe\" -hidden");
    // Shown without its leading blanks but kept exact for the operations; the
    // data belongs to this very value, not to a lookup of the trimmed name.
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "  Spaced ", "  C:\\x\\a.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Big", "C:\\big.exe");
    w.SetRunValue(Hive::LocalMachine, TestWorld::kUserRun, "Gone", "helper.exe /start");
    w.SetRunValue(Hive::LocalMachine, TestWorld::kUserRun, "Empty", "");
    w.SetRunValue(Hive::LocalMachine, wow + "-Disabled", "A", "C:\\x\\a.exe");
    const std::string user = w.folders.user, common = w.folders.common;
    w.AddShortcut(user, "Tool.LNK", "C:\\Apps\\tool.exe");
    w.files.AddFile(user + "\\notes.txt", "hello");
    w.files.AddFile(user + "\\desktop.ini", "x", FileAttr::Hidden | FileAttr::System);
    w.AddShortcut(user, "Dangling.lnk", "C:\\Apps\\removed.exe");
    // A disabled folder entry names its live folder but reads the twin.
    w.AddShortcut(w.folders.commonDisabled, "Off.lnk", "C:\\Apps\\tool.exe");

    const std::string date = "3/4/2021 1:05:06 PM";
    const std::string dates = date + "|" + date + "|" + date + "|";
    const std::string x = "Product|Product description|Company|1.2.3|C:\\x\\a.exe|1.46 KB|" + dates;
    const std::string tool = "Tool|Tool description|Company|1.2.3|C:\\Apps\\tool.exe|1.46 KB|" + dates;
    const std::string hkcu = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run|";
    EXPECT_EQ(Load(),
              (Texts{
                  "App|\"C:\\Tools\\App.exe\" -hidden|Registry -> User Run||App Suite|App Suite description|"
                  "Tool Works|1.2.3|C:\\Tools\\App.exe|1.46 KB|" + dates + hkcu + "#1=App",
                  "Spaced |C:\\x\\a.exe|Registry -> User Run||" + x + hkcu + "#2=  Spaced ",
                  // Too big for the size text; midnight shows the date only.
                  "Big|C:\\big.exe|Registry -> User Run||Product|Product description|Company|1.2.3|"
                  "C:\\big.exe||1/2/2020|1/2/2020|1/2/2020|" + hkcu + "#3=Big",
                  // A missing program: the not-found word and no file columns, no icon.
                  "Gone|helper.exe /start|Registry -> Machine Run||||Found Elsewhere||File not found|"
                  "|||||#0=Gone",
                  "Empty||Registry -> Machine Run||||||File not found||||||#0=Empty",
                  "A|C:\\x\\a.exe|Registry -> Machine Run (WOW64)|Disabled|" + x +
                      "HKEY_LOCAL_MACHINE\\" + wow + "|#4=A",
                  "Tool.LNK|" + user + "\\Tool.LNK|Startup Folder -> User||" + tool + user + "|#5=Tool.LNK",
                  "notes.txt|" + user + "\\notes.txt|Startup Folder -> User||||||" + user +
                      "\\notes.txt|5 bytes|" + dates + user + "|#6=notes.txt",
                  // A shortcut whose target is gone: only the first four columns,
                  // no not-found word (unlike a registry row), no icon.
                  "Dangling.lnk|" + user + "\\Dangling.lnk|Startup Folder -> User||||||||||||#0=Dangling.lnk",
                  "Off.lnk|" + common + "\\Off.lnk|Startup Folder -> Common|Disabled|" + tool + common +
                      "|#7=Off.lnk",
              }));
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

    Texts names;
    for (const std::string& row : Load()) names.push_back(row.substr(0, row.find('|')));
    EXPECT_EQ(names, (Texts{"u", "u-off", "u-wow", "u-once-off", "m-once", "user.txt", "user-off.txt",
                            "common.txt"}));
}

TEST_F(Loaders, ScanRowsLeaveOutTheCostlyColumnsAndIcons) {
    w.AddProgram("C:\\Tools\\App.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "App", "C:\\Tools\\App.exe");
    w.AddShortcut(w.folders.user, "App.lnk", "C:\\Tools\\App.exe");

    const std::string rest = "|Product|Product description|Company|1.2.3|C:\\Tools\\App.exe||||||#0=";
    EXPECT_EQ(Load(RowDetail::Scan),
              (Texts{"App|C:\\Tools\\App.exe|Registry -> User Run|" + rest + "App",
                     "App.lnk|" + w.folders.user + "\\App.lnk|Startup Folder -> User|" + rest + "App.lnk"}));
    EXPECT_TRUE(w.icons.requests.empty());
}

TEST_F(Loaders, StartupFoldersGetHiddenTwinsAndAnUnnamedFolderListsNothing) {
    EXPECT_EQ(w.folders.userDisabled, w.folders.user + "-Disabled\\");
    EXPECT_TRUE(w.files.IsFolder(w.folders.userDisabled));
    EXPECT_TRUE(w.files.Attributes(w.folders.commonDisabled) & FileAttr::Hidden);

    // The shell could not name the folders: no twin in the current folder, no
    // rows from the drive's root.
    FakeFileSystem files;
    FakeShell shell{&files};
    shell.userStartup.clear();
    shell.commonStartup.clear();
    const StartupFolderPaths unnamed = ResolveStartupFolders(shell);
    PrepareDisabledFolders(files, unnamed);
    EXPECT_FALSE(files.Exists("-Disabled"));
    w.files.AddFile("\\root.txt");
    const LoadContext context{w.platform, w.fileInfo, unnamed, StatusWords{}, RowDetail::Full, nullptr};
    EXPECT_TRUE(LoadAllLocations(context).empty());
}

}  // namespace
