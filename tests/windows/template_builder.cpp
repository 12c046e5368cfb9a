#include "template_builder.h"

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

Dialog MainForm() {
    Dialog d;
    d.style = 0x90C800C0;
    d.exStyle = 0x80040000;
    d.cx = 141;
    d.cy = 155;
    d.caption = u"Tallyroll (2.0)";
    auto add = [&](std::uint16_t cls, std::uint32_t id, std::u16string text, short x, short y,
                   short cx, short cy, std::uint32_t style) {
        Control c;
        c.classOrdinal = cls;
        c.id = id;
        c.text = std::move(text);
        c.x = x;
        c.y = y;
        c.cx = cx;
        c.cy = cy;
        c.style = style;
        d.controls.push_back(c);
    };
    add(0x82, 65535, u"COM", 6, 22, 18, 8, 0x50020000);
    add(0x85, 1002, u"", 26, 20, 27, 117, 0x50210402);
    add(0x81, 1003, u"", 0, 106, 137, 48, 0x50A11044);
    add(0x82, 65535, u"Width:", 18, 53, 22, 9, 0x50020000);
    add(0x82, 65535, u"Height:", 77, 53, 22, 9, 0x50020000);
    add(0x85, 1005, u"", 42, 52, 19, 84, 0x50210102);
    add(0x85, 1006, u"", 102, 52, 19, 90, 0x50210102);
    add(0x80, 1007, u"Underline", 7, 68, 43, 11, 0x50010003);
    add(0x80, 1008, u"Direction", 54, 68, 39, 11, 0x50010003);
    add(0x80, 1009, u"White", 101, 68, 31, 10, 0x50010003);
    add(0x80, 65535, u"Font && Format", 0, 40, 137, 42, 0x50010007);
    add(0x80, 1010, u"Print", 58, 8, 28, 21, 0x50000001);
    add(0x80, 1011, u"Test", 90, 8, 20, 21, 0x50010000);
    add(0x80, 2, u"Quit", 114, 8, 20, 21, 0x50010000);
    add(0x81, 1013, u"", 2, 93, 115, 12, 0x50810880);
    add(0x82, 65535, u"Choose file to print ...", 3, 84, 92, 8, 0x50020000);
    add(0x80, 1014, u"...", 120, 93, 16, 12, 0x50010000);
    add(0x85, 1016, u"", 26, 6, 27, 58, 0x50210002);
    add(0x82, 65535, u"Printer", 3, 9, 24, 10, 0x50020000);
    return d;
}

} // namespace testing_bytes
