// Odd data in the real registry and folders: an expandable command, moves that fail.

#include <windows.h>

#include "WinTest.h"
#include "catalogue/EntryStore.h"
#include "catalogue/MainList.h"
#include "platform/Text.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ShellIcons.h"
#include "support/FakeTexts.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace wintest;

namespace {

class HostileData : public PrefixTest {
protected:
    const StartupItem* Row(const std::string& name) {
        for (const StartupItem& row : list.Rows()) {
            if (row.Name() == name) return &row;
        }
        return nullptr;
    }

    test::FakeTexts texts;
    FileInfoClass fileInfo{versions, &files};
    ShellIconList icons{IconSize::Small};
    MainList list{platform, fileInfo, texts, icons, ResolveStartupFolders(shell)};
};

TEST_F(HostileData, AnExpandableCommandFindsItsProgramAndKeepsItsTypeThroughAMove) {
    const std::wstring notepad = L"%SystemRoot%\\system32\\notepad.exe";
    ASSERT_TRUE(SetRaw(HKEY_CURRENT_USER, kRun, Wide(Named("expand")), REG_EXPAND_SZ, Bytes(notepad)));
    list.LoadRegistryInfo();
    const StartupItem* expand = Row(Named("expand"));
    ASSERT_TRUE(expand && expand->programFound);
    EXPECT_EQ(Narrow(notepad), expand->Value());
    EXPECT_TRUE(EqualsAsciiNoCase(system.SystemFolder() + "\\notepad.exe", expand->columns[kColProcessPath]));
    const EntryRef entry = StoreOf(*expand);
    ASSERT_EQ(MoveResult::Moved, MoveEntry(platform, list.Folders(), entry));
    ASSERT_EQ(MoveResult::Moved, MoveEntry(platform, list.Folders(), OtherStore(entry)));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), GetRaw(HKEY_CURRENT_USER, kRun, Wide(Named("expand"))).type);
}

TEST_F(HostileData, AMoveThatCannotHappenSaysWhyAndChangesNothing) {
    const StartupLocation& folder = StartupLocations()[8];
    const std::string live = UserStartup() + "\\";
    const std::string twin = list.Folders().userDisabled;
    WriteAll(live + Named("locked.lnk"), "locked");
    WriteAll(live + Named("blocked.lnk"), "blocked");

    {
        // Open as an editor holding the file would: no sharing of delete.
        UniqueHandle open(CreateFileW(Wide(live + Named("locked.lnk")).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(open);
        EXPECT_EQ(MoveResult::InUse,
                  MoveEntry(platform, list.Folders(), EntryRef{&folder, false, Named("locked.lnk")}));
    }
    ASSERT_TRUE(files.CreateFolderPath(twin));
    const std::wstring inTheWay = Wide(twin + Named("blocked.lnk"));
    ASSERT_TRUE(CreateDirectoryW(inTheWay.c_str(), nullptr));
    EXPECT_EQ(MoveResult::TargetIsFolder,
              MoveEntry(platform, list.Folders(), EntryRef{&folder, false, Named("blocked.lnk")}));
    EXPECT_TRUE(RemoveDirectoryW(inTheWay.c_str()));
    EXPECT_EQ("locked", ReadAll(live + Named("locked.lnk")));
    EXPECT_EQ("blocked", ReadAll(live + Named("blocked.lnk")));
    EXPECT_TRUE(Gone(twin + Named("locked.lnk")));
}

}  // namespace
