#include "app/AppTables.h"

#include "app/WindowIds.h"

namespace dovoviza {

namespace {

constexpr MenuItem kSeparator{0, {"", ""}};

constexpr MenuItem kFileItems[] = {
    {ids::kCmdNewItem, {"Main", "2"}},
    {ids::kCmdEditItem, {"Main", "3"}},
    kSeparator,
    {ids::kCmdDisable, {"Main", "4"}},
    {ids::kCmdEnable, {"Main", "5"}},
    {ids::kCmdDelete, {"Main", "6"}},
    kSeparator,
    {ids::kCmdExecute, {"Main", "7"}},
    {ids::kCmdProperties, {"Main", "8"}},
    kSeparator,
    {ids::kCmdExit, {"Main", "9"}},
};

constexpr MenuItem kOptionsItems[] = {
    {ids::kCmdRefresh, {"Main", "11"}},
    kSeparator,
    {ids::kCmdRunWithWindows, {"Main", "12"}},
    {ids::kCmdRunMinimized, {"Main", "13"}},
    kSeparator,
    {ids::kCmdLanguage, {"Main", "46"}},
};

constexpr MenuItem kHelpItems[] = {
    {ids::kCmdHelpFile, {"Main", "15"}},
    {ids::kCmdUpdate, {"Main", "16"}},
    kSeparator,
    {ids::kCmdAbout, {"Main", "18"}},
};

// The mouse messages of the icon (they arrive as the callback's parameter).
constexpr unsigned kLeftButtonUp = 0x0202;
constexpr unsigned kLeftButtonDoubleClick = 0x0203;
constexpr unsigned kRightButtonUp = 0x0205;

}  // namespace

const std::array<MenuBarMenu, 3> kMainMenuBar{{
    {{"Main", "1"}, kFileItems},
    {{"Main", "10"}, kOptionsItems},
    {{"Main", "14"}, kHelpItems},
}};

const std::array<MenuItem, 8> kListMenu{{
    {ids::kCmdDisable, {"Main", "4"}},
    {ids::kCmdEnable, {"Main", "5"}},
    {ids::kCmdDelete, {"Main", "6"}},
    kSeparator,
    {ids::kCmdExecute, {"Main", "7"}},
    {ids::kCmdProperties, {"Main", "8"}},
    kSeparator,
    {ids::kCmdRefresh, {"Main", "11"}},
}};

const std::array<MenuItem, 3> kTrayMenu{{
    {ids::kCmdTrayOpen, {"Tray", "1"}},
    kSeparator,
    {ids::kCmdTrayExit, {"Tray", "2"}},
}};

const std::array<ToolbarButton, 10> kToolbarButtons{{
    {0, -1, {"", ""}},
    {ids::kCmdNewItem, 0, {"Add", "1"}},
    {ids::kCmdDisable, 1, {"Main", "4"}},
    {ids::kCmdEnable, 2, {"Main", "5"}},
    {ids::kCmdDelete, 3, {"Main", "6"}},
    {0, -1, {"", ""}},
    {ids::kCmdRefresh, 4, {"Main", "11"}},
    {ids::kCmdProperties, 5, {"Main", "8"}},
    {ids::kCmdExecute, 6, {"Main", "7"}},
    {ids::kCmdAbout, 7, {"Main", "18"}},
}};

const std::array<TextKey, kColumnCount> kColumnHeaderTexts{{
    {"Main", "19"}, {"Main", "20"}, {"Main", "21"}, {"Main", "22"}, {"Main", "23"},
    {"Main", "24"}, {"Main", "25"}, {"Main", "26"}, {"Main", "27"}, {"Main", "28"},
    {"Main", "29"}, {"Main", "30"}, {"Main", "31"}, {"Main", "32"},
}};

std::optional<DisableEnableState> SelectedRowMenuState(const MainList& list) {
    const StartupItem* row = list.Selected();
    if (row == nullptr) return std::nullopt;
    const bool disabled = row->IsDisabled();
    return DisableEnableState{!disabled, disabled};
}

bool ShowsListMenu(const MainList& list) { return list.RowCount() > 0; }

std::optional<std::size_t> FindRowByName(const std::vector<StartupItem>& rows, ISystem& system,
                                         const std::string& text, std::size_t start, bool partial,
                                         bool wrap) {
    if (rows.empty() || text.empty()) return std::nullopt;
    const std::string wanted = system.ToUpper(text);
    const auto matches = [&](const StartupItem& row) {
        const std::string name = system.ToUpper(row.Name());
        return partial ? name.compare(0, wanted.size(), wanted) == 0 : name == wanted;
    };
    if (start >= rows.size() && !wrap) return std::nullopt;
    const std::size_t first = start < rows.size() ? start : 0;
    for (std::size_t i = first; i < rows.size(); ++i) {
        if (matches(rows[i])) return i;
    }
    if (!wrap) return std::nullopt;
    for (std::size_t i = 0; i < first; ++i) {
        if (matches(rows[i])) return i;
    }
    return std::nullopt;
}

TrayAction TrayMouseAction(unsigned mouseMessage) {
    switch (mouseMessage) {
    case kLeftButtonUp:
    case kLeftButtonDoubleClick:
        return TrayAction::OpenMainWindow;
    case kRightButtonUp:
        return TrayAction::ShowMenu;
    default:
        return TrayAction::None;
    }
}

}  // namespace dovoviza
