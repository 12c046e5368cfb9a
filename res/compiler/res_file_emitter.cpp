#include "res/compiler/res_file_emitter.h"

#include "res/compiler/byte_writer.h"

namespace res {
namespace {

// With type and name both ordinals the header is fixed: two DWORD sizes,
// two (0xFFFF, ordinal) pairs, then DWORD, WORD, WORD, DWORD, DWORD.
constexpr std::uint32_t kHeaderSize = 32;
// Moveable, pure, discardable: what resource compilers write; the loader of
// a 32-bit image ignores it.
constexpr std::uint16_t kMemoryFlags = 0x1030;

void Entry(ByteWriter& out, std::uint16_t type, std::uint16_t id, std::uint16_t language,
           std::uint16_t memoryFlags, const std::vector<std::uint8_t>& data) {
    out.u32(static_cast<std::uint32_t>(data.size()));
    out.u32(kHeaderSize);
    out.u16(0xFFFF);
    out.u16(type);
    out.u16(0xFFFF);
    out.u16(id);
    out.u32(0); // data version
    out.u16(memoryFlags);
    out.u16(language);
    out.u32(0); // version
    out.u32(0); // characteristics
    out.raw(data);
    out.alignTo4();
}

} // namespace

std::vector<std::uint8_t> EmitResourceFile(const std::vector<CompiledResource>& resources) {
    ByteWriter out;
    Entry(out, 0, 0, 0, 0, {});
    for (const CompiledResource& r : resources) {
        Entry(out, r.type, r.id, r.language, kMemoryFlags, r.bytes);
    }
    return out.bytes();
}

} // namespace res
