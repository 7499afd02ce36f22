// The small services over the system: text, code pages, case and formats, the
// system's facts, handle owners, version resources, file icons, the window base.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <stdexcept>
#include <thread>

#include "WinTest.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/Window.h"

using namespace dovoviza;
using namespace dovoviza::win32;
using namespace wintest;

namespace {

using Platform = PrefixTest;

TEST_F(Platform, TextCodePagesCaseFormatsAndTheSystemsFacts) {
    for (const std::string s : {"Привет", "日本語", "\xF0\x9F\x98\x80"}) {
        wchar_t theirs[64] = {};
        const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), theirs, 64);
        EXPECT_EQ(Wide(s), std::wstring(theirs, static_cast<std::size_t>(n)));
        EXPECT_EQ(Narrow(Wide(s)), s);
    }
    const std::tuple<std::vector<std::uint8_t>, unsigned, const char*> decodes[] = {
        {{0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}, 1251, "Привет"}, {{0x93, 0xFA, 0x96, 0x7B}, 932, "日本"},
        {{'c', 'a', 'f', 0xE9, 0x80}, 1252, "café€"}, {{0xC3, 0xA4}, 65001, "ä"}, {{}, 1252, ""}};
    for (const auto& [bytes, codePage, text] : decodes)
        EXPECT_EQ(system.DecodeCodePage(bytes, codePage), text) << codePage;
    EXPECT_FALSE(system.DecodeCodePage({'a'}, 12345));
    const std::string upper = system.ToUpper("straße äöü привет");  // ß may grow
    EXPECT_EQ(upper.substr(0, 4) + upper.substr(upper.size() - 20), "STRA ÄÖÜ ПРИВЕТ") << upper;
    const DateTime when{2024, 3, 15, 13, 47, 9};
    const std::string date = system.FormatShortDate(when), time = system.FormatLongTime(when);
    EXPECT_TRUE(date.find("15") != std::string::npos) << date;
    EXPECT_TRUE(time.find("47") != std::string::npos && time.find("09") != std::string::npos) << time;
    EXPECT_EQ(system.FormatShortDate(DateTime{2024, 13, 1, 0, 0, 0}), "");

    ASSERT_TRUE(system.Version());
    EXPECT_EQ(system.Version()->platformId, 2u);
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(system.IsWow64(), wow64 != FALSE);
    EXPECT_EQ(system.ProgramName(), "windows_tests");
    EXPECT_FALSE(Gone(system.SystemFolder() + "\\kernel32.dll"));
    EXPECT_FALSE(Gone(system.ProgramFolder() + "\\windows_tests.exe"));
}

TEST_F(Platform, HandlesCloseOnceWhereverTheyMoveAndFailedOpensOwnNothing) {
    UniqueHandle first(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE raw = first.get();
    DWORD flags = 0;
    {
        UniqueHandle second;
        second = UniqueHandle(std::move(first));
        EXPECT_TRUE(!first && GetHandleInformation(raw, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(raw, &flags));
    WIN32_FIND_DATAW entry{};
    EXPECT_FALSE(UniqueHandle(CreateFileW(L"Q:\\no", GENERIC_READ, 0, 0, OPEN_EXISTING, 0, 0)) ||
                 UniqueFindHandle(FindFirstFileW(L"Q:\\no\\*", &entry)));
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

TEST_F(Platform, VersionStringsAreReadFromTheBlockTheQueryNames) {
    const std::string complete = FixturePath("fixture_complete"), copy = Scratch("Образец 日本.exe");
    ASSERT_TRUE(CopyFileW(Wide(complete).c_str(), Wide(copy).c_str(), TRUE));
    const std::tuple<std::string, const char*, std::optional<std::string>> cases[] = {
        {complete, "040904B0\\CompanyName", "  Fixture Works  "},  // blanks kept here
        {complete, "040904B0\\FileDescription", "Образец программы"},
        {complete, "040904B0\\Comments", std::nullopt},
        {complete, "0409FDE9\\CompanyName", std::nullopt},
        {complete, "0409FDE9\\ProductName", "日本 Fixture"},
        {copy, "040904B0\\ProductName", "Fixture Complete"}};
    for (const auto& [file, query, text] : cases) {
        const auto resource = versions.Open(file);
        ASSERT_TRUE(resource) << file;
        EXPECT_EQ(resource->FirstTranslation(), 0x04B00409u) << file;
        EXPECT_EQ(resource->QueryString(std::string("\\StringFileInfo\\") + query), text) << query;
    }
    EXPECT_TRUE(versions.Open("kernel32.dll"));  // found where libraries are
    for (const std::string& none : {FixturePath("fixture_noversion"), FixturePath("absent"), {}})
        EXPECT_FALSE(versions.Open(none)) << none;
}

TEST_F(Platform, IconListsHoldIconsOfTheirSizeCountedFromOne) {
    const std::string program = FixturePath("fixture_complete"), absent = FixturePath("absent");
    for (const auto& [size, pixels] : {std::pair{IconSize::Small, 16}, {IconSize::Large, 32}}) {
        ShellIconList icons(size);
        int cx = 0, cy = 0;
        ASSERT_TRUE(ImageList_GetIconSize(icons.Handle(), &cx, &cy));
        EXPECT_TRUE(cx == pixels && cy == pixels) << cx;
        for (const auto& [path, index] : {std::pair{program, 1}, {program, 2}, {absent, 0}, {{}, 0}})
            EXPECT_EQ(icons.AddFileIcon(path), index) << path;
        EXPECT_EQ(ImageList_GetImageCount(icons.Handle()), 2);
        icons.Clear();
        EXPECT_EQ(icons.AddFileIcon(FixturePath("fixture_noversion")), 1);

        const UniqueHIcon icon = LoadFileIcon(program, size);
        ICONINFO info{};
        BITMAP mask{};
        ASSERT_TRUE(icon && GetIconInfo(icon.get(), &info));
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        EXPECT_EQ(mask.bmWidth, pixels);
        EXPECT_FALSE(LoadFileIcon(absent, size));
    }
}

class Throwing : public Window {
public:
    bool Make() {
        return RegisterClassOnce(L"dovovizaTestThrowing", nullptr, nullptr, nullptr) &&
               Create(L"dovovizaTestThrowing", 0, WS_OVERLAPPED, L"", 0, 0, 0, 0, nullptr, nullptr);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) throw std::runtime_error("list reload failed");
        return message == WM_APP + 1 ? 7 : Window::HandleMessage(message, wParam, lParam);
    }
};

TEST(WindowBase, AFailureInAHandlerIsToldTheWindowGoesOnAndDiesWithItsObject) {
    std::vector<std::string> told;
    SetFailureReporter([&](const std::string& what) { told.push_back(what); });
    HWND handle = nullptr;
    {
        Throwing window;
        ASSERT_TRUE(window.Make());
        handle = window.Handle();
        EXPECT_EQ(SendMessageW(handle, WM_APP, 0, 0), 0);
        EXPECT_EQ(told, std::vector<std::string>{"list reload failed"});
        EXPECT_EQ(SendMessageW(handle, WM_APP + 1, 0, 0), 7);
    }
    EXPECT_FALSE(IsWindow(handle));
    SetFailureReporter(nullptr);
}

}  // namespace
