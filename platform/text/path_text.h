// File names between the file system and UTF-16. A Linux file name is bytes
// and need not be UTF-8; a Win32 name is UTF-16. Every path that crosses the
// seam goes through these two, so that a name read from a folder opens that
// very file again, whatever its bytes.
//
// Valid UTF-8 becomes the characters it spells. Any other byte (0x80-0xFF)
// becomes the lone low surrogate U+DC80-U+DCFF, and goes back to that byte
// ("surrogateescape"). Such a surrogate shows as U+FFFD on the screen; the
// name itself keeps it.
#pragma once

#include <string>
#include <string_view>

namespace text {

// Bytes to UTF-16; never fails, and PathToBytes gives the same bytes back.
std::u16string PathFromBytes(std::string_view bytes);

// UTF-16 to bytes. A surrogate pair is UTF-8; an escaped byte is that byte.
// A lone surrogate outside U+DC80-U+DCFF has no byte of its own and is
// written in UTF-8's three-byte form (ED A0 80 for U+D800): bytes that are
// not UTF-8, so the name can never be mistaken for a UTF-8 one.
std::string PathToBytes(std::u16string_view path);

} // namespace text
