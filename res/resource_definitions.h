// The vocabulary in which the program's resources are written: plain values
// that read like a resource script. The resource compiler (res/compiler) lays
// them out in the binary forms the window system loads.
#pragma once

#include "platform/win32/types.h"

#include <span>
#include <string_view>

namespace res {

// Ordinals of the predefined window classes in a dialog item.
enum class ControlClass : WORD {
    Button = 0x0080,
    Edit = 0x0081,
    Static = 0x0082,
    ListBox = 0x0083,
    ScrollBar = 0x0084,
    ComboBox = 0x0085,
};

struct ControlDefinition {
    int id; // IDC_STATIC (-1) is stored as 65535
    ControlClass kind;
    std::u16string_view text; // stored as written: "&&" stays two characters
    SHORT x;
    SHORT y;
    SHORT cx;
    SHORT cy;
    DWORD style;
};

struct FontDefinition {
    WORD pointSize;
    std::u16string_view face;
    WORD weight;  // 0: the face's default weight
    BYTE italic;  // 0 or 1
    BYTE charset; // a LOGFONT character set
};

// An extended dialog template (the header carries an extended style, so the
// extended layout is the one that can hold it).
struct DialogDefinition {
    WORD id;
    WORD language;
    std::u16string_view caption;
    SHORT x;
    SHORT y;
    SHORT cx;
    SHORT cy;
    DWORD style; // must contain DS_SETFONT, since a font is always given
    DWORD exStyle;
    FontDefinition font;
    std::span<const ControlDefinition> controls;
};

// The entries that one control receives, in order, each carried by the
// message (WIN16_CB_ADDSTRING for a combo box, platform/afx/dialog_init.h).
struct ControlFill {
    int control;
    WORD message;
    std::span<const std::u16string_view> entries;
};

struct ListDataDefinition {
    WORD id;
    WORD language;
    std::span<const ControlFill> fills;
};

struct FourPartVersion {
    WORD major;
    WORD minor;
    WORD build;
    WORD revision;
};

struct VersionString {
    std::u16string_view key;
    std::u16string_view value;
};

struct VersionDefinition {
    WORD id;
    WORD language;
    FourPartVersion fileVersion;
    FourPartVersion productVersion;
    DWORD flagsMask;
    DWORD flags;
    DWORD os;
    DWORD type;
    DWORD subtype;
    DWORD dateMS;
    DWORD dateLS;
    std::u16string_view stringTable; // language and code page, "040904b0"
    std::span<const VersionString> strings;
    WORD translationLanguage;
    WORD translationCodePage;
};

// An icon group taken from an .ico file kept in res/icons/. Each image of the
// file becomes an icon resource of the same language.
struct IconGroupDefinition {
    WORD id;
    WORD language;
    std::string_view file;
};

} // namespace res
