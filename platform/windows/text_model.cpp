#include "platform/windows/text_model.h"

#include <algorithm>

namespace windows {

std::vector<std::size_t> TextModel::ScanLineStarts(std::u16string_view t) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == u'\n' || (t[i] == u'\r' && (i + 1 >= t.size() || t[i + 1] != u'\n'))) {
            starts.push_back(i + 1);
        }
    }
    return starts;
}

void TextModel::setText(std::u16string_view text) {
    text_.assign(text);
    starts_ = ScanLineStarts(text_);
}

void TextModel::scan(std::size_t from, std::size_t to, std::vector<std::size_t>& out) const {
    // A line starts at s when text[s-1] is '\n', or a '\r' not followed by '\n'.
    for (std::size_t s = std::max<std::size_t>(from + 1, 1); s <= to && s <= text_.size(); ++s) {
        const char16_t c = text_[s - 1];
        if (c == u'\n' || (c == u'\r' && (s >= text_.size() || text_[s] != u'\n'))) {
            out.push_back(s);
        }
    }
}

void TextModel::replace(std::size_t pos, std::size_t count, std::u16string_view with) {
    pos = std::min(pos, text_.size());
    count = std::min(count, text_.size() - pos);
    // Whether a line starts at s depends on text[s-1] and text[s], so only
    // starts in [pos, pos + count + 1] can change; the rest move by the
    // difference in length.
    const std::size_t lo = pos == 0 ? 0 : pos - 1;
    const std::size_t oldHi = pos + count + 1;
    const std::size_t newHi = pos + with.size() + 1;
    auto first = std::upper_bound(starts_.begin(), starts_.end(), lo);
    auto last = std::upper_bound(first, starts_.end(), oldHi);
    const std::ptrdiff_t delta =
        static_cast<std::ptrdiff_t>(with.size()) - static_cast<std::ptrdiff_t>(count);
    for (auto it = last; it != starts_.end(); ++it) {
        *it = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(*it) + delta);
    }
    text_.replace(pos, count, with);
    std::vector<std::size_t> fresh;
    scan(lo, newHi, fresh);
    const auto at = starts_.erase(first, last);
    starts_.insert(at, fresh.begin(), fresh.end());
}

std::size_t TextModel::lineLength(std::size_t line) const {
    const std::size_t start = starts_[line];
    std::size_t end = line + 1 < starts_.size() ? starts_[line + 1] : text_.size();
    if (end > start && text_[end - 1] == u'\n') {
        --end;
        if (end > start && text_[end - 1] == u'\r') {
            --end;
        }
    } else if (end > start && text_[end - 1] == u'\r' && line + 1 < starts_.size()) {
        --end;
    }
    return end - start;
}

std::size_t TextModel::lineOf(std::size_t pos) const {
    auto it = std::upper_bound(starts_.begin(), starts_.end(), pos);
    return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

} // namespace windows
