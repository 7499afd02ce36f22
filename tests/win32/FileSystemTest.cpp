#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "Win32TestSupport.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// Sets a file's three times from a local date, the way the user's clock shows it.
void SetLocalTimes(const std::string& path, const SYSTEMTIME& local) {
    SYSTEMTIME utc{};
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
    FILETIME time{};
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &time));
    UniqueHandle file(CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    ASSERT_TRUE(SetFileTime(file.get(), &time, &time, &time));
}

class FileSystemTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    Win32FileSystem files;
};

TEST_F(FileSystemTest, ListingHoldsOnlyNormalFiles) {
    WriteTestFile(scratch / "plain.txt", "p");
    WriteTestFile(scratch / "readonly.txt", "r", FILE_ATTRIBUTE_READONLY);
    WriteTestFile(scratch / "archive.txt", "a", FILE_ATTRIBUTE_ARCHIVE);
    WriteTestFile(scratch / "hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
    WriteTestFile(scratch / "system.txt", "s", FILE_ATTRIBUTE_SYSTEM);
    WriteTestFile(scratch / "other.lnk", "l");
    ASSERT_TRUE(CreateDirectoryW(Wide(scratch / "folder.txt").c_str(), nullptr));

    const std::vector<std::string> expected = {"archive.txt", "other.lnk", "plain.txt", "readonly.txt"};
    EXPECT_EQ(Sorted(files.ListNormalFiles(scratch.Path(), "*.*")), expected);
    EXPECT_EQ(Sorted(files.ListNormalFiles(scratch.Path() + "\\", "*.*")), expected);
    EXPECT_EQ(files.ListNormalFiles(scratch.Path(), "*.lnk"), std::vector<std::string>{"other.lnk"});
    EXPECT_TRUE(files.ListNormalFiles(scratch / "absent", "*.*").empty());
    EXPECT_TRUE(files.ListNormalFiles("", "*.*").empty());
}

TEST_F(FileSystemTest, NormalFileExistsOnlyForNormalFiles) {
    WriteTestFile(scratch / "plain.exe", "p");
    WriteTestFile(scratch / "hidden.exe", "h", FILE_ATTRIBUTE_HIDDEN);
    WriteTestFile(scratch / "system.dll", "s", FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(CreateDirectoryW(Wide(scratch / "folder").c_str(), nullptr));

    EXPECT_TRUE(files.NormalFileExists(scratch / "plain.exe"));
    EXPECT_FALSE(files.NormalFileExists(scratch / "hidden.exe"));
    EXPECT_FALSE(files.NormalFileExists(scratch / "system.dll"));
    EXPECT_FALSE(files.NormalFileExists(scratch / "folder"));
    EXPECT_FALSE(files.NormalFileExists(scratch / "absent.exe"));
    EXPECT_FALSE(files.NormalFileExists(scratch / "absent\\plain.exe"));
    EXPECT_FALSE(files.NormalFileExists(""));
    EXPECT_FALSE(files.NormalFileExists("Q:\\no\\such\\drive.exe"));
}

TEST_F(FileSystemTest, NormalFileExistsFollowsTheSystemsNameMatching) {
    WriteTestFile(scratch / "hidden.exe", "h", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(files.NormalFileExists(scratch / "*.exe"));  // only a hidden file matches
    WriteTestFile(scratch / "plain.exe", "p");
    EXPECT_TRUE(files.NormalFileExists(scratch / "*.exe"));   // the listing goes past the hidden one
    EXPECT_TRUE(files.NormalFileExists(scratch / "pl?in.exe"));
    EXPECT_TRUE(files.NormalFileExists(scratch / "plain.exe "));  // a trailing blank is dropped
    EXPECT_TRUE(files.NormalFileExists(scratch / "PLAIN.EXE"));
}

TEST_F(FileSystemTest, NonAnsiNamesWork) {
    const std::string name = "Прогр日本 \xF0\x9F\x98\x80.txt";
    WriteTestFile(scratch / name, "12345");
    EXPECT_EQ(files.ListNormalFiles(scratch.Path(), "*"), std::vector<std::string>{name});
    EXPECT_TRUE(files.NormalFileExists(scratch / name));
    const auto details = files.GetDetails(scratch / name);
    ASSERT_TRUE(details.has_value());
    EXPECT_EQ(details->size, 5u);
    ASSERT_TRUE(files.CreateFolderPath(scratch / "Папка"));
    ASSERT_TRUE(files.MoveFileNoReplace(scratch / name, scratch / ("Папка\\" + name)));
    EXPECT_EQ(ReadTestFile(scratch / ("Папка\\" + name)), "12345");
}

TEST_F(FileSystemTest, MoveNeverReplacesAnExistingFile) {
    WriteTestFile(scratch / "from.txt", "source");
    WriteTestFile(scratch / "to.txt", "target");
    EXPECT_FALSE(files.MoveFileNoReplace(scratch / "from.txt", scratch / "to.txt"));
    EXPECT_EQ(ReadTestFile(scratch / "from.txt"), "source");
    EXPECT_EQ(ReadTestFile(scratch / "to.txt"), "target");

    ASSERT_TRUE(CreateDirectoryW(Wide(scratch / "elsewhere").c_str(), nullptr));
    EXPECT_TRUE(files.MoveFileNoReplace(scratch / "from.txt", scratch / "elsewhere\\from.txt"));
    EXPECT_EQ(AttributesOf(scratch / "from.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadTestFile(scratch / "elsewhere\\from.txt"), "source");
    EXPECT_FALSE(files.MoveFileNoReplace(scratch / "absent.txt", scratch / "new.txt"));
}

TEST_F(FileSystemTest, CopyAndDelete) {
    WriteTestFile(scratch / "a.txt", "first");
    WriteTestFile(scratch / "b.txt", "second");
    EXPECT_FALSE(files.CopyFileTo(scratch / "a.txt", scratch / "b.txt", true));
    EXPECT_EQ(ReadTestFile(scratch / "b.txt"), "second");
    EXPECT_TRUE(files.CopyFileTo(scratch / "a.txt", scratch / "b.txt", false));
    EXPECT_EQ(ReadTestFile(scratch / "b.txt"), "first");
    EXPECT_TRUE(files.CopyFileTo(scratch / "a.txt", scratch / "c.txt", true));
    EXPECT_EQ(ReadTestFile(scratch / "c.txt"), "first");

    EXPECT_TRUE(files.RemoveFile(scratch / "a.txt"));
    EXPECT_EQ(AttributesOf(scratch / "a.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(files.RemoveFile(scratch / "a.txt"));
    EXPECT_FALSE(files.RemoveFile(""));
}

TEST_F(FileSystemTest, DetailsGiveSizeAndLocalDates) {
    WriteTestFile(scratch / "dated.bin", std::string(1234, 'x'));
    const SYSTEMTIME local{2021, 3, 0, 4, 12, 34, 56, 0};  // noon: far from any clock change
    SetLocalTimes(scratch / "dated.bin", local);

    const auto details = files.GetDetails(scratch / "dated.bin");
    ASSERT_TRUE(details.has_value());
    EXPECT_EQ(details->size, 1234u);
    const DateTime expected{2021, 3, 4, 12, 34, 56};
    EXPECT_EQ(details->modified, expected);
    EXPECT_EQ(details->created, expected);

    EXPECT_FALSE(files.GetDetails(scratch / "absent.bin").has_value());
    EXPECT_FALSE(files.GetDetails(scratch.Path()).has_value());
    EXPECT_FALSE(files.GetDetails("").has_value());
}

TEST_F(FileSystemTest, CreateFolderPathMakesEveryLevel) {
    const std::string deep = scratch / "one\\two\\three";
    EXPECT_TRUE(files.CreateFolderPath(deep));
    EXPECT_TRUE(files.FolderExists(scratch / "one\\two"));
    EXPECT_TRUE(files.FolderExists(deep));
    EXPECT_TRUE(files.CreateFolderPath(deep));  // already there
    EXPECT_TRUE(files.CreateFolderPath(scratch / "four\\five\\"));
    EXPECT_TRUE(files.FolderExists(scratch / "four\\five"));

    // A file in the way cannot become a folder.
    WriteTestFile(scratch / "file", "f");
    EXPECT_FALSE(files.CreateFolderPath(scratch / "file\\below"));
    EXPECT_FALSE(files.CreateFolderPath(scratch / "file"));
    EXPECT_FALSE(files.FolderExists(scratch / "file"));
    EXPECT_FALSE(files.FolderExists(""));
}

TEST_F(FileSystemTest, HideFolderAddsHiddenAndKeepsTheRest) {
    const std::string folder = scratch / "Startup-Disabled";
    ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
    // Wine keeps no read-only flag on folders, so the system flag stands in for "the rest".
    ASSERT_TRUE(SetFileAttributesW(Wide(folder).c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(AttributesOf(folder) & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(files.HideFolder(folder));
    const DWORD attributes = AttributesOf(folder);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(files.FolderExists(folder));
    EXPECT_FALSE(files.HideFolder(scratch / "absent"));
}

TEST_F(FileSystemTest, ReadSmallFileReadsWholeFilesUpToTheLimit) {
    std::string content(5000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
    WriteTestFile(scratch / "data.bin", content);
    WriteTestFile(scratch / "empty.bin", "");

    const auto whole = files.ReadSmallFile(scratch / "data.bin", 5000);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(std::string(whole->begin(), whole->end()), content);
    EXPECT_FALSE(files.ReadSmallFile(scratch / "data.bin", 4999).has_value());
    const auto empty = files.ReadSmallFile(scratch / "empty.bin", 10);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
    EXPECT_FALSE(files.ReadSmallFile(scratch / "absent.bin", 10).has_value());
    EXPECT_FALSE(files.ReadSmallFile(scratch.Path(), 10).has_value());
}

}  // namespace
