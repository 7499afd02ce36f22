// Registry data of any type and length: its rendering never crashes, names
// its type for anything but text, and text bytes survive a round trip exactly.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue/RegistryAccess.h"
#include "platform/Text.h"

using namespace dovoviza;

namespace {

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the type (the named ones and a few beyond).
    const RegValue value{"v", static_cast<std::uint32_t>(data[0] % 16),
                         std::vector<std::uint8_t>(data + 1, data + size)};
    const std::string shown = RegDataText(value);
    if (!IsTextType(value.type)) Check(!shown.empty() && shown.front() == '[');
    Check(shown.size() < 64 * 3 + 256 || value.type == RegType::MultiString || IsTextType(value.type));

    // What is read from the registry and written back is the same bytes,
    // unpaired surrogates included (an odd last byte is not part of the text).
    std::vector<std::uint8_t> even = value.data;
    if (even.size() % 2 != 0) even.pop_back();
    std::vector<std::uint8_t> back = EncodeUtf16LeWithNul(DecodeUtf16Le(even));
    Check(back.size() == even.size() + 2);
    back.resize(even.size());
    Check(back == even);
    return 0;
}
