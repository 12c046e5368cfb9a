#include "res/compiler/byte_writer.h"
#include "res/compiler/layouts.h"

#include <stdexcept>

namespace res {
namespace {

constexpr WORD kBinary = 0;
constexpr WORD kText = 1;
constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
constexpr DWORD kFixedInfoVersion = 0x00010000;
constexpr WORD kFixedInfoSize = 13 * 4;

// Every block of a version resource is a length, a value length, a type and a
// key, then its value and its children, each starting on a 32-bit boundary.
// The length covers the block up to the end of its last part; the padding
// before a following block belongs to the parent.
template <typename Contents>
void WriteBlock(ByteWriter& out, std::u16string_view key, WORD valueLength, WORD type,
                Contents writeContents) {
    out.alignTo4();
    const std::size_t start = out.size();
    out.u16(0); // length, known at the end
    out.u16(valueLength);
    out.u16(type);
    out.wideString(key);
    out.alignTo4();
    writeContents();
    const std::size_t length = out.size() - start;
    if (length > 0xFFFF) {
        throw std::length_error("version block longer than 65535 bytes");
    }
    out.patchU16(start, static_cast<WORD>(length));
}

DWORD High(const FourPartVersion& v) {
    return (DWORD(v.major) << 16) | v.minor;
}
DWORD Low(const FourPartVersion& v) {
    return (DWORD(v.build) << 16) | v.revision;
}

void WriteFixedInfo(ByteWriter& out, const VersionDefinition& version) {
    out.u32(kFixedInfoSignature);
    out.u32(kFixedInfoVersion);
    out.u32(High(version.fileVersion));
    out.u32(Low(version.fileVersion));
    out.u32(High(version.productVersion));
    out.u32(Low(version.productVersion));
    out.u32(version.flagsMask);
    out.u32(version.flags);
    out.u32(version.os);
    out.u32(version.type);
    out.u32(version.subtype);
    out.u32(version.dateMS);
    out.u32(version.dateLS);
}

void WriteString(ByteWriter& out, const VersionString& string) {
    if (string.value.size() + 1 > 0xFFFF) {
        throw std::length_error("version string too long");
    }
    // The value length of a text block counts characters, its zero included;
    // an empty string is stored as that zero alone.
    WriteBlock(out, string.key, static_cast<WORD>(string.value.size() + 1), kText,
               [&] { out.wideString(string.value); });
}

} // namespace

std::vector<std::uint8_t> LayOutVersion(const VersionDefinition& version) {
    ByteWriter out;
    WriteBlock(out, u"VS_VERSION_INFO", kFixedInfoSize, kBinary, [&] {
        WriteFixedInfo(out, version);
        WriteBlock(out, u"StringFileInfo", 0, kText, [&] {
            WriteBlock(out, version.stringTable, 0, kText, [&] {
                for (const VersionString& string : version.strings) {
                    WriteString(out, string);
                }
            });
        });
        WriteBlock(out, u"VarFileInfo", 0, kText, [&] {
            // A binary value: its length counts bytes.
            WriteBlock(out, u"Translation", 4, kBinary, [&] {
                out.u16(version.translationLanguage);
                out.u16(version.translationCodePage);
            });
        });
    });
    return out.bytes();
}

} // namespace res
