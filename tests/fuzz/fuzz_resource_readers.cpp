// Arbitrary bytes through the window system's resource readers (list data has
// a target of its own, fuzz_list_data), and a dialog built and drawn from
// whatever reads as a template: no crash, no read past the end.
#include "platform/headless/headless_front_end.h"
#include "platform/windows/dialogs/dialog_manager.h"
#include "platform/windows/resources/dialog_template.h"
#include "platform/windows/resources/icon_group.h"
#include "platform/windows/core/system.h"
#include "platform/windows/resources/version_info.h"
#include "platform/windows/core/window_system.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that the sanitizer sees any read past it.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::span<const std::uint8_t> in(bytes);
    (void)windows::ReadIconGroup(in);
    (void)windows::ReadIconImage(in);
    (void)windows::ReadVersionInfo(in);
    const auto tpl = windows::ReadDialogTemplate(in);
    if (tpl && tpl->items.size() <= 64) {
        if (windows::Dialog* d = windows::CreateDialogWindow(tpl.value(), nullptr)) {
            windows::System& sys = windows::System::get();
            sys.modalStack().push_back(d);
            windows::RedrawScreen();
            sys.modalStack().pop_back();
            sys.destroy(d);
        }
    }
    return 0;
}
