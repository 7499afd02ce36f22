#include "app/AppTables.h"

#include "app/WindowIds.h"

namespace dovoviza {

namespace {

constexpr MenuItem kSeparator{0, {"", ""}};

constexpr MenuItem kFileItems[] = {
    {ids::kCmdNewItem, lang::kMenuNewItem},
    {ids::kCmdEditItem, lang::kMenuEditItem},
    kSeparator,
    {ids::kCmdDisable, lang::kMenuDisable},
    {ids::kCmdEnable, lang::kMenuEnable},
    {ids::kCmdDelete, lang::kMenuDelete},
    kSeparator,
    {ids::kCmdExecute, lang::kMenuExecute},
    {ids::kCmdProperties, lang::kMenuProperties},
    kSeparator,
    {ids::kCmdExport, lang::kMenuExport},
    kSeparator,
    {ids::kCmdExit, lang::kMenuExit},
};

constexpr MenuItem kOptionsItems[] = {
    {ids::kCmdRefresh, lang::kMenuRefresh},
    kSeparator,
    {ids::kCmdRunWithWindows, lang::kMenuRunWithWindows},
    {ids::kCmdRunMinimized, lang::kMenuRunMinimized},
    kSeparator,
    {ids::kCmdLanguage, lang::kLanguageCaption},
    {ids::kCmdHistory, lang::kMenuHistory},
};

constexpr MenuItem kHelpItems[] = {
    {ids::kCmdHelpFile, lang::kMenuHelpFile},
    {ids::kCmdUpdate, lang::kMenuUpdate},
    kSeparator,
    {ids::kCmdAbout, lang::kMenuAbout},
};

}  // namespace

const std::array<MenuBarMenu, 3> kMainMenuBar{{
    {lang::kMenuFile, kFileItems},
    {lang::kMenuOptions, kOptionsItems},
    {lang::kMenuHelp, kHelpItems},
}};

const std::array<MenuItem, 8> kListMenu{{
    {ids::kCmdDisable, lang::kMenuDisable},
    {ids::kCmdEnable, lang::kMenuEnable},
    {ids::kCmdDelete, lang::kMenuDelete},
    kSeparator,
    {ids::kCmdExecute, lang::kMenuExecute},
    {ids::kCmdProperties, lang::kMenuProperties},
    kSeparator,
    {ids::kCmdRefresh, lang::kMenuRefresh},
}};

const std::array<MenuItem, 3> kTrayMenu{{
    {ids::kCmdTrayOpen, lang::kTrayOpen},
    kSeparator,
    {ids::kCmdTrayExit, lang::kTrayExit},
}};

const std::array<ToolbarButton, 10> kToolbarButtons{{
    {0, -1, {"", ""}},
    {ids::kCmdNewItem, 0, lang::kAddCaption},
    {ids::kCmdDisable, 1, lang::kMenuDisable},
    {ids::kCmdEnable, 2, lang::kMenuEnable},
    {ids::kCmdDelete, 3, lang::kMenuDelete},
    {0, -1, {"", ""}},
    {ids::kCmdRefresh, 4, lang::kMenuRefresh},
    {ids::kCmdProperties, 5, lang::kMenuProperties},
    {ids::kCmdExecute, 6, lang::kMenuExecute},
    {ids::kCmdAbout, 7, lang::kMenuAbout},
}};

const std::array<TextKey, kColumnCount> kColumnHeaderTexts{{
    lang::kColumnName, lang::kColumnValue, lang::kColumnSection, lang::kColumnStatus, lang::kColumnProductName,
    lang::kColumnDescription, lang::kColumnCompany, lang::kColumnVersion, lang::kColumnProcessPath, lang::kColumnFileSize,
    lang::kColumnDateCreated, lang::kColumnDateAccessed, lang::kColumnDateModified, lang::kColumnLocation,
}};

std::optional<DisableEnableState> SelectedRowMenuState(const MainList& list) {
    const StartupItem* row = list.Selected();
    if (row == nullptr) return std::nullopt;
    // An entry Windows skips can be enabled in place, or disabled into our store.
    return DisableEnableState{!row->IsDisabled(), row->WillNotStart()};
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

TrayAction TrayMouseAction(TrayMouse mouse) {
    switch (mouse) {
    case TrayMouse::LeftUp:
    case TrayMouse::LeftDoubleClick:
        return TrayAction::OpenMainWindow;
    case TrayMouse::RightUp:
        return TrayAction::ShowMenu;
    case TrayMouse::Other:
        break;
    }
    return TrayAction::None;
}

bool ToggleOption(bool checked, const std::function<void(bool on)>& apply) {
    const bool on = !checked;
    if (apply) apply(on);
    return on;
}

}  // namespace dovoviza
