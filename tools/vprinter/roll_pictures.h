#pragma once

#include "tools/vprinter/png_file.h"
#include "tools/vprinter/roll.h"

#include <functional>
#include <string>

namespace vprinter {

// The picture of the roll, drawn a line at a time as the lines are printed.
//
// A long roll is cut into pictures of at most `part_height` dots each: the
// first is `path` itself, the next ones carry their number before the
// extension (roll.png, roll-2.png, roll-3.png, ...). Laid end to end they
// are the roll: the first begins with the paper's top margin, the last ends
// with its bottom margin, and the cuts fall between printed rows. A picture
// that is full is written and dropped at once; only the one being printed on
// is held, at one bit a dot.
class RollPictures {
public:
    // 4 m of paper: far inside libpng's limit of 1,000,000 rows a picture,
    // and within the 32,767 dots that many image viewers take.
    static constexpr int kPartHeight = 32000;

    // Where a picture goes: a PNG file unless told otherwise.
    using Writer =
        std::function<bool(const PackedRows& picture, const std::string& path, std::string* error)>;

    explicit RollPictures(std::string path, int part_height = kPartHeight, Writer writer = {});

    // Draws the rows of `line`; a picture filled on the way is written and
    // dropped. False, with `error`, when that picture could not be written.
    bool add(const Line& line, std::string* error);
    // Writes the picture being printed on, closed by the bottom margin.
    bool write(std::string* error);

    // How many pictures the roll takes so far.
    int pictures() const { return number_; }
    std::string path_of(int number) const;
    // The rows of dots held in memory.
    int rows_held() const { return current_.height(); }

private:
    bool start_next(std::string* error);

    std::string path_;
    int part_height_;
    Writer writer_;
    int number_ = 1;
    PackedRows current_;
    int printed_rows_ = 0; // rows of print in the current picture
};

} // namespace vprinter
