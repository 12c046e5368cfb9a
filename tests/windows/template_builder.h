// Writes resource bytes in the standard layouts, for tests: dialog templates
// (extended or classic), list data, icon groups and images, version blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_bytes {

using Bytes = std::vector<std::uint8_t>;

class Writer {
public:
    Bytes bytes;
    void u8(std::uint8_t v) { bytes.push_back(v); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void str(std::u16string_view s) {
        for (char16_t c : s) {
            u16(c);
        }
        u16(0);
    }
    void align4() {
        while (bytes.size() % 4 != 0) {
            u8(0);
        }
    }
    std::size_t size() const { return bytes.size(); }
    void patch16(std::size_t at, std::uint16_t v) {
        bytes[at] = static_cast<std::uint8_t>(v);
        bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
};

struct Control {
    std::uint16_t classOrdinal = 0; // 0x80..0x85, or 0 to use className
    std::u16string className;
    std::uint32_t id = 0;
    std::u16string text;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::vector<std::uint8_t> creationData;
};

struct Dialog {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::u16string caption;
    std::uint16_t pointSize = 8;
    std::u16string typeface = u"System";
    std::vector<Control> controls;
};

Bytes DialogEx(const Dialog& d);
Bytes DialogClassic(const Dialog& d);

struct InitRecord {
    std::uint16_t control;
    std::u16string text;
};
Bytes ListData(const std::vector<InitRecord>& records);

// A version block node: key, text or binary value, children.
struct VersionNode {
    std::u16string key;
    bool text = false;
    std::u16string textValue;
    Bytes binaryValue;
    std::vector<VersionNode> children;
};
Bytes Version(const VersionNode& root);

// The main form of the program as the resource compiler would write it.
Dialog MainForm();

} // namespace testing_bytes
