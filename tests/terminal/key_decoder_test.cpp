// Key decoding: Esc is held back until it is known whether it starts an
// Alt+key; control characters are keys or Ctrl+letter; characters are put
// together from bytes across reads; a bracketed paste is text, not keys.
#include "platform/terminal/keys.h"
#include "platform/terminal/ncurses_wide.h"

#include <gtest/gtest.h>
#include <string_view>
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

// The bytes of a UTF-8 string as separate reads.
std::vector<ReadResult> Bytes(std::string_view utf8) {
    std::vector<ReadResult> reads;
    for (const char byte : utf8) {
        reads.push_back(Char(static_cast<unsigned char>(byte)));
    }
    return reads;
}

std::vector<InputEvent> Decode(const std::vector<ReadResult>& reads, ModifiedKeyCodes codes = {}) {
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

// Ctrl+C is a key like Ctrl+A (a raw terminal sends no SIGINT for it); the
// key table says what it does, so that it is written in one place.
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
    EXPECT_EQ(Only(Decode(Bytes("é"))).ch, U'é');
    EXPECT_EQ(Only(Decode(Bytes("\U0001F600"))).ch, U'\U0001F600');
    // A surrogate's UTF-8 form is not a character: a replacement for each
    // byte, as Unicode recommends.
    const auto surrogate = Decode(Bytes("\xED\xA0\x80"));
    ASSERT_EQ(surrogate.size(), 3u);
    for (const InputEvent& event : surrogate) {
        EXPECT_EQ(std::get<KeyEvent>(event).ch, kReplacementCharacter);
    }
}

// ncurses hands bytes over one by one; where one read ends is chance.
TEST(KeyDecoder, ACharacterSplitBetweenReadsIsPutTogether) {
    KeyDecoder decoder;
    std::vector<InputEvent> out;
    decoder.feed(Char(0xE6), out);
    decoder.flush(out); // the first read ends here
    EXPECT_TRUE(out.empty());
    decoder.feed(Char(0x97), out);
    decoder.flush(out);
    decoder.feed(Char(0xA5), out);
    decoder.flush(out);
    EXPECT_EQ(Only(out).ch, U'日');
}

TEST(KeyDecoder, AnInvalidByteIsOneReplacementAndWhatFollowsIsKept) {
    const auto chars = [](const std::vector<InputEvent>& events) {
        std::u32string text;
        for (const InputEvent& event : events) {
            text += std::get<KeyEvent>(event).ch;
        }
        return text;
    };
    EXPECT_EQ(chars(Decode(Bytes("a\xFF"
                                 "b\xC3\xA4"))),
              U"a\uFFFDbä");
    // A character cut short by a byte that cannot continue it.
    EXPECT_EQ(chars(Decode(Bytes("\xE6\x97xy"))), U"\uFFFDxy");
    // Overlong forms are not characters.
    EXPECT_EQ(chars(Decode(Bytes("\xC0\xAFz"))), U"\uFFFD\uFFFDz");
    // A key in the middle of a character ends it.
    const auto events = Decode({Char(0xC3), Code(KEY_UP)});
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(std::get<KeyEvent>(events[0]).ch, kReplacementCharacter);
    EXPECT_EQ(std::get<KeyEvent>(events[1]).key, Key::Up);
}

constexpr int kPasteStart = 700;
constexpr int kPasteEnd = 701;

ModifiedKeyCodes PasteCodes() {
    ModifiedKeyCodes codes;
    codes.pasteStart = kPasteStart;
    codes.pasteEnd = kPasteEnd;
    return codes;
}

std::u32string PastedText(const std::vector<InputEvent>& events) {
    std::u32string text;
    for (const InputEvent& event : events) {
        const auto* pasted = std::get_if<screen::TextEvent>(&event);
        EXPECT_NE(pasted, nullptr) << "a paste gave a key";
        if (pasted != nullptr) {
            text += pasted->text;
        }
    }
    return text;
}

TEST(KeyDecoder, APasteIsTextWithItsTabsAndLineBreaksNotKeys) {
    std::vector<ReadResult> reads{Code(kPasteStart)};
    // Tab, Enter, Esc, Ctrl+C and a key sequence that ncurses recognised:
    // all of them would act on the form as keys.
    for (const ReadResult& read : Bytes("Name:\tAnn\rCity:\tOslo\x1B\x03")) {
        reads.push_back(read);
    }
    reads.push_back(Code(KEY_DOWN));
    for (const ReadResult& read : Bytes("\r\n\xE2\x82\xAC\n")) {
        reads.push_back(read);
    }
    reads.push_back(Code(kPasteEnd));
    reads.push_back(Char(U'x')); // typed after the paste: a key again
    const auto events = Decode(reads, PasteCodes());
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(PastedText({events[0]}), U"Name:\tAnn\nCity:\tOslo\n€\n");
    EXPECT_EQ(std::get<KeyEvent>(events[1]).ch, U'x');
}

TEST(KeyDecoder, ALongPasteComesInPiecesAtEachFlushAndLosesNothing) {
    KeyDecoder decoder(PasteCodes());
    std::vector<InputEvent> out;
    decoder.feed(Code(kPasteStart), out);
    for (const ReadResult& read : Bytes("ab\r\xC3")) {
        decoder.feed(read, out);
    }
    decoder.flush(out); // the read ends inside a CR LF and inside "ä"
    EXPECT_EQ(PastedText(out), U"ab\n");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_FALSE(std::get<screen::TextEvent>(out[0]).continues);
    for (const ReadResult& read : Bytes("\xA4\ncd")) {
        decoder.feed(read, out);
    }
    decoder.feed(Code(kPasteEnd), out);
    decoder.flush(out);
    EXPECT_EQ(PastedText(out), U"ab\nä\ncd");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_TRUE(std::get<screen::TextEvent>(out[1]).continues);
    // The next paste starts afresh.
    decoder.feed(Code(kPasteStart), out);
    decoder.feed(Char(U'e'), out);
    decoder.feed(Code(kPasteEnd), out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_FALSE(std::get<screen::TextEvent>(out[2]).continues);
}

TEST(KeyDecoder, AnEscapeBeforeAPasteIsAKeyOfItsOwn) {
    const auto events =
        Decode({Char(27), Code(kPasteStart), Char(U'a'), Code(kPasteEnd)}, PasteCodes());
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(std::get<KeyEvent>(events[0]).key, Key::Escape);
    EXPECT_EQ(PastedText({events[1]}), U"a");
}

} // namespace
} // namespace terminal
