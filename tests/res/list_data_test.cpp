// List data 102 read back record by record, as the form's initialisation
// plays it into the combo boxes.
#include "byte_walker.h"
#include "tests/support/program_resources.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Record {
    std::uint16_t control;
    std::u16string text;

    friend bool operator==(const Record&, const Record&) = default;
};

void PrintTo(const Record& r, std::ostream* os) {
    *os << r.control << " \"" << std::string(r.text.begin(), r.text.end()) << "\"";
}

TEST(ListData, FillsTheFourListsInOrder) {
    const auto bytes = ResourceBytes(240, 102, 1033);
    ASSERT_FALSE(bytes.empty());
    ByteWalker in(bytes);
    std::vector<Record> records;
    for (std::uint16_t control = in.u16(); control != 0; control = in.u16()) {
        SCOPED_TRACE("record at " + std::to_string(in.offset() - 2));
        EXPECT_EQ(in.u16(), 0x0403); // add a string
        const std::uint32_t length = in.u32();
        const std::size_t start = in.offset();
        std::u16string text = in.wideString();
        // The length covers the string and its terminating zero, no more.
        EXPECT_EQ(length, in.offset() - start);
        EXPECT_EQ(length, (text.size() + 1) * 2);
        in.seek(start + length);
        records.push_back({control, std::move(text)});
    }
    EXPECT_TRUE(in.atEnd()) << "bytes after the terminating zero";

    const std::vector<Record> expected = {
        {1002, u"1"},     {1002, u"2"},  {1002, u"3"},     {1002, u"4"},     {1002, u"5"},
        {1002, u"6"},     {1002, u"7"},  {1002, u"8"},     {1002, u"9"},     {1005, u"x1"},
        {1005, u"x2"},    {1005, u"x3"}, {1005, u"x4"},    {1006, u"x1"},    {1006, u"x2"},
        {1006, u"x3"},    {1006, u"x4"}, {1016, u"Qelvo"}, {1016, u"Rinth"}, {1016, u"Sovak"},
        {1016, u"Wexol"},
    };
    EXPECT_EQ(records, expected);
}

} // namespace
