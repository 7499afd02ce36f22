// Windows' own startup flags: read as it writes them, cleared by Enable,
// never rewritten when they are not flags.

#include <gtest/gtest.h>

#include "catalogue/StartupApproved.h"
#include "operations/ItemOperations.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kApproved = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";

Bytes Flag(std::uint8_t word, bool withTime = true) {
    Bytes bytes(12, 0);
    bytes[0] = word;
    if (withTime) bytes[4] = 0x5A, bytes[11] = 0x01;
    return bytes;
}

TEST(StartupApproved, FlagsAreReadAsWindowsWritesThem) {
    const struct {
        std::uint32_t type;
        Bytes data;
        bool skipped;
    } cases[] = {
        {RegType::Binary, Flag(0x02, false), false}, {RegType::Binary, Flag(0x06, false), false},
        {RegType::Binary, Flag(0x00, false), false}, {RegType::Binary, Flag(0x03), true},
        {RegType::Binary, Flag(0x07), true},         {RegType::Binary, Bytes{0x03}, false},
        {RegType::Binary, Bytes(13, 0x03), false},   {RegType::Dword, Bytes{3, 0, 0, 0}, false},
        {RegType::Binary, Bytes(11, 0x03), false},   {RegType::String, Flag(0x03), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SkippedByWindows(RegValue{"x", c.type, c.data}), c.skipped)
            << c.type << " of " << c.data.size() << " bytes, word " << int(c.data[0]);
    }
    const auto& places = StartupLocations();
    const char* const keys[] = {"HKCU Run", "HKCU Run32", "", "", "HKLM Run", "HKLM Run32", "", "",
                                "HKCU StartupFolder", "HKLM StartupFolder"};
    for (std::size_t i = 0; i < places.size(); ++i) {
        const auto key = ApprovedKeyOf(places[i]);
        const std::string text = key ? std::string(key->hive == Hive::LocalMachine ? "HKLM " : "HKCU ") +
                                           key->path.substr(kApproved.size())
                                     : "";
        EXPECT_EQ(text, keys[i]) << places[i].section;
    }
}

class Flags : public ::testing::Test {
protected:
    Flags() {
        w.texts.Set("Main", "61", "by Windows");
        w.texts.Set("Main", "62", "flag kept %1 @ %2");
    }
    void SetFlag(Hive hive, const std::string& key, const std::string& name, const Bytes& data,
                 std::uint32_t type = RegType::Binary) {
        w.registry.SetValue(hive, kApproved + key, RegValue{name, type, data});
    }
    Bytes FlagOf(Hive hive, const std::string& key, const std::string& name) {
        const auto value = w.registry.GetValue(hive, kApproved + key, name);
        return value ? value->data : Bytes{};
    }
    const StartupItem& Row(const std::string& name, const std::string& section) {
        for (std::size_t i = 0; i < w.list.Rows().size(); ++i) {
            const StartupItem& row = w.list.Rows()[i];
            if (row.Name() == name && row.Section() == section) {
                w.list.Select(i);
                return row;
            }
        }
        ADD_FAILURE() << name << " in " << section;
        return w.list.Rows().front();
    }

    TestWorld w;
    OperationContext context{w.platform, w.texts, w.prompt, w.list};
    const std::string wow = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string once = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
};

TEST_F(Flags, AnEntryWindowsSkipsIsShownAndCountedDisabledAndEnabledInPlace) {
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "App", "C:\\app.exe");
    w.SetRunValue(Hive::CurrentUser, once, "App", "C:\\app.exe");  // RunOnce has no flags
    w.SetRunValue(Hive::LocalMachine, wow, "Legacy", "C:\\legacy.exe");
    w.SetRunValue(Hive::CurrentUser, TestWorld::kUserRun, "Odd", "C:\\odd.exe");
    w.AddShortcut(w.folders.user, "Clock.lnk", "C:\\clock.exe");
    SetFlag(Hive::CurrentUser, "Run", "app", Flag(0x07));  // names match without regard to case
    SetFlag(Hive::LocalMachine, "Run32", "Legacy", Flag(0x03));
    SetFlag(Hive::CurrentUser, "StartupFolder", "Clock.lnk", Flag(0x03));
    SetFlag(Hive::CurrentUser, "Run", "Odd", {3, 0, 0, 0}, RegType::Dword);
    SetFlag(Hive::LocalMachine, "Run", "Legacy", Flag(0x03));  // the native key's flag, not WOW64's
    w.list.LoadRegistryInfo();

    EXPECT_EQ(Row("App", "Registry -> User Run").Status(), "by Windows");
    EXPECT_EQ(Row("App", "Registry -> User RunOnce").Status(), "");
    EXPECT_EQ(Row("Legacy", "Registry -> Machine Run (WOW64)").Status(), "by Windows");
    EXPECT_EQ(Row("Clock.lnk", "Startup Folder -> User").Status(), "by Windows");
    EXPECT_EQ(Row("Odd", "Registry -> User Run").Status(), "");
    EXPECT_EQ(w.list.Count_Items().disabled, "(3) disabled");

    // Enable clears bit 0 and the time, keeps the other bits and the length,
    // and leaves the entry where it is; a value that is no flag is left alone.
    Row("App", "Registry -> User Run");
    EXPECT_TRUE(EnableSelected(context));
    EXPECT_EQ(FlagOf(Hive::CurrentUser, "Run", "App"), Flag(0x06, false));
    EXPECT_EQ(Row("App", "Registry -> User Run").Status(), "");
    EXPECT_TRUE(w.registry.GetValue(Hive::CurrentUser, TestWorld::kUserRun, "App"));
    Row("Odd", "Registry -> User Run");
    EXPECT_FALSE(EnableSelected(context));  // "already enabled"
    EXPECT_EQ(FlagOf(Hive::CurrentUser, "Run", "Odd"), (Bytes{3, 0, 0, 0}));
    EXPECT_EQ(w.list.Count_Items().disabled, "(2) disabled");

    // Disable moves a flagged entry into our store and leaves the flag; enabling
    // it from there clears the flag too.
    Row("Clock.lnk", "Startup Folder -> User");
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_EQ(FlagOf(Hive::CurrentUser, "StartupFolder", "Clock.lnk"), Flag(0x03));
    EXPECT_TRUE(EnableSelected(context));
    EXPECT_EQ(FlagOf(Hive::CurrentUser, "StartupFolder", "Clock.lnk"), Flag(0x02, false));
    EXPECT_EQ(Row("Clock.lnk", "Startup Folder -> User").Status(), "");

    // A flag that cannot be cleared is said, and the row stays as it was.
    w.registry.Fail(RegFault::Write, Hive::LocalMachine, kApproved + "Run32");
    Row("Legacy", "Registry -> Machine Run (WOW64)");
    w.prompt.calls.clear();
    EXPECT_TRUE(EnableSelected(context));
    ASSERT_EQ(w.prompt.calls.size(), 1u);
    EXPECT_EQ(w.prompt.calls[0].text, "flag kept Legacy @ HKEY_LOCAL_MACHINE\\" + kApproved + "Run32");
    EXPECT_EQ(Row("Legacy", "Registry -> Machine Run (WOW64)").Status(), "by Windows");
}

}  // namespace
