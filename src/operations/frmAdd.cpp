#include "operations/frmAdd.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "language/Texts.h"
#include "platform/win32/Layout.h"
#include "platform/win32/WideText.h"
#include "resource.h"

namespace dovoviza {

namespace {

using win32::Wide;

// The dialog's texts: control, language section, key.
constexpr TextBinding kTexts[] = {
    {ids::kAddNameLabel, lang::kAddName},       {ids::kAddValueLabel, lang::kAddValue},
    {ids::kAddParametersLabel, lang::kAddParameters}, {ids::kAddSectionLabel, lang::kAddSection},
    {ids::kAddOk, lang::kAddOk},              {ids::kAddCancel, lang::kAddCancel},
};

// Room for any path the file dialog can hand back.
constexpr DWORD kPathBuffer = 32768;

std::string ControlText(HWND control) { return win32::Narrow(win32::GetText(control)); }

}  // namespace

frmAdd::frmAdd(const OperationContext& context, std::function<void()> saved, HWND owner)
    : DialogWindow(owner, IDI_APP_NAME), context_(context), editor_(context), saved_(std::move(saved)) {}

void frmAdd::ShowNew() {
    if (IsOpen()) {
        ShowAndActivate();
        return;
    }
    editor_.Reset();
    if (!Open(ids::kAddClass)) return;
    Fill();
    ShowAndActivate();
    FocusName(false);
}

void frmAdd::ShowEdit() {
    // While the dialog is open the edit replaces what it shows, as the Edit
    // command asks; a row that cannot be edited leaves it as it is.
    if (Busy() || !editor_.OpenForEdit()) return;
    if (!IsOpen() && !Open(ids::kAddClass)) {
        editor_.Reset();
        return;
    }
    Fill();
    ShowAndActivate();
    FocusName(true);
}

bool frmAdd::OnInit() {
    ITexts& texts = context_.texts;
    font_ = win32::CreateUiFont(win32::SystemDpi(), CharacterSetOf(texts));

    const HWND hwnd = Handle();
    using win32::CreateControl;
    constexpr DWORD kLabel = SS_LEFT | SS_LEFTNOWORDWRAP;
    constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_TABSTOP;
    // Created in the order Tab walks: name, value, browse, parameters, section, OK, Cancel.
    bool ok = CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAddNameLabel) != nullptr;
    ok &= CreateControl(hwnd, WC_EDITW, L"", kEdit | WS_GROUP, ids::kAddName, WS_EX_CLIENTEDGE) !=
          nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAddValueLabel) != nullptr;
    ok &= CreateControl(hwnd, WC_EDITW, L"", kEdit, ids::kAddValue, WS_EX_CLIENTEDGE) != nullptr;
    ok &= CreateControl(hwnd, WC_BUTTONW, L"...", BS_PUSHBUTTON | WS_TABSTOP, ids::kAddBrowse) !=
          nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAddParametersLabel) != nullptr;
    ok &= CreateControl(hwnd, WC_EDITW, L"", kEdit, ids::kAddParameters, WS_EX_CLIENTEDGE) !=
          nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAddSectionLabel) != nullptr;
    ok &= CreateControl(hwnd, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                        ids::kAddSection) != nullptr;
    ok &= CreateControl(hwnd, WC_BUTTONW, L"", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
                        ids::kAddOk) != nullptr;
    ok &= CreateControl(hwnd, WC_BUTTONW, L"", BS_PUSHBUTTON | WS_TABSTOP, ids::kAddCancel) !=
          nullptr;
    if (!ok) return false;
    win32::SetFontOfChildren(hwnd, font_.get());

    for (const TextBinding& binding : kTexts) {
        win32::SetText(Item(binding.control), texts.Get(binding.text));
    }
    const HWND sections = Item(ids::kAddSection);
    for (const StartupLocation* location : SectionChoices()) {
        SendMessageW(sections, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Wide(std::string(location->section)).c_str()));
    }

    const SIZE client = Layout();
    PlaceOverOwner(client.cx, client.cy);
    return true;
}

SIZE frmAdd::Layout() {
    const win32::DialogUnits du(font_.get());
    const int marginX = du.X(7);
    const int marginY = du.Y(7);
    const int rowHeight = du.Y(14);
    const int rowGap = du.Y(5);
    const int line = du.LineHeight();

    int labelWidth = 0;
    for (int id : {ids::kAddNameLabel, ids::kAddValueLabel, ids::kAddParametersLabel,
                   ids::kAddSectionLabel}) {
        labelWidth = std::max(labelWidth, win32::TextWidth(font_.get(), Item(id), true));
    }
    const int fieldsLeft = marginX + labelWidth + du.X(6);
    const int fieldsWidth = du.X(200);
    const int browseWidth = du.X(16);
    const int browseGap = du.X(3);

    int y = marginY;
    const auto row = [&](int labelId, int fieldId, int fieldWidth, int fieldHeight) {
        win32::Place(Item(labelId), marginX, y + (rowHeight - line) / 2, labelWidth, line);
        win32::Place(Item(fieldId), fieldsLeft, y, fieldWidth, fieldHeight);
        y += rowHeight + rowGap;
    };
    row(ids::kAddNameLabel, ids::kAddName, fieldsWidth, rowHeight);
    win32::Place(Item(ids::kAddBrowse), fieldsLeft + fieldsWidth - browseWidth, y, browseWidth,
                 rowHeight);
    row(ids::kAddValueLabel, ids::kAddValue, fieldsWidth - browseWidth - browseGap, rowHeight);
    row(ids::kAddParametersLabel, ids::kAddParameters, fieldsWidth, rowHeight);
    // A drop-down list's height includes its list: all ten Sections without a scroll bar.
    const HWND sections = Item(ids::kAddSection);
    const LRESULT itemHeight = SendMessageW(sections, CB_GETITEMHEIGHT, 0, 0);
    const int listHeight = static_cast<int>(kLocationCount) *
                           (itemHeight > 0 ? static_cast<int>(itemHeight) : line + 2);
    row(ids::kAddSectionLabel, ids::kAddSection, fieldsWidth, rowHeight + listHeight + 2);
    // The closed drop-down is as high as the font makes it; its label follows it.
    RECT sectionRect{};
    if (GetWindowRect(sections, &sectionRect)) {
        const int closedHeight = sectionRect.bottom - sectionRect.top;
        if (closedHeight > 0 && closedHeight < rowHeight + listHeight) {
            const int sectionTop = y - rowHeight - rowGap;
            win32::Place(Item(ids::kAddSectionLabel), marginX,
                         sectionTop + (closedHeight - line) / 2, labelWidth, line);
        }
    }

    int buttonWidth = du.X(50);
    for (int id : {ids::kAddOk, ids::kAddCancel}) {
        buttonWidth = std::max(buttonWidth, win32::TextWidth(font_.get(), Item(id), true) + du.X(12));
    }
    const int clientWidth = fieldsLeft + fieldsWidth + marginX;
    const int buttonsTop = y - rowGap + du.Y(9);
    const int buttonGap = du.X(4);
    win32::Place(Item(ids::kAddOk), clientWidth - marginX - 2 * buttonWidth - buttonGap, buttonsTop,
                 buttonWidth, rowHeight);
    win32::Place(Item(ids::kAddCancel), clientWidth - marginX - buttonWidth, buttonsTop, buttonWidth,
                 rowHeight);
    const int clientHeight = buttonsTop + rowHeight + marginY;
    return SIZE{clientWidth, clientHeight};
}

void frmAdd::Fill() {
    win32::SetText(Handle(), editor_.Caption());
    const EditorFields& fields = editor_.fields;
    win32::SetText(Item(ids::kAddName), fields.name);
    win32::SetText(Item(ids::kAddValue), fields.value);
    win32::SetText(Item(ids::kAddParameters), fields.parameters);
    SendMessageW(Item(ids::kAddSection), CB_SETCURSEL, static_cast<WPARAM>(fields.section), 0);
    UpdateParameters();
}

void frmAdd::Collect() {
    EditorFields& fields = editor_.fields;
    fields.name = ControlText(Item(ids::kAddName));
    fields.value = ControlText(Item(ids::kAddValue));
    fields.parameters = ControlText(Item(ids::kAddParameters));
    const LRESULT selected = SendMessageW(Item(ids::kAddSection), CB_GETCURSEL, 0, 0);
    fields.section = selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void frmAdd::UpdateParameters() {
    // Greyed, text kept: a Startup folder shortcut carries no parameters.
    EnableWindow(Item(ids::kAddParameters), editor_.ParametersEnabled() ? TRUE : FALSE);
}

void frmAdd::FocusName(bool selectAll) {
    const HWND name = Item(ids::kAddName);
    if (selectAll) SendMessageW(name, EM_SETSEL, 0, -1);
    FocusControl(name);
}

LRESULT frmAdd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // However the dialog goes, it opens empty next time.
    if (message == WM_DESTROY) editor_.Reset();
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

void frmAdd::OnCommand(int id, int code) {
    if (id == ids::kAddBrowse && code == BN_CLICKED) {
        OnBrowse();
    } else if (id == ids::kAddSection && code == CBN_SELCHANGE) {
        const LRESULT selected = SendMessageW(Item(ids::kAddSection), CB_GETCURSEL, 0, 0);
        editor_.fields.section = selected == CB_ERR ? -1 : static_cast<int>(selected);
        UpdateParameters();
    }
}

void frmAdd::OnOk() {
    Collect();
    SaveResult result = SaveResult::Stay;
    {
        // The questions are the main window's; nothing here may be pressed
        // again while one is open.
        const BusyScope busy(*this);
        result = editor_.Save();
    }
    if (result == SaveResult::Close) {
        Destroy();
        if (saved_) saved_();
        return;
    }
    // A message was shown: back to the dialog with everything as it was.
    ShowAndActivate();
}

void frmAdd::OnBrowse() {
    const BrowseRequest request = editor_.Browse();
    // The dialog wants the pairs NUL-separated, the list ended by an empty one.
    std::wstring filter = Wide(request.filter);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    if (filter.empty() || filter.back() != L'\0') filter.push_back(L'\0');
    const std::wstring title = Wide(request.title);
    const std::wstring folder = Wide(request.initialFolder);
    std::vector<wchar_t> file(kPathBuffer, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kPathBuffer;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // The program's current folder stays where it was; a read-only choice means nothing here.
    dialog.Flags = (request.mustExist ? OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST : 0) | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return;  // cancelled, or the dialog failed: nothing changes
    editor_.BrowseChosen(win32::Narrow(file.data()));
    win32::SetText(Item(ids::kAddValue), editor_.fields.value);
}

}  // namespace dovoviza
