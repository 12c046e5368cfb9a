#include "platform/user32/resources/dialog_template.h"

#include "platform/user32/resources/byte_reader.h"
#include "platform/win32/user.h"

#include <string>

namespace user32 {
namespace {

ReadError Fail(const ByteReader& r, std::string what) {
    return ReadError{std::move(what), r.offset()};
}

bool ReadNameOrOrdinal(ByteReader& r, NameOrOrdinal& out) {
    WORD first = 0;
    const std::size_t start = r.offset();
    if (!r.u16(first)) {
        return false;
    }
    if (first == 0xFFFF) {
        out.isOrdinal = true;
        return r.u16(out.ordinal);
    }
    out.isOrdinal = false;
    r.seek(start);
    return r.string(out.name);
}

// Each item starts on a DWORD boundary, counted from the start of the template.
ReadResult<DialogItemTemplate> ReadItem(ByteReader& r, bool extended, std::size_t index) {
    const std::string which = "control " + std::to_string(index + 1) + ": ";
    DialogItemTemplate item;
    if (!r.align(4)) {
        return Fail(r, which + "truncated before the control");
    }
    bool ok = true;
    if (extended) {
        ok = r.u32(item.helpId) && r.u32(item.exStyle) && r.u32(item.style);
    } else {
        ok = r.u32(item.style) && r.u32(item.exStyle);
    }
    ok = ok && r.i16(item.x) && r.i16(item.y) && r.i16(item.cx) && r.i16(item.cy);
    if (ok) {
        if (extended) {
            ok = r.u32(item.id);
        } else {
            WORD id16 = 0;
            ok = r.u16(id16);
            item.id = id16;
        }
    }
    if (!ok) {
        return Fail(r, which + "truncated header");
    }
    if (!ReadNameOrOrdinal(r, item.windowClass)) {
        return Fail(r, which + "truncated class");
    }
    if (!ReadNameOrOrdinal(r, item.text)) {
        return Fail(r, which + "truncated text");
    }
    WORD extra = 0;
    if (!r.u16(extra)) {
        return Fail(r, which + "truncated creation data size");
    }
    if (extra > 0) {
        // In the classic layout the size word counts itself; in the extended
        // one it counts only the data that follows.
        std::size_t n = extended ? extra : (extra >= 2 ? extra - 2u : 0u);
        std::span<const std::uint8_t> data;
        if (!r.bytes(n, data)) {
            return Fail(r, which + "creation data runs past the end");
        }
        item.creationData.assign(data.begin(), data.end());
    }
    return item;
}

} // namespace

ReadResult<DialogTemplate> ReadDialogTemplate(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    DialogTemplate t;
    WORD itemCount = 0;

    WORD w0 = 0, w1 = 0;
    if (!r.u16(w0) || !r.u16(w1)) {
        return Fail(r, "truncated dialog header");
    }
    if (w1 == 0xFFFF) {
        // DLGTEMPLATEEX: dlgVer, signature.
        if (w0 != 1) {
            return Fail(r, "unknown extended dialog version " + std::to_string(w0));
        }
        t.extended = true;
        if (!r.u32(t.helpId) || !r.u32(t.exStyle) || !r.u32(t.style)) {
            return Fail(r, "truncated dialog header");
        }
    } else {
        r.seek(0);
        if (!r.u32(t.style) || !r.u32(t.exStyle)) {
            return Fail(r, "truncated dialog header");
        }
    }
    if (!r.u16(itemCount) || !r.i16(t.x) || !r.i16(t.y) || !r.i16(t.cx) || !r.i16(t.cy)) {
        return Fail(r, "truncated dialog header");
    }
    if (!ReadNameOrOrdinal(r, t.menu)) {
        return Fail(r, "truncated menu");
    }
    if (!ReadNameOrOrdinal(r, t.windowClass)) {
        return Fail(r, "truncated window class");
    }
    if (!r.string(t.title)) {
        return Fail(r, "truncated caption");
    }
    if (t.style & DS_SETFONT) {
        t.hasFont = true;
        bool ok = r.u16(t.pointSize);
        if (ok && t.extended) {
            ok = r.u16(t.weight) && r.u8(t.italic) && r.u8(t.charset);
        }
        if (!ok || !r.string(t.typeface)) {
            return Fail(r, "truncated font");
        }
    }
    // Each item needs at least its fixed header, so a count larger than the
    // bytes could hold is rejected before any allocation.
    const std::size_t minItem = t.extended ? 24 + 6 : 18 + 6;
    if (static_cast<std::size_t>(itemCount) * minItem >
        r.remaining() + std::size_t{3} * itemCount) {
        return Fail(r, "control count " + std::to_string(itemCount) + " runs past the end");
    }
    t.items.reserve(itemCount);
    for (std::size_t i = 0; i < itemCount; ++i) {
        auto item = ReadItem(r, t.extended, i);
        if (!item) {
            return item.error();
        }
        t.items.push_back(std::move(item.value()));
    }
    return t;
}

} // namespace user32
