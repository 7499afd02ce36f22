#include "app/win32/Menus.h"

#include "platform/win32/WideText.h"

namespace dovoviza {

std::wstring TextOf(const LanguageFile& language, const TextKey& key) {
    return win32::Wide(language.Get(key));
}

bool AppendMenuItems(HMENU menu, std::span<const MenuItem> items, const LanguageFile& language) {
    for (const MenuItem& item : items) {
        const BOOL added =
            item.command == 0 ? AppendMenuW(menu, MF_SEPARATOR, 0, nullptr)
                              : AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command),
                                            TextOf(language, item.text).c_str());
        if (!added) return false;
    }
    return true;
}

}  // namespace dovoviza
