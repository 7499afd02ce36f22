#pragma once
// The one pair of conversions at the Win32 boundary: UTF-8 inside, UTF-16 outside.

#include <string>
#include <string_view>

namespace dovoviza::win32 {

std::wstring Wide(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace dovoviza::win32
