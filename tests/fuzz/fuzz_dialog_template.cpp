// Any bytes as a dialog template, classic or extended. Properties: no crash or
// read past the end; an accepted template has as many controls as its header
// counts, in the layout its header names, and fits inside the bytes it was
// read from; written out again in the same layout it reads back to the same
// values; and a template the resource compiler could have written, laid out
// by that compiler, reads back to the same values and the same bytes.
#include "dialog_template_bytes.h"
#include "fuzz_check.h"
#include "platform/user32/resources/dialog_template.h"
#include "platform/win32/user.h"
#include "res/compiler/layouts.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

using user32::DialogTemplate;

std::uint16_t Word(std::span<const std::uint8_t> in, std::size_t at) {
    return static_cast<std::uint16_t>(in[at] | (in[at + 1] << 8));
}

bool NoZero(std::u16string_view s) {
    return s.find(u'\0') == std::u16string_view::npos;
}

bool NoZero(const user32::NameOrOrdinal& n) {
    return n.isOrdinal ? n.name.empty() : NoZero(n.name);
}

// The resource compiler writes extended templates with a font, no menu, the
// system's dialog class, no help ids or item extended styles, predefined
// control classes by ordinal, text captions and no creation data.
bool CompilerCouldWrite(const DialogTemplate& t) {
    if (!t.extended || !t.hasFont || t.helpId != 0 || !t.menu.empty() || !t.windowClass.empty()) {
        return false;
    }
    for (const auto& item : t.items) {
        if (item.helpId != 0 || item.exStyle != 0 || item.id > 0xFFFF ||
            !item.windowClass.isOrdinal || item.windowClass.ordinal < user32::kClassButton ||
            item.windowClass.ordinal > user32::kClassComboBox || item.text.isOrdinal ||
            !item.creationData.empty()) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> LayOutWithCompiler(const DialogTemplate& t) {
    std::vector<res::ControlDefinition> controls;
    for (const auto& item : t.items) {
        controls.push_back({static_cast<int>(item.id),
                            static_cast<res::ControlClass>(item.windowClass.ordinal),
                            item.text.name, item.x, item.y, item.cx, item.cy, item.style});
    }
    const res::DialogDefinition definition{
        .id = 1,
        .language = 0,
        .caption = t.title,
        .x = t.x,
        .y = t.y,
        .cx = t.cx,
        .cy = t.cy,
        .style = t.style,
        .exStyle = t.exStyle,
        .font = {t.pointSize, t.typeface, t.weight, t.italic, t.charset},
        .controls = controls,
    };
    return res::LayOutDialog(definition);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> in(data, size);
    const auto read = user32::ReadDialogTemplate(in);
    if (!read) {
        FUZZ_CHECK(read.error().offset <= size);
        return 0;
    }
    const DialogTemplate& t = read.value();

    // The header chose the layout and counted the controls.
    FUZZ_CHECK(t.extended == (Word(in, 2) == 0xFFFF));
    FUZZ_CHECK(!t.extended || Word(in, 0) == 1);
    FUZZ_CHECK(t.items.size() == Word(in, t.extended ? 16 : 8));
    FUZZ_CHECK(t.hasFont == ((t.style & DS_SETFONT) != 0));
    FUZZ_CHECK(t.hasFont || (t.typeface.empty() && t.pointSize == 0));
    FUZZ_CHECK(t.extended || (t.helpId == 0 && t.weight == 0 && t.italic == 0 && t.charset == 0));

    // Strings end at their terminator, so none holds a zero.
    FUZZ_CHECK(NoZero(t.title) && NoZero(t.typeface) && NoZero(t.menu) && NoZero(t.windowClass));
    for (const auto& item : t.items) {
        FUZZ_CHECK(NoZero(item.windowClass) && NoZero(item.text));
        FUZZ_CHECK(t.extended || (item.helpId == 0 && item.id <= 0xFFFF));
    }

    // The same values in the same layout: never longer than what they were
    // read from (everything read lay inside the input), and read back alike.
    const std::vector<std::uint8_t> again = fuzz_bytes::EncodeDialogTemplate(t);
    FUZZ_CHECK(again.size() <= size);
    const auto reread = user32::ReadDialogTemplate(again);
    FUZZ_CHECK(reread.ok());
    FUZZ_CHECK(fuzz_bytes::SameTemplate(reread.value(), t));

    if (CompilerCouldWrite(t)) {
        const std::vector<std::uint8_t> compiled = LayOutWithCompiler(t);
        const auto back = user32::ReadDialogTemplate(compiled);
        FUZZ_CHECK(back.ok());
        FUZZ_CHECK(fuzz_bytes::SameTemplate(back.value(), t));
        FUZZ_CHECK(compiled == again);
    }
    return 0;
}
