#include <gtest/gtest.h>

#include <string>

#include "catalogue/FileDetails.h"
#include "support/FakeFileSystem.h"
#include "support/FakeSystem.h"
#include "support/FakeVersionReader.h"

using namespace dovoviza;
using namespace dovoviza::test;

TEST(FormatFileSize, TableRowsWithAPoint) {
    EXPECT_EQ(FormatFileSize(0, "."), "0 bytes");
    EXPECT_EQ(FormatFileSize(1023, "."), "1023 bytes");
    EXPECT_EQ(FormatFileSize(-5, "."), "-5 bytes");
    EXPECT_EQ(FormatFileSize(1024, "."), "1. KB");
    EXPECT_EQ(FormatFileSize(1536, "."), "1.5 KB");
    EXPECT_EQ(FormatFileSize(1100, "."), "1.07 KB");
    EXPECT_EQ(FormatFileSize(5 << 20, "."), "5. MB");
    EXPECT_EQ(FormatFileSize(std::int64_t{1} << 30, "."), "1. GB");
    EXPECT_EQ(FormatFileSize(std::int64_t{3} << 40, "."), "3. TB");
    EXPECT_EQ(FormatFileSize(2147483647, "."), "2. GB");
}

TEST(FormatFileSize, RoundingAndDecimalSymbols) {
    EXPECT_EQ(FormatFileSize(1152, "."), "1.13 KB");            // 1.125 rounds up
    EXPECT_EQ(FormatFileSize(1034, "."), "1.01 KB");            // 1.0098
    EXPECT_EQ(FormatFileSize(1029, "."), "1. KB");              // 1.0049 rounds to nothing after the symbol
    EXPECT_EQ(FormatFileSize((1 << 20) - 1, "."), "1024. KB");  // 1023.999 stays in KB
    EXPECT_EQ(FormatFileSize(1024 * 1023 + 512, "."), "1023.5 KB");
    EXPECT_EQ(FormatFileSize(1536, ","), "1,5 KB");
    EXPECT_EQ(FormatFileSize(1024, ","), "1, KB");
    EXPECT_EQ(FormatFileSize(1100, "·٫"), "1·٫07 KB");
}

TEST(DateTimeText, DropsTheTimeAtMidnightOnly) {
    FakeSystem system;
    EXPECT_EQ(DateTimeText(system, DateTime{2024, 2, 9, 14, 5, 7}), "2/9/2024 2:05:07 PM");
    EXPECT_EQ(DateTimeText(system, DateTime{2024, 2, 9, 0, 0, 0}), "2/9/2024");
    EXPECT_EQ(DateTimeText(system, DateTime{2024, 2, 9, 0, 0, 1}), "2/9/2024 12:00:01 AM");
}

TEST(FileInfoClass, ReadsTheFiveStringsOfTheFirstTranslation) {
    FakeVersionReader versions;
    versions.AddStrings("C:\\Tools\\app.exe", 0x0409, 0x04B0,
                        {{"CompanyName", "  Maker Ltd  "}, {"FileDescription", "Tool"},
                         {"FileVersion", "1.2.3"}, {"ProductName", "Product"},
                         {"ProductVersion", std::string("4.5\0junk", 8)}});
    versions.AddStrings("C:\\utf8.exe", 0x0409, 0xFDE9, {{"CompanyName", "Юникод"}});

    FileInfoClass info(versions);
    info.SetFileName("C:\\Tools\\app.exe");
    EXPECT_EQ(info.FileName(), "C:\\Tools\\app.exe");
    EXPECT_EQ(info.CompanyName, "Maker Ltd");
    EXPECT_EQ(info.FileDescription, "Tool");
    EXPECT_EQ(info.FileVersion, "1.2.3");
    EXPECT_EQ(info.ProductName, "Product");
    EXPECT_EQ(info.ProductVersion, "4.5");
    ASSERT_FALSE(versions.queries.empty());
    EXPECT_EQ(versions.queries.front(), "\\StringFileInfo\\040904B0\\CompanyName");

    versions.queries.clear();
    info.SetFileName("C:\\utf8.exe");
    EXPECT_EQ(versions.queries.front(), "\\StringFileInfo\\0409FDE9\\CompanyName");
    EXPECT_EQ(info.CompanyName, "Юникод");
    EXPECT_EQ(info.ProductName, "");  // cleared, not left from the previous file
}

TEST(FileInfoClass, StopsAtTheFirstMissingStringAndCapsLength) {
    FakeVersionReader versions;
    versions.AddStrings("C:\\nocompany.exe", 0x0409, 0x04B0,
                        {{"FileDescription", "Desc"}, {"ProductName", "Product"}});
    versions.AddStrings("C:\\noversion.exe", 0x0409, 0x04B0,
                        {{"CompanyName", "C"}, {"FileDescription", "D"}, {"ProductName", "P"},
                         {"ProductVersion", "V"}});
    const std::string longText = std::string(250, 'a') + "ЖЖЖЖЖЖ";
    versions.AddStrings("C:\\long.exe", 0x0409, 0x04B0,
                        {{"CompanyName", longText}, {"FileDescription", " " + std::string(260, 'b')}});
    versions.Add("C:\\notranslation.exe", FakeVersionData{std::nullopt, {}});

    FileInfoClass info(versions);
    info.SetFileName("C:\\nocompany.exe");
    EXPECT_EQ(info.FileDescription, "");
    EXPECT_EQ(info.ProductName, "");
    EXPECT_EQ(versions.queries.size(), 1u);

    info.SetFileName("C:\\noversion.exe");
    EXPECT_EQ(info.CompanyName, "C");
    EXPECT_EQ(info.FileDescription, "D");
    EXPECT_EQ(info.FileVersion, "");
    EXPECT_EQ(info.ProductName, "");
    EXPECT_EQ(info.ProductVersion, "");

    // At most 254 characters (not bytes); trimming comes after the cut.
    info.SetFileName("C:\\long.exe");
    EXPECT_EQ(info.CompanyName, std::string(250, 'a') + "ЖЖЖЖ");
    EXPECT_EQ(info.FileDescription, std::string(253, 'b'));

    info.SetFileName("C:\\notranslation.exe");
    EXPECT_EQ(info.CompanyName, "");
    info.SetFileName("C:\\none.exe");
    EXPECT_EQ(info.CompanyName, "");
    EXPECT_EQ(info.FileName(), "C:\\none.exe");
}

TEST(FileExist, NormalFilesOnly) {
    FakeFileSystem files;
    files.AddFile("C:\\Tools\\app.exe", "MZ");
    files.AddFile("C:\\Tools\\hidden.exe", "MZ", FileAttr::Hidden);
    files.AddFile("C:\\Tools\\system.exe", "MZ", FileAttr::System);
    files.AddFile("C:\\Tools\\locked.exe", "MZ", FileAttr::ReadOnly);
    EXPECT_TRUE(FileExist(files, "C:\\Tools\\app.exe"));
    EXPECT_TRUE(FileExist(files, "c:\\tools\\APP.EXE"));
    EXPECT_TRUE(FileExist(files, "C:\\Tools\\app.exe "));  // the list's path after "app.exe /x"
    EXPECT_TRUE(FileExist(files, "C:\\Tools\\locked.exe"));
    EXPECT_TRUE(FileExist(files, "C:\\Tools\\a*.e?e"));
    EXPECT_FALSE(FileExist(files, "C:\\Tools\\hidden.exe"));
    EXPECT_FALSE(FileExist(files, "C:\\Tools\\system.exe"));
    EXPECT_FALSE(FileExist(files, "C:\\Tools\\hid*"));
    EXPECT_FALSE(FileExist(files, "C:\\Tools"));
    EXPECT_FALSE(FileExist(files, ""));
    EXPECT_FALSE(FileExist(files, "Empty"));
    EXPECT_FALSE(FileExist(files, "\""));
    EXPECT_FALSE(FileExist(files, "C:\\Tools\\app.exe\" -"));
}

TEST(FileInfoClassMemory, StringsAreReadAgainOnlyWhenTheFileChanges) {
    dovoviza::test::FakeVersionReader versions;
    dovoviza::test::FakeFileSystem files;
    files.AddFile("C:\\app.exe", "v1");
    versions.AddStrings("C:\\app.exe", 0x0409, 0x04B0, {{"CompanyName", "First"}});
    FileInfoClass info(versions, &files);

    info.SetFileName("C:\\app.exe");
    info.SetFileName("C:\\app.exe");
    EXPECT_EQ(info.CompanyName, "First");
    EXPECT_EQ(versions.opened.size(), 1u);

    // A new build of the program: other size, other strings.
    files.AddFile("C:\\app.exe", "version 2");
    versions.AddStrings("C:\\app.exe", 0x0409, 0x04B0, {{"CompanyName", "Second"}});
    info.SetFileName("C:\\app.exe");
    EXPECT_EQ(info.CompanyName, "Second");
    EXPECT_EQ(versions.opened.size(), 2u);

    // Files the file system cannot see (bare names, missing files) are always asked for.
    info.SetFileName("notepad.exe");
    info.SetFileName("notepad.exe");
    EXPECT_EQ(versions.opened.size(), 4u);
    EXPECT_EQ(info.CompanyName, "");
}
