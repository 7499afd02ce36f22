#pragma once
// What the main window and the tray icon are made of: their menus, toolbar
// buttons, column headers and status panels with the language text of each,
// and the rules that decide which items a click leaves usable. The windows
// build themselves from these tables and only draw.

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "catalogue/MainList.h"
#include "catalogue/StartupItem.h"
#include "platform/System.h"

namespace dovoviza {

// One item of a menu; command 0 is a separator.
struct MenuItem {
    int command;
    TextKey text;
};

struct MenuBarMenu {
    TextKey title;
    std::span<const MenuItem> items;
};

// File, Options and Help.
extern const std::array<MenuBarMenu, 3> kMainMenuBar;
// The list's right-click menu.
extern const std::array<MenuItem, 8> kListMenu;
// The tray icon's menu: Open, a separator, Exit.
extern const std::array<MenuItem, 3> kTrayMenu;

// One toolbar button; command 0 is a separator. Images count from 0 in the
// toolbar strip (add, disable, enable, delete, refresh, properties, execute, about).
struct ToolbarButton {
    int command;
    int image;
    TextKey tooltip;
};
extern const std::array<ToolbarButton, 10> kToolbarButtons;

// Column n of the list takes its header from Main/(18 + n).
extern const std::array<TextKey, kColumnCount> kColumnHeaderTexts;
// The general text of the status bar's first panel.
inline constexpr TextKey kStatusGeneralText = lang::kStatusMonitoring;

// Whether the Disable and Enable items may be used for the selected row: a
// disabled row offers Enable only, an enabled row Disable only. Nothing when
// no row is selected: the items then stay as they were.
struct DisableEnableState {
    bool disable;
    bool enable;
};
std::optional<DisableEnableState> SelectedRowMenuState(const MainList& list);

// A right-click on the list opens its menu only when the list has rows.
bool ShowsListMenu(const MainList& list);

// Typing in the list jumps to the next row whose Name begins with the typed
// text (the whole Name when not partial), letter case ignored, searching from
// `start` to the end and then, when asked, from the top.
std::optional<std::size_t> FindRowByName(const std::vector<StartupItem>& rows, ISystem& system,
                                         const std::string& text, std::size_t start, bool partial,
                                         bool wrap);

// A click on Run with Windows or Run minimized: applies the other state and
// returns the mark the item gets, which follows the click even when the
// change was refused.
bool ToggleOption(bool checked, const std::function<void(bool on)>& apply);

// What a mouse message of the tray icon asks for.
enum class TrayAction { None, OpenMainWindow, ShowMenu };
enum class TrayMouse { LeftUp, LeftDoubleClick, RightUp, Other };
TrayAction TrayMouseAction(TrayMouse mouse);

}  // namespace dovoviza
