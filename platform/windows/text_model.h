// The text of an edit control with an index of where its lines start.
// Text is UTF-16 as Win32 edit controls hold it; a line ends at "\r\n", "\n"
// or a lone "\r". An edit updates the index around the edited place and
// shifts the rest, so a key costs the same with 10 bytes or 10 MB of text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace windows {

class TextModel {
public:
    TextModel() = default;

    const std::u16string& text() const { return text_; }
    std::size_t size() const { return text_.size(); }
    void setText(std::u16string_view text);
    // Replaces count units at pos with with; pos and count are clamped.
    void replace(std::size_t pos, std::size_t count, std::u16string_view with);

    std::size_t lineCount() const { return starts_.size(); }
    std::size_t lineStart(std::size_t line) const { return starts_[line]; }
    // Length of the line without its line break.
    std::size_t lineLength(std::size_t line) const;
    // The line that holds pos (a position inside a line break belongs to the line it ends).
    std::size_t lineOf(std::size_t pos) const;

    // The index rebuilt from scratch; for tests.
    static std::vector<std::size_t> ScanLineStarts(std::u16string_view text);
    const std::vector<std::size_t>& lineStarts() const { return starts_; }

private:
    // Adds the starts of lines that begin in (from, to] of the current text.
    void scan(std::size_t from, std::size_t to, std::vector<std::size_t>& out) const;

    std::u16string text_;
    std::vector<std::size_t> starts_{0};
};

} // namespace windows
