// Writes resource bytes in the standard layouts, for tests: dialog templates
// (extended or classic), list data, icon groups and images, version blocks.
#pragma once

#include "tests/support/bytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testing_bytes {

using Bytes = testing_support::Bytes;
using Writer = testing_support::ByteWriter;

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

} // namespace testing_bytes
