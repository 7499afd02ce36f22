#include "app/frmMain.h"

#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <chrono>
#include <span>
#include <utility>
#include <vector>

#include "about/HelpFile.h"
#include "about/UpdateCheck.h"
#include "about/frmAbout.h"
#include "app/AppLayout.h"
#include "app/AppTables.h"
#include "app/WindowIds.h"
#include "app/win32/Menus.h"
#include "catalogue/Loaders.h"
#include "catalogue/MainList.h"
#include "history/Export.h"
#include "language/frmLanguage.h"
#include "monitor/Monitor.h"
#include "monitor/frmAlert.h"
#include "operations/frmAdd.h"
#include "platform/win32/Win32Http.h"
#include "platform/win32/WideText.h"
#include "resource.h"

namespace dovoviza {

namespace {

constexpr UINT_PTR kMonitorTimer = 1;
constexpr UINT kMonitorInterval = 2000;
// A load goes on between the window's messages, a slice at a time; a timer
// message comes after input and painting, so neither waits for the load.
constexpr UINT_PTR kLoadTimer = 2;
constexpr auto kLoadSlice = std::chrono::milliseconds(30);
// LVFI_SUBSTRING: newer list views ask with it, meaning the same as LVFI_PARTIAL.
constexpr UINT kFindSubstring = 0x0004;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

int TextWidth(HWND window, HFONT font, const std::wstring& text) {
    const win32::WindowDc dc(window, font);
    SIZE size{};
    if (dc.get() == nullptr ||
        !GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size)) {
        return 0;
    }
    return size.cx;
}

int HeightOf(HWND window) {
    RECT rect{};
    if (window == nullptr || !GetWindowRect(window, &rect)) return 0;
    return rect.bottom - rect.top;
}

}  // namespace

frmMain::frmMain(const MainWindowParts& parts, std::function<void()> beforeQuit)
    : platform_(parts.platform),
      texts_(parts.texts),
      fileInfo_(parts.fileInfo),
      icons_(parts.icons),
      prompt_(parts.prompt),
      settings_(parts.settings),
      autostart_(parts.autostart),
      watcher_(parts.watcher),
      journal_(parts.journal),
      list_(&parts.list),
      http_(&parts.http),
      beforeQuit_(std::move(beforeQuit)),
      afterFirstLoad_(parts.afterFirstLoad) {}

frmMain::~frmMain() {
    // The windows that work on the list go before the list does.
    updates_.reset();
    about_.reset();
    languageDialog_.reset();
    history_.reset();
    add_.reset();
    monitor_.reset();
    alerts_.reset();
    Destroy();
}

bool frmMain::Create(bool show) {
    dpi_ = win32::SystemDpi();
    if (!RegisterClassOnce(ids::kMainClass, nullptr, nullptr,
                           reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)))) {
        return false;
    }
    if (!BuildMenus()) return false;

    const int width = win32::TwipsToPixels(std::max(settings_.WidthTwips(), kMinWidthTwips), dpi_);
    const int height = win32::TwipsToPixels(std::max(settings_.HeightTwips(), kMinHeightTwips), dpi_);
    if (!Window::Create(ids::kMainClass, 0, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        win32::Wide(kAppCaption), CW_USEDEFAULT, CW_USEDEFAULT, width, height,
                        nullptr, menuBar_.get())) {
        return false;
    }
    // The window destroys its menu bar itself.
    menuBarInUse_ = menuBar_.release();
    prompt_.SetOwner(Handle());

    SetWindowIcons();
    font_ = win32::CreateUiFont(dpi_, std::nullopt);
    statusFont_ = win32::CreateUiFont(dpi_, texts_.File().CharacterSet());
    if (!BuildToolbar() || !BuildList() || !BuildStatusBar()) return false;

    context_.emplace(OperationContext{platform_, texts_, prompt_, *list_, journal_});
    alerts_ = std::make_unique<AlertWindows>(platform_, texts_, prompt_, *list_,
                                             [this] { RefreshList(); }, journal_);
    monitor_ = std::make_unique<Monitor>(platform_, fileInfo_, texts_, *list_, *alerts_, &watcher_);
    monitor_->SetJournal(journal_);
    if (journal_ != nullptr) {
        history_ = std::make_unique<frmHistory>(
            HistoryContext{platform_, texts_, prompt_, *journal_, list_->Folders(),
                           [this] { StartLoad(); }},
            Handle());
    }
    add_ = std::make_unique<frmAdd>(*context_, [this] { RefreshList(); }, Handle());
    languageDialog_ = std::make_unique<frmLanguage>(
        platform_, texts_.FilePath(), [this] { return settings_.LanguageName(); },
        [this](const std::string& name) { return settings_.SetLanguageName(name); }, Handle());
    about_ = std::make_unique<frmAbout>(texts_, platform_.shell, ConfiguredUpdateServer().homePage,
                                        platform_.system.ProgramFolder(), Handle());
    http_->AnswerTo(Handle());
    updates_ = std::make_unique<UpdateCheck>(*http_, texts_, prompt_, platform_.shell, platform_.system);

    // The window comes up at once and the rows follow; the first scan runs
    // once they are all there.
    monitor_->WatchStores();
    StartLoad();

    SetChecked(ids::kCmdRunMinimized, settings_.RunMinimized());
    SetChecked(ids::kCmdRunWithWindows, autostart_.IsOn());

    RECT client{};
    if (GetClientRect(Handle(), &client)) Layout(client.right, client.bottom);

    timerRunning_ = SetTimer(Handle(), kMonitorTimer, kMonitorInterval, nullptr) != 0;
    if (show) ShowFromTray();
    return true;
}

bool frmMain::BuildMenus() {
    menuBar_.reset(CreateMenu());
    if (!menuBar_) return false;
    for (const MenuBarMenu& menu : kMainMenuBar) {
        win32::UniqueHMenu popup(CreatePopupMenu());
        if (!popup || !AppendMenuItems(popup.get(), menu.items, texts_.File())) return false;
        if (!AppendMenuW(menuBar_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()),
                         TextOf(texts_.File(), menu.title).c_str())) {
            return false;
        }
        // From here the menu bar owns it.
        const HMENU attached = popup.release();
        if (fileMenu_ == nullptr) fileMenu_ = attached;
    }
    listMenu_.reset(CreatePopupMenu());
    return listMenu_ && AppendMenuItems(listMenu_.get(), kListMenu, texts_.File());
}

void frmMain::SetWindowIcons() {
    bigIcon_.reset(static_cast<HICON>(LoadImageW(Instance(), IDI_APP_NAME, IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON),
                                                 GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.reset(static_cast<HICON>(LoadImageW(Instance(), IDI_APP_NAME, IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0)));
    if (bigIcon_) {
        SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    }
    if (smallIcon_) {
        SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    }
}

bool frmMain::BuildToolbar() {
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                   CCS_NODIVIDER | CCS_TOP,
                               0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(ids::kToolbar),
                               Instance(), nullptr);
    if (toolbar_ == nullptr) return false;
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    // The alpha strip looks right on every Windows with common controls 6;
    // the colour-keyed one is there for a system that cannot take it.
    constexpr int kImageSize = 16;
    constexpr int kImageCount = 8;
    win32::UniqueHBitmap strip(static_cast<HBITMAP>(LoadImageW(
        Instance(), MAKEINTRESOURCEW(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    toolbarImages_.reset(ImageList_Create(kImageSize, kImageSize, ILC_COLOR32, kImageCount, 0));
    if (!strip || !toolbarImages_ || ImageList_Add(toolbarImages_.get(), strip.get(), nullptr) < 0) {
        win32::UniqueHBitmap keyed(static_cast<HBITMAP>(
            LoadImageW(Instance(), MAKEINTRESOURCEW(IDB_TOOLBAR24), IMAGE_BITMAP, 0, 0, 0)));
        toolbarImages_.reset(
            ImageList_Create(kImageSize, kImageSize, ILC_COLOR24 | ILC_MASK, kImageCount, 0));
        if (!keyed || !toolbarImages_ ||
            ImageList_AddMasked(toolbarImages_.get(), keyed.get(), RGB(255, 0, 255)) < 0) {
            toolbarImages_.reset();
        }
    }
    if (toolbarImages_) {
        SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages_.get()));
    }

    std::vector<TBBUTTON> buttons;
    for (const ToolbarButton& button : kToolbarButtons) {
        TBBUTTON tb{};
        if (button.command == 0) {
            tb.fsStyle = BTNS_SEP;
        } else {
            tb.iBitmap = button.image;
            tb.idCommand = button.command;
            tb.fsState = TBSTATE_ENABLED;
            tb.fsStyle = BTNS_BUTTON;
            tooltips_[button.command] = TextOf(texts_.File(), button.tooltip);
        }
        buttons.push_back(tb);
    }
    if (!SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(),
                      reinterpret_cast<LPARAM>(buttons.data()))) {
        return false;
    }
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    return true;
}

bool frmMain::BuildList() {
    listView_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                    LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                                0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(ids::kList),
                                Instance(), nullptr);
    if (listView_ == nullptr) return false;
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    SendMessageW(listView_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    if (font_) SendMessageW(listView_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    if (icons_.Handle() != nullptr) {
        SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_SMALL,
                     reinterpret_cast<LPARAM>(icons_.Handle()));
    }

    const auto widths = ColumnWidthsTwips(0);
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        std::wstring header = TextOf(texts_.File(), kColumnHeaderTexts[i]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = header.data();
        column.cx = win32::TwipsToPixels(widths[i], dpi_);
        column.iSubItem = static_cast<int>(i);
        if (SendMessageW(listView_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column)) < 0) {
            return false;
        }
    }
    return true;
}

bool frmMain::BuildStatusBar() {
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                                 0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(ids::kStatusBar),
                                 Instance(), nullptr);
    if (statusBar_ == nullptr) return false;
    if (statusFont_) {
        SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.get()), FALSE);
    }
    SendMessageW(statusBar_, SB_SIMPLE, FALSE, 0);
    // The panels must exist before they take texts; Layout sizes them later.
    int parts[3] = {0, 0, -1};
    SendMessageW(statusBar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    const TextKey panels[] = {kStatusGeneralText, lang::kStatusItems, lang::kStatusDisabled};
    for (int i = 0; i < 3; ++i) {
        const std::wstring text = TextOf(texts_.File(), panels[i]);
        SendMessageW(statusBar_, SB_SETTEXTW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
    return true;
}

void frmMain::Layout(int width, int height) {
    if (toolbar_ == nullptr || listView_ == nullptr || statusBar_ == nullptr) return;
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    SendMessageW(statusBar_, WM_SIZE, 0, 0);
    const int top = HeightOf(toolbar_);
    const int bottom = HeightOf(statusBar_);
    // The list fills what the two bars leave, as any Windows list window does.
    const int listHeight = std::max(height - top - bottom, 0);
    static_cast<void>(MoveWindow(listView_, 0, top, width, listHeight, TRUE));

    const auto widths = ColumnWidthsTwips(win32::PixelsToTwips(width, dpi_));
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        if (!FollowsListWidth(i)) continue;
        SendMessageW(listView_, LVM_SETCOLUMNWIDTH, i,
                     MAKELPARAM(win32::TwipsToPixels(widths[i], dpi_), 0));
    }
    ArrangeStatusPanels();
}

void frmMain::ArrangeStatusPanels() {
    if (statusBar_ == nullptr) return;
    RECT client{};
    if (!GetClientRect(statusBar_, &client)) return;
    const auto edges = StatusPanelEdges(client.right, countsWidth_, disabledWidth_);
    // The last panel runs to the edge, under the size grip.
    int parts[3] = {edges[0], edges[1], -1};
    SendMessageW(statusBar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
}

void frmMain::ShowCounts() {
    if (statusBar_ == nullptr || !list_) return;
    const CountTexts counts = list_->Count_Items();
    const std::wstring items = win32::Wide(counts.items);
    const std::wstring disabled = win32::Wide(counts.disabled);
    SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(items.c_str()));
    SendMessageW(statusBar_, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(disabled.c_str()));

    // Room for the text, the panel's borders and a little air; the last panel
    // shares its space with the size grip.
    const int padding = MulDiv(16, dpi_, 96);
    const int minimum = MulDiv(90, dpi_, 96);
    const HFONT font = statusFont_ ? statusFont_.get() : nullptr;
    countsWidth_ = std::max(TextWidth(statusBar_, font, items) + padding, minimum);
    disabledWidth_ = std::max(TextWidth(statusBar_, font, disabled) + padding, minimum) +
                     GetSystemMetrics(SM_CXVSCROLL);
    ArrangeStatusPanels();
}

void frmMain::RefreshList(bool showSelected) {
    if (listView_ == nullptr || !list_) return;
    syncingView_ = true;
    const auto count = static_cast<WPARAM>(list_->RowCount());
    SendMessageW(listView_, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);

    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED;
    SendMessageW(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    if (const auto selected = list_->SelectedIndex()) {
        LVITEMW select{};
        select.state = LVIS_SELECTED | LVIS_FOCUSED;
        select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(listView_, LVM_SETITEMSTATE, *selected, reinterpret_cast<LPARAM>(&select));
        if (showSelected) SendMessageW(listView_, LVM_ENSUREVISIBLE, *selected, FALSE);
    }
    static_cast<void>(InvalidateRect(listView_, nullptr, FALSE));
    syncingView_ = false;

    ShowSortArrows();
    ShowCounts();
}

void frmMain::ShowSortArrows() {
    const HWND header = reinterpret_cast<HWND>(SendMessageW(listView_, LVM_GETHEADER, 0, 0));
    if (header == nullptr || !list_) return;
    const auto order = list_->SortOrder();
    for (int i = 0; i < static_cast<int>(kColumnCount); ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) continue;
        int format = item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN);
        if (order && order->first == i + 1) format |= order->second ? HDF_SORTUP : HDF_SORTDOWN;
        if (format == item.fmt) continue;
        item.fmt = format;
        SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

void frmMain::TakeSelectionFromView() {
    if (syncingView_ || !list_) return;
    const LRESULT selected = SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                          MAKELPARAM(LVNI_SELECTED, 0));
    if (selected < 0) {
        list_->Select(std::nullopt);
    } else {
        list_->Select(static_cast<std::size_t>(selected));
    }
}

void frmMain::ShowFromTray() {
    if (!IsOpen()) return;
    if (IsIconic(Handle())) static_cast<void>(ShowWindow(Handle(), SW_RESTORE));
    static_cast<void>(ShowWindow(Handle(), SW_SHOW));
    static_cast<void>(SetForegroundWindow(Handle()));
    if (listView_ != nullptr) static_cast<void>(SetFocus(listView_));
}

void frmMain::SaveSize() {
    if (!IsOpen()) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(Handle(), &placement)) return;
    // The size the window has when it is neither minimized nor maximized.
    const RECT& normal = placement.rcNormalPosition;
    settings_.SaveSize(win32::PixelsToTwips(normal.bottom - normal.top, dpi_),
                       win32::PixelsToTwips(normal.right - normal.left, dpi_));
}

void frmMain::Exit() {
    SaveSize();
    if (timerRunning_ && IsOpen()) {
        static_cast<void>(KillTimer(Handle(), kMonitorTimer));
        timerRunning_ = false;
    }
    if (beforeQuit_) beforeQuit_();
    if (IsOpen()) static_cast<void>(ShowWindow(Handle(), SW_HIDE));
    PostQuitMessage(0);
}

bool frmMain::IsChecked(int command) const {
    if (menuBarInUse_ == nullptr) return false;
    const UINT state = GetMenuState(menuBarInUse_, static_cast<UINT>(command), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void frmMain::SetChecked(int command, bool checked) {
    if (menuBarInUse_ == nullptr) return;
    static_cast<void>(CheckMenuItem(menuBarInUse_, static_cast<UINT>(command),
                                    MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)));
}

void frmMain::ApplyMenuState() {
    if (!list_) return;
    const auto state = SelectedRowMenuState(*list_);
    if (!state) return;
    for (const HMENU menu : {fileMenu_, listMenu_.get()}) {
        if (menu == nullptr) continue;
        static_cast<void>(EnableMenuItem(menu, ids::kCmdDisable,
                                         MF_BYCOMMAND | (state->disable ? MF_ENABLED : MF_GRAYED)));
        static_cast<void>(EnableMenuItem(menu, ids::kCmdEnable,
                                         MF_BYCOMMAND | (state->enable ? MF_ENABLED : MF_GRAYED)));
    }
}

void frmMain::ShowListMenu(LPARAM position) {
    ApplyMenuState();
    if (!list_ || !listMenu_ || !ShowsListMenu(*list_)) return;
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: beside the selected row, or the list's corner.
        RECT rect{};
        at = POINT{0, 0};
        if (const auto selected = list_->SelectedIndex()) {
            rect.left = LVIR_LABEL;
            if (SendMessageW(listView_, LVM_GETITEMRECT, *selected, reinterpret_cast<LPARAM>(&rect))) {
                at = POINT{rect.left, rect.bottom};
            }
        }
        static_cast<void>(ClientToScreen(listView_, &at));
    }
    static_cast<void>(TrackPopupMenu(listMenu_.get(), TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr));
}

void frmMain::OnCommand(int command) {
    if (!list_ || !context_) return;
    switch (command) {
    case ids::kCmdNewItem:
        add_->ShowNew();
        return;
    case ids::kCmdEditItem:
        add_->ShowEdit();
        return;
    case ids::kCmdDisable:
        DisableSelected(*context_);
        break;
    case ids::kCmdEnable:
        EnableSelected(*context_);
        break;
    case ids::kCmdDelete:
        DeleteSelected(*context_);
        break;
    case ids::kCmdExecute:
        ExecuteSelected(*context_);
        break;
    case ids::kCmdProperties:
        ShowSelectedProperties(*context_);
        break;
    case ids::kCmdRefresh:
        StartLoad();
        break;
    case ids::kCmdRunWithWindows:
        SetChecked(command, ToggleOption(IsChecked(command), [this](bool on) {
                       static_cast<void>(autostart_.Set(on));
                   }));
        return;
    case ids::kCmdRunMinimized:
        SetChecked(command, ToggleOption(IsChecked(command),
                                         [this](bool on) { settings_.SetRunMinimized(on); }));
        return;
    case ids::kCmdExit:
        Exit();
        return;
    case ids::kCmdLanguage:
        if (languageDialog_) languageDialog_->Show();
        return;
    case ids::kCmdHelpFile:
        OpenHelp();
        return;
    case ids::kCmdExport:
        ExportList();
        return;
    case ids::kCmdHistory:
        if (history_) history_->Show();
        return;
    case ids::kCmdUpdate:
        if (updates_) updates_->Start();
        return;
    case ids::kCmdAbout:
        if (about_) about_->Show();
        return;
    default:
        return;
    }
    // A question asked on the way may have let the monitor reload the list.
    RefreshList();
}

void frmMain::ExportList() {
    // The dialog wants its filter pairs NUL-separated, the list ended by an empty pair.
    std::wstring filter = win32::Wide(texts_.Get(lang::kExportCsvFiles)) + L'\0' + L"*.csv" + L'\0' +
                          win32::Wide(texts_.Get(lang::kExportJsonFiles)) + L'\0' + L"*.jsonl" + L'\0';
    filter += L'\0';
    std::wstring title = win32::Wide(texts_.Get(lang::kMenuExport));
    title.erase(std::remove(title.begin(), title.end(), L'&'), title.end());
    if (title.size() > 3 && title.ends_with(L"...")) title.resize(title.size() - 3);
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"csv";  // or the chosen type's extension
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return;  // cancelled: nothing written
    std::string path = win32::Narrow(file.data());
    // A name typed without one of the two extensions gets the chosen type's.
    if (!ExportFormatOf(path)) path += dialog.nFilterIndex == 2 ? ".jsonl" : ".csv";
    FinishLoad();  // every row with its details
    if (!dovoviza::ExportList(platform_, list_->Rows(), path)) {
        prompt_.Show(FillIn(texts_.Get(lang::kExportFailed), {path}), kAppTitle, MsgStyle::Exclamation);
    }
}

void frmMain::OpenHelp() {
    static_cast<void>(OpenHelpFile(platform_.files, texts_, prompt_, platform_.system.ProgramFolder(),
                                   [this](const std::string& path) { return help_.Show(Handle(), path); }));
}

void frmMain::OnTimer() {
    if (!monitor_) return;
    const TickReport report = monitor_->Tick();
    if (report.reloadedForNewEntry || report.reloadedForCount) RefreshList();
    // Rows the list took from the scan get their details as a load would.
    if (list_->LoadPending()) KeepLoading();
}

void frmMain::StartLoad() {
    list_->BeginLoad();
    KeepLoading();
}

void frmMain::KeepLoading() {
    if (!loadTimerRunning_) loadTimerRunning_ = SetTimer(Handle(), kLoadTimer, USER_TIMER_MINIMUM, nullptr) != 0;
    // Without a timer the load is done now, in one go.
    if (!loadTimerRunning_) FinishLoad();
}

void frmMain::OnLoadStep() {
    const auto generation = list_->Generation();
    // Slice after slice while nothing else waits for the window.
    bool more = true;
    do {
        const auto slice = std::chrono::steady_clock::now();
        more = list_->ContinueLoad([slice] { return std::chrono::steady_clock::now() - slice < kLoadSlice; });
        // Another program's question to the window is answered between slices.
        MSG message;
        static_cast<void>(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE));
    } while (more && generation == list_->Generation() &&
             HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_POSTMESSAGE)) == 0);
    if (!more && loadTimerRunning_) {
        static_cast<void>(KillTimer(Handle(), kLoadTimer));
        loadTimerRunning_ = false;
    }
    AfterLoadWork(generation);
}

void frmMain::FinishLoad() {
    const auto generation = list_->Generation();
    while (list_->ContinueLoad([] { return true; })) {
    }
    AfterLoadWork(generation);
}

void frmMain::AfterLoadWork(std::uint64_t generation) {
    if (generation != list_->Generation()) {
        RefreshList();
    } else if (listView_ != nullptr) {
        static_cast<void>(InvalidateRect(listView_, nullptr, FALSE));  // details came in
    }
    // The first scan: an entry that came back while the program was not
    // running is put out of its live store now rather than in two seconds.
    if (firstTickDue_ && !list_->Processing()) {
        firstTickDue_ = false;
        if (afterFirstLoad_) afterFirstLoad_();
        monitor_->Seed(list_->Rows());
        OnTimer();
    }
}

LRESULT frmMain::OnNotify(const NMHDR& header) {
    if (header.code == TTN_GETDISPINFOW) {
        auto& tip = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
        const auto text = tooltips_.find(static_cast<int>(header.idFrom));
        if (text != tooltips_.end()) {
            tip.hinst = nullptr;
            tip.lpszText = const_cast<wchar_t*>(text->second.c_str());
        }
        return 0;
    }
    if (header.hwndFrom != listView_ || !list_) return 0;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto& item = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)).item;
        const auto& rows = list_->Rows();
        if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= rows.size()) return 0;
        const StartupItem& row = rows[static_cast<std::size_t>(item.iItem)];
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0 &&
            item.iSubItem >= 0 && static_cast<std::size_t>(item.iSubItem) < kColumnCount) {
            const std::wstring text =
                win32::Wide(row.columns[static_cast<std::size_t>(item.iSubItem)]);
            lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
        }
        if ((item.mask & LVIF_IMAGE) != 0) item.iImage = row.icon > 0 ? row.icon - 1 : I_IMAGENONE;
        return 0;
    }
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) != 0 &&
            ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0) {
            TakeSelectionFromView();
        }
        return 0;
    }
    case LVN_ODSTATECHANGED:
        TakeSelectionFromView();
        return 0;
    case LVN_ODFINDITEMW: {
        // Typing a name's first letters in the list.
        const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
        const UINT flags = find.lvfi.flags;
        // Some list views ask for a partial match without naming it a string search.
        const bool byText = (flags & (LVFI_STRING | LVFI_PARTIAL | kFindSubstring)) != 0;
        if (!byText || find.lvfi.psz == nullptr) return -1;
        const auto found = FindRowByName(
            list_->Rows(), platform_.system, win32::Narrow(find.lvfi.psz),
            find.iStart > 0 ? static_cast<std::size_t>(find.iStart) : 0,
            (flags & (LVFI_PARTIAL | kFindSubstring)) != 0, (flags & LVFI_WRAP) != 0);
        return found ? static_cast<LRESULT>(*found) : -1;
    }
    case LVN_COLUMNCLICK: {
        const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
        if (list_->ColumnClick(click.iSubItem + 1)) RefreshList(true);
        return 0;
    }
    case NM_DBLCLK:
        OnCommand(ids::kCmdEditItem);
        return 0;
    case NM_RETURN:
        OnCommand(ids::kCmdEditItem);
        return 0;
    case LVN_KEYDOWN: {
        const auto& key = reinterpret_cast<const NMLVKEYDOWN&>(header);
        if (key.wVKey == VK_DELETE) OnCommand(ids::kCmdDelete);
        if (key.wVKey == VK_F5) OnCommand(ids::kCmdRefresh);
        return 0;
    }
    default:
        return 0;
    }
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = win32::TwipsToPixels(kMinWidthTwips, dpi_);
        info->ptMinTrackSize.y = win32::TwipsToPixels(kMinHeightTwips, dpi_);
        return 0;
    }
    case WM_SETFOCUS:
        if (listView_ != nullptr) static_cast<void>(SetFocus(listView_));
        return 0;
    case WM_COMMAND:
        // Menus, the toolbar and the list's menu all send the same commands.
        if (lParam == 0 || reinterpret_cast<HWND>(lParam) == toolbar_) OnCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_INITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wParam) == fileMenu_) ApplyMenuState();
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == listView_) {
            ShowListMenu(lParam);
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kMonitorTimer) OnTimer();
        if (wParam == kLoadTimer) OnLoadStep();
        return 0;
    case win32::kHttpAnswerMessage:
        if (http_ && updates_) {
            if (auto answer = http_->TakeAnswer(wParam)) updates_->OnAnswer(*answer);
        }
        return 0;
    case WM_CLOSE:
        // The close box only hides the window; the monitor keeps watching.
        static_cast<void>(ShowWindow(Handle(), SW_HIDE));
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            SaveSize();
            if (beforeQuit_) beforeQuit_();
        }
        return 0;
    case WM_DESTROY:
        if (timerRunning_) {
            static_cast<void>(KillTimer(Handle(), kMonitorTimer));
            timerRunning_ = false;
        }
        if (loadTimerRunning_) {
            static_cast<void>(KillTimer(Handle(), kLoadTimer));
            loadTimerRunning_ = false;
        }
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

}  // namespace dovoviza
