#include <gtest/gtest.h>

#include "catalogue/FileDetails.h"
#include "support/FakeFileSystem.h"
#include "support/FakeVersionReader.h"

using namespace dovoviza;
using namespace dovoviza::test;

TEST(FileDetails, SizesRoundHalfAwayFromZeroToHundredths) {
    const std::tuple<std::int64_t, const char*, const char*> sizes[] = {
        {1023, ".", "1023 bytes"}, {1024, ".", "1. KB"}, {1536, ",", "1,5 KB"},
        {1152, ".", "1.13 KB"}, {1100, "·٫", "1·٫07 KB"}, {(1 << 20) - 1, ".", "1024. KB"},
        {std::int64_t{3} << 40, ".", "3. TB"}};
    for (const auto& [size, symbol, text] : sizes) EXPECT_EQ(FormatFileSize(size, symbol), text);
}

TEST(FileInfoClass, ReadsTheFirstTranslationsStringsUntilOneIsMissingAndAgainOnlyOnAChange) {
    FakeVersionReader versions;
    versions.AddStrings("C:\\app.exe", 0x0409, 0x04B0,
                        {{"CompanyName", "  Maker  "}, {"FileDescription", "Tool"},
                         {"FileVersion", "1.2"}, {"ProductName", "P"},
                         {"ProductVersion", std::string("4.5\0junk", 8)}});
    versions.AddStrings("C:\\utf8.exe", 0x0409, 0xFDE9, {{"CompanyName", "Юникод"}});
    // At most 254 characters (not bytes); trimming comes after the cut.
    versions.AddStrings("C:\\long.exe", 0x0409, 0x04B0,
                        {{"CompanyName", std::string(250, 'a') + "ЖЖЖЖЖЖ"},
                         {"FileDescription", " " + std::string(260, 'b')}});
    versions.Add("C:\\none.exe", FakeVersionData{std::nullopt, {}});
    FakeFileSystem files;
    FileInfoClass info(versions, &files);
    const auto read = [&](const std::string& file) {
        files.AddFile(file, "v1");
        info.SetFileName(file);
        return info.CompanyName + "|" + info.FileDescription + "|" + info.FileVersion + "|" +
               info.ProductName + "|" + info.ProductVersion;
    };
    EXPECT_EQ(read("C:\\app.exe"), "Maker|Tool|1.2|P|4.5");
    versions.queries.clear();
    // Nothing is left from the previous file; the first missing string ends the reading.
    EXPECT_EQ(read("C:\\utf8.exe"), "Юникод||||");
    const std::string block = "\\StringFileInfo\\0409FDE9\\";
    EXPECT_EQ(versions.queries,
              (std::vector<std::string>{block + "CompanyName", block + "FileDescription"}));
    EXPECT_EQ(read("C:\\long.exe"),
              std::string(250, 'a') + "ЖЖЖЖ|" + std::string(253, 'b') + "|||");
    EXPECT_EQ(read("C:\\none.exe"), "||||");
    // Remembered while size and time stay, read again for a new build; a bare
    // name (found through the search path) every time; a path to no file never.
    read("C:\\app.exe");
    for (const char* file : {"notepad.exe", "notepad.exe", "C:\\no\\x.exe"}) {
        info.SetFileName(file);
    }
    EXPECT_EQ(info.CompanyName, "");
    EXPECT_EQ(versions.opened.size(), 6u);
    files.AddFile("C:\\app.exe", "version 2");
    versions.AddStrings("C:\\app.exe", 0x0409, 0x04B0, {{"CompanyName", "Second"}});
    info.SetFileName("C:\\app.exe");
    EXPECT_EQ(info.CompanyName, "Second");
}
