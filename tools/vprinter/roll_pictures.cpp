#include "tools/vprinter/roll_pictures.h"

#include "tools/vprinter/roll_image.h"

#include <utility>

namespace vprinter {

RollPictures::RollPictures(std::string path, int part_height, Writer writer)
    : path_(std::move(path)), part_height_(part_height), writer_(std::move(writer)),
      current_(Paper::kWidth) {
    if (!writer_) {
        writer_ = [](const PackedRows& picture, const std::string& file, std::string* error) {
            return write_png(picture, file, error);
        };
    }
    current_.bytes.reserve(current_.stride * static_cast<std::size_t>(part_height_));
    current_.add_blank(Paper::kTopMargin);
}

std::string RollPictures::path_of(int number) const {
    if (number <= 1) {
        return path_;
    }
    // The number goes before the extension of the file name, if it has one.
    std::size_t name = path_.rfind('/');
    name = name == std::string::npos ? 0 : name + 1;
    std::size_t dot = path_.rfind('.');
    if (dot == std::string::npos || dot <= name) {
        return path_ + "-" + std::to_string(number);
    }
    return path_.substr(0, dot) + "-" + std::to_string(number) + path_.substr(dot);
}

bool RollPictures::add(const Line& line, std::string* error) {
    bool ok = true;
    for (const auto& row : wrap_line(line, Paper::kPrintWidth)) {
        // A row that would push the bottom margin past the limit begins the
        // next picture; a picture takes at least one row, however tall.
        if (printed_rows_ > 0 &&
            current_.height() + row_height(row, line) + Paper::kBottomMargin > part_height_) {
            ok = start_next(error) && ok;
        }
        draw_row(row, line, current_, Paper::kSideMargin);
        ++printed_rows_;
    }
    return ok;
}

bool RollPictures::start_next(std::string* error) {
    bool written = writer_(current_, path_of(number_), error);
    current_.bytes.clear();
    printed_rows_ = 0;
    ++number_;
    return written;
}

bool RollPictures::write(std::string* error) {
    const std::size_t printed = current_.bytes.size();
    current_.add_blank(Paper::kBottomMargin);
    bool written = writer_(current_, path_of(number_), error);
    current_.bytes.resize(printed);
    return written;
}

} // namespace vprinter
