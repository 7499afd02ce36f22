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

TEST(VersionReaderTest, ReadsTheStringsOfTheFixturesAsStored) {
    Win32VersionReader reader;
    ScratchFolder scratch;
    const std::string nonAnsiCopy = scratch / "Образец 日本.exe";
    ASSERT_TRUE(CopyFileW(Wide(FixturePath("fixture_complete")).c_str(), Wide(nonAnsiCopy).c_str(), TRUE));
    const struct {
        std::string file;
        std::uint32_t translation;
        std::string block, name;
        std::optional<std::string> text;
    } cases[] = {
        // Blanks are the reader's business above this layer, so they come through.
        {FixturePath("fixture_complete"), 0x04B00409u, "040904B0", "CompanyName", "  Fixture Works  "},
        {FixturePath("fixture_complete"), 0x04B00409u, "040904B0", "FileDescription", "Образец программы"},
        {FixturePath("fixture_complete"), 0x04B00409u, "040904B0", "FileVersion", "1.2.3.4"},
        {FixturePath("fixture_complete"), 0x04B00409u, "040904B0", "ProductVersion", "1.2"},
        {FixturePath("fixture_complete"), 0x04B00409u, "040904B0", "Comments", std::nullopt},
        {FixturePath("fixture_complete"), 0x04B00409u, "0409FDE9", "CompanyName", std::nullopt},
        {nonAnsiCopy, 0x04B00409u, "040904B0", "ProductName", "Fixture Complete"},
        {FixturePath("fixture_nocompany"), 0x04B00409u, "040904B0", "CompanyName", std::nullopt},
        {FixturePath("fixture_nocompany"), 0x04B00409u, "040904B0", "ProductName", "Fixture No Company"},
        // The translation names the block of another code page.
        {FixturePath("fixture_utf8cp"), 0xFDE90409u, "0409FDE9", "ProductName", "日本 Fixture"},
        {FixturePath("fixture_utf8cp"), 0xFDE90409u, "040904B0", "ProductName", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + " " + c.block + " " + c.name);
        const auto resource = reader.Open(c.file);
        ASSERT_NE(resource, nullptr);
        EXPECT_EQ(resource->FirstTranslation(), c.translation);
        EXPECT_EQ(resource->QueryString(Block(c.block, c.name)), c.text);
    }
    // A name without a folder is looked for where libraries are: the system folder has this one.
    const auto system = reader.Open("kernel32.dll");
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(system->FirstTranslation().has_value());
    for (const std::string& none : {FixturePath("fixture_noversion"), FixturePath("fixture_absent"), std::string()})
        EXPECT_EQ(reader.Open(none), nullptr) << none;
}

}  // namespace
