#include <gtest/gtest.h>

#include <string>

#include "catalogue/FileDetails.h"
#include "support/FakeFileSystem.h"
#include "support/FakeSystem.h"
#include "support/FakeVersionReader.h"

using namespace dovoviza;
using namespace dovoviza::test;

TEST(FormatFileSize, UnitsRoundingAndDecimalSymbols) {
    const struct {
        std::int64_t size;
        const char* symbol;
        const char* text;
    } cases[] = {
        {0, ".", "0 bytes"}, {1023, ".", "1023 bytes"}, {-5, ".", "-5 bytes"},
        {1024, ".", "1. KB"}, {1536, ".", "1.5 KB"}, {1100, ".", "1.07 KB"},
        {5 << 20, ".", "5. MB"}, {std::int64_t{1} << 30, ".", "1. GB"}, {std::int64_t{3} << 40, ".", "3. TB"},
        {2147483647, ".", "2. GB"},
        {1152, ".", "1.13 KB"},            // 1.125 rounds up
        {1034, ".", "1.01 KB"},            // 1.0098
        {1029, ".", "1. KB"},              // 1.0049 rounds to nothing after the symbol
        {(1 << 20) - 1, ".", "1024. KB"},  // 1023.999 stays in KB
        {1024 * 1023 + 512, ".", "1023.5 KB"},
        {1536, ",", "1,5 KB"}, {1024, ",", "1, KB"}, {1100, "·٫", "1·٫07 KB"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatFileSize(c.size, c.symbol), c.text) << c.size << " " << c.symbol;
}

TEST(DateTimeText, DropsTheTimeAtMidnightOnly) {
    FakeSystem system;
    EXPECT_EQ(DateTimeText(system, DateTime{2024, 2, 9, 14, 5, 7}), "2/9/2024 2:05:07 PM");
    EXPECT_EQ(DateTimeText(system, DateTime{2024, 2, 9, 0, 0, 0}), "2/9/2024");
    EXPECT_EQ(DateTimeText(system, DateTime{2024, 2, 9, 0, 0, 1}), "2/9/2024 12:00:01 AM");
}

TEST(FileInfoClass, ReadsTheFiveStringsOfTheFirstTranslationUntilOneIsMissing) {
    FakeVersionReader versions;
    versions.AddStrings("C:\\Tools\\app.exe", 0x0409, 0x04B0,
                        {{"CompanyName", "  Maker Ltd  "}, {"FileDescription", "Tool"}, {"FileVersion", "1.2.3"},
                         {"ProductName", "Product"}, {"ProductVersion", std::string("4.5\0junk", 8)}});
    versions.AddStrings("C:\\utf8.exe", 0x0409, 0xFDE9, {{"CompanyName", "Юникод"}});
    versions.AddStrings("C:\\nocompany.exe", 0x0409, 0x04B0, {{"FileDescription", "Desc"}, {"ProductName", "P"}});
    versions.AddStrings("C:\\noversion.exe", 0x0409, 0x04B0,
                        {{"CompanyName", "C"}, {"FileDescription", "D"}, {"ProductName", "P"},
                         {"ProductVersion", "V"}});
    // At most 254 characters (not bytes); trimming comes after the cut.
    versions.AddStrings("C:\\long.exe", 0x0409, 0x04B0,
                        {{"CompanyName", std::string(250, 'a') + "ЖЖЖЖЖЖ"},
                         {"FileDescription", " " + std::string(260, 'b')}});
    versions.Add("C:\\notranslation.exe", FakeVersionData{std::nullopt, {}});

    const struct {
        const char* file;
        const char* firstQuery;  // nullptr: not checked
        std::string company, description, fileVersion, product, productVersion;
    } cases[] = {
        {"C:\\Tools\\app.exe", "\\StringFileInfo\\040904B0\\CompanyName", "Maker Ltd", "Tool", "1.2.3", "Product",
         "4.5"},
        // Nothing is left from the previous file.
        {"C:\\utf8.exe", "\\StringFileInfo\\0409FDE9\\CompanyName", "Юникод", "", "", "", ""},
        {"C:\\nocompany.exe", nullptr, "", "", "", "", ""},
        {"C:\\noversion.exe", nullptr, "C", "D", "", "", ""},
        {"C:\\long.exe", nullptr, std::string(250, 'a') + "ЖЖЖЖ", std::string(253, 'b'), "", "", ""},
        {"C:\\notranslation.exe", nullptr, "", "", "", "", ""},
        {"C:\\none.exe", nullptr, "", "", "", "", ""},
    };
    FileInfoClass info(versions);
    for (const auto& c : cases) {
        versions.queries.clear();
        info.SetFileName(c.file);
        EXPECT_EQ(info.FileName(), c.file);
        if (c.firstQuery) {
            ASSERT_FALSE(versions.queries.empty()) << c.file;
            EXPECT_EQ(versions.queries.front(), c.firstQuery) << c.file;
        }
        EXPECT_EQ(info.CompanyName, c.company) << c.file;
        EXPECT_EQ(info.FileDescription, c.description) << c.file;
        EXPECT_EQ(info.FileVersion, c.fileVersion) << c.file;
        EXPECT_EQ(info.ProductName, c.product) << c.file;
        EXPECT_EQ(info.ProductVersion, c.productVersion) << c.file;
    }
    // The first missing string ends the reading.
    versions.queries.clear();
    info.SetFileName("C:\\nocompany.exe");
    EXPECT_EQ(versions.queries.size(), 1u);
}

TEST(FileInfoClass, StringsAreReadAgainOnlyWhenTheFileChanges) {
    FakeVersionReader versions;
    FakeFileSystem files;
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

TEST(FileExist, NormalFilesOnly) {
    FakeFileSystem files;
    files.AddFile("C:\\Tools\\app.exe", "MZ");
    files.AddFile("C:\\Tools\\hidden.exe", "MZ", FileAttr::Hidden);
    files.AddFile("C:\\Tools\\system.exe", "MZ", FileAttr::System);
    files.AddFile("C:\\Tools\\locked.exe", "MZ", FileAttr::ReadOnly);
    const std::pair<const char*, bool> cases[] = {
        {"C:\\Tools\\app.exe", true}, {"c:\\tools\\APP.EXE", true},
        {"C:\\Tools\\app.exe ", true},  // the list's path after "app.exe /x"
        {"C:\\Tools\\locked.exe", true}, {"C:\\Tools\\a*.e?e", true},
        {"C:\\Tools\\hidden.exe", false}, {"C:\\Tools\\system.exe", false}, {"C:\\Tools\\hid*", false},
        {"C:\\Tools", false}, {"", false}, {"Empty", false}, {"\"", false}, {"C:\\Tools\\app.exe\" -", false}};
    for (const auto& [path, exists] : cases) EXPECT_EQ(FileExist(files, path), exists) << '"' << path << '"';
}
