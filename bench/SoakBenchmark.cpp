// The racing-writer soak at length: soak_benchmark [OPERATIONS] (default 10,000).
// Prints what happened; "entries lost" must be 0.

#include <cstdio>
#include <cstdlib>

#include "Soak.h"

int main(int argc, char** argv) {
    const std::size_t operations = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
    const soak::Figures f = soak::Run(operations, 0);
    std::printf("operations %zu, writes by the other program %zu, ticks %zu, alerts %zu, "
                "enforcements %zu, nested ticks %zu\n",
                f.operations, f.writes, f.ticks, f.alerts, f.enforcements, f.nestedTicks);
    std::printf("entries lost %zu, in both stores %zu, bytes changed %zu, rows unlike the stores %zu\n",
                f.lost, f.doubled, f.changed, f.rowMismatches);
    std::printf("%.1f s, %.2f ms per operation\n", f.seconds,
                f.operations ? 1000.0 * f.seconds / static_cast<double>(f.operations) : 0.0);
    return f.lost + f.doubled + f.changed + f.rowMismatches + f.nestedTicks == 0 ? 0 : 1;
}
