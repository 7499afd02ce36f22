// The file system as Windows has it: which files count as normal, moves that
// never replace, copies, deletes, folder creation, dates and non-ANSI names.

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

class FileSystemTest : public ::testing::Test {
protected:
    std::vector<std::string> List(const std::string& folder, const std::string& pattern) {
        std::vector<std::string> names = files.ListNormalFiles(folder, pattern);
        std::sort(names.begin(), names.end());
        return names;
    }
    bool Gone(const std::string& path) { return AttributesOf(path) == INVALID_FILE_ATTRIBUTES; }

    ScratchFolder scratch;
    Win32FileSystem files;
};

TEST_F(FileSystemTest, OnlyNormalFilesAreListedAndFound) {
    WriteTestFile(scratch / "plain.exe", "p");
    WriteTestFile(scratch / "readonly.txt", "r", FILE_ATTRIBUTE_READONLY);
    WriteTestFile(scratch / "archive.txt", "a", FILE_ATTRIBUTE_ARCHIVE);
    WriteTestFile(scratch / "hidden.exe", "h", FILE_ATTRIBUTE_HIDDEN);
    WriteTestFile(scratch / "system.dll", "s", FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(CreateDirectoryW(Wide(scratch / "folder.txt").c_str(), nullptr));

    const std::vector<std::string> normal = {"archive.txt", "plain.exe", "readonly.txt"};
    EXPECT_EQ(List(scratch.Path(), "*.*"), normal);
    EXPECT_EQ(List(scratch.Path() + "\\", "*.*"), normal);
    EXPECT_EQ(List(scratch.Path(), "*.exe"), std::vector<std::string>{"plain.exe"});
    EXPECT_TRUE(List(scratch / "absent", "*.*").empty());
    EXPECT_TRUE(List("", "*.*").empty());

    const std::pair<std::string, bool> lookups[] = {
        {scratch / "plain.exe", true},        {scratch / "PLAIN.EXE", true},
        {scratch / "plain.exe ", true},       {scratch / "pl?in.exe", true},
        {scratch / "*.exe", true},  // the listing goes past the hidden match
        {scratch / "*.dll", false},  // only a system file matches
        {scratch / "hidden.exe", false},      {scratch / "system.dll", false},
        {scratch / "folder.txt", false},      {scratch / "absent.exe", false},
        {scratch / "absent\\plain.exe", false}, {"", false},
        {"Q:\\no\\such\\drive.exe", false}};
    for (const auto& [path, found] : lookups) EXPECT_EQ(files.NormalFileExists(path), found) << path;
}

TEST_F(FileSystemTest, MoveNeverReplacesCopyReplacesOnlyWhenAskedDeleteRemoves) {
    WriteTestFile(scratch / "from.txt", "source");
    WriteTestFile(scratch / "to.txt", "target");
    EXPECT_FALSE(files.MoveFileNoReplace(scratch / "from.txt", scratch / "to.txt"));
    EXPECT_EQ(ReadTestFile(scratch / "from.txt"), "source");
    EXPECT_EQ(ReadTestFile(scratch / "to.txt"), "target");
    EXPECT_FALSE(files.CopyFileTo(scratch / "from.txt", scratch / "to.txt", true));
    EXPECT_EQ(ReadTestFile(scratch / "to.txt"), "target");
    EXPECT_TRUE(files.CopyFileTo(scratch / "from.txt", scratch / "to.txt", false));
    EXPECT_EQ(ReadTestFile(scratch / "to.txt"), "source");

    ASSERT_TRUE(CreateDirectoryW(Wide(scratch / "elsewhere").c_str(), nullptr));
    EXPECT_TRUE(files.MoveFileNoReplace(scratch / "from.txt", scratch / "elsewhere\\from.txt"));
    EXPECT_TRUE(Gone(scratch / "from.txt"));
    EXPECT_EQ(ReadTestFile(scratch / "elsewhere\\from.txt"), "source");
    EXPECT_FALSE(files.MoveFileNoReplace(scratch / "absent.txt", scratch / "new.txt"));

    EXPECT_TRUE(files.RemoveFile(scratch / "to.txt"));
    EXPECT_TRUE(Gone(scratch / "to.txt"));
    EXPECT_FALSE(files.RemoveFile(scratch / "to.txt"));
    EXPECT_FALSE(files.RemoveFile(""));
}

TEST_F(FileSystemTest, NonAnsiNamesAreListedFoundReadAndMoved) {
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

TEST_F(FileSystemTest, DetailsGiveSizeAndTheDatesOfTheUsersClock) {
    const std::string path = scratch / "dated.bin";
    WriteTestFile(path, std::string(1234, 'x'));
    const SYSTEMTIME local{2021, 3, 0, 4, 12, 34, 56, 0};  // noon: far from any clock change
    SYSTEMTIME utc{};
    FILETIME time{};
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &time));
    {
        UniqueHandle file(CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file && SetFileTime(file.get(), &time, &time, &time));
    }
    const auto details = files.GetDetails(path);
    ASSERT_TRUE(details.has_value());
    EXPECT_EQ(details->size, 1234u);
    EXPECT_EQ(details->modified, (DateTime{2021, 3, 4, 12, 34, 56}));
    EXPECT_EQ(details->created, (DateTime{2021, 3, 4, 12, 34, 56}));
    for (const std::string& none : {scratch / "absent.bin", scratch.Path(), std::string()}) {
        EXPECT_FALSE(files.GetDetails(none).has_value()) << none;
    }
}

TEST_F(FileSystemTest, FoldersAreMadeAtEveryLevelAndHiddenKeepingTheirOtherFlags) {
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

    // Wine keeps no read-only flag on folders, so the system flag stands in for "the rest".
    ASSERT_TRUE(SetFileAttributesW(Wide(deep).c_str(), FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(files.HideFolder(deep));
    const DWORD flags = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_EQ(AttributesOf(deep) & flags, flags);
    EXPECT_TRUE(files.FolderExists(deep));
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
