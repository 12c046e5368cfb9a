#pragma once

#include "tests/support/bytes.h"
#include "tools/vprinter/decoder.h"
#include "tools/vprinter/utf8.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace vprinter::test {

using testing_support::Bytes;

inline Bytes bytes(std::initializer_list<int> values) {
    return testing_support::ToBytes(values);
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes ascii(const std::string& text) {
    return testing_support::ToBytes(text);
}

// Decodes a whole stream, handing it over `chunk` bytes at a time.
inline std::vector<Event> decode(const Bytes& stream, std::optional<CommandSet> model = {},
                                 int codepage = 1252, std::size_t chunk = 0) {
    std::vector<Event> events;
    Decoder decoder(*CodePage::open(codepage), model, [&](const Event& e) { events.push_back(e); });
    if (chunk == 0) {
        decoder.feed(stream);
    } else {
        for (std::size_t at = 0; at < stream.size(); at += chunk) {
            std::size_t n = std::min(chunk, stream.size() - at);
            decoder.feed(std::span(stream).subspan(at, n));
        }
    }
    decoder.finish();
    return events;
}

template <typename T> std::vector<T> only(const std::vector<Event>& events) {
    std::vector<T> out;
    for (const Event& e : events) {
        if (const T* t = std::get_if<T>(&e)) {
            out.push_back(*t);
        }
    }
    return out;
}

inline std::vector<Line> lines_of(const std::vector<Event>& events) {
    std::vector<Line> out;
    for (const LinePrinted& l : only<LinePrinted>(events)) {
        out.push_back(l.line);
    }
    return out;
}

inline std::string utf8(const std::u32string& text) {
    return to_utf8(text);
}

// The test page exactly as Tallyroll sends it after its lead-in.
inline const std::string kTestText =
    "--Use Help for Printer--\r\n\r\n   Make sure your PDA have the  BlueTooth Port or IR Port "
    "and can run well\r\n\r\n---Here,Test Ok,Thank you---\r\n\r\n\r\n";

inline Bytes test_job() {
    return bytes({0, 0, 0, 0, 0, 0, 0x1B, 0x40}) + ascii(kTestText) + bytes({0, 0});
}

// A Print on a set A model: x2 wide, underlined, text AB.
inline Bytes print_job_ab() {
    return bytes({0,    0,    0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x01,
                  0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00, 0x41, 0x42, 0x0D, 0x0A, 0x00, 0x00});
}

} // namespace vprinter::test
