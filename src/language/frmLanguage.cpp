#include "language/frmLanguage.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "platform/win32/Layout.h"
#include "platform/win32/WideText.h"
#include "resource.h"

namespace dovoviza {

namespace {

using win32::Wide;

// A translator line as a link; the markup characters of SysLink are dropped
// from the shown text (no mail or web address contains them).
std::wstring LinkMarkup(const std::string& text) {
    std::wstring shown = Wide(text);
    shown.erase(std::remove_if(shown.begin(), shown.end(),
                               [](wchar_t c) { return c == L'<' || c == L'>'; }),
                shown.end());
    return shown.empty() ? std::wstring() : L"<a>" + shown + L"</a>";
}

void SetLinkText(HWND link, const std::string& text) {
    static_cast<void>(SetWindowTextW(link, LinkMarkup(text).c_str()));
}

// The hint a pointer over a translator link shows.
bool AddTooltip(HWND tooltip, HWND owner, HWND control, const wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    return SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

}  // namespace

frmLanguage::frmLanguage(const Platform& platform, const std::string& currentLanguageFile,
                         std::function<std::string()> storedName,
                         std::function<bool(const std::string&)> store, HWND owner)
    : DialogWindow(owner, IDI_APP_NAME),
      platform_(platform),
      choice_(platform.files, platform.system, platform.system.ProgramFolder(), currentLanguageFile),
      storedName_(std::move(storedName)),
      store_(std::move(store)) {}

void frmLanguage::Show() { OpenOrActivate(ids::kLanguageClass, ids::kLanguageList); }

bool frmLanguage::OnInit() {
    const HWND hwnd = Handle();
    prompt_.SetOwner(hwnd);
    using win32::CreateControl;
    // Created in the order Tab walks.
    bool ok = CreateControl(hwnd, WC_STATICW, L"", SS_LEFT | SS_LEFTNOWORDWRAP,
                            ids::kLanguageSelectLabel) != nullptr;
    ok &= CreateControl(hwnd, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                        ids::kLanguageList) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS,
                        ids::kLanguageTranslator) != nullptr;
    ok &= CreateControl(hwnd, WC_LINK, L"", WS_TABSTOP, ids::kLanguageEmail) != nullptr;
    ok &= CreateControl(hwnd, WC_LINK, L"", WS_TABSTOP, ids::kLanguageWeb) != nullptr;
    ok &= CreateControl(hwnd, WC_BUTTONW, L"", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
                        ids::kLanguageApply) != nullptr;
    ok &= CreateControl(hwnd, WC_BUTTONW, L"", BS_PUSHBUTTON | WS_TABSTOP, ids::kLanguageCancel) !=
          nullptr;
    if (!ok) return false;
    // Owned by the dialog: it goes with it.
    const HWND tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    // The hints are a comfort; the links work without them.
    if (tooltip != nullptr) {
        static_cast<void>(AddTooltip(tooltip, hwnd, Item(ids::kLanguageEmail), L"E-mail:"));
        static_cast<void>(AddTooltip(tooltip, hwnd, Item(ids::kLanguageWeb), L"Web:"));
    }

    choice_.Load(storedName_ ? storedName_() : std::string());
    const HWND list = Item(ids::kLanguageList);
    for (const std::string& name : choice_.Names()) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
    }
    const auto picked = choice_.Picked();
    SendMessageW(list, CB_SETCURSEL, picked ? static_cast<WPARAM>(*picked) : static_cast<WPARAM>(-1), 0);
    ShowPreview();
    const SIZE client = Layout();
    PlaceOverOwner(client.cx, client.cy);
    return true;
}

void frmLanguage::ShowPreview() {
    const LanguagePreview& preview = choice_.Preview();
    // The texts of the previewed language, in a font of its character set.
    font_ = win32::CreateUiFont(win32::SystemDpi(), preview.characterSet);
    win32::SetFontOfChildren(Handle(), font_.get());
    win32::SetText(Handle(), preview.caption);
    win32::SetText(Item(ids::kLanguageSelectLabel), preview.select);
    win32::SetText(Item(ids::kLanguageApply), preview.apply);
    win32::SetText(Item(ids::kLanguageCancel), preview.cancel);
    win32::SetText(Item(ids::kLanguageTranslator), preview.translator);
    SetLinkText(Item(ids::kLanguageEmail), preview.email);
    SetLinkText(Item(ids::kLanguageWeb), preview.web);
    // Apply needs a language to store.
    EnableWindow(Item(ids::kLanguageApply), choice_.Picked() ? TRUE : FALSE);
}

SIZE frmLanguage::Layout() {
    const HFONT font = font_.get();
    const win32::DialogUnits du(font);
    const int marginX = du.X(7);
    const int marginY = du.Y(7);
    const int rowHeight = du.Y(14);
    const int line = du.LineHeight();

    const int labelWidth = win32::TextWidth(font, Item(ids::kLanguageSelectLabel), true);
    const int listLeft = marginX + labelWidth + du.X(4);
    const int listWidth = du.X(120);

    int buttonWidth = du.X(50);
    for (int id : {ids::kLanguageApply, ids::kLanguageCancel}) {
        buttonWidth = std::max(buttonWidth, win32::TextWidth(font, Item(id), true) + du.X(12));
    }
    const int buttonGap = du.X(4);
    // Wide enough for the list row, the buttons and the translator lines,
    // within reason: a very long line ends in an ellipsis.
    const LanguagePreview& preview = choice_.Preview();
    int textWidth = 0;
    for (const std::string* text : {&preview.translator, &preview.email, &preview.web}) {
        textWidth = std::max<int>(textWidth, win32::MeasureText(font, Wide(*text)).cx + du.X(2));
    }
    const int clientWidth =
        std::max({listLeft + listWidth + marginX, 2 * marginX + 2 * buttonWidth + buttonGap,
                  2 * marginX + std::min(textWidth, du.X(300))});

    const HWND list = Item(ids::kLanguageList);
    const LRESULT itemHeight = SendMessageW(list, CB_GETITEMHEIGHT, 0, 0);
    const int shown = std::clamp(static_cast<int>(choice_.Names().size()), 1, 12);
    const int dropHeight = shown * (itemHeight > 0 ? static_cast<int>(itemHeight) : line + 2) + 2;
    int y = marginY;
    win32::Place(list, listLeft, y, clientWidth - marginX - listLeft, rowHeight + dropHeight);
    RECT listRect{};
    const int closedHeight = GetWindowRect(list, &listRect) ? listRect.bottom - listRect.top : rowHeight;
    win32::Place(Item(ids::kLanguageSelectLabel), marginX, y + (closedHeight - line) / 2, labelWidth,
                 line);
    y += closedHeight + du.Y(8);

    const int textLineWidth = clientWidth - 2 * marginX;
    for (int id : {ids::kLanguageTranslator, ids::kLanguageEmail, ids::kLanguageWeb}) {
        win32::Place(Item(id), marginX, y, textLineWidth, line + 2);
        y += line + du.Y(3);
    }
    y += du.Y(6);
    win32::Place(Item(ids::kLanguageApply), clientWidth - marginX - 2 * buttonWidth - buttonGap, y,
                 buttonWidth, rowHeight);
    win32::Place(Item(ids::kLanguageCancel), clientWidth - marginX - buttonWidth, y, buttonWidth,
                 rowHeight);
    static_cast<void>(InvalidateRect(Handle(), nullptr, TRUE));
    return SIZE{clientWidth, y + rowHeight + marginY};
}

LRESULT frmLanguage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.code == NM_CLICK || header.code == NM_RETURN) {
            OnLink(static_cast<int>(header.idFrom));
        }
        return 0;
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

void frmLanguage::OnCommand(int id, int code) {
    if (id != ids::kLanguageList || code != CBN_SELCHANGE) return;
    const LRESULT selected = SendMessageW(Item(id), CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return;
    choice_.Pick(static_cast<std::size_t>(selected));
    ShowPreview();
    // The new language's words may need another size; the dialog stays where it is.
    const SIZE client = Layout();
    Resize(client.cx, client.cy);
}

void frmLanguage::OnLink(int id) {
    const LanguagePreview& preview = choice_.Preview();
    const std::string target = id == ids::kLanguageEmail ? EmailLinkTarget(preview.email)
                               : id == ids::kLanguageWeb ? WebLinkTarget(preview.web)
                                                         : std::string();
    if (target.empty()) return;
    // Nothing to tell when no mail program or browser answers.
    static_cast<void>(platform_.shell.Open(target, "", ""));
}

void frmLanguage::OnOk() {
    if (!store_) return;
    bool applied = false;
    {
        const BusyScope busy(*this);
        applied = choice_.Apply(prompt_, store_);
    }
    if (applied) Destroy();
}

}  // namespace dovoviza
