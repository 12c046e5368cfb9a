// The icon groups. Their pictures are drawn by tools/icons and kept, as
// generated, in res/icons/.
#include "platform/entry/resource_table.h"
#include "res/resource_script.h"
#include "ui/resource.h"

namespace res {
namespace {

constexpr IconGroupDefinition kGroups[] = {
    // 32 x 32 and 16 x 16 in 16 colours: the form's own icon.
    {IDR_MAINFRAME, LANG_CHINESE_PRC, "mainframe.ico"},
    // 128, 64 and 48 in true colour with alpha, 32 in 24 bits, 16 with alpha.
    {IDI_TALLYROLL, LANG_CHINESE_PRC, "tallyroll.ico"},
};

} // namespace

const std::span<const IconGroupDefinition> kIconGroups = kGroups;

} // namespace res
