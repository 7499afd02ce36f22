// Language files read through the real file and text services: a file in the
// code page of its CharacterSet must read the same on any Windows, whatever
// the system's own ANSI code page is.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "language/Ini.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32System.h"

using namespace dovoviza;
using dovoviza::win32::test::ScratchFolder;
using dovoviza::win32::test::WriteTestFile;

namespace {

class LanguageFileTest : public ::testing::Test {
protected:
    std::string WriteLanguage(const std::string& name, const std::string& bytes) {
        EXPECT_TRUE(files.CreateFolderPath(folder.Path() + "\\Language"));
        const std::string path = LanguageFilePath(folder.Path(), name);
        WriteTestFile(path, bytes);
        return path;
    }

    ScratchFolder folder;
    win32::Win32FileSystem files;
    win32::Win32System system;
};

}  // namespace

TEST_F(LanguageFileTest, FilesReadInTheCodePageOfTheirCharacterSet) {
    struct Lookup {
        const char* section;
        const char* key;
        const char* text;
    };
    const struct {
        const char* name;  // the file's own name; a Cyrillic one must survive as a path too
        std::string bytes;
        int characterSet;
        std::vector<Lookup> lookups;
    } cases[] = {
        {"Русский",
         "[LANGUAGE]\r\nCharacterSet=204\r\ntranslator=\xC8\xE2\xE0\xED\r\n"
         "[Main]\r\n1=\xD4\xE0\xE9\xEB\r\n37=\xCE\xF2\xEA\xEB\xFE\xF7\xE5\xED\xEE\r\n"
         "[\xEC\xE5\xED\xFE]\r\n\xEA\xEB\xFE\xF7=\xA8\xE6\xE8\xEA\r\n",
         204,
         {{"Main", "1", "Файл"},
          {"main", "37", "Отключено"},
          {"LANGUAGE", "translator", "Иван"},
          // Section "меню", key "ключ": matched without regard to Cyrillic letter case.
          {"МЕНЮ", "КЛЮЧ", "Ёжик"}}},
        // Shift-JIS trail bytes 0x5C and 0x5D (ソ = 83 5C, ゾ = 83 5D, 表 = 95 5C)
        // inside values and a section name, with sections after them.
        {"Japanese",
         "[LANGUAGE]\r\ntranslator=\x83\x5C\x83\x5D\r\nCharacterSet=128\r\n"
         "[Main]\r\n1=\x83\x74\x83\x40\x83\x43\x83\x8B\r\n2=\x95\x5C\x8E\xA6\r\n3=[\x83\x5D]\r\n"
         "[\x83\x5D]\r\n1=x\r\n[Tray]\r\n1=\x8A\x4A\x82\xAD\r\n",
         128,
         {{"LANGUAGE", "translator", "ソゾ"},
          {"Main", "1", "ファイル"},
          {"Main", "2", "表示"},
          {"Main", "3", "[ゾ]"},
          {"ゾ", "1", "x"},
          {"Tray", "1", "開く"}}},
    };
    for (const auto& c : cases) {
        const std::string path = WriteLanguage(c.name, c.bytes);
        for (const Lookup& l : c.lookups) {
            EXPECT_EQ(LanguageFile::Load(files, system, path).Get(l.section, l.key), l.text) << c.name;
        }
        EXPECT_EQ(LanguageFile::Load(files, system, path).CharacterSet(), c.characterSet);
    }
    EXPECT_EQ(LanguageFile::Load(files, system, LanguageFilePath(folder.Path(), "Nowhere")).Get("Main", "1"), "");
}

TEST_F(LanguageFileTest, ReadsAsTheSystemsOwnProfileReader) {
    // A Unicode file, which the system reader decodes correctly too: both must
    // give the same text for every rule the two share.
    const std::wstring text =
        L"[LANGUAGE]\r\nCharacterSet=204\r\n"
        L"[Main]\r\n"
        L"  1  =  padded value  \r\n"
        L"2=\"quoted\"\r\n"
        L"3=' single '\r\n"
        L"4=\"unbalanced'\r\n"
        L"Mixed Case=Кириллица\r\n"
        L"5=first\r\n"
        L"5=second\r\n"
        L"bare\r\n"
        L"01=zero one\r\n"
        L"long=" + std::wstring(400, L'x') + L"\r\n"
        L"   [Other]  \r\n"
        L"1=other\r\n"
        L"[MAIN]\r\n6=later\r\n1=later\r\n";
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    const std::string path = WriteLanguage("Unicode", bytes);
    const LanguageFile file = LanguageFile::Load(files, system, path);

    const std::pair<const char*, const char*> lookups[] = {
        {"Main", "1"},   {"main", "2"},   {"MAIN", "3"},          {"Main", "4"},
        {"Main", "MIXED CASE"}, {"Main", "5"}, {"Main", "bare"}, {" Main ", " 1 "},
        {"Main", "01"},  {"Main", "001"}, {"Main", "long"},       {"Other", "1"},
        {"Missing", "1"}, {"Main", "6"}, {"Main", "missing"}};
    for (const auto& [section, key] : lookups) {
        wchar_t buffer[355] = {};
        const DWORD n = GetPrivateProfileStringW(win32::Wide(section).c_str(), win32::Wide(key).c_str(),
                                                 L"", buffer, 355, win32::Wide(path).c_str());
        EXPECT_EQ(file.Get(section, key), win32::Narrow(std::wstring(buffer, n)))
            << section << "/" << key;
    }
}
