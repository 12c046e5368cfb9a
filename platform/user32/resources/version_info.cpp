#include "platform/user32/resources/version_info.h"

#include "platform/user32/resources/byte_reader.h"

namespace user32 {
namespace {

// Every node of the block has the same shape: length, value length, type,
// key, padding, value, padding, children (all lengths inside `length`).
struct Node {
    std::u16string key;
    WORD type = 0;
    std::span<const std::uint8_t> value;
    std::vector<Node> children;
};

constexpr int kMaxDepth = 6;

ReadResult<Node> ReadNode(ByteReader& r, std::size_t limit, int depth) {
    const std::size_t start = r.offset();
    WORD length = 0, valueLength = 0;
    Node node;
    if (!r.u16(length) || !r.u16(valueLength) || !r.u16(node.type)) {
        return ReadError{"truncated version block", r.offset()};
    }
    if (length < 6 || start + length > limit) {
        return ReadError{"version block length " + std::to_string(length) + " runs past its parent",
                         start};
    }
    const std::size_t end = start + length;
    if (!r.string(node.key) || r.offset() > end) {
        return ReadError{"version block key runs past the block", start};
    }
    if (!r.align(4) || r.offset() > end) {
        // A node with no value and no children may end right after its key.
        r.seek(end);
        return node;
    }
    std::size_t valueBytes = node.type == 1 ? std::size_t(valueLength) * 2 : valueLength;
    if (r.offset() + valueBytes > end) {
        if (node.type != 1) {
            return ReadError{"version value runs past its block", r.offset()};
        }
        // Some writers count text values in bytes; the block bounds them.
        valueBytes = end - r.offset();
    }
    r.bytes(valueBytes, node.value);
    if (depth < kMaxDepth) {
        while (r.align(4) && r.offset() + 6 <= end) {
            auto child = ReadNode(r, end, depth + 1);
            if (!child) {
                return child.error();
            }
            node.children.push_back(std::move(child.value()));
        }
    }
    r.seek(end);
    return node;
}

std::u16string TextValue(std::span<const std::uint8_t> v) {
    std::u16string s;
    for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
        const auto c = static_cast<char16_t>(v[i] | (v[i + 1] << 8));
        if (c == 0) {
            break;
        }
        s += c;
    }
    return s;
}

} // namespace

const std::u16string* VersionStringTable::find(std::u16string_view name) const {
    for (const auto& [k, v] : strings) {
        if (k == name) {
            return &v;
        }
    }
    return nullptr;
}

ReadResult<VersionInfo> ReadVersionInfo(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    auto root = ReadNode(r, bytes.size(), 0);
    if (!root) {
        return root.error();
    }
    if (root->key != u"VS_VERSION_INFO") {
        return ReadError{"not a version block", 6};
    }
    VersionInfo info;
    if (!root->value.empty()) {
        ByteReader f(root->value);
        FixedFileInfo& x = info.fixed;
        if (!(f.u32(x.signature) && f.u32(x.structVersion) && f.u32(x.fileVersionMS) &&
              f.u32(x.fileVersionLS) && f.u32(x.productVersionMS) && f.u32(x.productVersionLS) &&
              f.u32(x.fileFlagsMask) && f.u32(x.fileFlags) && f.u32(x.fileOS) &&
              f.u32(x.fileType) && f.u32(x.fileSubtype) && f.u32(x.fileDateMS) &&
              f.u32(x.fileDateLS))) {
            return ReadError{"truncated fixed file information", 40};
        }
        if (x.signature != kFixedFileInfoSignature) {
            return ReadError{"bad fixed file information signature", 40};
        }
        info.hasFixed = true;
    }
    for (const Node& child : root->children) {
        if (child.key == u"StringFileInfo") {
            for (const Node& table : child.children) {
                VersionStringTable t;
                t.key = table.key;
                for (const Node& s : table.children) {
                    t.strings.emplace_back(s.key, TextValue(s.value));
                }
                info.stringTables.push_back(std::move(t));
            }
        } else if (child.key == u"VarFileInfo") {
            for (const Node& var : child.children) {
                if (var.key != u"Translation") {
                    continue;
                }
                ByteReader v(var.value);
                DWORD pair = 0;
                while (v.u32(pair)) {
                    info.translations.push_back(pair);
                }
            }
        }
    }
    return info;
}

} // namespace user32
