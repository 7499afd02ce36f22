#include "history/frmHistory.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "platform/win32/Layout.h"
#include "platform/win32/WideText.h"
#include "resource.h"

namespace dovoviza {

namespace {

constexpr TextKey kColumns[] = {lang::kHistoryTime, lang::kHistoryAction, lang::kHistoryPlace,
                                lang::kHistoryName, lang::kHistoryCommand};
constexpr int kColumnWidths[] = {150, 90, 190, 160, 300};  // at 96 DPI

const std::string& Field(const JournalRecord& record, int column) {
    switch (column) {
        case 0: return record.time;
        case 1: return record.action;
        case 2: return record.place;
        case 3: return record.name;
        default: return record.command;
    }
}

}  // namespace

std::string RestoreMessage(ITexts& texts, RestoreResult result, const JournalRecord& record) {
    const TextKey* key = nullptr;
    switch (result) {
        case RestoreResult::Restored: return {};
        case RestoreResult::NotRestorable: key = &lang::kHistoryNotRestorable; break;
        case RestoreResult::AlreadyThere: key = &lang::kHistoryAlreadyThere; break;
        case RestoreResult::Occupied: key = &lang::kHistoryOccupied; break;
        case RestoreResult::CopyMissing: key = &lang::kHistoryCopyMissing; break;
        case RestoreResult::Failed: key = &lang::kHistoryFailed; break;
    }
    return FillIn(texts.Get(*key), {record.name, record.place});
}

frmHistory::frmHistory(HistoryContext context, HWND owner)
    : DialogWindow(owner, IDI_APP_NAME), context_(std::move(context)) {}

void frmHistory::Show() {
    const bool open = Handle() != nullptr;
    OpenOrActivate(ids::kHistoryClass, ids::kHistoryList);
    if (open) Reread();
}

bool frmHistory::OnInit() {
    const HWND hwnd = Handle();
    const int dpi = win32::SystemDpi();
    font_ = win32::CreateUiFont(dpi, CharacterSetOf(context_.texts));
    using win32::CreateControl;
    const HWND list = CreateControl(hwnd, WC_LISTVIEWW, L"",
                                    LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                        WS_BORDER | WS_TABSTOP | WS_GROUP,
                                    ids::kHistoryList);
    bool ok = list != nullptr;
    ok &= CreateControl(hwnd, WC_BUTTONW, L"", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, ids::kHistoryRestore) !=
          nullptr;
    ok &= CreateControl(hwnd, WC_BUTTONW, L"", BS_PUSHBUTTON | WS_TABSTOP, ids::kHistoryClose) != nullptr;
    if (!ok) return false;
    win32::SetFontOfChildren(hwnd, font_.get());
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        std::wstring header = win32::Wide(context_.texts.Get(kColumns[i]));
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = header.data();
        column.cx = MulDiv(kColumnWidths[i], dpi, 96);
        if (SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)) < 0) {
            return false;
        }
    }
    win32::SetText(hwnd, context_.texts.Get(lang::kHistoryCaption));
    win32::SetText(Item(ids::kHistoryRestore), context_.texts.Get(lang::kHistoryRestore));
    win32::SetText(Item(ids::kHistoryClose), context_.texts.Get(lang::kHistoryClose));

    const win32::DialogUnits du(font_.get());
    int width = du.X(14);
    for (const int w : kColumnWidths) width += MulDiv(w, dpi, 96);
    const int listHeight = du.Y(200), button = du.Y(14);
    const int buttonWidth = std::max({du.X(50), win32::TextWidth(font_.get(), Item(ids::kHistoryRestore), true) + du.X(12),
                                      win32::TextWidth(font_.get(), Item(ids::kHistoryClose), true) + du.X(12)});
    win32::Place(list, du.X(7), du.Y(7), width - du.X(14), listHeight);
    const int y = du.Y(7) + listHeight + du.Y(7);
    win32::Place(Item(ids::kHistoryClose), width - du.X(7) - buttonWidth, y, buttonWidth, button);
    win32::Place(Item(ids::kHistoryRestore), width - du.X(11) - 2 * buttonWidth, y, buttonWidth, button);
    PlaceOverOwner(width, y + button + du.Y(7));
    Reread();
    return true;
}

void frmHistory::Reread() {
    records_ = context_.journal.Read();
    const HWND list = Item(ids::kHistoryList);
    SendMessageW(list, LVM_SETITEMCOUNT, records_.size(), 0);
    InvalidateRect(list, nullptr, TRUE);
    EnableRestore();
}

int frmHistory::Selected() const {
    return static_cast<int>(SendMessageW(Item(ids::kHistoryList), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                         LVNI_SELECTED));
}

void frmHistory::EnableRestore() {
    const int row = Selected();
    const bool restorable = row >= 0 && static_cast<std::size_t>(row) < records_.size() &&
                            Restorable(records_[static_cast<std::size_t>(row)]);
    EnableWindow(Item(ids::kHistoryRestore), restorable ? TRUE : FALSE);
}

void frmHistory::RestoreSelected() {
    const int row = Selected();
    if (Busy() || row < 0 || static_cast<std::size_t>(row) >= records_.size()) return;
    const JournalRecord record = records_[static_cast<std::size_t>(row)];
    const RestoreResult result = Restore(context_.platform, context_.folders, context_.journal, record);
    if (result == RestoreResult::Restored) {
        if (context_.restored) context_.restored();
    } else {
        const BusyScope busy(*this);
        context_.prompt.Show(RestoreMessage(context_.texts, result, record), kAppTitle, MsgStyle::Exclamation);
    }
    Reread();
}

void frmHistory::OnCommand(int id, int code) {
    if (id == ids::kHistoryRestore && code == BN_CLICKED) RestoreSelected();
}

LRESULT frmHistory::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NOTIFY) return DialogWindow::HandleMessage(message, wParam, lParam);
    const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
    if (header.idFrom != static_cast<UINT_PTR>(ids::kHistoryList)) return 0;
    if (header.code == LVN_GETDISPINFOW) {
        auto& item = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)).item;
        if ((item.mask & LVIF_TEXT) != 0 && item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < records_.size() &&
            item.pszText != nullptr && item.cchTextMax > 0) {
            shown_ = win32::Wide(Field(records_[static_cast<std::size_t>(item.iItem)], item.iSubItem));
            lstrcpynW(item.pszText, shown_.c_str(), item.cchTextMax);
        }
    } else if (header.code == LVN_ITEMCHANGED) {
        EnableRestore();
    } else if (header.code == NM_DBLCLK) {
        RestoreSelected();
    }
    return 0;
}

}  // namespace dovoviza
