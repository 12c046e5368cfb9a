#include "platform/comdlg32/template_writer.h"

#include <cstring>

namespace comdlg32 {
namespace {
// Where the item count stands: after the version, the signature, and the
// help id, extended style and style (two words each).
constexpr std::size_t kCountAt = 8;
} // namespace

DialogTemplateWriter::DialogTemplateWriter(DWORD style, std::u16string_view caption, SHORT cx,
                                           SHORT cy) {
    word(1);      // version
    word(0xFFFF); // the extended layout's signature
    dword(0);     // help id
    dword(0);     // extended style
    dword(style);
    word(0); // item count, raised by add()
    for (const SHORT v : {SHORT{0}, SHORT{0}, cx, cy}) {
        word(static_cast<WORD>(v));
    }
    word(0); // no menu
    word(0); // the standard dialog class
    string(caption);
}

void DialogTemplateWriter::add(ControlClass cls, int id, DWORD style, SHORT x, SHORT y, SHORT cx,
                               SHORT cy, std::u16string_view text) {
    alignToDword();
    dword(0); // help id
    dword(0); // extended style
    dword(WS_CHILD | WS_VISIBLE | style);
    for (const SHORT v : {x, y, cx, cy}) {
        word(static_cast<WORD>(v));
    }
    dword(static_cast<DWORD>(id));
    word(0xFFFF);
    word(static_cast<WORD>(cls));
    string(text);
    word(0); // no creation data
    ++words_[kCountAt];
}

LPCDLGTEMPLATEW DialogTemplateWriter::get() const {
    aligned_.assign((words_.size() + 1) / 2, 0);
    std::memcpy(aligned_.data(), words_.data(), words_.size() * sizeof(WORD));
    return reinterpret_cast<LPCDLGTEMPLATEW>(aligned_.data());
}

void DialogTemplateWriter::dword(DWORD d) {
    word(static_cast<WORD>(d & 0xFFFF));
    word(static_cast<WORD>(d >> 16));
}

void DialogTemplateWriter::string(std::u16string_view s) {
    for (const char16_t c : s) {
        word(static_cast<WORD>(c));
    }
    word(0);
}

void DialogTemplateWriter::alignToDword() {
    if (words_.size() % 2 != 0) {
        word(0);
    }
}

} // namespace comdlg32
