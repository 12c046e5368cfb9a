#include "tools/vprinter/font.h"

#include <optional>
#include <unordered_map>

namespace vprinter::font {

namespace {

enum class Extra { None, Cedilla, Stroke, Bar };

struct Composed {
    char32_t base;
    std::optional<Mark> mark;
    Extra extra = Extra::None;
};

const std::unordered_map<char32_t, const Rows*>& glyph_index() {
    static const auto index = [] {
        std::unordered_map<char32_t, const Rows*> map;
        for (const GlyphArt& art : glyph_art()) {
            map.emplace(art.code, &art.rows);
        }
        return map;
    }();
    return index;
}

std::optional<Composed> composition(char32_t c) {
    constexpr Mark g = Mark::Grave, a = Mark::Acute, x = Mark::Circumflex, t = Mark::Tilde,
                   d = Mark::Diaeresis, o = Mark::Ring, v = Mark::Caron;
    constexpr Extra cedilla = Extra::Cedilla, stroke = Extra::Stroke, bar = Extra::Bar;
    static constexpr struct {
        char32_t code = 0;
        Composed composed;
    } kCompositions[] = {
        // clang-format off
        {U'À', {'A', g}}, {U'Á', {'A', a}}, {U'Â', {'A', x}}, {U'Ã', {'A', t}}, {U'Ä', {'A', d}},
        {U'Å', {'A', o}}, {U'Ç', {'C', {}, cedilla}},
        {U'È', {'E', g}}, {U'É', {'E', a}}, {U'Ê', {'E', x}}, {U'Ë', {'E', d}},
        {U'Ì', {'I', g}}, {U'Í', {'I', a}}, {U'Î', {'I', x}}, {U'Ï', {'I', d}},
        {U'Ð', {'D', {}, bar}}, {U'Ñ', {'N', t}},
        {U'Ò', {'O', g}}, {U'Ó', {'O', a}}, {U'Ô', {'O', x}}, {U'Õ', {'O', t}}, {U'Ö', {'O', d}},
        {U'Ø', {'O', {}, stroke}},
        {U'Ù', {'U', g}}, {U'Ú', {'U', a}}, {U'Û', {'U', x}}, {U'Ü', {'U', d}}, {U'Ý', {'Y', a}},
        {U'à', {'a', g}}, {U'á', {'a', a}}, {U'â', {'a', x}}, {U'ã', {'a', t}}, {U'ä', {'a', d}},
        {U'å', {'a', o}}, {U'ç', {'c', {}, cedilla}},
        {U'è', {'e', g}}, {U'é', {'e', a}}, {U'ê', {'e', x}}, {U'ë', {'e', d}},
        // i loses its dot under a mark
        {U'ì', {U'ı', g}}, {U'í', {U'ı', a}}, {U'î', {U'ı', x}}, {U'ï', {U'ı', d}},
        {U'ð', {'d', {}, bar}}, {U'ñ', {'n', t}},
        {U'ò', {'o', g}}, {U'ó', {'o', a}}, {U'ô', {'o', x}}, {U'õ', {'o', t}}, {U'ö', {'o', d}},
        {U'ø', {'o', {}, stroke}},
        {U'ù', {'u', g}}, {U'ú', {'u', a}}, {U'û', {'u', x}}, {U'ü', {'u', d}}, {U'ý', {'y', a}},
        {U'ÿ', {'y', d}},
        {U'Š', {'S', v}}, {U'š', {'s', v}}, {U'Ž', {'Z', v}}, {U'ž', {'z', v}}, {U'Ÿ', {'Y', d}},
        // the marks on their own
        {U'´', {' ', a}}, {U'¨', {' ', d}}, {U'¸', {' ', {}, cedilla}},
        // clang-format on
    };
    for (const auto& entry : kCompositions) {
        if (entry.code == c) {
            return entry.composed;
        }
    }
    return std::nullopt;
}

// Characters a small printer prints in their plain ASCII form.
char32_t plain_form(char32_t c) {
    switch (c) {
    case 0x00A0: // no-break space
        return ' ';
    case 0x00AD: // soft hyphen
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2015:
        return '-';
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201B:
        return '\'';
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x201F:
        return '"';
    case 0x2039:
        return '<';
    case 0x203A:
        return '>';
    case 0x02C6:
        return '^';
    case 0x02DC:
        return '~';
    case 0x0192:
        return 'f';
    default:
        return c;
    }
}

const Rows* find(char32_t c) {
    const auto& index = glyph_index();
    auto it = index.find(c);
    return it == index.end() ? nullptr : it->second;
}

void overlay_mark(Rows& rows, Mark mark, bool capital) {
    for (const MarkArt& art : mark_art()) {
        if (art.mark != mark) {
            continue;
        }
        int top = capital ? 0 : 2;
        for (int r = 0; r < kMarkRows; ++r) {
            rows[static_cast<std::size_t>(top) + static_cast<std::size_t>(r)] |=
                art.rows[static_cast<std::size_t>(r)];
        }
    }
}

void overlay_extra(Rows& rows, Extra extra, bool capital) {
    constexpr std::uint16_t col0 = 0x8000;
    switch (extra) {
    case Extra::None:
        break;
    case Extra::Cedilla:
        rows[12] |= col0 >> 3;
        rows[13] |= col0 >> 4;
        rows[14] |= (col0 >> 2) | (col0 >> 3);
        break;
    case Extra::Stroke: {
        // A slash through the letter, from its bottom left to its top right.
        int bottom = capital ? 11 : 12;
        for (int i = 0; i < 9; ++i) {
            int col = (i * 6 + 4) / 8;
            rows[static_cast<std::size_t>(bottom - i)] |= static_cast<std::uint16_t>(col0 >> col);
        }
        break;
    }
    case Extra::Bar:
        if (capital) {
            rows[7] |= 0xE000; // across the stem of D
        } else {
            rows[4] |= 0x0E00; // across the ascender of d
        }
        break;
    }
}

Glyph wide_glyph(char32_t c) {
    Glyph glyph;
    glyph.columns = 2 * kCellWidth;
    if (c == 0x3000) { // ideographic space
        return glyph;
    }
    for (int r = 3; r <= 13; ++r) {
        glyph.rows[static_cast<std::size_t>(r)] = (r == 3 || r == 13) ? 0x7FFE : 0x4002;
    }
    return glyph;
}

} // namespace

bool is_wide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
           (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

Glyph glyph_for(char32_t c) {
    if (is_wide(c)) {
        return wide_glyph(c);
    }
    Glyph glyph;
    c = plain_form(c);
    if (const Rows* rows = find(c)) {
        glyph.rows = *rows;
        return glyph;
    }
    if (auto composed = composition(c)) {
        if (const Rows* base = find(composed->base)) {
            bool capital = composed->base >= 'A' && composed->base <= 'Z';
            glyph.rows = *base;
            if (composed->mark) {
                overlay_mark(glyph.rows, *composed->mark, capital);
            }
            overlay_extra(glyph.rows, composed->extra, capital);
            return glyph;
        }
    }
    glyph.rows = missing_glyph_art();
    return glyph;
}

} // namespace vprinter::font
