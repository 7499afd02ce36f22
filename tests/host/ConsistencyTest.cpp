#include <gtest/gtest.h>

#include <vector>

#include "app/AppTables.h"

using namespace dovoviza;

TEST(Consistency, OptionMarksFollowTheClickWhateverTheStoreSaid) {
    std::vector<bool> asked;  // of a store that keeps nothing
    EXPECT_TRUE(ToggleOption(false, [&](bool on) { asked.push_back(on); }));
    EXPECT_FALSE(ToggleOption(true, [&](bool on) { asked.push_back(on); }));
    EXPECT_EQ(asked, (std::vector<bool>{true, false}));
}
