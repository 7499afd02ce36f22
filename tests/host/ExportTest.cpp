// The list for administrators: every field, CSV quoting, JSON escapes, any script.

#include <gtest/gtest.h>

#include "history/Export.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

const std::string kApproved = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
const std::string kHeader =
    "Name,Command,Place,Enabled,WindowsState,Type,Product,Description,Company,Version,Path,Size,"
    "Created,Accessed,Modified,Exists";

TEST(Export, EveryEntryWithItsFieldsInEitherFormat) {
    TestWorld w;
    w.AddProgram("C:\\Tools\\App.exe", "App Suite", "Tool Works");
    const std::string odd = "Жук 中文 \xF0\x9F\x98\x80, \"q\"\nline";
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, odd, "C:\\Tools\\App.exe");
    w.registry.SetString(Hive::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Once",
                         "%X%\\gone.exe", RegType::ExpandString);
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRunDisabled, "Parked", "C:\\Tools\\App.exe");
    w.AddShortcut(w.folders.user, "Clock.lnk", "C:\\Tools\\App.exe");
    std::vector<std::uint8_t> flag(12, 0);
    flag[0] = 3;
    w.registry.SetValue(Hive::CurrentUser, kApproved + "StartupFolder", RegValue{"Clock.lnk", RegType::Binary, flag});
    w.list.LoadRegistryInfo();

    const std::string when = "2021-03-04T13:05:06Z";
    const std::string app = "App Suite,App Suite description,Tool Works,1.2.3,C:\\Tools\\App.exe,1500," +
                            when + "," + when + "," + when + ",yes";
    const std::string csv = CsvText(ExportRecords(w.platform, w.list.Rows()));
    EXPECT_EQ(csv, "\xEF\xBB\xBF" + kHeader + "\r\n" +
                       "\"" + "Жук 中文 \xF0\x9F\x98\x80, \"\"q\"\"\nline" + "\",C:\\Tools\\App.exe,"
                       "Registry -> User Run,yes,enabled,REG_SZ," + app + "\r\n" +
                       "Parked,C:\\Tools\\App.exe,Registry -> User Run,no,enabled,REG_SZ," + app + "\r\n" +
                       "Once,%X%\\gone.exe,Registry -> User RunOnce,yes,,REG_EXPAND_SZ,,,,,%X%\\gone.exe,,,,,no\r\n" +
                       "Clock.lnk," + w.folders.user + "\\Clock.lnk,Startup Folder -> User,yes,disabled,file," +
                       app + "\r\n");

    const std::string json = JsonLinesText(ExportRecords(w.platform, w.list.Rows()));
    const std::string first = json.substr(0, json.find('\n'));
    EXPECT_EQ(first.substr(0, 56), "{\"Name\":\"Жук 中文 \xF0\x9F\x98\x80, \\\"q\\\"\\u000aline\",\"Command\":");
    EXPECT_NE(first.find("\"Path\":\"C:\\\\Tools\\\\App.exe\",\"Size\":\"1500\""), std::string::npos);
    EXPECT_EQ(std::count(json.begin(), json.end(), '\n'), 4);

    EXPECT_TRUE(ExportList(w.platform, w.list.Rows(), "C:\\out\\list.CSV") == false);  // no such folder
    w.files.AddFolder("C:\\out");
    EXPECT_TRUE(ExportList(w.platform, w.list.Rows(), "C:\\out\\list.CSV"));
    EXPECT_EQ(w.files.Content("C:\\out\\list.CSV"), csv);
    EXPECT_TRUE(ExportList(w.platform, w.list.Rows(), "C:\\out\\list.jsonl"));
    EXPECT_EQ(w.files.Content("C:\\out\\list.jsonl"), json);
    EXPECT_FALSE(ExportList(w.platform, w.list.Rows(), "C:\\out\\list.txt"));
}

}  // namespace
