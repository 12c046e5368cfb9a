#include "tools/vprinter/terminal_roll.h"

#include "tools/vprinter/describe.h"
#include "tools/vprinter/font.h"
#include "tools/vprinter/roll_image.h"
#include "tools/vprinter/utf8.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vprinter {

namespace {

constexpr int kColumns = Paper::kPrintWidth / font::kCellWidth;
constexpr const char* kReverse = "\x1b[7m";
constexpr const char* kUnderline = "\x1b[4m";
constexpr const char* kReset = "\x1b[0m";

struct Cell {
    std::string text; // one copy of the character
    int columns = 1;  // of one copy
    CharFormat format;
    int span() const { return columns * format.width; }
};

} // namespace

char32_t turned(char32_t c) {
    static constexpr std::pair<char32_t, char32_t> kPairs[] = {
        {'a', U'\u0250'}, {'b', 'q'},       {'c', U'\u0254'}, {'d', 'p'},       {'e', U'\u01DD'},
        {'f', U'\u025F'}, {'g', U'\u0183'}, {'h', U'\u0265'}, {'i', U'\u0131'}, {'j', U'\u027E'},
        {'k', U'\u029E'}, {'m', U'\u026F'}, {'n', 'u'},       {'p', 'd'},       {'q', 'b'},
        {'r', U'\u0279'}, {'t', U'\u0287'}, {'u', 'n'},       {'v', U'\u028C'}, {'w', U'\u028D'},
        {'y', U'\u028E'}, {'A', U'\u2200'}, {'C', U'\u0186'}, {'E', U'\u018E'}, {'F', U'\u2132'},
        {'G', U'\u2141'}, {'J', U'\u017F'}, {'L', U'\u2142'}, {'M', 'W'},       {'W', 'M'},
        {'P', U'\u0500'}, {'T', U'\u22A5'}, {'U', U'\u2229'}, {'V', U'\u039B'}, {'Y', U'\u2144'},
        {'6', '9'},       {'9', '6'},       {'.', U'\u02D9'}, {',', '\''},      {'\'', ','},
        {'!', U'\u00A1'}, {'?', U'\u00BF'}, {'(', ')'},       {')', '('},       {'[', ']'},
        {']', '['},       {'{', '}'},       {'}', '{'},       {'<', '>'},       {'>', '<'},
        {'_', U'\u203E'}, {'&', U'\u214B'}, {'"', U'\u201E'},
    };
    for (const auto& [from, to] : kPairs) {
        if (from == c) {
            return to;
        }
    }
    return c;
}

void TerminalRoll::print(const Line& line) {
    const char* edge = ansi_ ? "\u2502" : "|";
    for (const auto& row : wrap_line(line, Paper::kPrintWidth)) {
        std::vector<Cell> cells;
        int height = row.empty() ? line.format.height : 0;
        int used = 0;
        bool any_underline = false;
        bool any_white = false;
        for (const PlacedChar& placed : row) {
            Cell cell;
            text::AppendUtf8Form(cell.text, line.upside_down ? turned(placed.c) : placed.c);
            cell.columns = font::is_wide(placed.c) ? 2 : 1;
            cell.format = placed.format;
            height = std::max(height, placed.format.height);
            used += cell.span();
            any_underline |= placed.format.underline;
            any_white |= placed.format.white;
            cells.push_back(std::move(cell));
        }
        const bool turned_row = line.upside_down;
        if (turned_row) {
            std::reverse(cells.begin(), cells.end());
        }
        const int pad_left = turned_row ? kColumns - used : 0;
        const int pad_right = kColumns - used - pad_left;

        // The underline of a turned row lies above it, as on the paper.
        auto underline_row = [&](const char* mark) {
            out_ << edge << std::string(static_cast<std::size_t>(pad_left), ' ');
            for (const Cell& cell : cells) {
                for (int i = 0; i < cell.span(); ++i) {
                    out_ << (cell.format.underline ? mark : " ");
                }
            }
            out_ << std::string(static_cast<std::size_t>(pad_right), ' ') << edge << '\n';
        };
        if (any_underline && turned_row) {
            underline_row("_");
        }
        for (int k = 0; k < height; ++k) {
            out_ << edge << std::string(static_cast<std::size_t>(pad_left), ' ');
            // Styles change only where they differ from the cell before.
            bool reverse_on = false;
            bool underline_on = false;
            for (const Cell& cell : cells) {
                // Characters stand on the row's bottom edge, or hang from its
                // top edge when the row is turned.
                bool visible =
                    turned_row ? k < cell.format.height : k >= height - cell.format.height;
                bool reverse = ansi_ && visible && cell.format.white;
                bool underline =
                    ansi_ && visible && !turned_row && cell.format.underline && k == height - 1;
                if (reverse != reverse_on || underline != underline_on) {
                    if (reverse_on || underline_on) {
                        out_ << kReset;
                    }
                    out_ << (reverse ? kReverse : "") << (underline ? kUnderline : "");
                    reverse_on = reverse;
                    underline_on = underline;
                }
                if (!visible) {
                    out_ << std::string(static_cast<std::size_t>(cell.span()), ' ');
                    continue;
                }
                for (int i = 0; i < cell.format.width; ++i) {
                    out_ << cell.text;
                }
            }
            if (reverse_on || underline_on) {
                out_ << kReset;
            }
            out_ << std::string(static_cast<std::size_t>(pad_right), ' ') << edge;
            if (!ansi_ && k == height - 1) {
                if (any_white) {
                    out_ << " [white on black]";
                }
                if (turned_row) {
                    out_ << " [upside down]";
                }
            }
            out_ << '\n';
        }
        if (any_underline && !turned_row && !ansi_) {
            underline_row("\u203E");
        }
    }
    out_.flush();
}

void TerminalRoll::note(std::string_view text, bool problem) {
    if (ansi_) {
        out_ << (problem ? "\x1b[1m! " : "\x1b[2m\u00B7 ") << text << kReset << '\n';
    } else {
        out_ << (problem ? "! " : "\u00B7 ") << text << '\n';
    }
    out_.flush();
}

void TerminalRoll::show(const Event& event) {
    if (const auto* line = std::get_if<LinePrinted>(&event)) {
        print(line->line);
        return;
    }
    bool problem = std::holds_alternative<UnknownBytes>(event) ||
                   std::holds_alternative<ValueWarning>(event) ||
                   std::holds_alternative<StreamCut>(event);
    note(describe(event), problem);
}

} // namespace vprinter
