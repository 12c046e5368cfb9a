// The icon groups. Their pictures are drawn by tools/icons and kept, as
// generated, in res/icons/.
#include "platform/win32/resources.h"
#include "res/resource_script.h"
#include "ui/resource.h"

namespace res {
namespace {

constexpr WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

constexpr IconGroupDefinition kGroups[] = {
    // 32 x 32 and 16 x 16 in 16 colours: the form's own icon.
    {IDR_MAINFRAME, kChineseSimplified, "mainframe.ico"},
    // 128, 64 and 48 in true colour with alpha, 32 in 24 bits, 16 with alpha.
    {IDI_TALLYROLL, kChineseSimplified, "tallyroll.ico"},
};

} // namespace

const std::span<const IconGroupDefinition> kIconGroups = kGroups;

} // namespace res
