// Windows' own startup flags in the real registry, native and WOW64. The
// machine's keys are used: a user key under Wow6432Node would make Wine
// redirect the user's 32-bit view for the tests that follow.

#include <windows.h>

#include "WinTest.h"
#include "operations/ItemOperations.h"
#include "platform/win32/ShellIcons.h"
#include "support/FakeTexts.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace wintest;

namespace {

const std::wstring kApproved = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
const wchar_t* const kWowRun = L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

class StartupFlags : public PrefixTest {
protected:
    void TearDown() override {
        const std::wstring name = Wide(Named("flagged"));
        for (const wchar_t* key : {L"Run", L"Run32"}) {
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, (kApproved + key).c_str(), name.c_str());
        }
        for (const wchar_t* key : {kRun, kWowRun}) RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key, name.c_str());
        PrefixTest::TearDown();
    }
    std::optional<std::size_t> RowOf(const std::string& section) {
        for (std::size_t i = 0; i < list.Rows().size(); ++i) {
            if (list.Rows()[i].Name() == Named("flagged") && list.Rows()[i].Section() == section) return i;
        }
        return std::nullopt;
    }

    test::FakeTexts texts;
    test::ScriptedPrompt prompt;
    FileInfoClass fileInfo{versions, &files};
    ShellIconList icons{IconSize::Small};
    MainList list{platform, fileInfo, texts, icons, ResolveStartupFolders(shell)};
};

TEST_F(StartupFlags, TheWow64EntryFollowsRun32AndEnableClearsOnlyItsFlag) {
    const std::wstring name = Wide(Named("flagged"));
    std::vector<std::uint8_t> skip(12, 0), keep(12, 0);
    skip[0] = 0x03, skip[5] = 0xA1, skip[10] = 0x01;
    keep[0] = 0x02;
    ASSERT_TRUE(SetRaw(HKEY_LOCAL_MACHINE, kRun, name, REG_SZ, Bytes(L"C:\\nowhere\\a.exe")));
    ASSERT_TRUE(SetRaw(HKEY_LOCAL_MACHINE, kWowRun, name, REG_SZ, Bytes(L"C:\\nowhere\\b.exe")));
    ASSERT_TRUE(SetRaw(HKEY_LOCAL_MACHINE, kApproved + L"Run", name, REG_BINARY, keep));
    ASSERT_TRUE(SetRaw(HKEY_LOCAL_MACHINE, kApproved + L"Run32", name, REG_BINARY, skip));
    texts.Set("Main", "61", "by Windows");
    list.LoadRegistryInfo();

    const auto native = RowOf("Registry -> Machine Run"), wow = RowOf("Registry -> Machine Run (WOW64)");
    ASSERT_TRUE(native && wow);
    EXPECT_EQ("", list.Rows()[*native].Status());
    EXPECT_EQ("by Windows", list.Rows()[*wow].Status());

    list.Select(wow);
    EXPECT_TRUE(EnableSelected(OperationContext{platform, texts, prompt, list}));
    std::vector<std::uint8_t> cleared(12, 0);
    cleared[0] = 0x02;
    EXPECT_EQ(cleared, GetRaw(HKEY_LOCAL_MACHINE, kApproved + L"Run32", name).data);
    EXPECT_EQ(keep, GetRaw(HKEY_LOCAL_MACHINE, kApproved + L"Run", name).data);
    EXPECT_EQ(Bytes(L"C:\\nowhere\\b.exe"), GetRaw(HKEY_LOCAL_MACHINE, kWowRun, name).data);
    list.LoadRegistryInfo();
    EXPECT_EQ("", list.Rows()[*RowOf("Registry -> Machine Run (WOW64)")].Status());
}

}  // namespace
