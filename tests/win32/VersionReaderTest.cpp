#include <windows.h>

#include <gtest/gtest.h>

#include "Win32TestSupport.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32VersionReader.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace dovoviza::win32::test;

namespace {

std::string Block(const std::string& block, const std::string& name) {
    return "\\StringFileInfo\\" + block + "\\" + name;
}

class VersionReaderTest : public ::testing::Test {
protected:
    Win32VersionReader reader;
};

TEST_F(VersionReaderTest, ReadsEveryStringOfAUnicodeBlockAsStored) {
    const auto resource = reader.Open(FixturePath("fixture_complete"));
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(resource->FirstTranslation(), 0x04B00409u);
    // Blanks are the reader's business above this layer, so they come through.
    EXPECT_EQ(resource->QueryString(Block("040904B0", "CompanyName")), "  Fixture Works  ");
    EXPECT_EQ(resource->QueryString(Block("040904B0", "FileDescription")), "Образец программы");
    EXPECT_EQ(resource->QueryString(Block("040904B0", "FileVersion")), "1.2.3.4");
    EXPECT_EQ(resource->QueryString(Block("040904B0", "ProductName")), "Fixture Complete");
    EXPECT_EQ(resource->QueryString(Block("040904B0", "ProductVersion")), "1.2");
    EXPECT_FALSE(resource->QueryString(Block("040904B0", "Comments")).has_value());
    EXPECT_FALSE(resource->QueryString(Block("0409FDE9", "CompanyName")).has_value());
}

TEST_F(VersionReaderTest, AMissingStringFailsWhileTheOthersRead) {
    const auto resource = reader.Open(FixturePath("fixture_nocompany"));
    ASSERT_NE(resource, nullptr);
    EXPECT_FALSE(resource->QueryString(Block("040904B0", "CompanyName")).has_value());
    EXPECT_EQ(resource->QueryString(Block("040904B0", "ProductName")), "Fixture No Company");
}

TEST_F(VersionReaderTest, TheTranslationNamesTheBlockOfAnotherCodePage) {
    const auto resource = reader.Open(FixturePath("fixture_utf8cp"));
    ASSERT_NE(resource, nullptr);
    const auto translation = resource->FirstTranslation();
    ASSERT_TRUE(translation.has_value());
    EXPECT_EQ(*translation & 0xFFFF, 0x0409u);
    EXPECT_EQ(*translation >> 16, 0xFDE9u);
    EXPECT_EQ(resource->QueryString(Block("0409FDE9", "ProductName")), "日本 Fixture");
    EXPECT_FALSE(resource->QueryString(Block("040904B0", "ProductName")).has_value());
}

TEST_F(VersionReaderTest, FilesWithoutAResourceGiveNothing) {
    EXPECT_EQ(reader.Open(FixturePath("fixture_noversion")), nullptr);
    EXPECT_EQ(reader.Open(FixturePath("fixture_absent")), nullptr);
    EXPECT_EQ(reader.Open(""), nullptr);
}

TEST_F(VersionReaderTest, PathsOutsideAnsiAndBareNamesAreFound) {
    ScratchFolder scratch;
    const std::string copy = scratch / "Образец 日本.exe";
    ASSERT_TRUE(CopyFileW(Wide(FixturePath("fixture_complete")).c_str(), Wide(copy).c_str(), TRUE));
    const auto copied = reader.Open(copy);
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->QueryString(Block("040904B0", "ProductName")), "Fixture Complete");

    // A name without a folder is looked for where libraries are: the system folder has this one.
    const auto system = reader.Open("kernel32.dll");
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(system->FirstTranslation().has_value());
}

}  // namespace
