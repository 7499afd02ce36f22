#pragma once
// A racing writer against the watchdog and the user: another thread adds
// values, writes disabled entries back, changes commands and deletes and
// re-creates a store key, while this thread disables, enables and deletes
// entries through the operations the main window uses and the monitor ticks.
// Used by the Windows tests (a short run) and by bench/ (a long one).

#include <cstddef>

namespace soak {

struct Figures {
    std::size_t operations = 0;    // disables, enables and deletes done
    std::size_t writes = 0;        // changes the other thread made
    std::size_t ticks = 0;
    std::size_t alerts = 0;
    std::size_t enforcements = 0;  // written-back copies put out again
    std::size_t nestedTicks = 0;
    std::size_t lost = 0;          // entries kept by the user that are in no store
    std::size_t doubled = 0;       // entries in both stores at the end
    std::size_t changed = 0;       // copies whose type or bytes differ from the original
    std::size_t rowMismatches = 0; // entries whose rows differ from the stores after a reload
    double seconds = 0;
};

// Runs until at least `operations` operations were done and at least
// `seconds` have passed, then stops the writer, lets the monitor settle and
// checks every entry. Leaves no value of its own behind.
Figures Run(std::size_t operations, double seconds);

}  // namespace soak
