// A dialog template resource (RT_DIALOG) read into plain values: the classic
// DLGTEMPLATE and the extended DLGTEMPLATEEX layouts both. Reading checks the
// bytes only; whether the controls make sense is the dialog manager's concern.
#pragma once

#include "platform/user32/resources/read_result.h"
#include "platform/win32/types.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace user32 {

// A field that holds either a 16-bit number (written as 0xFFFF, number) or a
// zero-terminated string. An empty string means "none".
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::u16string name;

    bool empty() const { return !isOrdinal && name.empty(); }
    bool operator==(const NameOrOrdinal&) const = default;
};

// Predefined control classes, as ordinals in a template.
inline constexpr WORD kClassButton = 0x80;
inline constexpr WORD kClassEdit = 0x81;
inline constexpr WORD kClassStatic = 0x82;
inline constexpr WORD kClassListBox = 0x83;
inline constexpr WORD kClassScrollBar = 0x84;
inline constexpr WORD kClassComboBox = 0x85;

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    SHORT x = 0, y = 0, cx = 0, cy = 0; // dialog units
    DWORD id = 0;                       // 16 bits in the classic layout
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    bool extended = false;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    SHORT x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::u16string title;
    // Present only when style has DS_SETFONT.
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::u16string typeface;
    std::vector<DialogItemTemplate> items;
};

ReadResult<DialogTemplate> ReadDialogTemplate(std::span<const std::uint8_t> bytes);

} // namespace user32
