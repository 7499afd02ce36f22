// Entries over the real registry, Startup folders and shortcuts, and the
// change notifications the watchdog relies on to skip what did not change.

#include <algorithm>
#include <atomic>
#include <thread>

#include "WinTest.h"
#include "catalogue/EntryStore.h"
#include "catalogue/Loaders.h"
#include "catalogue/RegistryAccess.h"
#include "monitor/Monitor.h"
#include "operations/EntryEditor.h"
#include "operations/ItemOperations.h"
#include "platform/Text.h"
#include "platform/win32/ReadAheadRegistry.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32ChangeWatcher.h"
#include "support/FakeTexts.h"
#include "support/ScriptedPrompt.h"

using namespace dovoviza;
using namespace wintest;

namespace {

// The real watcher, except that it sets no watch on registry keys.
struct NoKeyWatches : IChangeWatcher {
    std::unique_ptr<IChangeWatch> WatchKey(Hive, const std::string&) override { return nullptr; }
    std::unique_ptr<IChangeWatch> WatchFolder(const std::string& path) override {
        return real.WatchFolder(path);
    }
    win32::Win32ChangeWatcher real;
};

class Entries : public PrefixTest, public IAlertSink {
protected:
    Entries() { texts.Set("Main", "37", "Disabled"); }
    void TearDown() override {
        monitor.reset();  // its watches keep folders open
        PrefixTest::TearDown();
    }
    void RaiseAlert(const AlertEntry&) override {}
    const StartupItem* Row(const std::string& name, bool disabled = false) const {
        for (const StartupItem& row : list.Rows())
            if (row.Name() == Named(name) && row.IsDisabled() == disabled) return &row;
        return nullptr;
    }
    // Reloads the list and selects one entry; false when it is not listed.
    bool Select(const std::string& name, bool disabled = false) {
        list.LoadRegistryInfo();
        const StartupItem* row = Row(name, disabled);
        if (row) list.Select(static_cast<std::size_t>(row - list.Rows().data()));
        return row;
    }
    // The list loaded and ticked once, as the program starts.
    Monitor& Start(IChangeWatcher& changes) {
        monitor.emplace(platform, fileInfo, texts, list, *this, &changes);
        list.LoadRegistryInfo();
        monitor->Tick();
        return *monitor;
    }
    static std::string In(const char* folder, const std::string& name) {
        return UserStartup() + folder + "\\" + Named(name);
    }

    StartupFolderPaths folders = [this] {
        StartupFolderPaths paths = ResolveStartupFolders(shell);
        PrepareDisabledFolders(files, paths);
        return paths;
    }();
    test::FakeTexts texts;
    test::ScriptedPrompt prompt;
    win32::ShellIconList icons{IconSize::Small};
    FileInfoClass fileInfo{versions, &files};
    MainList list{platform, fileInfo, texts, icons, folders};
    OperationContext context{platform, texts, prompt, list};
    win32::Win32ChangeWatcher watcher;
    NoKeyWatches unwatched;
    std::optional<Monitor> monitor;
};

TEST_F(Entries, RegistryValuesAndShortcutsSurviveDisableAndEnableByteForByte) {
    // Expandable data with more after its first NUL, as another program may store it.
    std::vector<std::uint8_t> expandable = Bytes(L"%SystemRoot%\\system32\\cmd.exe /c exit");
    for (const std::uint8_t byte : Bytes(L"tail")) expandable.push_back(byte);
    const std::tuple<std::string, DWORD, std::vector<std::uint8_t>> values[] = {
        {"expand", REG_EXPAND_SZ, expandable},
        {"Запуск-日本-✓", REG_SZ, Bytes(L"C:\\\u00fc\\\u043f\u0440.exe")}};
    for (const auto& [name, type, data] : values) {
        ASSERT_TRUE(SetRaw(HKEY_CURRENT_USER, kRun, Wide(Named(name)), type, data));
        for (const bool disable : {true, false}) {
            SCOPED_TRACE(name + (disable ? " disable" : " enable"));
            ASSERT_TRUE(Select(name, !disable));
            EXPECT_TRUE(disable ? DisableSelected(context) : EnableSelected(context));
            const Raw moved = Get(name, disable ? kRunDisabled : kRun);
            EXPECT_TRUE(moved.type == type && moved.data == data);
            EXPECT_EQ(Get(name, disable ? kRun : kRunDisabled).status, ERROR_FILE_NOT_FOUND);
            EXPECT_EQ(list.Selected()->Status(), disable ? "Disabled" : "");
        }
    }

    // A shortcut made by the editor goes to the hidden twin of its folder and back.
    EntryEditor editor(context);
    editor.fields =
        EditorFields{Named("link"), Cmd(), "", SectionChoiceIndex("Startup Folder -> User")};
    ASSERT_EQ(editor.Save(), SaveResult::Close);
    const std::string made = ReadAll(In("", "link.lnk"));
    EXPECT_EQ(made.substr(60, 1), std::string(1, SW_SHOWNORMAL));  // the header's show command
    ASSERT_TRUE(Select("link.lnk"));
    EXPECT_TRUE(DisableSelected(context));
    EXPECT_TRUE(Gone(In("", "link.lnk")) && ReadAll(In("-Disabled", "link.lnk")) == made);
    EXPECT_NE(GetFileAttributesW(Wide(folders.userDisabled).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    // The disabled row still knows its program, and shows it from the twin.
    ASSERT_TRUE(Select("link.lnk", true));
    EXPECT_TRUE(EqualsAsciiNoCase(list.Selected()->columns[kColProcessPath], Cmd()));
    EXPECT_EQ(PropertiesPath(*list.Selected(), folders), In("-Disabled", "link.lnk"));
    EXPECT_TRUE(EnableSelected(context));
    EXPECT_TRUE(Gone(In("-Disabled", "link.lnk")) && ReadAll(In("", "link.lnk")) == made);
    EXPECT_TRUE(prompt.calls.empty());
}

using WatchedMonitor = Entries;

TEST_F(WatchedMonitor, KeyWatchesSeeMissingParentsAndOnePollKeepsAnEarlierChange) {
    const std::string path = Narrow(kScratchKey) + "\\Later\\Run";
    ASSERT_TRUE(registry.CreateKey(Hive::CurrentUser, Narrow(kScratchKey)));
    const auto watch = watcher.WatchKey(Hive::CurrentUser, path);
    ASSERT_TRUE(watch);
    EXPECT_FALSE(watch->Changed());
    const auto key = registry.CreateKey(Hive::CurrentUser, path);
    ASSERT_TRUE(key);
    EXPECT_TRUE(watch->Changed());        // seen from the key above
    static_cast<void>(watch->Changed());  // the level below, now watched
    EXPECT_FALSE(watch->Changed());
    for (const char* text : {"a", "b"}) {  // added, then changed
        ASSERT_TRUE(key->WriteValue("One", RegType::String, EncodeUtf16LeWithNul(text)));
        EXPECT_TRUE(watch->Changed());
        EXPECT_FALSE(watch->Changed());
    }
    const auto run = watcher.WatchKey(Hive::CurrentUser, Narrow(kRun));
    ASSERT_TRUE(run && key->WriteValue("Two", RegType::String, EncodeUtf16LeWithNul("c")));
    watcher.Poll();
    EXPECT_TRUE(watch->Changed() && !run->Changed());
    watcher.Poll();
    EXPECT_FALSE(watch->Changed());
}

TEST_F(WatchedMonitor, FolderWatchesSeeTheirFilesAndTheirOwnRenameAwayAndBack) {
    const std::string folder = Scratch("Startup"), away = Scratch("Away");
    ASSERT_TRUE(files.CreateFolderPath(folder));
    const auto watch = watcher.WatchFolder(folder);
    ASSERT_TRUE(watch);
    EXPECT_FALSE(watch->Changed());
    // File notifications arrive a moment after the change.
    const auto seen = [&] { return WaitUntil([&] { return watch->Changed(); }); };
    ASSERT_TRUE(files.CopyFileTo(FixturePath("fixture_complete"), folder + "\\tool.exe", true));
    EXPECT_TRUE(seen());
    ASSERT_TRUE(MoveFileW(Wide(folder).c_str(), Wide(away).c_str()));
    EXPECT_TRUE(seen());
    ASSERT_TRUE(MoveFileW(Wide(away).c_str(), Wide(folder).c_str()));
    EXPECT_TRUE(seen());
    ASSERT_TRUE(files.RemoveFile(folder + "\\tool.exe"));
    EXPECT_TRUE(seen());
}

TEST_F(WatchedMonitor, AStoreWithoutAWatchIsReadEveryTick) {
    Monitor& ticks = Start(unwatched);
    ASSERT_TRUE(Put("unwatched", L"C:\\nowhere\\x.exe"));
    const TickReport report = ticks.Tick();  // no signal can come: the store is read anyway
    EXPECT_EQ(report.alert.value_or(AlertEntry{}).name, Named("unwatched"));
}

TEST_F(WatchedMonitor, AProgramFileThatAppearsFillsItsRow) {
    const std::string program = Scratch("later.exe");
    ASSERT_TRUE(Put("later", Wide("\"" + program + "\" /x")));
    Monitor& ticks = Start(watcher);
    ASSERT_TRUE(Row("later") && !Row("later")->programFound);
    EXPECT_TRUE(ticks.Tick().enforcements.empty());
    EXPECT_EQ(ticks.StoresRead(), 0u);  // quiet: nothing read
    ASSERT_TRUE(files.CopyFileTo(FixturePath("fixture_complete"), program, true));
    EXPECT_TRUE(WaitUntil([&] {
        ticks.Tick();
        const StartupItem* row = Row("later");
        return row && row->programFound && row->columns[kColProcessPath] == program;
    }));
    const auto& columns = Row("later")->columns;  // with its version strings, of the named block
    EXPECT_EQ(columns[kColProductName] + "|" + columns[kColDescription] + "|" +
                  columns[kColCompany] + "|" + columns[kColVersion],
              "Fixture Complete|Образец программы|Fixture Works|1.2.3.4");
}

TEST_F(WatchedMonitor, ACopyWrittenBackBesideANewEntryIsPutOutAgainAndTheEntryStaysDisabled) {
    const std::wstring command = L"C:\\nowhere\\z.exe /q";
    ASSERT_TRUE(Put("zwatch", command));
    list.LoadRegistryInfo();
    ASSERT_EQ(MoveEntry(platform, folders, StoreOf(*Row("zwatch"))), MoveResult::Moved);
    Monitor& ticks = Start(watcher);
    // Written back, and a new value that comes before it in the store.
    ASSERT_TRUE(Put("zwatch", command) && Put("awatch", L"C:\\nowhere\\a.exe"));
    EXPECT_EQ(ticks.Tick().alert.value_or(AlertEntry{}).name, Named("awatch"));
    for (int tick = 0; tick < 3; ++tick) ticks.Tick();
    EXPECT_EQ(Get("zwatch").status, ERROR_FILE_NOT_FOUND);
    const Raw parked = Get("zwatch", kRunDisabled);
    EXPECT_TRUE(parked.type == REG_SZ && parked.data == Bytes(command));
    list.LoadRegistryInfo();
    const auto named = [](const StartupItem& row) { return row.Name() == Named("zwatch"); };
    EXPECT_EQ(std::count_if(list.Rows().begin(), list.Rows().end(), named), 1);
    EXPECT_TRUE(Row("zwatch", true));
}

}  // namespace

namespace {

// The registry, counting the values listed through it on the test's own thread.
class CountingRegistry final : public IRegistry {
public:
    class Key final : public ForwardingRegKey {
    public:
        Key(std::unique_ptr<IRegKey> key, CountingRegistry& owner) : ForwardingRegKey(std::move(key)), owner_(owner) {}
        std::optional<RegValue> EnumValue(std::uint32_t index) override {
            if (std::this_thread::get_id() == owner_.thread) ++owner_.listed;
            return ForwardingRegKey::EnumValue(index);
        }

    private:
        CountingRegistry& owner_;
    };
    std::unique_ptr<IRegKey> OpenKey(Hive hive, const std::string& path, bool writable) override {
        auto key = registry.OpenKey(hive, path, writable);
        return key ? std::make_unique<Key>(std::move(key), *this) : nullptr;
    }
    std::unique_ptr<IRegKey> CreateKey(Hive hive, const std::string& path) override { return registry.CreateKey(hive, path); }
    bool KeyExists(Hive hive, const std::string& path) override { return registry.KeyExists(hive, path); }

    win32::Win32Registry registry;
    const std::thread::id thread = std::this_thread::get_id();
    std::atomic<int> listed{0};
};

std::vector<std::string> Listing(IRegistry& registry, const std::string& path) {
    std::vector<std::string> values;
    const auto key = registry.OpenKey(Hive::CurrentUser, path, false);
    for (std::uint32_t i = 0; key && i < key->ValueCount().value_or(0); ++i) {
        if (const auto value = key->EnumValue(i)) values.push_back(value->name + "=" + RegDataText(*value));
    }
    return values;
}

}  // namespace

TEST_F(WatchedMonitor, ValuesReadAheadAreNeverOlderThanTheKeyAndComeWithoutAskingOnceRead) {
    const std::string path = Narrow(kScratchKey) + "\\Ahead";
    CountingRegistry counting;
    win32::ReadAheadRegistry ahead(counting);
    ahead.Keep(Hive::CurrentUser, path);
    ASSERT_TRUE(ahead.Start());
    const auto fromCopy = [&] {
        const int before = counting.listed;
        const auto listed = Listing(ahead, path);
        return counting.listed == before && listed == Listing(registry, path);
    };
    // Missing at the start, made, deleted and made again: each time the
    // listing is the key's own, and then comes from the copy.
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(Listing(ahead, path).empty());
        const auto key = registry.CreateKey(Hive::CurrentUser, path);
        for (int i = 0; key && i < 40; ++i) {
            ASSERT_TRUE(key->WriteValue("v" + std::to_string(i), RegType::String, EncodeUtf16LeWithNul("x")));
        }
        EXPECT_EQ(Listing(ahead, path), Listing(registry, path));
        EXPECT_TRUE(WaitUntil(fromCopy));
        // Asked for at once after each change, as a tick may be.
        for (int i = 0; key && i < 60; ++i) {
            const std::string name = "v" + std::to_string(i % 45);
            if (i % 3 == 0) {
                static_cast<void>(key->DeleteValue(name));  // it may be gone already
            } else {
                ASSERT_TRUE(key->WriteValue(name, RegType::String, EncodeUtf16LeWithNul(std::to_string(i))));
            }
            ASSERT_EQ(Listing(ahead, path), Listing(registry, path)) << i;
        }
        ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, Wide(path).c_str()), ERROR_SUCCESS);
        ASSERT_TRUE(WaitUntil([&] { return Listing(ahead, path).empty(); }));
    }
}
