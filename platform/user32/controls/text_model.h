// The text of an edit control: UTF-16 as Win32 edit controls hold it, where
// a line ends at "\r\n" or "\n" (the printer's line ends) and a lone "\r" is
// a character of its line.
//
// The text is kept in blocks of about 64K units, so that an edit moves at
// most a block's worth of text and never the gigabyte after it. A block holds
// one byte a unit while every unit it has fits a byte: units below U+0080 are
// their own byte, and the first 128 other units the text uses get the bytes
// 0x80 to 0xFF (Latin-1 text, and every code-page-1252 text, fits). A block
// that meets a unit beyond those widens to two bytes a unit on its own.
//
// No index of line starts is kept: each block knows how many "\n" it holds,
// and the places of a block's "\n" are found when asked and kept for the few
// blocks last looked at. Finding a line is a search over the blocks and a
// look into one of them, so a key costs the same with 10 bytes or 1 GB.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace user32 {

class TextModel {
public:
    static constexpr std::size_t kBlockLength = 1 << 16;

    // blockLength: the units a block is filled with (tests use small ones).
    explicit TextModel(std::size_t blockLength = kBlockLength);

    std::size_t size() const { return size_; }
    void setText(std::u16string_view text);
    // Replaces count units at pos with with; pos and count are clamped.
    // Throws std::bad_alloc when there is no memory for it, with the text as
    // it was.
    void replace(std::size_t pos, std::size_t count, std::u16string_view with);
    // Changes with every edit.
    std::uint64_t revision() const { return revision_; }

    char16_t at(std::size_t pos) const;
    // Units [from, to), clamped to the text.
    std::u16string units(std::size_t from, std::size_t to) const;
    // Writes count units from pos to out (no terminator); count is clamped.
    std::size_t copy(std::size_t pos, std::size_t count, char16_t* out) const;
    std::u16string text() const { return units(0, size_); }

    std::size_t lineCount() const { return breaksBefore_.back() + 1; }
    std::size_t lineStart(std::size_t line) const;
    // Length of the line without its line break.
    std::size_t lineLength(std::size_t line) const;
    // The line that holds pos (a position inside "\r\n" belongs to the line it ends).
    std::size_t lineOf(std::size_t pos) const;

    // The bytes the blocks hold for the text (their capacity).
    std::size_t storedBytes() const;
    // Every line start, found through lineStart; for tests.
    std::vector<std::size_t> lineStarts() const;
    // The line starts of text, found by reading it from the start; for tests.
    static std::vector<std::size_t> scanLineStarts(std::u16string_view text);

private:
    // Bytes for units: below 0x80 themselves, others as they first arrive.
    class Palette {
    public:
        Palette();
        // The byte for c, given one if there is room; false when there is none.
        bool encode(char16_t c, unsigned char& byte);
        char16_t decode(unsigned char byte) const { return units_[byte]; }

    private:
        std::array<char16_t, 256> units_{};
        std::vector<unsigned char> bytes_; // by unit; 0: none yet
        unsigned next_ = 0x80;
    };

    struct Block {
        std::string narrow;  // one byte a unit, through the palette
        std::u16string wide; // used instead once a unit has no byte
        bool isWide = false;
        std::size_t breaks = 0; // "\n" units
        std::uint64_t id = 0;   // new with every change, for the cache of places
        std::size_t size() const { return isWide ? wide.size() : narrow.size(); }
    };
    struct Place {
        std::size_t block = 0;
        std::size_t offset = 0;
    };
    struct Breaks {
        std::uint64_t id = 0; // 0: empty
        std::vector<std::uint32_t> offsets;
    };

    Block makeBlock(std::u16string_view units);
    // The text of a block in blocks of the usual length.
    std::vector<Block> cutIntoBlocks(const Block& big);
    // Room for more blocks, taken before an edit changes anything.
    void reserveFor(std::size_t more);
    bool encodeInto(std::u16string_view units, std::string& out);
    void decodeInto(const Block& block, std::size_t from, std::size_t count, char16_t* out) const;
    void widen(Block& block) const;
    void changed(Block& block);
    void insertInto(Block& block, std::size_t offset, std::u16string_view units);
    void eraseFrom(Block& block, std::size_t offset, std::size_t count);
    void insert(std::size_t pos, std::u16string_view units);
    void erase(std::size_t pos, std::size_t count);
    // Splits blocks grown past twice the block length, merges small ones
    // into a neighbour and drops empty ones, around index first; then
    // recounts the sums from there on.
    void tidy(std::size_t first, std::size_t last);
    void recount(std::size_t from);
    Place locate(std::size_t pos) const;
    char16_t unitIn(const Block& block, std::size_t offset) const;
    const std::vector<std::uint32_t>& breaksIn(std::size_t block) const;

    std::size_t blockLength_;
    std::vector<Block> blocks_;
    std::vector<std::size_t> unitsBefore_{0};  // units before block i; last: all
    std::vector<std::size_t> breaksBefore_{0}; // "\n" before block i; last: all
    std::size_t size_ = 0;
    std::uint64_t revision_ = 0;
    std::uint64_t nextId_ = 1;
    Palette palette_;
    mutable std::array<Breaks, 4> cache_;
    mutable std::size_t cacheNext_ = 0;
};

} // namespace user32
