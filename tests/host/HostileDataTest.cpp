// Odd data from outside: values of any type, commands with environment
// variables, moves that fail for different reasons, broken language files.

#include <gtest/gtest.h>

#include "catalogue/EntryMessages.h"
#include "catalogue/RegistryAccess.h"
#include "operations/EntryEditor.h"
#include "support/TestWorld.h"

using namespace dovoviza;
using namespace dovoviza::test;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Utf16(const std::string& ascii) {
    Bytes bytes;
    for (const char c : ascii) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), 0});
    return bytes;
}

const StartupItem* RowNamed(const MainList& list, const std::string& name) {
    for (const StartupItem& row : list.Rows()) {
        if (row.Name() == name) return &row;
    }
    return nullptr;
}

TEST(HostileData, EveryValueTypeIsShownAsWhatItIs) {
    Bytes many(100, 0xAB);
    std::string manyText = "[REG_BINARY]";
    for (int i = 0; i < 64; ++i) manyText += " AB";
    const struct {
        std::uint32_t type;
        Bytes data;
        std::string shown;
    } cases[] = {
        {RegType::String, Utf16("  app.exe\0tail"), "app.exe"},
        {RegType::ExpandString, Utf16("%X%\\a.exe"), "%X%\\a.exe"},
        {RegType::Dword, {0x41, 0x00, 0x01, 0x00}, "[REG_DWORD] 0x00010041 (65601)"},
        {RegType::Dword, {0x01, 0x02}, "[REG_DWORD] 01 02"},
        {RegType::Qword, {1, 0, 0, 0, 0, 0, 0, 0x80}, "[REG_QWORD] 0x8000000000000001 (9223372036854775809)"},
        {RegType::MultiString, Utf16(std::string("a.exe\0b c\0\0", 11)), "[REG_MULTI_SZ] a.exe | b c"},
        {RegType::MultiString, Utf16(std::string("\0", 1)), "[REG_MULTI_SZ]"},
        {RegType::Binary, {0x01, 0x00, 0xFF}, "[REG_BINARY] 01 00 FF"},
        {RegType::Binary, many, manyText + " ... (100 bytes)"},
        {RegType::None, {}, "[REG_NONE]"},
        {42, {0x7F}, "[type 0x2A] 7F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RegDataText(RegValue{"v", c.type, c.data}), c.shown) << c.shown;
    }
}

TEST(HostileData, OddTypesNameNoProgramAndExpandableCommandsFindTheirs) {
    TestWorld w;
    w.AddProgram("C:\\windows\\system32\\notepad.exe", "Notepad");
    w.AddProgram("C:\\windows\\linked.exe", "Linked");
    w.registry.SetString(Hive::CurrentUser, TestWorld::kUserRun, "Pad",
                         "\"%SystemRoot%\\system32\\notepad.exe\" /a", RegType::ExpandString);
    w.registry.SetString(Hive::CurrentUser, TestWorld::kUserRun, "Plain",
                         "%SystemRoot%\\system32\\notepad.exe");
    const Bytes data{0x01, 0x00, 0x83};
    w.registry.SetValue(Hive::CurrentUser, TestWorld::kUserRun, RegValue{"Bin", RegType::Binary, data});
    w.AddShortcut(w.folders.user, "Linked.lnk", "%SYSTEMROOT%\\linked.exe");
    w.list.LoadRegistryInfo();

    const StartupItem* pad = RowNamed(w.list, "Pad");
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(pad->Value(), "\"%SystemRoot%\\system32\\notepad.exe\" /a");
    EXPECT_EQ(pad->Command(), "\"C:\\windows\\system32\\notepad.exe\" /a");
    EXPECT_EQ(pad->columns[kColProcessPath], "C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(pad->columns[kColProductName], "Notepad");
    EXPECT_EQ(ExecuteCommandLine(*pad), pad->Command());
    // Logon does not expand a plain string, so neither does the list.
    EXPECT_EQ(RowNamed(w.list, "Plain")->columns[kColProcessPath], TestWorld::kNotFound);
    EXPECT_EQ(RowNamed(w.list, "Linked.lnk")->columns[kColProductName], "Linked");

    const StartupItem* bin = RowNamed(w.list, "Bin");
    ASSERT_NE(bin, nullptr);
    EXPECT_EQ(bin->Value(), "[REG_BINARY] 01 00 83");
    EXPECT_EQ(bin->columns[kColProcessPath], TestWorld::kNotFound);

    // Editing would write the rendering over the bytes: refused, nothing written.
    w.texts.Set("Main", "55", "not text: %1");
    w.list.Select(static_cast<std::size_t>(bin - w.list.Rows().data()));
    const OperationContext context{w.platform, w.texts, w.prompt, w.list};
    EntryEditor editor(context);
    EXPECT_FALSE(editor.OpenForEdit());
    ASSERT_EQ(w.prompt.calls.size(), 1u);
    EXPECT_EQ(w.prompt.calls[0].text, "not text: REG_BINARY");
    EXPECT_EQ(w.registry.GetValue(Hive::CurrentUser, TestWorld::kUserRun, "Bin")->data, data);
}

TEST(HostileData, AFailedMoveSaysWhyNamingTheEntryAndTheStore) {
    TestWorld w;
    for (const char* key : {"50", "51", "56", "57", "58", "59"}) w.texts.Set("Main", key, std::string(key) + " %1 @ %2");
    const std::string live = w.folders.user + "\\", twin = w.folders.userDisabled;
    const std::string store = twin.substr(0, twin.size() - 1);
    const std::pair<std::function<void(const std::string&)>, std::string> cases[] = {
        {[&](const std::string& n) { w.files.Fail(FileFault::Locked, live + n); }, "56 a.lnk @ " + store},
        {[&](const std::string& n) { w.files.AddFolder(twin + n); }, "57 b.lnk @ " + store},
        {[&](const std::string& n) { w.files.AddFile(twin + n, "other"); }, "50 c.lnk @ " + store},
        {[&](const std::string& n) { w.files.Fail(FileFault::Move, live + n); }, "51 d.lnk @ " + store},
        {[&](const std::string& n) { w.files.RemoveFile(live + n); }, "58 e.lnk @ " + w.folders.user},
    };
    char name[] = "a.lnk";
    for (const auto& [arrange, said] : cases) {
        w.files.AddFile(live + name, "shortcut");
        arrange(name);
        w.prompt.calls.clear();
        const EntryRef entry{&StartupLocations()[8], false, name};
        TellMoveResult(w.texts, w.prompt, MoveEntry(w.platform, w.folders, entry), w.folders, entry);
        ASSERT_EQ(w.prompt.calls.size(), 1u) << name;
        EXPECT_EQ(w.prompt.calls[0].text, said);
        // Nothing was changed: the source is still where it was, unless it had gone.
        EXPECT_EQ(w.files.Content(live + name), name[0] == 'e' ? "" : "shortcut");
        ++name[0];
    }
    w.prompt.calls.clear();
    TellMoveResult(w.texts, w.prompt, MoveResult::AccessDenied, w.folders, {&StartupLocations()[0], false, "R"});
    EXPECT_EQ(w.prompt.calls.at(0).text, "59 R @ HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run-Disabled");
}

TEST(HostileData, ABrokenLanguageFileFallsBackToTheBuiltInEnglish) {
    TestWorld w;
    const std::string english = "[LANGUAGE]\r\nCharacterSet=0\r\n[Main]\r\n1=&File\r\n9=E&xit\r\n"
                                "60=Cannot read %1\r\n";
    const Bytes builtIn(english.begin(), english.end());
    const std::string path = "C:\\p\\Language\\Test.lng";
    const struct {
        const char* what;
        std::string content;
        std::string exitText;
        bool incomplete;
    } cases[] = {
        {"complete", "[LANGUAGE]\nCharacterSet=0\n[main]\n1=&Datei\n9=&Beenden\n60=x %1", "&Beenden", false},
        {"empty", "", "E&xit", true},
        {"binary", std::string("\xFF\x00\x13[\x01=\x02\n\xFE", 9), "E&xit", true},
        {"truncated", "[LANGUAGE]\nCharacterSet=0\n[Main]\n1=&Datei\n", "E&xit", true},
    };
    for (const auto& c : cases) {
        w.files.AddFile(path, c.content);
        LanguageTexts texts(w.files, w.system, path, builtIn);
        EXPECT_EQ(texts.Get(lang::kMenuExit), c.exitText) << c.what;
        EXPECT_EQ(texts.File().Get(lang::kMenuExit), c.exitText) << c.what;
        EXPECT_EQ(texts.Incomplete(), c.incomplete) << c.what;
        EXPECT_EQ(texts.IncompleteNotice(), c.incomplete ? "Cannot read " + path : "") << c.what;
    }
    w.files.RemoveFile(path);
    LanguageTexts missing(w.files, w.system, path, builtIn);
    EXPECT_EQ(missing.Get(lang::kMenuFile), "&File");
    EXPECT_EQ(FillIn("%2 then %1, %3 and 100%", {"a", "b"}), "b then a, %3 and 100%");
}

}  // namespace
