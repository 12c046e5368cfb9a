#include "tests/platform/user32/template_builder.h"

namespace testing_bytes {
namespace {

void ClassOrName(Writer& w, std::uint16_t ordinal, const std::u16string& name) {
    if (ordinal != 0) {
        w.u16(0xFFFF);
        w.u16(ordinal);
    } else {
        w.str(name);
    }
}

void Header(Writer& w, const Dialog& d, bool extended) {
    if (extended) {
        w.u16(1);
        w.u16(0xFFFF);
        w.u32(0); // help id
        w.u32(d.exStyle);
        w.u32(d.style);
    } else {
        w.u32(d.style);
        w.u32(d.exStyle);
    }
    w.u16(static_cast<std::uint16_t>(d.controls.size()));
    w.u16(static_cast<std::uint16_t>(d.x));
    w.u16(static_cast<std::uint16_t>(d.y));
    w.u16(static_cast<std::uint16_t>(d.cx));
    w.u16(static_cast<std::uint16_t>(d.cy));
    w.u16(0); // no menu
    w.u16(0); // standard class
    w.str(d.caption);
    if (d.style & 0x40) { // DS_SETFONT
        w.u16(d.pointSize);
        if (extended) {
            w.u16(400);
            w.u8(0);
            w.u8(1);
        }
        w.str(d.typeface);
    }
}

} // namespace

Bytes DialogEx(const Dialog& d) {
    Writer w;
    Header(w, d, true);
    for (const Control& c : d.controls) {
        w.align4();
        w.u32(0);
        w.u32(c.exStyle);
        w.u32(c.style);
        w.u16(static_cast<std::uint16_t>(c.x));
        w.u16(static_cast<std::uint16_t>(c.y));
        w.u16(static_cast<std::uint16_t>(c.cx));
        w.u16(static_cast<std::uint16_t>(c.cy));
        w.u32(c.id);
        ClassOrName(w, c.classOrdinal, c.className);
        w.str(c.text);
        w.u16(static_cast<std::uint16_t>(c.creationData.size()));
        for (auto b : c.creationData) {
            w.u8(b);
        }
    }
    return w.bytes;
}

Bytes DialogClassic(const Dialog& d) {
    Writer w;
    Header(w, d, false);
    for (const Control& c : d.controls) {
        w.align4();
        w.u32(c.style);
        w.u32(c.exStyle);
        w.u16(static_cast<std::uint16_t>(c.x));
        w.u16(static_cast<std::uint16_t>(c.y));
        w.u16(static_cast<std::uint16_t>(c.cx));
        w.u16(static_cast<std::uint16_t>(c.cy));
        w.u16(static_cast<std::uint16_t>(c.id));
        ClassOrName(w, c.classOrdinal, c.className);
        w.str(c.text);
        // The classic size word counts itself.
        w.u16(c.creationData.empty() ? 0 : static_cast<std::uint16_t>(c.creationData.size() + 2));
        for (auto b : c.creationData) {
            w.u8(b);
        }
    }
    return w.bytes;
}

Bytes ListData(const std::vector<InitRecord>& records) {
    Writer w;
    for (const auto& r : records) {
        w.u16(r.control);
        w.u16(0x0403);
        w.u32(static_cast<std::uint32_t>((r.text.size() + 1) * 2));
        w.str(r.text);
    }
    w.u16(0);
    return w.bytes;
}

namespace {

void Node(Writer& w, const VersionNode& n) {
    w.align4();
    const std::size_t start = w.size();
    w.u16(0); // length, patched below
    w.u16(static_cast<std::uint16_t>(n.text ? (n.textValue.empty() ? 0 : n.textValue.size() + 1)
                                            : n.binaryValue.size()));
    w.u16(n.text ? 1 : 0);
    w.str(n.key);
    w.align4();
    if (n.text) {
        if (!n.textValue.empty()) {
            w.str(n.textValue);
        }
    } else {
        for (auto b : n.binaryValue) {
            w.u8(b);
        }
    }
    for (const auto& c : n.children) {
        Node(w, c);
    }
    w.patch16(start, static_cast<std::uint16_t>(w.size() - start));
}

} // namespace

Bytes Version(const VersionNode& root) {
    Writer w;
    Node(w, root);
    return w.bytes;
}

} // namespace testing_bytes
