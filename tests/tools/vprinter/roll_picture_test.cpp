#include "tests/support/temp_folder.h"
#include "tests/tools/vprinter/decode_helpers.h"
#include "tests/tools/vprinter/program_runner.h"
#include "tools/vprinter/font.h"
#include "tools/vprinter/png_file.h"
#include "tools/vprinter/roll_image.h"
#include "tools/vprinter/roll_pictures.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

namespace vprinter::test {
namespace {

std::string data_path(const std::string& name) {
    const char* root = std::getenv("TALLYROLL_TEST_DATA");
    return std::string(root != nullptr ? root : "tests/data") + "/vprinter/" + name;
}

Bytes read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Line line_of(const std::u32string& text, CharFormat format = {}, bool upside_down = false) {
    Line line;
    line.runs.push_back(Run{text, format});
    line.format = format;
    line.upside_down = upside_down;
    return line;
}

int ink_count(const Raster& r) {
    int n = 0;
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x) {
            n += r.ink(x, y) ? 1 : 0;
        }
    }
    return n;
}

// The picture of a known job, dot for dot. After a deliberate change to the
// font or the layout, regenerate the reference with
//   tallyroll-vprinter --quiet --decode tests/data/vprinter/known_job.bin
//       --png tests/data/vprinter/known_job.png
// (one command line).
TEST(RollPicture, MatchesTheReferenceDotForDot) {
    auto lines = lines_of(decode(read_file(data_path("known_job.bin"))));
    ASSERT_EQ(lines.size(), 12u);
    Raster actual = render_roll(lines);

    std::string error;
    auto expected = read_png(data_path("known_job.png"), &error);
    ASSERT_TRUE(expected) << error;
    ASSERT_EQ(actual.width(), expected->width());
    ASSERT_EQ(actual.height(), expected->height());
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            differing += actual.ink(x, y) != expected->ink(x, y) ? 1 : 0;
        }
    }
    if (differing != 0) {
        std::string saved = ::testing::TempDir() + "known_job.actual.png";
        write_png(actual, saved, &error);
        ADD_FAILURE() << differing << " dots differ; this run's picture is " << saved;
    }
}

TEST(RollPicture, IsA58MillimetreRollWithThePrintAreaInTheMiddle) {
    Line line = line_of(std::u32string(48, U'#'));
    Raster roll = render_roll(std::span(&line, 1));
    EXPECT_EQ(roll.width(), 464);
    EXPECT_EQ(roll.height(), Paper::kTopMargin + font::kCellHeight + Paper::kBottomMargin);
    int leftmost = roll.width(), rightmost = -1;
    for (int y = 0; y < roll.height(); ++y) {
        for (int x = 0; x < roll.width(); ++x) {
            if (roll.ink(x, y)) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
        }
    }
    EXPECT_GE(leftmost, 40);
    EXPECT_LT(rightmost, 40 + 384);
    EXPECT_GT(rightmost, 40 + 384 - font::kCellWidth);
}

TEST(RollPicture, LongLinesWrapAtThePrintWidthWhateverTheFactor) {
    struct Case {
        std::size_t chars = 0;
        CharFormat format;
        std::size_t rows = 0;
    };
    for (const Case& c :
         {Case{48, {}, 1}, Case{49, {}, 2}, Case{24, {2, 1, false, false}, 1},
          Case{25, {2, 1, false, false}, 2}, Case{13, {4, 1, false, false}, 2}, Case{100, {}, 3}}) {
        auto rows = wrap_line(line_of(std::u32string(c.chars, U'x'), c.format), 384);
        EXPECT_EQ(rows.size(), c.rows) << c.chars << " chars at x" << c.format.width;
    }
    // Double-width characters take two cells.
    EXPECT_EQ(wrap_line(line_of(std::u32string(25, U'\u4E2D')), 384).size(), 2u);
}

TEST(RollPicture, FactorsScaleEveryDot) {
    Raster plain = render_row(wrap_line(line_of(U"Ag"), 384)[0], line_of(U"Ag"));
    Line big = line_of(U"Ag", {3, 2, false, false});
    Raster scaled = render_row(wrap_line(big, 384)[0], big);
    ASSERT_EQ(scaled.height(), 2 * plain.height());
    for (int y = 0; y < scaled.height(); ++y) {
        for (int x = 0; x < 2 * 3 * font::kCellWidth; ++x) {
            ASSERT_EQ(scaled.ink(x, y), plain.ink(x / 3, y / 2)) << x << "," << y;
        }
    }
}

TEST(RollPicture, MixedHeightsStandOnTheRowsBottomEdge) {
    Line line;
    line.runs = {vprinter::Run{U"a", {1, 1, true, false}},
                 vprinter::Run{U"a", {1, 3, true, false}}};
    Raster row = render_row(wrap_line(line, 384)[0], line);
    ASSERT_EQ(row.height(), 3 * font::kCellHeight);
    // Both underlines run along the last row; the small letter leaves the
    // top two thirds of its column empty.
    for (int x = 0; x < 2 * font::kCellWidth; ++x) {
        EXPECT_TRUE(row.ink(x, row.height() - 1)) << x;
    }
    for (int y = 0; y < 2 * font::kCellHeight; ++y) {
        for (int x = 0; x < font::kCellWidth; ++x) {
            EXPECT_FALSE(row.ink(x, y)) << x << "," << y;
        }
    }
}

TEST(RollPicture, UpsideDownIsTheRowTurnedBy180Degrees) {
    for (CharFormat format :
         {CharFormat{}, CharFormat{2, 3, true, false}, CharFormat{1, 1, false, true}}) {
        Line upright = line_of(U"Turn me", format, false);
        Line turned_line = line_of(U"Turn me", format, true);
        Raster a = render_row(wrap_line(upright, 384)[0], upright);
        Raster b = render_row(wrap_line(turned_line, 384)[0], turned_line);
        EXPECT_EQ(b, a.rotated_180());
        EXPECT_NE(a, b);
    }
}

TEST(RollPicture, WhitePrintsTheCellsInReverseAndUnderlineAddsALine) {
    Line plain = line_of(U"Hi");
    Line white = line_of(U"Hi", {1, 1, false, true});
    Line underlined = line_of(U"Hi", {1, 1, true, false});
    Raster p = render_row(wrap_line(plain, 384)[0], plain);
    Raster w = render_row(wrap_line(white, 384)[0], white);
    Raster u = render_row(wrap_line(underlined, 384)[0], underlined);
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x) {
            bool in_cells = x < 2 * font::kCellWidth;
            EXPECT_EQ(w.ink(x, y), in_cells ? !p.ink(x, y) : false) << x << "," << y;
            bool on_line = in_cells && y == font::kUnderlineRow;
            EXPECT_EQ(u.ink(x, y), on_line || p.ink(x, y)) << x << "," << y;
        }
    }
}

TEST(RollPicture, EmptyLinesFeedPaperInTheirOwnHeight) {
    Line empty;
    empty.format.height = 4;
    Raster roll = render_roll(std::span(&empty, 1));
    EXPECT_EQ(roll.height(), Paper::kTopMargin + 4 * font::kCellHeight + Paper::kBottomMargin);
    EXPECT_EQ(ink_count(roll), 0);
}

// Lines in every format: factors, underline, white, upside down, wide
// characters, mixed heights in one row, empty lines, lines that wrap.
std::vector<Line> lines_in_every_format(int count) {
    std::vector<Line> lines;
    for (int i = 0; i < count; ++i) {
        CharFormat format{1 + i % 4, 1 + (i / 4) % 4, i % 3 == 0, i % 5 == 0};
        Line line =
            line_of(U"Line " + std::u32string(static_cast<std::size_t>(i % 60), U'g') + U"\u4E2D!",
                    format, i % 7 == 3);
        if (i % 11 == 0) {
            line.runs.push_back(vprinter::Run{U"tall", {2, 4, false, false}});
        }
        if (i % 13 == 0) {
            line.runs.clear();
        }
        lines.push_back(line);
    }
    return lines;
}

TEST(RollPictures, ALongRollIsCutIntoNumberedPicturesThatLaidEndToEndAreTheRoll) {
    constexpr int kHeight = 600;
    ScratchDir dir;
    const std::vector<Line> lines = lines_in_every_format(90);
    RollPictures pictures(dir / "roll.png", kHeight);
    std::string error;
    for (const Line& line : lines) {
        ASSERT_TRUE(pictures.add(line, &error)) << error;
        EXPECT_LE(pictures.rows_held(), kHeight);
    }
    ASSERT_TRUE(pictures.write(&error)) << error;
    ASSERT_GE(pictures.pictures(), 3);

    const Raster roll = render_roll(lines);
    int y = 0;
    for (int n = 1; n <= pictures.pictures(); ++n) {
        auto part = read_png(pictures.path_of(n), &error);
        ASSERT_TRUE(part) << error;
        EXPECT_EQ(part->width(), Paper::kWidth);
        EXPECT_GT(part->height(), 0);
        EXPECT_LE(part->height(), kHeight) << "picture " << n;
        ASSERT_LE(y + part->height(), roll.height());
        int differing = 0;
        for (int py = 0; py < part->height(); ++py) {
            for (int x = 0; x < part->width(); ++x) {
                differing += part->ink(x, py) != roll.ink(x, y + py) ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0) << "picture " << n << " is not the roll from dot row " << y;
        y += part->height();
    }
    EXPECT_EQ(y, roll.height());
    EXPECT_EQ(pictures.path_of(2), dir / "roll-2.png");
    EXPECT_FALSE(std::filesystem::exists(pictures.path_of(pictures.pictures() + 1)));
}

TEST(RollPictures, ARollThatFitsIsOnePictureByItsOwnName) {
    ScratchDir dir;
    const std::vector<Line> lines = lines_in_every_format(20);
    RollPictures pictures(dir / "roll.png");
    std::string error;
    for (const Line& line : lines) {
        ASSERT_TRUE(pictures.add(line, &error)) << error;
    }
    ASSERT_TRUE(pictures.write(&error)) << error;
    EXPECT_EQ(pictures.pictures(), 1);
    ASSERT_TRUE(write_png(render_roll(lines), dir / "whole.png", &error)) << error;
    EXPECT_EQ(read_text(dir / "roll.png"), read_text(dir / "whole.png")) << "the same bytes";
}

TEST(RollPictures, NumberThePicturesBeforeTheExtension) {
    EXPECT_EQ(RollPictures("out/roll.png").path_of(1), "out/roll.png");
    EXPECT_EQ(RollPictures("out/roll.png").path_of(12), "out/roll-12.png");
    EXPECT_EQ(RollPictures("roll").path_of(2), "roll-2");
    EXPECT_EQ(RollPictures("v1.0/roll").path_of(2), "v1.0/roll-2");
    EXPECT_EQ(RollPictures("out/.png").path_of(2), "out/.png-2");
}

// Random bytes make the tallest, widest rows there are, and lines at the
// longest; 10 MB of them is a roll of some 30 million dot rows. What is held
// stays one picture's worth, and no line outgrows the line buffer.
TEST(RollPictures, TenMegabytesOfRandomBytesAreDrawnInBoundedMemory) {
    constexpr std::size_t kStream = std::size_t{10} * 1024 * 1024;
    std::vector<int> heights;
    RollPictures pictures("roll.png", RollPictures::kPartHeight,
                          [&](const PackedRows& picture, const std::string&, std::string*) {
                              EXPECT_EQ(picture.width, Paper::kWidth);
                              heights.push_back(picture.height());
                              return true;
                          });
    std::size_t longest_line = 0;
    int most_held = 0;
    Decoder decoder(*CodePage::open(1252), std::nullopt, [&](const Event& event) {
        if (const auto* printed = std::get_if<LinePrinted>(&event)) {
            longest_line = std::max(longest_line, printed->line.text().size());
            std::string error;
            EXPECT_TRUE(pictures.add(printed->line, &error));
            most_held = std::max(most_held, pictures.rows_held());
        }
    });
    std::mt19937 random(20240501);
    std::vector<std::uint8_t> piece(4096);
    for (std::size_t fed = 0; fed < kStream; fed += piece.size()) {
        for (std::uint8_t& b : piece) {
            b = static_cast<std::uint8_t>(random());
        }
        decoder.feed(piece);
    }
    decoder.finish();
    std::string error;
    ASSERT_TRUE(pictures.write(&error));

    EXPECT_LE(most_held, RollPictures::kPartHeight);
    EXPECT_LE(longest_line, Decoder::kLongestLine);
    ASSERT_EQ(heights.size(), static_cast<std::size_t>(pictures.pictures()));
    EXPECT_GT(heights.size(), 100u) << "the stream was meant to need many pictures";
    for (int h : heights) {
        EXPECT_GT(h, 0);
        EXPECT_LE(h, RollPictures::kPartHeight);
    }
}

TEST(PngFile, RoundTripsEveryDot) {
    Raster r(19, 7);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 19; ++x) {
            r.set(x, y, (x * 7 + y * 3) % 5 == 0);
        }
    }
    const testing_support::TempFolder folder("tallyroll-png");
    const std::string path = folder.path() + "/round_trip.png";
    std::string error;
    ASSERT_TRUE(write_png(r, path, &error)) << error;
    auto back = read_png(path, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, r);
}

TEST(PngFile, ReportsAFileItCannotWrite) {
    std::string error;
    EXPECT_FALSE(write_png(Raster(4, 4), "/nonexistent-folder/x.png", &error));
    EXPECT_NE(error.find("/nonexistent-folder"), std::string::npos);
}

TEST(Font, EveryPrintableAsciiCharacterHasItsOwnGlyph) {
    const font::Rows missing = font::missing_glyph_art();
    std::vector<font::Rows> seen;
    for (char32_t c = 0x21; c < 0x7F; ++c) {
        font::Glyph g = font::glyph_for(c);
        EXPECT_EQ(g.columns, font::kCellWidth);
        EXPECT_NE(g.rows, missing) << char(c);
        EXPECT_EQ(g.rows[font::kUnderlineRow], 0) << char(c) << " leaves the underline row free";
        for (std::uint16_t row : g.rows) {
            EXPECT_EQ(row & 0x01FF, 0) << char(c) << " keeps the gap column empty";
        }
        for (const font::Rows& other : seen) {
            EXPECT_NE(g.rows, other) << char(c) << " looks like another character";
        }
        seen.push_back(g.rows);
    }
    EXPECT_EQ(font::glyph_for(U' ').rows, font::Rows{});
}

TEST(Font, AccentedLettersAreTheirBaseLetterWithAMark) {
    for (auto [accented, base] : {std::pair{U'\u00E9', U'e'},
                                  {U'\u00C4', U'A'},
                                  {U'\u00F1', U'n'},
                                  {U'\u00C7', U'C'},
                                  {U'\u00D8', U'O'},
                                  {U'\u0161', U's'},
                                  {U'\u00EF', U'\u0131'}}) {
        font::Rows a = font::glyph_for(accented).rows;
        font::Rows b = font::glyph_for(base).rows;
        EXPECT_NE(a, b);
        for (std::size_t r = 0; r < a.size(); ++r) {
            EXPECT_EQ(a[r] & b[r], b[r]) << "row " << r << " of U+" << std::hex << int(accented);
        }
    }
    EXPECT_EQ(font::glyph_for(U'\u201C').rows, font::glyph_for(U'"').rows);
    EXPECT_EQ(font::glyph_for(U'\u2603').rows, font::missing_glyph_art());
    EXPECT_EQ(font::glyph_for(U'\u4E2D').columns, 2 * font::kCellWidth);
}

} // namespace
} // namespace vprinter::test
