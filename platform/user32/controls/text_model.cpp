#include "platform/user32/controls/text_model.h"

#include "platform/text/unit_runs.h"

#include <algorithm>
#include <bit>
#include <new>
#include <stdexcept>

namespace user32 {
namespace {

// Units are coded sixteen at a time while they are all ASCII, and decoded
// sixteen at a time as if they were, the few bytes that are not then looked
// up (platform/text/unit_runs.h).
constexpr std::size_t kRun = 16;

// Counted in byte-sized sums of at most 255, which vectorise.
std::size_t CountLineEnds(std::string_view bytes) {
    std::size_t total = 0;
    for (std::size_t from = 0; from < bytes.size(); from += 255) {
        const std::size_t to = std::min(bytes.size(), from + 255);
        unsigned char n = 0;
        for (std::size_t i = from; i < to; ++i) {
            n = static_cast<unsigned char>(n + (bytes[i] == '\n' ? 1 : 0));
        }
        total += n;
    }
    return total;
}

} // namespace

TextModel::Palette::Palette() {
    for (unsigned b = 0; b < 0x80; ++b) {
        units_[b] = static_cast<char16_t>(b);
    }
}

bool TextModel::Palette::encode(char16_t c, unsigned char& byte) {
    if (c < 0x80) {
        byte = static_cast<unsigned char>(c);
        return true;
    }
    if (bytes_.empty()) {
        bytes_.assign(0x10000, 0);
    }
    if (bytes_[c] == 0) {
        if (next_ > 0xFF) {
            return false;
        }
        bytes_[c] = static_cast<unsigned char>(next_);
        units_[next_++] = c;
    }
    byte = bytes_[c];
    return true;
}

TextModel::TextModel(std::size_t blockLength)
    : blockLength_(std::max<std::size_t>(blockLength, 2)) {}

bool TextModel::encodeInto(std::u16string_view units, std::string& out) {
    out.resize(units.size());
    const char16_t* src = units.data();
    auto* dst = reinterpret_cast<unsigned char*>(out.data());
    std::size_t i = 0;
    while (i < units.size()) {
        if (i + kRun <= units.size() && text::SixteenAscii(src + i)) {
            text::NarrowEight(src + i, dst + i);
            text::NarrowEight(src + i + 8, dst + i + 8);
            i += kRun;
            continue;
        }
        if (!palette_.encode(src[i], dst[i])) {
            return false;
        }
        ++i;
    }
    return true;
}

void TextModel::decodeInto(const Block& block, std::size_t from, std::size_t count,
                           char16_t* out) const {
    if (block.isWide) {
        std::copy_n(block.wide.data() + from, count, out);
        return;
    }
    const auto* src = reinterpret_cast<const unsigned char*>(block.narrow.data()) + from;
    std::size_t i = 0;
    // Every run of sixteen is widened as if it were ASCII; the few bytes
    // that are not are then looked up. Western text has a run with one or
    // two such bytes every other run, too irregular for a loop's branch to
    // be foreseen: the first two are looked up whether or not they are
    // there, a byte that is not being taken as the first of the next run
    // (a unit the next run's widening writes again).
    constexpr unsigned kNone = 1u << kRun; // the next run's first unit
    for (; i + 2 * kRun <= count; i += kRun) {
        unsigned others = text::WidenSixteen(src + i, out + i) | kNone;
        auto k = static_cast<std::size_t>(std::countr_zero(others));
        out[i + k] = palette_.decode(src[i + k]);
        others = (others & (others - 1)) | kNone;
        k = static_cast<std::size_t>(std::countr_zero(others));
        out[i + k] = palette_.decode(src[i + k]);
        for (others = (others & (others - 1)) | kNone; others != kNone; others &= others - 1) {
            k = static_cast<std::size_t>(std::countr_zero(others));
            out[i + k] = palette_.decode(src[i + k]);
        }
    }
    for (; i + kRun <= count; i += kRun) {
        for (unsigned others = text::WidenSixteen(src + i, out + i); others != 0;
             others &= others - 1) {
            const auto k = static_cast<std::size_t>(std::countr_zero(others));
            out[i + k] = palette_.decode(src[i + k]);
        }
    }
    for (; i < count; ++i) {
        out[i] = palette_.decode(src[i]);
    }
}

TextModel::Block TextModel::makeBlock(std::u16string_view units) {
    Block block;
    if (encodeInto(units, block.narrow)) {
        block.breaks = CountLineEnds(block.narrow);
    } else {
        std::string().swap(block.narrow); // its room goes too (assigning keeps it)
        block.wide.assign(units);
        block.isWide = true;
        block.breaks = static_cast<std::size_t>(std::count(units.begin(), units.end(), u'\n'));
    }
    block.id = nextId_++;
    return block;
}

std::vector<TextModel::Block> TextModel::cutIntoBlocks(const Block& big) {
    std::u16string units(big.size(), u'\0');
    decodeInto(big, 0, big.size(), units.data());
    std::vector<Block> parts;
    parts.reserve(units.size() / blockLength_ + 1);
    for (std::size_t from = 0; from < units.size(); from += blockLength_) {
        parts.push_back(makeBlock(std::u16string_view(units).substr(from, blockLength_)));
    }
    return parts;
}

void TextModel::widen(Block& block) const {
    if (block.isWide) {
        return;
    }
    std::u16string wide(block.narrow.size(), u'\0');
    decodeInto(block, 0, block.narrow.size(), wide.data());
    block.wide = std::move(wide);
    std::string().swap(block.narrow);
    block.isWide = true;
}

void TextModel::changed(Block& block) {
    block.id = nextId_++;
}

void TextModel::setText(std::u16string_view text) {
    // The old blocks go before the new ones are made: never both at once.
    blocks_ = std::vector<Block>();
    palette_ = Palette();
    cache_ = {};
    blocks_.reserve((text.size() + blockLength_ - 1) / blockLength_);
    for (std::size_t from = 0; from < text.size(); from += blockLength_) {
        blocks_.push_back(makeBlock(text.substr(from, blockLength_)));
    }
    size_ = text.size();
    ++revision_;
    recount(0);
}

void TextModel::recount(std::size_t from) {
    unitsBefore_.resize(blocks_.size() + 1);
    breaksBefore_.resize(blocks_.size() + 1);
    unitsBefore_[0] = breaksBefore_[0] = 0;
    for (std::size_t b = from; b < blocks_.size(); ++b) {
        unitsBefore_[b + 1] = unitsBefore_[b] + blocks_[b].size();
        breaksBefore_[b + 1] = breaksBefore_[b] + blocks_[b].breaks;
    }
}

TextModel::Place TextModel::locate(std::size_t pos) const {
    if (blocks_.empty()) {
        return {};
    }
    const auto after = std::upper_bound(unitsBefore_.begin(), unitsBefore_.end() - 1, pos);
    const std::size_t block = static_cast<std::size_t>(after - unitsBefore_.begin()) - 1;
    return Place{block, pos - unitsBefore_[block]};
}

char16_t TextModel::unitIn(const Block& block, std::size_t offset) const {
    return block.isWide ? block.wide[offset]
                        : palette_.decode(static_cast<unsigned char>(block.narrow[offset]));
}

char16_t TextModel::at(std::size_t pos) const {
    if (pos >= size_) {
        throw std::out_of_range("TextModel::at");
    }
    const Place p = locate(pos);
    return unitIn(blocks_[p.block], p.offset);
}

std::size_t TextModel::copy(std::size_t pos, std::size_t count, char16_t* out) const {
    pos = std::min(pos, size_);
    count = std::min(count, size_ - pos);
    std::size_t done = 0;
    for (Place p = locate(pos); done < count; ++p.block, p.offset = 0) {
        const Block& block = blocks_[p.block];
        const std::size_t n = std::min(count - done, block.size() - p.offset);
        decodeInto(block, p.offset, n, out + done);
        done += n;
    }
    return done;
}

std::u16string TextModel::units(std::size_t from, std::size_t to) const {
    from = std::min(from, size_);
    to = std::clamp(to, from, size_);
    std::u16string out(to - from, u'\0');
    copy(from, to - from, out.data());
    return out;
}

const std::vector<std::uint32_t>& TextModel::breaksIn(std::size_t block) const {
    const Block& b = blocks_[block];
    for (const Breaks& cached : cache_) {
        if (cached.id == b.id) {
            return cached.offsets;
        }
    }
    Breaks& fresh = cache_[cacheNext_];
    cacheNext_ = (cacheNext_ + 1) % cache_.size();
    fresh.id = b.id;
    fresh.offsets.clear();
    fresh.offsets.reserve(b.breaks);
    if (b.isWide) {
        for (std::size_t i = 0; i < b.wide.size(); ++i) {
            if (b.wide[i] == u'\n') {
                fresh.offsets.push_back(static_cast<std::uint32_t>(i));
            }
        }
    } else {
        const std::string_view bytes = b.narrow;
        for (std::size_t i = bytes.find('\n'); i != std::string_view::npos;
             i = bytes.find('\n', i + 1)) {
            fresh.offsets.push_back(static_cast<std::uint32_t>(i));
        }
    }
    return fresh.offsets;
}

std::size_t TextModel::lineStart(std::size_t line) const {
    if (line == 0 || blocks_.empty()) {
        return 0;
    }
    line = std::min(line, lineCount() - 1);
    // The block that holds the line-th "\n" (counting from 1).
    const auto it = std::lower_bound(breaksBefore_.begin() + 1, breaksBefore_.end(), line);
    const std::size_t block = static_cast<std::size_t>(it - breaksBefore_.begin()) - 1;
    const std::size_t nth = line - breaksBefore_[block];
    return unitsBefore_[block] + breaksIn(block)[nth - 1] + 1;
}

std::size_t TextModel::lineLength(std::size_t line) const {
    const std::size_t start = lineStart(line);
    if (line + 1 >= lineCount()) {
        return size_ - start;
    }
    std::size_t end = lineStart(line + 1) - 1; // at its "\n"
    if (end > start && at(end - 1) == u'\r') {
        --end;
    }
    return end - start;
}

std::size_t TextModel::lineOf(std::size_t pos) const {
    if (blocks_.empty()) {
        return 0;
    }
    const Place p = locate(std::min(pos, size_));
    const auto& offsets = breaksIn(p.block);
    const auto before = std::lower_bound(offsets.begin(), offsets.end(), p.offset);
    return breaksBefore_[p.block] + static_cast<std::size_t>(before - offsets.begin());
}

void TextModel::insertInto(Block& block, std::size_t offset, std::u16string_view units) {
    if (!block.isWide) {
        std::string bytes;
        if (encodeInto(units, bytes)) {
            block.narrow.insert(offset, bytes);
        } else {
            widen(block);
        }
    }
    if (block.isWide) {
        block.wide.insert(offset, units);
    }
    block.breaks += static_cast<std::size_t>(std::count(units.begin(), units.end(), u'\n'));
    changed(block);
}

void TextModel::eraseFrom(Block& block, std::size_t offset, std::size_t count) {
    if (block.isWide) {
        const auto first = block.wide.begin() + static_cast<std::ptrdiff_t>(offset);
        block.breaks -= static_cast<std::size_t>(
            std::count(first, first + static_cast<std::ptrdiff_t>(count), u'\n'));
        block.wide.erase(offset, count);
    } else {
        const auto first = block.narrow.begin() + static_cast<std::ptrdiff_t>(offset);
        block.breaks -= static_cast<std::size_t>(
            std::count(first, first + static_cast<std::ptrdiff_t>(count), '\n'));
        block.narrow.erase(offset, count);
    }
    changed(block);
}

void TextModel::insert(std::size_t pos, std::u16string_view units) {
    if (blocks_.empty()) {
        Block first = makeBlock({});
        reserveFor(1);
        blocks_.push_back(std::move(first));
        recount(0);
    }
    const Place p = locate(pos);
    if (units.size() <= blockLength_) {
        insertInto(blocks_[p.block], p.offset, units);
        tidy(p.block, p.block);
        return;
    }
    // A long insertion comes in blocks of its own, between the two halves
    // of the block it goes into. Every block is made, and the room for them
    // taken, before the text is touched: memory that runs out leaves the
    // text as it was.
    const Block& target = blocks_[p.block];
    std::vector<Block> fresh;
    fresh.reserve(units.size() / blockLength_ + 2);
    for (std::size_t from = 0; from < units.size(); from += blockLength_) {
        fresh.push_back(makeBlock(units.substr(from, blockLength_)));
    }
    Block tail;
    tail.isWide = target.isWide;
    if (target.isWide) {
        tail.wide = target.wide.substr(p.offset);
    } else {
        tail.narrow = target.narrow.substr(p.offset);
    }
    tail.breaks = static_cast<std::size_t>(
        tail.isWide ? std::count(tail.wide.begin(), tail.wide.end(), u'\n')
                    : std::count(tail.narrow.begin(), tail.narrow.end(), '\n'));
    tail.id = nextId_++;
    fresh.push_back(std::move(tail));
    reserveFor(fresh.size());

    eraseFrom(blocks_[p.block], p.offset, blocks_[p.block].size() - p.offset);
    const auto at = blocks_.begin() + static_cast<std::ptrdiff_t>(p.block + 1);
    blocks_.insert(at, std::make_move_iterator(fresh.begin()),
                   std::make_move_iterator(fresh.end()));
    tidy(p.block, p.block + fresh.size());
}

void TextModel::reserveFor(std::size_t more) {
    const std::size_t blocks = blocks_.size() + more;
    blocks_.reserve(blocks);
    unitsBefore_.reserve(blocks + 1);
    breaksBefore_.reserve(blocks + 1);
}

void TextModel::erase(std::size_t pos, std::size_t count) {
    const Place first = locate(pos);
    std::size_t left = count;
    std::size_t block = first.block;
    std::size_t offset = first.offset;
    std::size_t whole = 0; // blocks taken whole, after the first
    while (left > 0) {
        Block& b = blocks_[block];
        const std::size_t n = std::min(left, b.size() - offset);
        if (offset == 0 && n == b.size() && block != first.block) {
            ++whole;
        } else {
            eraseFrom(b, offset, n);
        }
        left -= n;
        ++block;
        offset = 0;
    }
    // The blocks taken whole lie together right after the first one, unless
    // the erasure ended inside a later block, which then follows them.
    const std::size_t lastTouched = block - 1;
    const std::size_t firstWhole = first.block + 1;
    blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(firstWhole),
                  blocks_.begin() + static_cast<std::ptrdiff_t>(firstWhole + whole));
    tidy(first.block, lastTouched - whole);
}

void TextModel::tidy(std::size_t first, std::size_t last) {
    // Too long: cut into blocks of the usual length. Tidying only keeps
    // edits cheap; a step without the memory for it is left out, and the
    // blocks stay as they are, which is still the same text.
    for (std::size_t b = last + 1; b-- > first;) {
        if (blocks_[b].size() <= 2 * blockLength_) {
            continue;
        }
        try {
            std::vector<Block> parts = cutIntoBlocks(blocks_[b]);
            reserveFor(parts.size() - 1);
            blocks_[b] = std::move(parts.front());
            blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b + 1),
                           std::make_move_iterator(parts.begin() + 1),
                           std::make_move_iterator(parts.end()));
            last += parts.size() - 1;
        } catch (const std::bad_alloc&) {
        }
    }
    // Empty or small: into the block before (or after) when both fit one.
    std::size_t from = first > 0 ? first - 1 : 0;
    const std::size_t until = std::min(last + 2, blocks_.size());
    for (std::size_t b = until; b-- > from;) {
        if (b >= blocks_.size()) {
            continue;
        }
        Block& block = blocks_[b];
        if (block.size() == 0) {
            blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
            continue;
        }
        if (b == 0 || block.size() >= blockLength_ / 4) {
            continue;
        }
        Block& before = blocks_[b - 1];
        if (before.size() + block.size() > blockLength_) {
            continue;
        }
        try {
            // Widening keeps a block's text, and an append that fails
            // changes nothing.
            if (before.isWide || block.isWide) {
                widen(before);
                widen(block);
                before.wide += block.wide;
            } else {
                before.narrow += block.narrow;
            }
        } catch (const std::bad_alloc&) {
            continue;
        }
        before.breaks += block.breaks;
        changed(before);
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
    }
    from = std::min(from, blocks_.size());
    recount(from);
    size_ = unitsBefore_.back();
    ++revision_;
}

void TextModel::replace(std::size_t pos, std::size_t count, std::u16string_view with) {
    pos = std::min(pos, size_);
    count = std::min(count, size_ - pos);
    // The new text goes in before the old goes out: only the insertion needs
    // memory, and when it cannot get it nothing has changed.
    if (!with.empty()) {
        insert(pos + count, with);
    }
    if (count > 0) {
        erase(pos, count);
    }
}

std::size_t TextModel::storedBytes() const {
    std::size_t bytes = 0;
    for (const Block& b : blocks_) {
        bytes += 2 * b.wide.capacity() + b.narrow.capacity();
    }
    return bytes;
}

std::vector<std::size_t> TextModel::lineStarts() const {
    std::vector<std::size_t> starts;
    for (std::size_t line = 0; line < lineCount(); ++line) {
        starts.push_back(lineStart(line));
    }
    return starts;
}

std::vector<std::size_t> TextModel::scanLineStarts(std::u16string_view text) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
            starts.push_back(i + 1);
        }
    }
    return starts;
}

} // namespace user32
