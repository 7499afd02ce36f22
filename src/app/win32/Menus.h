#pragma once
// Menus built from the tables of AppTables, with their texts from the
// language file: the main window's and the tray icon's alike.

#include <windows.h>

#include <span>
#include <string>

#include "app/AppTables.h"
#include "language/Ini.h"

namespace dovoviza {

std::wstring TextOf(const LanguageFile& language, const TextKey& key);

// Appends the items of a table to a menu; false when the system refused one.
bool AppendMenuItems(HMENU menu, std::span<const MenuItem> items, const LanguageFile& language);

}  // namespace dovoviza
