// An extended dialog template (DLGTEMPLATEEX) written in memory, the way a
// program that has no resource for its dialog hands one to
// DialogBoxIndirectParamW. Positions are in dialog units; the items come in
// the order they are added, which is also the Tab order.
#pragma once

#include "platform/win32/user.h"

#include <string_view>
#include <vector>

namespace comdlg32 {

// The predefined window classes, by the ordinals a template gives them.
enum class ControlClass : WORD {
    Button = 0x0080,
    Edit = 0x0081,
    Static = 0x0082,
    ListBox = 0x0083,
    ComboBox = 0x0085,
};

class DialogTemplateWriter {
public:
    DialogTemplateWriter(DWORD style, std::u16string_view caption, SHORT cx, SHORT cy);

    // Adds a child control; WS_CHILD and WS_VISIBLE are added to its style.
    void add(ControlClass cls, int id, DWORD style, SHORT x, SHORT y, SHORT cx, SHORT cy,
             std::u16string_view text = {});

    // The template, 4-byte aligned as the call expects; valid until the next add.
    LPCDLGTEMPLATEW get() const;

private:
    void word(WORD w) { words_.push_back(w); }
    void dword(DWORD d);
    void string(std::u16string_view s);
    void alignToDword();

    // DWORDs as storage keep the start aligned; the template is written in WORDs.
    std::vector<WORD> words_;
    mutable std::vector<DWORD> aligned_;
};

} // namespace comdlg32
