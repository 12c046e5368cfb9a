#include "engine/command_set.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(CommandSetForModel, FourModelsThreeSetsAndNothingElse) {
    EXPECT_EQ(CommandSetForModel(0), CommandSet::A); // Qelvo
    EXPECT_EQ(CommandSetForModel(1), CommandSet::A); // Rinth
    EXPECT_EQ(CommandSetForModel(2), CommandSet::B); // Sovak
    EXPECT_EQ(CommandSetForModel(3), CommandSet::C); // Wexol
    for (int none : {-1, 4, 5, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(CommandSetForModel(none).has_value()) << none;
    }
}

} // namespace
