// The small services over the system: text conversion, handle owners, the
// system's facts and formats, version resources and file icons.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <thread>

#include "WinTest.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32VersionReader.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace wintest;

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Platform, TextConvertsAsTheSystemDoes) {
    for (const std::string s : {"Привет", "日本語", "\xF0\x9F\x98\x80"}) {
        wchar_t theirs[64] = {};
        const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), theirs, 64);
        EXPECT_EQ(Wide(s), std::wstring(theirs, static_cast<std::size_t>(n)));
        EXPECT_EQ(Narrow(Wide(s)), s);
    }
}

TEST(Platform, HandlesCloseOnceWhereverTheyMoveAndFailedOpensOwnNothing) {
    UniqueHandle first(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE raw = first.get();
    DWORD flags = 0;
    {
        UniqueHandle third;
        third = UniqueHandle(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_TRUE(GetHandleInformation(raw, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(raw, &flags));
    EXPECT_FALSE(UniqueHandle(CreateFileW(L"Q:\\no\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    WIN32_FIND_DATAW entry{};
    EXPECT_FALSE(UniqueFindHandle(FindFirstFileW(L"Q:\\no\\*", &entry)));

    // COM stays for a thread that had it in the other model before our initialiser.
    for (const bool before : {false, true}) {
        std::thread([before] {
            if (before) CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            { EXPECT_TRUE(ComInitializer(COINIT_APARTMENTTHREADED).Usable()); }
            APTTYPE type{};
            APTTYPEQUALIFIER qualifier{};
            EXPECT_EQ(CoGetApartmentType(&type, &qualifier) != CO_E_NOTINITIALIZED, before);
            if (before) CoUninitialize();
        }).join();
    }
}

TEST(Platform, SystemFactsCodePagesCaseAndFormats) {
    Win32System system;
    ASSERT_TRUE(system.Version());
    EXPECT_EQ(system.Version()->platformId, 2u);
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(system.IsWow64(), wow64 != FALSE);
    EXPECT_EQ(system.ProgramName(), "windows_tests");
    EXPECT_FALSE(Gone(system.SystemFolder() + "\\kernel32.dll"));
    EXPECT_FALSE(Gone(system.ProgramFolder() + "\\windows_tests.exe"));

    const struct {
        std::vector<std::uint8_t> bytes;
        unsigned codePage;
        const char* text;
    } decodes[] = {{{0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}, 1251, "Привет"},
                   {{0x93, 0xFA, 0x96, 0x7B}, 932, "日本"},
                   {{'c', 'a', 'f', 0xE9, 0x80}, 1252, "café€"},
                   {{0xC3, 0xA4}, 65001, "ä"},
                   {{}, 1252, ""}};
    for (const auto& d : decodes) EXPECT_EQ(system.DecodeCodePage(d.bytes, d.codePage), d.text) << d.codePage;
    EXPECT_FALSE(system.DecodeCodePage({'a'}, 12345));
    const std::string upper = system.ToUpper("straße äöü привет");
    EXPECT_TRUE(Has(upper, "STRA") && Has(upper, "ÄÖÜ") && Has(upper, "ПРИВЕТ")) << upper;

    const DateTime when{2024, 3, 15, 13, 47, 9};
    EXPECT_TRUE(Has(system.FormatShortDate(when), "15")) << system.FormatShortDate(when);
    EXPECT_TRUE(Has(system.FormatLongTime(when), "47") && Has(system.FormatLongTime(when), "09"));
    EXPECT_EQ(system.FormatShortDate(DateTime{2024, 13, 1, 0, 0, 0}), "");
}

class VersionsAndIcons : public PrefixTest {};

TEST_F(VersionsAndIcons, VersionStringsAreReadFromTheBlockTheTranslationNames) {
    const std::string complete = FixturePath("fixture_complete"), copy = Scratch("Образец 日本.exe");
    ASSERT_TRUE(CopyFileW(Wide(complete).c_str(), Wide(copy).c_str(), TRUE));
    const struct {
        std::string file;
        std::uint32_t translation;
        const char* block;
        const char* name;
        std::optional<std::string> text;
    } cases[] = {
        {complete, 0x04B00409u, "040904B0", "CompanyName", "  Fixture Works  "},  // blanks kept here
        {complete, 0x04B00409u, "040904B0", "FileDescription", "Образец программы"},
        {complete, 0x04B00409u, "040904B0", "Comments", std::nullopt},
        {complete, 0x04B00409u, "0409FDE9", "CompanyName", std::nullopt},
        {copy, 0x04B00409u, "040904B0", "ProductName", "Fixture Complete"},
        {FixturePath("fixture_nocompany"), 0x04B00409u, "040904B0", "CompanyName", std::nullopt},
        {FixturePath("fixture_utf8cp"), 0xFDE90409u, "0409FDE9", "ProductName", "日本 Fixture"},
        {FixturePath("fixture_utf8cp"), 0xFDE90409u, "040904B0", "ProductName", std::nullopt},
    };
    Win32VersionReader reader;
    for (const auto& c : cases) {
        const auto resource = reader.Open(c.file);
        ASSERT_NE(resource, nullptr) << c.file;
        EXPECT_EQ(resource->FirstTranslation(), c.translation) << c.file;
        EXPECT_EQ(resource->QueryString(std::string("\\StringFileInfo\\") + c.block + "\\" + c.name), c.text)
            << c.file << " " << c.block << " " << c.name;
    }
    ASSERT_NE(reader.Open("kernel32.dll"), nullptr);  // found where libraries are
    for (const std::string& none : {FixturePath("fixture_noversion"), FixturePath("absent"), std::string()})
        EXPECT_EQ(reader.Open(none), nullptr) << none;
}

TEST_F(VersionsAndIcons, IconListsHoldIconsOfTheirSizeCountedFromOne) {
    for (const auto& [size, pixels] : {std::pair{IconSize::Small, 16}, std::pair{IconSize::Large, 32}}) {
        ShellIconList icons(size);
        int cx = 0, cy = 0;
        ASSERT_TRUE(ImageList_GetIconSize(icons.Handle(), &cx, &cy));
        EXPECT_TRUE(cx == pixels && cy == pixels) << cx;
        EXPECT_EQ(icons.AddFileIcon(FixturePath("fixture_complete")), 1);
        EXPECT_EQ(icons.AddFileIcon(FixturePath("fixture_complete")), 2);
        EXPECT_EQ(icons.AddFileIcon(FixturePath("absent")), 0);
        EXPECT_EQ(icons.AddFileIcon(""), 0);
        EXPECT_EQ(ImageList_GetImageCount(icons.Handle()), 2);
        icons.Clear();
        EXPECT_EQ(icons.AddFileIcon(FixturePath("fixture_noversion")), 1);

        const UniqueHIcon icon = LoadFileIcon(FixturePath("fixture_complete"), size);
        ICONINFO info{};
        BITMAP mask{};
        ASSERT_TRUE(icon && GetIconInfo(icon.get(), &info));
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        EXPECT_EQ(mask.bmWidth, pixels);
        EXPECT_FALSE(LoadFileIcon(FixturePath("absent"), size));
    }
}

}  // namespace
