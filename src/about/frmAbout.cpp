#include "about/frmAbout.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "platform/win32/Layout.h"
#include "platform/win32/WideText.h"
#include "resource.h"
#include "version.h"

namespace dovoviza {

namespace {

// The version follows the translated word "Version:" at this gap.
constexpr int kVersionGapTwips = 40;
constexpr int kPictureSize = 48;  // at 96 DPI

// The box's texts: control, language section, key.
constexpr TextBinding kTexts[] = {
    {ids::kAboutVersionLabel, lang::kAboutVersion},
    {ids::kAboutCopyright, lang::kAboutCopyright},
    {ids::kAboutClose, lang::kAboutClose},
};

}  // namespace

frmAbout::frmAbout(ITexts& texts, IShell& shell, std::string homePage, std::string programFolder,
                   HWND owner)
    : DialogWindow(owner, IDI_APP_NAME),
      texts_(texts),
      shell_(shell),
      homePage_(std::move(homePage)),
      programFolder_(std::move(programFolder)) {}

void frmAbout::Show() { OpenOrActivate(ids::kAboutClass, ids::kAboutClose); }

bool frmAbout::OnInit() {
    const HWND hwnd = Handle();
    const int dpi = win32::SystemDpi();
    font_ = win32::CreateUiFont(dpi, CharacterSetOf(texts_));
    titleFont_ = win32::CreateUiFont(dpi, std::nullopt, true, 3);

    using win32::CreateControl;
    constexpr DWORD kLabel = SS_LEFT | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    bool ok = CreateControl(hwnd, WC_STATICW, L"", SS_ICON | SS_REALSIZECONTROL, ids::kAboutPicture) !=
              nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, win32::Wide(kAppCaption), kLabel, ids::kAboutTitle) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", kLabel, ids::kAboutVersionLabel) != nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"" DOVOVIZA_VERSION_SHORT, kLabel, ids::kAboutVersion) !=
          nullptr;
    ok &= CreateControl(hwnd, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, ids::kAboutCopyright) != nullptr;
    const std::wstring link = L"<a>" + win32::Wide(homePage_) + L"</a>";
    ok &= CreateControl(hwnd, WC_LINK, link, WS_TABSTOP | WS_GROUP, ids::kAboutLink) != nullptr;
    ok &= CreateControl(hwnd, WC_BUTTONW, L"", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
                        ids::kAboutClose) != nullptr;
    if (!ok) return false;
    win32::SetFontOfChildren(hwnd, font_.get());
    SendMessageW(Item(ids::kAboutTitle), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);

    const int pictureSize = MulDiv(kPictureSize, dpi, 96);
    picture_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), IDI_APP_NAME, IMAGE_ICON,
                                                 pictureSize, pictureSize, 0)));
    if (picture_) {
        SendMessageW(Item(ids::kAboutPicture), STM_SETICON, reinterpret_cast<WPARAM>(picture_.get()), 0);
    }

    win32::SetText(hwnd, texts_.Get(lang::kAboutCaption));
    for (const TextBinding& binding : kTexts) {
        win32::SetText(Item(binding.control), texts_.Get(binding.text));
    }
    const SIZE client = Layout();
    PlaceOverOwner(client.cx, client.cy);
    return true;
}

SIZE frmAbout::Layout() {
    const HFONT font = font_.get();
    const win32::DialogUnits du(font);
    const int dpi = win32::SystemDpi();
    const int marginX = du.X(7);
    const int marginY = du.Y(7);
    const int line = du.LineHeight();
    const int pictureSize = MulDiv(kPictureSize, dpi, 96);

    win32::Place(Item(ids::kAboutPicture), marginX, marginY, pictureSize, pictureSize);
    const int left = marginX + pictureSize + du.X(8);
    int y = marginY;

    const SIZE title = win32::MeasureText(titleFont_.get(), win32::GetText(Item(ids::kAboutTitle)));
    win32::Place(Item(ids::kAboutTitle), left, y, title.cx, title.cy);
    y += title.cy + du.Y(4);

    const int labelWidth = win32::TextWidth(font, Item(ids::kAboutVersionLabel));
    win32::Place(Item(ids::kAboutVersionLabel), left, y, labelWidth, line);
    const int versionLeft = left + labelWidth + win32::TwipsToPixels(kVersionGapTwips, dpi);
    const int versionWidth = win32::TextWidth(font, Item(ids::kAboutVersion));
    win32::Place(Item(ids::kAboutVersion), versionLeft, y, versionWidth, line);
    y += line + du.Y(4);

    // The copyright line may be long in some languages: it wraps.
    const int textWidth = std::max({du.X(170), static_cast<int>(title.cx), versionLeft + versionWidth - left});
    RECT copyright{0, 0, textWidth, 0};
    const std::wstring copyrightText = win32::GetText(Item(ids::kAboutCopyright));
    int copyrightHeight = line;
    const win32::WindowDc dc(Handle(), font);
    if (dc.get() != nullptr && DrawTextW(dc.get(), copyrightText.c_str(), -1, &copyright,
                                         DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX) > 0) {
        copyrightHeight = std::max(line, static_cast<int>(copyright.bottom));
    }
    win32::Place(Item(ids::kAboutCopyright), left, y, textWidth, copyrightHeight);
    y += copyrightHeight + du.Y(4);

    const SIZE linkSize = win32::MeasureText(font, win32::Wide(homePage_));
    win32::Place(Item(ids::kAboutLink), left, y, std::min<int>(linkSize.cx + du.X(2), textWidth),
                 line + 2);
    y += line + du.Y(10);

    const int clientWidth = left + textWidth + marginX;
    const int buttonWidth =
        std::max(du.X(50), win32::TextWidth(font, Item(ids::kAboutClose), true) + du.X(12));
    const int buttonHeight = du.Y(14);
    win32::Place(Item(ids::kAboutClose), clientWidth - marginX - buttonWidth, y, buttonWidth,
                 buttonHeight);
    return SIZE{clientWidth, std::max(y + buttonHeight, marginY + pictureSize) + marginY};
}

LRESULT frmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom == static_cast<UINT_PTR>(ids::kAboutLink) &&
            (header.code == NM_CLICK || header.code == NM_RETURN)) {
            // Nothing to tell when no browser answers.
            static_cast<void>(shell_.Open(homePage_, "", programFolder_));
        }
        return 0;
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace dovoviza
