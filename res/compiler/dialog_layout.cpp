#include "platform/win32/user.h"
#include "res/compiler/byte_writer.h"
#include "res/compiler/layouts.h"

#include <stdexcept>
#include <string>

namespace res {
namespace {

// Control ids are 16-bit on the window system; the template's 32-bit field
// holds them zero-extended, so IDC_STATIC reads back as 65535.
DWORD TemplateControlId(int id) {
    if (id < -1 || id > 0xFFFF) {
        throw std::invalid_argument("control id " + std::to_string(id) + " is not 16-bit");
    }
    return static_cast<WORD>(id);
}

void WriteText(ByteWriter& out, std::u16string_view text) {
    if (text.find(u'\0') != std::u16string_view::npos) {
        throw std::invalid_argument("a dialog text contains a zero character");
    }
    out.wideString(text);
}

void WriteControl(ByteWriter& out, const ControlDefinition& control) {
    out.alignTo4();
    out.u32(0); // help id
    out.u32(0); // extended style
    out.u32(control.style);
    out.i16(control.x);
    out.i16(control.y);
    out.i16(control.cx);
    out.i16(control.cy);
    out.u32(TemplateControlId(control.id));
    out.u16(0xFFFF); // the class is given by its ordinal
    out.u16(static_cast<WORD>(control.kind));
    WriteText(out, control.text);
    out.u16(0); // no creation data
}

} // namespace

std::vector<std::uint8_t> LayOutDialog(const DialogDefinition& dialog) {
    // The font fields are present only when the style says so; a template
    // that names a font without it would be misread by every loader.
    if ((dialog.style & DS_SETFONT) == 0) {
        throw std::invalid_argument("dialog style lacks DS_SETFONT but a font is given");
    }
    if (dialog.controls.size() > 0xFFFF) {
        throw std::invalid_argument("too many controls for one template");
    }

    ByteWriter out;
    out.u16(1);      // template version
    out.u16(0xFFFF); // extended template signature
    out.u32(0);      // help id
    out.u32(dialog.exStyle);
    out.u32(dialog.style);
    out.u16(static_cast<WORD>(dialog.controls.size()));
    out.i16(dialog.x);
    out.i16(dialog.y);
    out.i16(dialog.cx);
    out.i16(dialog.cy);
    out.u16(0); // no menu
    out.u16(0); // the system's dialog class
    WriteText(out, dialog.caption);
    out.u16(dialog.font.pointSize);
    out.u16(dialog.font.weight);
    out.u8(dialog.font.italic);
    out.u8(dialog.font.charset);
    WriteText(out, dialog.font.face);
    for (const ControlDefinition& control : dialog.controls) {
        WriteControl(out, control);
    }
    return out.bytes();
}

} // namespace res
