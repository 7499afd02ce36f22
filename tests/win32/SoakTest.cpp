// Half a minute of another program racing the watchdog and the user.

#include "Soak.h"
#include "WinTest.h"

namespace {

class Soak : public wintest::PrefixTest {};

TEST_F(Soak, ARacingWriterNeverCostsAnEntryItsBytesOrItsDisabledState) {
    const soak::Figures f = soak::Run(200, 30);
    const std::string figures = "operations " + std::to_string(f.operations) + ", writes " +
                                std::to_string(f.writes) + ", enforcements " +
                                std::to_string(f.enforcements);
    EXPECT_GE(f.operations, 200u) << figures;
    EXPECT_GT(f.writes, 0u) << figures;
    EXPECT_GT(f.enforcements, 0u) << figures;  // the writer did write disabled entries back
    EXPECT_EQ(0u, f.lost) << figures;
    EXPECT_EQ(0u, f.doubled) << figures;
    EXPECT_EQ(0u, f.changed) << figures;
    EXPECT_EQ(0u, f.rowMismatches) << figures;
    EXPECT_EQ(0u, f.nestedTicks) << figures;
}

}  // namespace
