// Loading the rows of the startup stores: their columns and icons.

#include <gtest/gtest.h>

#include "catalogue/Loaders.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Texts = std::vector<std::string>;

// Each row as its fourteen columns, then "#icon" and "=stored name".
Texts Load(TestWorld& w, RowDetail detail = RowDetail::Full) {
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

}  // namespace

TEST(Loaders, RowsShowTheCommandTheProgramsDetailsAndTheLocation) {
    TestWorld w;
    const std::string run = TestWorld::kUserRun;
    w.AddProgram("C:\\App.exe", "Suite", "Works");
    w.AddProgram("C:\\x\\a.exe");
    // A bare name may still have version strings through the library search.
    w.versions.AddStrings("helper.exe ", 0x0409, 0x04B0, {{"CompanyName", "Found Elsewhere"}});
    w.SetRunValue(Hive::CurrentUser, run, "App", "  \"C:\\App.exe\" -hidden");  // shown trimmed
    w.SetRunValue(Hive::LocalMachine, run + "-Disabled", "Gone", "helper.exe /start");
    const std::string user = w.folders.user, common = w.folders.common;
    w.AddShortcut(user, "A.LNK", "C:\\x\\a.exe");
    w.AddShortcut(user, "Gone.lnk", "C:\\removed.exe");
    // A disabled folder entry names its live folder but reads the twin.
    w.AddShortcut(w.folders.commonDisabled, "Off.lnk", "C:\\x\\a.exe");

    const std::string date = "3/4/2021 1:05:06 PM|", dates = date + date + date;
    const std::string a = "Product|Product description|Company|1.2.3|C:\\x\\a.exe|1.46 KB|" + dates;
    const std::string hkcu = "HKEY_CURRENT_USER\\" + run + "|";
    EXPECT_EQ(Load(w),
              (Texts{
                  "App|\"C:\\App.exe\" -hidden|Registry -> User Run||Suite|Suite description|"
                  "Works|1.2.3|C:\\App.exe|1.46 KB|" + dates + hkcu + "#1=App",
                  // A missing program: the not-found word and no file columns, no icon.
                  "Gone|helper.exe /start|Registry -> Machine Run|Disabled|||Found Elsewhere||"
                  "File not found||||||#0=Gone",
                  "A.LNK|" + user + "\\A.LNK|Startup Folder -> User||" + a + user + "|#2=A.LNK",
                  // A shortcut whose target is gone: only the first four columns,
                  // no not-found word (unlike a registry row), no icon.
                  "Gone.lnk|" + user + "\\Gone.lnk|Startup Folder -> User||||||||||||#0=Gone.lnk",
                  "Off.lnk|" + common + "\\Off.lnk|Startup Folder -> Common|Disabled|" + a +
                      common + "|#3=Off.lnk",
              }));
    // The monitor's scans leave out the costly columns and the icons.
    w.icons.requests.clear();
    EXPECT_EQ(Load(w, RowDetail::Scan).at(2), "A.LNK|" + user + "\\A.LNK|Startup Folder -> User||" +
                                                a.substr(0, a.find("1.46")) + "|||||#0=A.LNK");
    EXPECT_TRUE(w.icons.requests.empty());

    // The twins of the Startup folders are hidden; a folder the shell could not
    // name gets none.
    EXPECT_TRUE(w.files.Attributes(w.folders.commonDisabled) & FileAttr::Hidden);
    FakeFileSystem files;
    FakeShell shell{&files};
    shell.userStartup.clear();
    PrepareDisabledFolders(files, ResolveStartupFolders(shell));
    EXPECT_FALSE(files.Exists("-Disabled"));
}
