#include "monitor/frmAlert.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "monitor/AlertActions.h"
#include "monitor/AlertPlacement.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Layout.h"
#include "platform/win32/ShellIcons.h"
#include "platform/win32/WideText.h"
#include "platform/win32/DialogWindow.h"
#include "resource.h"

namespace dovoviza {

namespace {

using win32::Wide;

// The caption labels are followed by their values this far apart (twips).
constexpr int kCaptionToValueTwips = 60;
// The shield's key colour: painted as the background.
constexpr COLORREF kPictureKey = RGB(255, 0, 255);

constexpr DWORD kAlertStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// Topmost and in the task bar: an alert must not get lost behind other windows.
constexpr DWORD kAlertExStyle = WS_EX_TOPMOST | WS_EX_APPWINDOW;

// The window's texts: control, language section, key.
constexpr TextBinding kTexts[] = {
    {ids::kAlertHeading, lang::kAlertHeading},        {ids::kAlertSubHeading, lang::kAlertSubHeading},
    {ids::kAlertSectionCaption, lang::kAlertSection}, {ids::kAlertNameCaption, lang::kAlertName},
    {ids::kAlertValueCaption, lang::kAlertValue},   {ids::kAlertAllow, lang::kAlertAllow},
    {ids::kAlertDisable, lang::kAlertDisable},        {ids::kAlertDelete, lang::kAlertDelete},
    {ids::kAlertPreviousCaption, lang::kAlertReplaces},
};

// Asks the main window's questions for an alert. The alert is disabled
// meanwhile, so that none of its buttons can be pressed a second time, and
// leaves the topmost band so that it cannot hide the question.
class AlertPrompt final : public IPrompt {
public:
    AlertPrompt(IPrompt& inner, HWND alert) : inner_(inner), alert_(alert) {}

    int Show(const std::string& text, const std::string& caption, int style) override {
        static_cast<void>(SetWindowPos(alert_, HWND_NOTOPMOST, 0, 0, 0, 0,
                                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
        const int answer = inner_.Show(text, caption, style);
        static_cast<void>(SetWindowPos(alert_, HWND_TOPMOST, 0, 0, 0, 0,
                                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
        return answer;
    }

private:
    IPrompt& inner_;
    HWND alert_;
};

}  // namespace

class frmAlert final : public win32::DialogWindow {
public:
    frmAlert(AlertContext& context, AlertEntry entry, int slot)
        : DialogWindow(nullptr, IDI_APP_NAME), context_(context), entry_(std::move(entry)), slot_(slot) {}

    // Builds the window with its texts, icon and layout, then shows it
    // topmost without taking the focus from what the user is typing into.
    bool Show();

    int Slot() const { return slot_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInit() override;
    void OnCommand(int id, int code) override;
    // Escape and the close box.
    void OnCancel() override {
        if (CanClose()) Run(&AlertActions::Dismiss);
    }
    int DefaultButton() const override { return ids::kAlertAllow; }

private:
    using Action = AlertOutcome (AlertActions::*)(const AlertEntry&);

    bool CreateControls();
    void ApplyTexts();
    void ShowIcon();
    void LoadPicture();
    void AddValueTooltip();
    SIZE Layout();
    void PlaceOnScreen(SIZE windowSize);

    void OnDetails();
    void Run(Action action);
    void DrawPicture(const DRAWITEMSTRUCT& item);
    void PaintBand();

    AlertContext& context_;
    const AlertEntry entry_;
    const int slot_;
    int bandHeight_ = 0;

    win32::UniqueHFont font_;
    win32::UniqueHFont headingFont_;
    win32::UniqueHIcon icon_;
    win32::UniqueHImageList picture_;
    HWND tooltip_ = nullptr;  // owned by the window: goes with it
    bool detailsIsLink_ = false;
};

bool frmAlert::Show() {
    if (!Open(ids::kAlertClass, Wide(kAppCaption), kAlertStyle, kAlertExStyle)) return false;
    // Shown without activation: keys meant for another window must not
    // answer the alert. The task bar button flashes until the user looks.
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    static_cast<void>(SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = Handle();
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    static_cast<void>(FlashWindowEx(&flash));
    KeepFocusOn(Item(ids::kAlertAllow));
    return true;
}

bool frmAlert::OnInit() {
    const int dpi = win32::SystemDpi();
    const std::optional<int> characterSet = CharacterSetOf(context_.texts);
    font_ = win32::CreateUiFont(dpi, characterSet);
    headingFont_ = win32::CreateUiFont(dpi, characterSet, true, 4);
    if (!CreateControls()) return false;
    ApplyTexts();
    ShowIcon();
    LoadPicture();
    AddValueTooltip();
    PlaceOnScreen(Layout());
    return true;
}

bool frmAlert::CreateControls() {
    const HWND hwnd = Handle();
    using win32::CreateControl;
    constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
    // Entry texts are the user's data: "&" is a character, long texts end in "...".
    constexpr DWORD kData = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS;

    bool ok = CreateControl(hwnd, WC_STATICW, L"", SS_OWNERDRAW, ids::kAlertPicture) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAlertHeading) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAlertSubHeading) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", SS_ICON | SS_CENTERIMAGE, ids::kAlertIcon) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAlertSectionCaption) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, Wide(std::string(entry_.Section())), kData, ids::kAlertSection) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAlertNameCaption) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, Wide(entry_.name), kData, ids::kAlertName) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAlertValueCaption) != nullptr;
    // A command keeps its program's file name in sight; SS_NOTIFY lets the
    // tooltip see the mouse.
    ok &= CreateControl(hwnd, WC_STATICW, Wide(entry_.value),
                        SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_PATHELLIPSIS | SS_NOTIFY,
                        ids::kAlertValue) != nullptr;

    if (!entry_.previous.empty()) {
        ok &= CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAlertPreviousCaption) != nullptr;
        ok &= CreateControl(hwnd, WC_STATICW, Wide(entry_.previous), SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_PATHELLIPSIS,
                            ids::kAlertPrevious) != nullptr;
    }

    // The link; a plain clickable label where the link control is missing.
    HWND details = CreateControl(hwnd, WC_LINK, L"", WS_TABSTOP, ids::kAlertDetails);
    detailsIsLink_ = details != nullptr;
    if (details == nullptr) {
        details = CreateControl(hwnd, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
                                ids::kAlertDetails);
    }
    ok &= details != nullptr;

    ok &= CreateControl(hwnd, WC_BUTTONW, L"", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
                        ids::kAlertAllow) != nullptr;
    ok &= CreateControl(hwnd, WC_BUTTONW, L"", BS_PUSHBUTTON | WS_TABSTOP, ids::kAlertDisable) !=
          nullptr;
    ok &= CreateControl(hwnd, WC_BUTTONW, L"", BS_PUSHBUTTON | WS_TABSTOP, ids::kAlertDelete) !=
          nullptr;
    if (!ok) return false;

    win32::SetFontOfChildren(hwnd, font_.get());
    SendMessageW(Item(ids::kAlertHeading), WM_SETFONT, reinterpret_cast<WPARAM>(headingFont_.get()),
                 FALSE);
    return true;
}

void frmAlert::ApplyTexts() {
    for (const TextBinding& binding : kTexts) {
        win32::SetText(Item(binding.control), context_.texts.Get(binding.text));
    }
    const std::string details = context_.texts.Get(lang::kAlertDetails);
    win32::SetText(Item(ids::kAlertDetails), detailsIsLink_ ? "<a>" + details + "</a>" : details);
    if (entry_.skippedByWindows) {
        win32::SetText(Item(ids::kAlertSubHeading), context_.texts.Get(lang::kAlertSubHeading) + " (" +
                                                         context_.texts.Get(lang::kSkippedByWindows) + ")");
    }
}

void frmAlert::ShowIcon() {
    const int size = GetSystemMetrics(SM_CXICON);
    if (ShowsQuestionIcon(entry_.path, context_.texts)) {
        icon_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                  MAKEINTRESOURCEW(IDI_MISSING_PROGRAM), IMAGE_ICON, size,
                                                  size, 0)));
    } else {
        // A file the shell has no icon for shows none.
        icon_ = win32::LoadFileIcon(entry_.path, IconSize::Large);
    }
    if (icon_) {
        SendMessageW(Item(ids::kAlertIcon), STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
    }
}

void frmAlert::LoadPicture() {
    const win32::UniqueHBitmap bitmap(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ALERT), IMAGE_BITMAP, 0, 0,
        LR_CREATEDIBSECTION)));
    if (!bitmap) return;
    BITMAP info{};
    if (GetObjectW(bitmap.get(), sizeof info, &info) == 0) return;
    win32::UniqueHImageList list(
        ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0));
    if (!list) return;
    // The key colour becomes the mask; the list keeps its own copy of the picture.
    if (ImageList_AddMasked(list.get(), bitmap.get(), kPictureKey) < 0) return;
    picture_ = std::move(list);
}

void frmAlert::AddValueTooltip() {
    const std::string tip = ValueTooltip(entry_.value);
    if (tip.empty()) return;
    // Shown while the alert is not the active window too: it usually is not.
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (tooltip_ == nullptr) return;
    std::wstring text = Wide(tip);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(ids::kAlertValue));
    tool.lpszText = text.data();  // copied by the tooltip
    if (!SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return;
    SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    // Long commands wrap at blanks instead of running off the screen.
    const RECT work = win32::WorkAreaOf(Handle());
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, (work.right - work.left) / 2);
    // Long enough to read a long command.
    SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
}

SIZE frmAlert::Layout() {
    const win32::DialogUnits du(font_.get());
    const int dpi = win32::SystemDpi();
    const int marginX = du.X(7);
    const int marginY = du.Y(7);
    const int line = du.LineHeight();
    const auto textWidth = [&](int id, HFONT font, bool prefix) {
        return win32::TextWidth(font, Item(id), prefix);
    };

    // The buttons share one width, wide enough for the longest caption.
    int buttonWidth = du.X(50);
    for (int id : {ids::kAlertAllow, ids::kAlertDisable, ids::kAlertDelete}) {
        buttonWidth = std::max(buttonWidth, textWidth(id, font_.get(), true) + du.X(12));
    }
    const int buttonHeight = du.Y(14);
    const int buttonGap = du.X(4);

    // The heading band: the shield on the left, the two headings beside it.
    int pictureWidth = 48;
    int pictureHeight = 48;
    if (picture_) static_cast<void>(ImageList_GetIconSize(picture_.get(), &pictureWidth, &pictureHeight));
    const SIZE heading =
        win32::MeasureText(headingFont_.get(), win32::GetText(Item(ids::kAlertHeading)));
    const SIZE subHeading =
        win32::MeasureText(font_.get(), win32::GetText(Item(ids::kAlertSubHeading)));
    const int headingWidth = static_cast<int>(std::max(heading.cx, subHeading.cx));
    const int headingHeight = static_cast<int>(heading.cy);
    const int subHeadingHeight = static_cast<int>(subHeading.cy);
    const int headingsHeight = headingHeight + du.Y(2) + subHeadingHeight;
    bandHeight_ = std::max(pictureHeight, headingsHeight) + 2 * du.Y(5);
    const int headingsLeft = marginX + pictureWidth + marginX;

    // The entry: the program's icon, then caption and value pairs.
    const int iconSize = GetSystemMetrics(SM_CXICON);
    const int captionsLeft = marginX + iconSize + marginX;
    const int gap = win32::TwipsToPixels(kCaptionToValueTwips, dpi);
    const int rowPitch = line + du.Y(3);
    const int bodyTop = bandHeight_ + du.Y(2) + marginY;

    int clientWidth = std::max(du.X(270), headingsLeft + headingWidth + marginX);
    clientWidth = std::max(clientWidth, 2 * marginX + 3 * buttonWidth + 2 * buttonGap);
    // A translation's long captions still leave the values room.
    int widestCaption = 0;
    for (int id : {ids::kAlertSectionCaption, ids::kAlertNameCaption, ids::kAlertValueCaption,
                   ids::kAlertPreviousCaption}) {
        widestCaption = std::max(widestCaption, textWidth(id, font_.get(), false));
    }
    clientWidth = std::max(clientWidth, captionsLeft + widestCaption + gap + du.X(100) + marginX);

    win32::Place(Item(ids::kAlertPicture), marginX, (bandHeight_ - pictureHeight) / 2, pictureWidth,
                 pictureHeight);
    const int headingsTop = (bandHeight_ - headingsHeight) / 2;
    win32::Place(Item(ids::kAlertHeading), headingsLeft, headingsTop,
                 clientWidth - headingsLeft - marginX, headingHeight);
    win32::Place(Item(ids::kAlertSubHeading), headingsLeft, headingsTop + headingHeight + du.Y(2),
                 clientWidth - headingsLeft - marginX, subHeadingHeight);

    win32::Place(Item(ids::kAlertIcon), marginX, bodyTop, iconSize, iconSize);
    const int pairs[][2] = {{ids::kAlertSectionCaption, ids::kAlertSection},
                            {ids::kAlertNameCaption, ids::kAlertName},
                            {ids::kAlertValueCaption, ids::kAlertValue},
                            {ids::kAlertPreviousCaption, ids::kAlertPrevious}};
    int y = bodyTop;
    for (const auto& pair : pairs) {
        if (Item(pair[0]) == nullptr) continue;  // no earlier command to show
        // Each value follows its own caption, measured in the window's font.
        const int captionWidth = textWidth(pair[0], font_.get(), false);
        const int valueLeft = captionsLeft + captionWidth + gap;
        win32::Place(Item(pair[0]), captionsLeft, y, captionWidth, line);
        win32::Place(Item(pair[1]), valueLeft, y, clientWidth - marginX - valueLeft, line);
        y += rowPitch;
    }
    const int detailsWidth = textWidth(ids::kAlertDetails, font_.get(), false);
    y += du.Y(2);
    win32::Place(Item(ids::kAlertDetails), captionsLeft, y,
                 std::min(detailsWidth + du.X(4), clientWidth - marginX - captionsLeft), line);
    y += line;

    const int buttonsTop = std::max(y, bodyTop + iconSize) + du.Y(9);
    int x = clientWidth - marginX - 3 * buttonWidth - 2 * buttonGap;
    for (int id : {ids::kAlertAllow, ids::kAlertDisable, ids::kAlertDelete}) {
        win32::Place(Item(id), x, buttonsTop, buttonWidth, buttonHeight);
        x += buttonWidth + buttonGap;
    }
    const int clientHeight = buttonsTop + buttonHeight + marginY;
    return win32::WindowSizeForClient(clientWidth, clientHeight, kAlertStyle, kAlertExStyle);
}

void frmAlert::PlaceOnScreen(SIZE windowSize) {
    const RECT work = win32::WorkAreaOf(nullptr);
    const win32::DialogUnits du(font_.get());
    const AlertGrid grid{windowSize.cx, windowSize.cy, du.X(4),
                         GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFIXEDFRAME)};
    const ScreenPoint at =
        AlertPosition(ScreenRect{work.left, work.top, work.right, work.bottom}, grid, slot_);
    static_cast<void>(SetWindowPos(Handle(), HWND_TOPMOST, at.x, at.y, windowSize.cx, windowSize.cy,
                                   SWP_NOACTIVATE));
}

LRESULT frmAlert::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == static_cast<UINT_PTR>(ids::kAlertDetails) &&
                (header->code == NM_CLICK || header->code == NM_RETURN)) {
                OnDetails();
                return 0;
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID == static_cast<UINT>(ids::kAlertPicture)) {
                DrawPicture(*item);
                return TRUE;
            }
            break;
        }
        case WM_CTLCOLORSTATIC: {
            // The heading band is drawn in the window colour, like a wizard's.
            const auto control = reinterpret_cast<HWND>(lParam);
            const int id = GetDlgCtrlID(control);
            if (id == ids::kAlertHeading || id == ids::kAlertSubHeading) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                SetBkColor(dc, GetSysColor(COLOR_WINDOW));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            }
            break;
        }
        case WM_PAINT:
            PaintBand();
            return 0;
        default:
            break;
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

void frmAlert::OnCommand(int id, int code) {
    // Buttons and the fallback label say "clicked" with code 0.
    if (code != BN_CLICKED) return;
    switch (id) {
        case ids::kAlertAllow:
            Run(&AlertActions::Allow);
            break;
        case ids::kAlertDisable:
            Run(&AlertActions::Disable);
            break;
        case ids::kAlertDelete:
            Run(&AlertActions::Delete);
            break;
        case ids::kAlertDetails:
            if (!detailsIsLink_) OnDetails();
            break;
        default:
            break;
    }
}

void frmAlert::OnDetails() {
    // The shell's own sheet reports nothing either when the file is gone.
    static_cast<void>(context_.platform.shell.ShowProperties(entry_.path));
}

void frmAlert::Run(Action action) {
    if (Busy()) return;
    AlertOutcome outcome = AlertOutcome::StayOpen;
    {
        // Busy until the action is over, even once the window is gone, so
        // that the owner does not drop this object under its own feet.
        const BusyScope busy(*this);
        AlertPrompt prompt(context_.prompt, Handle());
        AlertActions actions(context_.platform, context_.texts, prompt, context_.list,
                             context_.listChanged, context_.journal);
        outcome = (actions.*action)(entry_);
    }
    if (outcome == AlertOutcome::Close) {
        Destroy();
        return;
    }
    if (GetForegroundWindow() != Handle()) {
        // The question took the activation away; the alert is still waiting.
        static_cast<void>(SetForegroundWindow(Handle()));
    }
}

void frmAlert::DrawPicture(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
    if (picture_) {
        static_cast<void>(ImageList_Draw(picture_.get(), 0, item.hDC, item.rcItem.left,
                                         item.rcItem.top, ILD_TRANSPARENT));
    }
}

void frmAlert::PaintBand() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(Handle(), &paint);
    if (dc == nullptr) return;
    RECT client{};
    if (GetClientRect(Handle(), &client)) {
        RECT band = client;
        band.bottom = bandHeight_;
        FillRect(dc, &band, GetSysColorBrush(COLOR_WINDOW));
        // The band's lower edge, as a wizard's header has it.
        RECT edge = client;
        edge.top = bandHeight_;
        edge.bottom = bandHeight_ + 2;
        static_cast<void>(DrawEdge(dc, &edge, EDGE_ETCHED, BF_TOP));
    }
    EndPaint(Handle(), &paint);
}

AlertWindows::AlertWindows(const Platform& platform, ITexts& texts, IPrompt& prompt, MainList& list,
                           std::function<void()> listChanged, IJournal* journal)
    : context_{platform, texts, prompt, list, std::move(listChanged), journal} {
    // The link and the tooltip are common controls of their own; registering
    // them again when the program has done so already costs nothing.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LINK_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    static_cast<void>(InitCommonControlsEx(&controls));  // without them the fallbacks serve
}

AlertWindows::~AlertWindows() = default;

void AlertWindows::RaiseAlert(const AlertEntry& entry) {
    DropClosed();
    std::vector<int> used;
    for (const auto& window : windows_) used.push_back(window->Slot());
    auto window = std::make_unique<frmAlert>(context_, entry, FreeAlertSlot(used));
    // A window that could not be made leaves the entry listed as it is.
    if (window->Show()) windows_.push_back(std::move(window));
}

void AlertWindows::DropClosed() {
    // A window still inside its own handler is kept until that has returned.
    std::erase_if(windows_,
                  [](const auto& window) { return !window->IsOpen() && !window->Busy(); });
}

}  // namespace dovoviza
