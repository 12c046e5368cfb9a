// The main form as its resources describe it: template 102 and list data 102
// read from their binary layouts, so that the driver compares the live window
// with the bytes the Linux build registers rather than with a second copy of
// the values. Plain C++: it builds for the host and for Windows alike.
#pragma once

#include "tests/res/byte_walker.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace wine_tests {

struct TemplateControl {
    std::uint32_t exStyle = 0;
    std::uint32_t style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;
    std::uint16_t classOrdinal = 0; // 0x80 button, 0x81 edit, 0x82 static, 0x85 combo box
    std::u16string text;
};

struct FormTemplate {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::int16_t cx = 0, cy = 0;
    std::u16string caption;
    std::u16string face;
    std::uint16_t pointSize = 0;
    std::vector<TemplateControl> controls;
};

// Control id -> its entries in the order the records give them.
using ListEntries = std::map<std::uint32_t, std::vector<std::u16string>>;

// Throws std::runtime_error (or std::out_of_range from the walker) for bytes
// that are not an extended template with ordinal classes and no menu.
inline FormTemplate ReadFormTemplate(std::span<const std::uint8_t> bytes) {
    ByteWalker in(bytes);
    FormTemplate f;
    if (in.u16() != 1 || in.u16() != 0xFFFF) {
        throw std::runtime_error("not an extended dialog template");
    }
    in.u32(); // help id
    f.exStyle = in.u32();
    f.style = in.u32();
    const std::uint16_t count = in.u16();
    in.i16();
    in.i16();
    f.cx = in.i16();
    f.cy = in.i16();
    if (in.u16() != 0 || in.u16() != 0) {
        throw std::runtime_error("a menu or a class of its own: not read here");
    }
    f.caption = in.wideString();
    f.pointSize = in.u16();
    in.u16(); // weight
    in.u8();  // italic
    in.u8();  // character set
    f.face = in.wideString();
    for (int i = 0; i < count; ++i) {
        in.align4();
        TemplateControl c;
        in.u32(); // help id
        c.exStyle = in.u32();
        c.style = in.u32();
        c.x = in.i16();
        c.y = in.i16();
        c.cx = in.i16();
        c.cy = in.i16();
        c.id = in.u32();
        if (in.u16() != 0xFFFF) {
            throw std::runtime_error("control " + std::to_string(i) + ": class by name");
        }
        c.classOrdinal = in.u16();
        c.text = in.wideString();
        if (in.u16() != 0) {
            throw std::runtime_error("control " + std::to_string(i) + ": creation data");
        }
        f.controls.push_back(c);
    }
    return f;
}

inline ListEntries ReadListData(std::span<const std::uint8_t> bytes) {
    ByteWalker in(bytes);
    ListEntries lists;
    for (std::uint16_t control = in.u16(); control != 0; control = in.u16()) {
        in.u16(); // the add-string message
        const std::uint32_t length = in.u32();
        const std::size_t end = in.offset() + length;
        lists[control].push_back(in.wideString());
        if (in.offset() != end) {
            throw std::runtime_error("a list entry whose length is not its string's");
        }
    }
    return lists;
}

// The window class a dialog manager creates for a predefined class ordinal.
inline const wchar_t* ClassNameOfOrdinal(std::uint16_t ordinal) {
    switch (ordinal) {
    case 0x80:
        return L"Button";
    case 0x81:
        return L"Edit";
    case 0x82:
        return L"Static";
    case 0x83:
        return L"ListBox";
    case 0x84:
        return L"ScrollBar";
    case 0x85:
        return L"ComboBox";
    default:
        return L"?";
    }
}

} // namespace wine_tests
