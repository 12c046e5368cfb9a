// Key decoding: Esc is held back until it is known whether it starts an
// Alt+key; control characters are keys or Ctrl+letter; Ctrl+C asks to stop.
#include "platform/terminal/keys.h"
#include "platform/terminal/ncurses_wide.h"

#include <gtest/gtest.h>
#include <vector>

namespace terminal {
namespace {

using screen::InputEvent;
using screen::Key;
using screen::KeyEvent;

ReadResult Char(char32_t ch) {
    return {false, static_cast<std::uint32_t>(ch)};
}
ReadResult Code(int code) {
    return {true, static_cast<std::uint32_t>(code)};
}

std::vector<InputEvent> Decode(std::initializer_list<ReadResult> reads,
                               ModifiedKeyCodes codes = {}) {
    KeyDecoder decoder(codes);
    std::vector<InputEvent> out;
    for (const ReadResult& read : reads) {
        decoder.feed(read, out);
    }
    decoder.flush(out);
    return out;
}

KeyEvent Only(const std::vector<InputEvent>& events) {
    EXPECT_EQ(events.size(), 1u);
    const auto* key = events.empty() ? nullptr : std::get_if<KeyEvent>(&events.front());
    EXPECT_NE(key, nullptr);
    return key != nullptr ? *key : KeyEvent{};
}

TEST(KeyDecoder, EscapeAloneIsEscapeOnceNothingFollows) {
    KeyDecoder decoder;
    std::vector<InputEvent> out;
    decoder.feed(Char(27), out);
    EXPECT_TRUE(out.empty()); // may still become Alt+key
    decoder.flush(out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(std::get<KeyEvent>(out[0]).key, Key::Escape);
}

TEST(KeyDecoder, EscapeBeforeAKeyMakesItAnAltKey) {
    const KeyEvent letter = Only(Decode({Char(27), Char(U'f')}));
    EXPECT_EQ(letter.key, Key::Char);
    EXPECT_EQ(letter.ch, U'f');
    EXPECT_TRUE(letter.alt);

    // Some terminals send Alt+Down as Esc and then the plain arrow.
    const KeyEvent down = Only(Decode({Char(27), Code(KEY_DOWN)}));
    EXPECT_EQ(down.key, Key::Down);
    EXPECT_TRUE(down.alt);
}

TEST(KeyDecoder, TwoEscapesAreTwoEscapeKeys) {
    const auto events = Decode({Char(27), Char(27)});
    ASSERT_EQ(events.size(), 2u);
    for (const InputEvent& event : events) {
        EXPECT_EQ(std::get<KeyEvent>(event).key, Key::Escape);
        EXPECT_FALSE(std::get<KeyEvent>(event).alt);
    }
}

TEST(KeyDecoder, EscapeBeforeAnUnknownKeyIsNotLost) {
    EXPECT_EQ(Only(Decode({Char(27), Code(KEY_F(12))})).key, Key::Escape);
}

// Ctrl+C is a key like Ctrl+A; the key table makes it the stop request, so
// that what it does is written in one place.
TEST(KeyDecoder, CtrlCIsTheCtrlCKey) {
    const KeyEvent ctrlC = Only(Decode({Char(3)}));
    EXPECT_EQ(ctrlC.key, Key::Char);
    EXPECT_EQ(ctrlC.ch, U'c');
    EXPECT_TRUE(ctrlC.ctrl);
}

TEST(KeyDecoder, ControlCharactersAreKeysOrCtrlLetters) {
    // Terminals differ in what Backspace and Enter send.
    EXPECT_EQ(Only(Decode({Char(8)})).key, Key::Backspace);
    EXPECT_EQ(Only(Decode({Char(127)})).key, Key::Backspace);
    EXPECT_EQ(Only(Decode({Char(10)})).key, Key::Enter);
    EXPECT_EQ(Only(Decode({Char(13)})).key, Key::Enter);
    const KeyEvent ctrlA = Only(Decode({Char(1)}));
    EXPECT_EQ(ctrlA.ch, U'a');
    EXPECT_TRUE(ctrlA.ctrl);
    EXPECT_TRUE(Decode({Char(0x1C)}).empty()); // Ctrl+Backslash means nothing here
}

TEST(KeyDecoder, ModifiedKeysUseTheCodesLearntAtStart) {
    ModifiedKeyCodes codes;
    codes.altDown = 600;
    codes.ctrlHome = 601;
    const KeyEvent altDown = Only(Decode({Code(600)}, codes));
    EXPECT_EQ(altDown.key, Key::Down);
    EXPECT_TRUE(altDown.alt);
    const KeyEvent ctrlHome = Only(Decode({Code(601)}, codes));
    EXPECT_EQ(ctrlHome.key, Key::Home);
    EXPECT_TRUE(ctrlHome.ctrl);
    // A code no table knows is dropped, not guessed at.
    EXPECT_TRUE(Decode({Code(602)}, codes).empty());
}

TEST(KeyDecoder, PrintableCharactersPassWholeAndSurrogatesDoNot) {
    EXPECT_EQ(Only(Decode({Char(U'é')})).ch, U'é');
    EXPECT_EQ(Only(Decode({Char(U'\U0001F600')})).ch, U'\U0001F600');
    EXPECT_TRUE(Decode({Char(0xD800)}).empty());
}

} // namespace
} // namespace terminal
