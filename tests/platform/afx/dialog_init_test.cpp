// The framework's reader of list data on hand-made bytes: records in order up
// to the end marker, data cut anywhere read only as far as it is whole, and
// the strings of broken records kept inside them.
#include "platform/afx/dialog_init.h"
#include "tests/support/bytes.h"

#include <gtest/gtest.h>
#include <span>
#include <string>
#include <vector>

namespace {

using testing_support::Bytes;

struct Record {
    WORD control;
    std::u16string text;
};

// Add-string records as the resource compiler lays them out: the string and
// its terminator, then the end marker.
Bytes ListData(const std::vector<Record>& records) {
    testing_support::ByteWriter w;
    for (const Record& r : records) {
        w.u16(r.control);
        w.u16(WIN16_CB_ADDSTRING);
        w.u32(static_cast<std::uint32_t>(2 * (r.text.size() + 1)));
        w.str(r.text);
    }
    w.u16(0);
    return w.bytes;
}

struct Read {
    BOOL whole;
    std::vector<AFX_DLGINIT_RECORD> records;
};

Read ReadAll(std::span<const std::uint8_t> bytes) {
    Read read{FALSE, {}};
    read.whole = AfxReadDlgInit(bytes, &read.records);
    return read;
}

TEST(DlgInitReader, ReadsRecordsInOrderUpToTheEndMarker) {
    const Bytes bytes = ListData({{1002, u"1"}, {1016, u"Qelvo"}});
    const Read read = ReadAll(bytes);
    ASSERT_TRUE(read.whole);
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0].nIDC, 1002);
    EXPECT_EQ(read.records[0].nMsg, WIN16_CB_ADDSTRING);
    EXPECT_EQ(AfxDlgInitString(read.records[0].data), u"1");
    EXPECT_EQ(read.records[1].nIDC, 1016);
    EXPECT_EQ(read.records[1].data.size(), 12u);
    EXPECT_EQ(AfxDlgInitString(read.records[1].data), u"Qelvo");

    const Read empty = ReadAll(Bytes{0, 0});
    EXPECT_TRUE(empty.whole);
    EXPECT_TRUE(empty.records.empty());

    // Nothing after the end marker is read, however it looks.
    Bytes trailing = ListData({{1002, u"1"}});
    const Bytes more = ListData({{1003, u"2"}});
    trailing.insert(trailing.end(), more.begin(), more.end());
    EXPECT_EQ(ReadAll(trailing).records.size(), 1u);
}

TEST(DlgInitReader, CutDataKeepsOnlyTheRecordsWhollyInside) {
    const Bytes bytes = ListData({{1002, u"12"}, {1003, u"345"}});
    const std::size_t firstEnd = 8 + 6;
    const std::size_t secondEnd = bytes.size() - 2; // the end marker follows
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(std::to_string(n) + " bytes");
        const Read read = ReadAll(std::span(bytes.data(), n));
        EXPECT_FALSE(read.whole);
        EXPECT_EQ(read.records.size(), n >= secondEnd ? 2u : n >= firstEnd ? 1u : 0u);
    }

    Bytes overlong = bytes;
    overlong[8 + 6 + 4] = 0x40; // the second record claims 64 bytes; 8 follow
    const Read read = ReadAll(overlong);
    EXPECT_FALSE(read.whole);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(AfxDlgInitString(read.records[0].data), u"12");
}

TEST(DlgInitReader, AStringEndsAtItsTerminatorOrAtItsRecord) {
    struct Case {
        const char* what;
        Bytes data;
        std::u16string text;
    };
    const Case cases[] = {
        {"terminated", {'1', 0, '2', 0, 0, 0}, u"12"},
        {"bytes after the terminator", {'1', 0, 0, 0, '9', 0}, u"1"},
        {"no terminator", {'1', 0, '2', 0}, u"12"},
        {"odd length", {'1', 0, '2'}, u"1"},
        {"empty", {}, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(AfxDlgInitString(c.data), c.text);
    }
}

} // namespace
