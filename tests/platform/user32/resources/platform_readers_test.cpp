// The window system's resource readers and the framework's list data reader,
// fed the program's resources through the module's resource table as start-up
// registers it, read back the same values the form and the shell are
// described with.
#include "platform/afx/dialog_init.h"
#include "platform/entry/resource_table.h"
#include "platform/user32/resources/dialog_template.h"
#include "platform/user32/resources/icon_group.h"
#include "platform/user32/resources/version_info.h"
#include "tests/support/program_resources.h"

#include <gtest/gtest.h>
#include <span>
#include <vector>

namespace {

struct RegisteredModule : testing::Test {
    void SetUp() override {
        const auto table = ProgramResourceTable();
        RegisterModuleResources(module, table.data(), table.size());
    }

    // Through the calls the framework makes: find, load, lock, size.
    std::span<const std::uint8_t> Load(LPCWSTR type, WORD id, WORD language) {
        HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
        if (found == nullptr) {
            ADD_FAILURE() << "resource " << id << " not found";
            return {};
        }
        HGLOBAL loaded = LoadResource(module, found);
        return {static_cast<const std::uint8_t*>(LockResource(loaded)),
                SizeofResource(module, found)};
    }

    // Any non-null value names a module; this one is the test's own.
    HMODULE module = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7A11));
};

TEST_F(RegisteredModule, FormTemplateReadsBackAsTheForm) {
    const auto form = user32::ReadDialogTemplate(Load(RT_DIALOG, 102, 1033));
    ASSERT_TRUE(form.ok()) << form.error().message << " at " << form.error().offset;
    EXPECT_TRUE(form->extended);
    EXPECT_EQ(form->style, 0x90C800C0u);
    EXPECT_EQ(form->exStyle, 0x80040000u);
    EXPECT_EQ(form->title, u"Tallyroll (2.0)");
    EXPECT_EQ(form->cx, 141);
    EXPECT_EQ(form->cy, 155);
    ASSERT_TRUE(form->hasFont);
    EXPECT_EQ(form->pointSize, 8);
    EXPECT_EQ(form->typeface, u"System");
    ASSERT_EQ(form->items.size(), 19u);

    const DWORD ids[] = {65535, 1002, 1003, 65535, 65535, 1005,  1006, 1007, 1008, 1009,
                         65535, 1010, 1011, 2,     1013,  65535, 1014, 1016, 65535};
    for (std::size_t i = 0; i < 19; ++i) {
        EXPECT_EQ(form->items[i].id, ids[i]) << "control " << i + 1;
        EXPECT_TRUE(form->items[i].windowClass.isOrdinal);
        EXPECT_TRUE(form->items[i].creationData.empty());
    }
    EXPECT_EQ(form->items[10].text.name, u"Font && Format");
    EXPECT_EQ(form->items[15].text.name, u"Choose file to print ...");
    EXPECT_EQ(form->items[1].windowClass.ordinal, user32::kClassComboBox);
    EXPECT_EQ(form->items[2].style, 0x50A11044u);
}

TEST_F(RegisteredModule, ListDataReadsBackAsTheListEntries) {
    std::vector<AFX_DLGINIT_RECORD> records;
    ASSERT_TRUE(AfxReadDlgInit(Load(RT_DLGINIT, 102, 1033), &records));
    ASSERT_EQ(records.size(), 21u);
    EXPECT_EQ(records[2].nIDC, 1002);
    EXPECT_EQ(AfxDlgInitString(records[2].data), u"3");
    EXPECT_EQ(records[9].nIDC, 1005);
    EXPECT_EQ(AfxDlgInitString(records[9].data), u"x1");
    EXPECT_EQ(records[17].nIDC, 1016);
    EXPECT_EQ(AfxDlgInitString(records[17].data), u"Qelvo");
    for (const auto& r : records) {
        EXPECT_EQ(r.nMsg, WIN16_CB_ADDSTRING);
        EXPECT_EQ(r.data.size(), 2 * (AfxDlgInitString(r.data).size() + 1)); // just the terminator
    }
}

TEST_F(RegisteredModule, IconGroupsReadBackWithTheirImages) {
    struct Case {
        WORD group;
        std::vector<std::pair<int, int>> sizeAndBits;
    };
    const Case cases[] = {{128, {{32, 4}, {16, 4}}},
                          {136, {{128, 32}, {64, 32}, {48, 32}, {32, 24}, {16, 32}}}};
    for (const Case& c : cases) {
        SCOPED_TRACE("group " + std::to_string(c.group));
        const auto entries = user32::ReadIconGroup(Load(RT_GROUP_ICON, c.group, 2052));
        ASSERT_TRUE(entries.ok()) << entries.error().message;
        ASSERT_EQ(entries->size(), c.sizeAndBits.size());
        for (std::size_t i = 0; i < entries->size(); ++i) {
            const user32::IconGroupEntry& e = entries.value()[i];
            EXPECT_EQ(e.width, c.sizeAndBits[i].first);
            EXPECT_EQ(e.bitCount, c.sizeAndBits[i].second);
            const auto image = user32::ReadIconImage(Load(RT_ICON, e.imageId, 2052));
            ASSERT_TRUE(image.ok()) << image.error().message;
            EXPECT_FALSE(image->png);
            EXPECT_EQ(image->width, e.width);
            EXPECT_EQ(image->height, e.height);
            EXPECT_EQ(image->bitCount, e.bitCount);
        }
    }
}

TEST_F(RegisteredModule, VersionBlockReadsBackWithItsStrings) {
    const auto version = user32::ReadVersionInfo(Load(RT_VERSION, 1, 1033));
    ASSERT_TRUE(version.ok()) << version.error().message;
    ASSERT_TRUE(version->hasFixed);
    EXPECT_EQ(version->fixed.signature, user32::kFixedFileInfoSignature);
    EXPECT_EQ(version->fixed.fileVersionMS, (2006u << 16) | 7);
    EXPECT_EQ(version->fixed.fileVersionLS, (31u << 16) | 1);
    EXPECT_EQ(version->fixed.fileOS, 4u);
    EXPECT_EQ(version->fixed.fileType, 1u);
    ASSERT_EQ(version->stringTables.size(), 1u);
    const user32::VersionStringTable& table = version->stringTables[0];
    EXPECT_EQ(table.key, u"040904b0");
    EXPECT_EQ(table.strings.size(), 12u);
    ASSERT_NE(table.find(u"OriginalFilename"), nullptr);
    EXPECT_EQ(*table.find(u"OriginalFilename"), u"tallyroll.exe");
    ASSERT_NE(table.find(u"Comments"), nullptr);
    EXPECT_EQ(*table.find(u"Comments"), u"");
    EXPECT_EQ(version->translations, std::vector<DWORD>{0x04B00409});
}

} // namespace
