// Any bytes as a journal line: reading never crashes, and a line that reads
// as a record is written back as a line that reads as the same record.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "history/Journal.h"

using namespace dovoviza;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto record = ParseJournalLine(line);
    if (record && ParseJournalLine(JournalLine(*record)) != record) __builtin_trap();
    if (const auto bytes = HexBytes(line); bytes && HexBytes(HexText(*bytes)) != bytes) __builtin_trap();
    return 0;
}
