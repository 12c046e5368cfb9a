// Without colours the form must stay readable: the states a user has to tell
// apart look different by attributes alone.
#include "platform/terminal/palette.h"

#include <gtest/gtest.h>
#include <utility>

namespace terminal {
namespace {

using screen::Role;

class MonochromeContrast : public ::testing::TestWithParam<std::pair<Role, Role>> {};

TEST_P(MonochromeContrast, TellsTheRolesApart) {
    const auto [a, b] = GetParam();
    EXPECT_NE(MonochromeEmphasis(a), MonochromeEmphasis(b));
}

INSTANTIATE_TEST_SUITE_P(Terminal, MonochromeContrast,
                         ::testing::Values(std::pair{Role::Button, Role::ButtonFocused},
                                           std::pair{Role::Field, Role::FieldFocused},
                                           std::pair{Role::List, Role::Selection},
                                           std::pair{Role::Field, Role::Selection},
                                           std::pair{Role::Window, Role::Caption},
                                           std::pair{Role::Button, Role::Disabled}));

TEST(Palette, FocusAndSelectionAreReversedAndTheCaptionBoldWithoutColour) {
    EXPECT_TRUE(MonochromeEmphasis(Role::ButtonFocused) & EmphasisReverse);
    EXPECT_TRUE(MonochromeEmphasis(Role::Selection) & EmphasisReverse);
    EXPECT_TRUE(MonochromeEmphasis(Role::Caption) & EmphasisBold);
}

TEST(Palette, EveryRoleIsLegibleInColour) {
    for (int i = 0; i < kRoleCount; ++i) {
        const Look look = ColourLook(static_cast<Role>(i));
        EXPECT_NE(look.foreground, look.background) << "role " << i;
    }
}

} // namespace
} // namespace terminal
