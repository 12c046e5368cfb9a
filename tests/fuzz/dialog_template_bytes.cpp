#include "dialog_template_bytes.h"

#include "platform/win32/user.h"
#include "tests/support/bytes.h"

#include <string_view>

namespace fuzz_bytes {
namespace {

using Out = testing_support::ByteWriter;

void PutName(Out& out, const user32::NameOrOrdinal& n) {
    if (n.isOrdinal) {
        out.u16(0xFFFF);
        out.u16(n.ordinal);
    } else {
        out.str(n.name);
    }
}

void EncodeItem(Out& out, const user32::DialogItemTemplate& item, bool extended) {
    out.align4();
    if (extended) {
        out.u32(item.helpId);
        out.u32(item.exStyle);
        out.u32(item.style);
    } else {
        out.u32(item.style);
        out.u32(item.exStyle);
    }
    out.i16(item.x);
    out.i16(item.y);
    out.i16(item.cx);
    out.i16(item.cy);
    if (extended) {
        out.u32(item.id);
    } else {
        out.u16(static_cast<std::uint16_t>(item.id));
    }
    PutName(out, item.windowClass);
    PutName(out, item.text);
    const std::size_t n = item.creationData.size();
    if (n == 0) {
        out.u16(0);
    } else {
        // The classic size word counts itself as well.
        out.u16(static_cast<std::uint16_t>(extended ? n : n + 2));
        out.bytes.insert(out.bytes.end(), item.creationData.begin(), item.creationData.end());
    }
}

bool SameItem(const user32::DialogItemTemplate& a, const user32::DialogItemTemplate& b) {
    return a.helpId == b.helpId && a.exStyle == b.exStyle && a.style == b.style && a.x == b.x &&
           a.y == b.y && a.cx == b.cx && a.cy == b.cy && a.id == b.id &&
           a.windowClass == b.windowClass && a.text == b.text && a.creationData == b.creationData;
}

} // namespace

std::vector<std::uint8_t> EncodeDialogTemplate(const user32::DialogTemplate& t) {
    Out out;
    if (t.extended) {
        out.u16(1);
        out.u16(0xFFFF);
        out.u32(t.helpId);
        out.u32(t.exStyle);
        out.u32(t.style);
    } else {
        out.u32(t.style);
        out.u32(t.exStyle);
    }
    out.u16(static_cast<std::uint16_t>(t.items.size()));
    out.i16(t.x);
    out.i16(t.y);
    out.i16(t.cx);
    out.i16(t.cy);
    PutName(out, t.menu);
    PutName(out, t.windowClass);
    out.str(t.title);
    if (t.style & DS_SETFONT) {
        out.u16(t.pointSize);
        if (t.extended) {
            out.u16(t.weight);
            out.u8(t.italic);
            out.u8(t.charset);
        }
        out.str(t.typeface);
    }
    for (const auto& item : t.items) {
        EncodeItem(out, item, t.extended);
    }
    return out.bytes;
}

bool SameTemplate(const user32::DialogTemplate& a, const user32::DialogTemplate& b) {
    if (!(a.extended == b.extended && a.helpId == b.helpId && a.exStyle == b.exStyle &&
          a.style == b.style && a.x == b.x && a.y == b.y && a.cx == b.cx && a.cy == b.cy &&
          a.menu == b.menu && a.windowClass == b.windowClass && a.title == b.title &&
          a.hasFont == b.hasFont && a.pointSize == b.pointSize && a.weight == b.weight &&
          a.italic == b.italic && a.charset == b.charset && a.typeface == b.typeface &&
          a.items.size() == b.items.size())) {
        return false;
    }
    for (std::size_t i = 0; i < a.items.size(); ++i) {
        if (!SameItem(a.items[i], b.items[i])) {
            return false;
        }
    }
    return true;
}

} // namespace fuzz_bytes
