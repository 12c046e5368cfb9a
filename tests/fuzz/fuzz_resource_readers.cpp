// Arbitrary bytes through the window system's resource readers (list data has
// a target of its own, fuzz_list_data), and a dialog built and drawn from
// whatever reads as a template: no crash, no read past the end.
#include "platform/headless/headless_front_end.h"
#include "platform/user32/core/system.h"
#include "platform/user32/core/window_system.h"
#include "platform/user32/dialogs/dialog_manager.h"
#include "platform/user32/resources/dialog_template.h"
#include "platform/user32/resources/icon_group.h"
#include "platform/user32/resources/version_info.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that the sanitizer sees any read past it.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::span<const std::uint8_t> in(bytes);
    (void)user32::ReadIconGroup(in);
    (void)user32::ReadIconImage(in);
    (void)user32::ReadVersionInfo(in);
    const auto tpl = user32::ReadDialogTemplate(in);
    if (tpl && tpl->items.size() <= 64) {
        if (user32::Dialog* d = user32::CreateDialogWindow(tpl.value(), nullptr)) {
            user32::System& sys = user32::System::get();
            sys.modalStack().push_back(d);
            user32::RedrawScreen();
            sys.modalStack().pop_back();
            sys.destroy(d);
        }
    }
    return 0;
}
