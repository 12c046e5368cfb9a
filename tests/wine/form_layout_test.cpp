// The driver's reading of the form's resources, on the Linux build's bytes:
// it must give back exactly what res/ describes, or the Windows session
// would compare the live form against the wrong values.
#include "form_layout.h"
#include "platform/afx/dialog_init.h"
#include "res/resource_script.h"
#include "tests/support/program_resources.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using wine_tests::ReadFormTemplate;
using wine_tests::ReadListData;

std::vector<std::uint8_t> Bytes(WORD type) {
    const auto bytes = ResourceBytes(type, 102, 1033);
    return {bytes.begin(), bytes.end()};
}

TEST(FormLayout, TemplateReadsBackAsDescribed) {
    const auto form = ReadFormTemplate(Bytes(ResourceTypeNumber(RT_DIALOG)));
    const res::DialogDefinition& d = res::kMainForm;
    EXPECT_EQ(form.caption, d.caption);
    EXPECT_EQ(form.style, d.style);
    EXPECT_EQ(form.exStyle, d.exStyle);
    EXPECT_EQ(form.cx, d.cx);
    EXPECT_EQ(form.cy, d.cy);
    EXPECT_EQ(form.face, d.font.face);
    EXPECT_EQ(form.pointSize, d.font.pointSize);
    ASSERT_EQ(form.controls.size(), d.controls.size());
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const auto& read = form.controls[i];
        const res::ControlDefinition& want = d.controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(read.id, std::uint32_t(std::uint16_t(want.id)));
        EXPECT_EQ(read.classOrdinal, WORD(want.kind));
        EXPECT_EQ(read.text, want.text);
        EXPECT_EQ(read.style, want.style);
        EXPECT_EQ(read.exStyle, 0u);
        EXPECT_EQ((std::vector<int>{read.x, read.y, read.cx, read.cy}),
                  (std::vector<int>{want.x, want.y, want.cx, want.cy}));
    }
}

TEST(FormLayout, ListDataReadsBackAsDescribed) {
    const auto lists = ReadListData(Bytes(ResourceTypeNumber(RT_DLGINIT)));
    ASSERT_EQ(lists.size(), res::kMainFormLists.fills.size());
    for (const res::ControlFill& fill : res::kMainFormLists.fills) {
        SCOPED_TRACE("control " + std::to_string(fill.control));
        ASSERT_EQ(lists.count(std::uint32_t(fill.control)), 1u);
        const auto& entries = lists.at(std::uint32_t(fill.control));
        EXPECT_EQ(std::vector<std::u16string>(entries.begin(), entries.end()),
                  std::vector<std::u16string>(fill.entries.begin(), fill.entries.end()));
    }
}

TEST(FormLayout, CutOrForeignBytesAreRefusedNotMisread) {
    for (WORD type : {ResourceTypeNumber(RT_DIALOG), ResourceTypeNumber(RT_DLGINIT)}) {
        const auto whole = Bytes(type);
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const std::span<const std::uint8_t> cut(whole.data(), n);
            SCOPED_TRACE("type " + std::to_string(type) + ", " + std::to_string(n) + " bytes");
            if (type == ResourceTypeNumber(RT_DIALOG)) {
                EXPECT_ANY_THROW(ReadFormTemplate(cut));
            } else {
                EXPECT_ANY_THROW(ReadListData(cut));
            }
        }
    }
    auto classic = Bytes(ResourceTypeNumber(RT_DIALOG));
    classic[2] = 0; // the signature of an extended template is gone
    EXPECT_ANY_THROW(ReadFormTemplate(classic));

    auto lying = Bytes(ResourceTypeNumber(RT_DLGINIT));
    lying[4] += 2; // the first entry claims one character more than it has
    EXPECT_ANY_THROW(ReadListData(lying));
}

} // namespace
