// The key table is the documented key list, and its lookups follow the rules
// a dialog box user expects.
#include "platform/user32/core/key_table.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace user32;
using screen::Key;

namespace {

screen::KeyEvent K(Key k, bool shift = false, bool ctrl = false, bool alt = false,
                   char32_t ch = 0) {
    screen::KeyEvent ev;
    ev.key = k;
    ev.ch = ch;
    ev.shift = shift;
    ev.ctrl = ctrl;
    ev.alt = alt;
    return ev;
}

} // namespace

TEST(KeyTable, DocumentationListsExactlyTheTable) {
    std::ifstream in(std::string(TALLYROLL_SOURCE_DIR) + "/docs/window-system.md");
    ASSERT_TRUE(in) << "docs/window-system.md is missing";
    std::stringstream doc;
    doc << in.rdbuf();
    EXPECT_NE(doc.str().find(DescribeKeys()), std::string::npos)
        << "docs/window-system.md should hold this table:\n"
        << DescribeKeys();
}

TEST(KeyTable, LookupsByContext) {
    struct Case {
        KeyContext context{};
        screen::KeyEvent ev;
        Action expected{};
    };
    const Case cases[] = {
        {KeyContext::Dialog, K(Key::Tab), Action::NextControl},
        {KeyContext::Dialog, K(Key::BackTab, true), Action::PreviousControl},
        {KeyContext::Dialog, K(Key::BackTab), Action::PreviousControl},
        {KeyContext::Dialog, K(Key::Tab, true), Action::PreviousControl},
        {KeyContext::Dialog, K(Key::Enter), Action::PressDefault},
        {KeyContext::Dialog, K(Key::Char, false, false, true, U'O'), Action::CaptionOk},
        {KeyContext::Dialog, K(Key::Char, false, false, false, U'o'), Action::None},
        {KeyContext::Button, K(Key::Char, false, false, false, U' '), Action::Press},
        {KeyContext::Edit, K(Key::Left, true), Action::CaretLeft},
        {KeyContext::Edit, K(Key::Char, false, true, false, U'a'), Action::SelectAll},
        {KeyContext::Edit, K(Key::Char, false, false, false, 1), Action::SelectAll}, // ^A as a code
        {KeyContext::MultiLine, K(Key::Home, false, true), Action::TextStart},
        {KeyContext::MultiLine, K(Key::Enter, true), Action::None},
        {KeyContext::Combo, K(Key::Down), Action::ListNext},
        {KeyContext::Combo, K(Key::Down, false, false, true), Action::ListToggle},
        {KeyContext::Combo, K(Key::F4), Action::ListToggle},
        {KeyContext::ComboOpen, K(Key::Escape), Action::ListClose},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LookupKey(c.context, c.ev), c.expected)
            << "key " << static_cast<int>(c.ev.key) << " in context "
            << static_cast<int>(c.context);
    }
}
