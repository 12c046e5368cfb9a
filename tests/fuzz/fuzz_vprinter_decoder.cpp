// The virtual printer's decoder on any stream, handed over in any pieces.
// Input: one byte choosing the code page (bit 0: 1252 or 936) and the model
// (bits 1-2: none given, set A, B, C), one byte giving how many piece sizes
// follow (up to 15), those sizes (0..255 each), then the stream; what the
// sizes leave is the last piece.
// Properties: the events do not depend on the pieces (also one byte at a
// time); every byte an event quotes is the stream's own byte at the offset it
// names; the output is bounded by the input: at most one event per byte plus
// two for the end, at most a tab stop's worth of characters per byte, no
// line longer than the line buffer.
#include "fuzz_check.h"
#include "tools/vprinter/decoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>
#include <variant>
#include <vector>

namespace {

using namespace vprinter;

constexpr std::size_t kTabStop = 8;
constexpr std::size_t kLongestMessage = 200;

std::vector<Event> Decode(const CodePage& page, std::optional<CommandSet> model,
                          std::span<const std::uint8_t> stream,
                          const std::vector<std::size_t>& pieces) {
    std::vector<Event> events;
    Decoder decoder(page, model, [&](const Event& e) { events.push_back(e); });
    std::size_t at = 0;
    for (std::size_t piece : pieces) {
        decoder.feed(stream.subspan(at, piece));
        at += piece;
    }
    decoder.feed(stream.subspan(at));
    decoder.finish();
    FUZZ_CHECK(decoder.offset() == stream.size());
    return events;
}

template <std::size_t N>
bool Quotes(std::span<const std::uint8_t> stream, std::uint64_t offset,
            std::span<const std::uint8_t, N> bytes) {
    return offset <= stream.size() && bytes.size() <= stream.size() - offset &&
           std::equal(bytes.begin(), bytes.end(), stream.begin() + static_cast<long>(offset));
}

bool Quotes(std::span<const std::uint8_t> stream, std::uint64_t offset,
            const std::vector<std::uint8_t>& bytes) {
    return Quotes(stream, offset, std::span<const std::uint8_t>(bytes));
}

// Checks one event against the stream; answers the characters it prints.
std::size_t CheckEvent(std::span<const std::uint8_t> stream, const Event& event) {
    std::size_t printed = 0;
    std::visit(
        [&](const auto& e) {
            using T = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<T, Initialised>) {
                FUZZ_CHECK(e.offset + 1 < stream.size() && stream[e.offset] == 0x1B &&
                           stream[e.offset + 1] == '@');
            } else if constexpr (std::is_same_v<T, CommandApplied>) {
                FUZZ_CHECK(Quotes(stream, e.offset, std::span<const std::uint8_t, 3>(e.bytes)));
                FUZZ_CHECK(e.state.format.width >= 1 && e.state.format.width <= 4);
                FUZZ_CHECK(e.state.format.height >= 1 && e.state.format.height <= 4);
            } else if constexpr (std::is_same_v<T, FormatBlockSeen>) {
                FUZZ_CHECK(e.bytes[0] == 0);
                FUZZ_CHECK(Quotes(stream, e.offset, std::span<const std::uint8_t, 16>(e.bytes)));
            } else if constexpr (std::is_same_v<T, LinePrinted>) {
                FUZZ_CHECK(e.line.offset <= stream.size());
                std::size_t length = 0;
                for (const Run& run : e.line.runs) {
                    FUZZ_CHECK(!run.text.empty());
                    FUZZ_CHECK(run.format.width >= 1 && run.format.width <= 4);
                    FUZZ_CHECK(run.format.height >= 1 && run.format.height <= 4);
                    length += run.text.size();
                }
                FUZZ_CHECK(length <= Decoder::kLongestLine);
                printed += length;
            } else if constexpr (std::is_same_v<T, UnknownBytes>) {
                FUZZ_CHECK(!e.bytes.empty() && Quotes(stream, e.offset, e.bytes));
                FUZZ_CHECK(e.reason.size() <= kLongestMessage);
            } else if constexpr (std::is_same_v<T, ValueWarning>) {
                FUZZ_CHECK(e.offset < stream.size());
                FUZZ_CHECK(e.message.size() <= kLongestMessage);
            } else if constexpr (std::is_same_v<T, StreamCut>) {
                FUZZ_CHECK(!e.bytes.empty() && Quotes(stream, e.offset, e.bytes));
                // Only the stream's end can cut something short.
                FUZZ_CHECK(e.offset + e.bytes.size() == stream.size());
            }
        },
        event);
    return printed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    static const CodePage kWestern = *CodePage::open(1252);
    static const CodePage kChinese = *CodePage::open(936);
    const CodePage& page = (data[0] & 1) != 0 ? kChinese : kWestern;
    std::optional<CommandSet> model;
    switch ((data[0] >> 1) & 3) {
    case 1:
        model = CommandSet::A;
        break;
    case 2:
        model = CommandSet::B;
        break;
    case 3:
        model = CommandSet::C;
        break;
    default:
        break;
    }
    const std::size_t count = data[1] % 16;
    if (size < 2 + count) {
        return 0;
    }
    const std::span<const std::uint8_t> stream(data + 2 + count, size - 2 - count);
    std::vector<std::size_t> pieces;
    std::size_t left = stream.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t piece = std::min<std::size_t>(data[2 + i], left);
        pieces.push_back(piece);
        left -= piece;
    }

    const std::vector<Event> whole = Decode(page, model, stream, {});
    FUZZ_CHECK(whole.size() <= stream.size() + 2);
    std::size_t printed = 0;
    for (const Event& event : whole) {
        printed += CheckEvent(stream, event);
    }
    FUZZ_CHECK(printed <= kTabStop * stream.size());

    FUZZ_CHECK(Decode(page, model, stream, pieces) == whole);
    if (stream.size() > 1) {
        const std::vector<std::size_t> bytewise(stream.size() - 1, 1);
        FUZZ_CHECK(Decode(page, model, stream, bytewise) == whole);
    }
    return 0;
}
