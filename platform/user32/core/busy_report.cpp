#include "platform/user32/core/busy_report.h"

#include "platform/screen/grid.h"
#include "platform/text/unicode.h"
#include "platform/user32/core/key_table.h"
#include "platform/user32/core/painter.h"
#include "platform/user32/core/system.h"

#include <cstdint>
#include <variant>

namespace user32 {
namespace {

using kernel32::IoProgress;

constexpr std::uint64_t kMegabyte = std::uint64_t{1024} * 1024;
// Below this a count reads best in bytes, above it in megabytes.
constexpr std::uint64_t kCountInMegabytesFrom = 10 * kMegabyte;

std::u16string Grouped(std::uint64_t n) {
    std::u16string digits = text::Utf8ToUtf16(std::to_string(n));
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, 1, u',');
    }
    return digits;
}

std::u16string Amount(const IoProgress& p) {
    const bool totalKnown = p.total >= p.done && p.total > 0;
    const bool megabytes = (totalKnown ? p.total : p.done) >= kCountInMegabytesFrom;
    const auto count = [&](std::uint64_t n) { return Grouped(megabytes ? n / kMegabyte : n); };
    const std::u16string unit = megabytes ? u" MB" : u" bytes";
    if (!totalKnown) {
        return count(p.done) + unit;
    }
    return count(p.done) + u" of " + count(p.total) + unit;
}

std::u16string Doing(const IoProgress& p) {
    switch (p.activity) {
    case IoProgress::Activity::Printing:
        return u"Printing on ";
    case IoProgress::Activity::Loading:
        return u"Loading ";
    case IoProgress::Activity::Reading:
        return u"Reading ";
    case IoProgress::Activity::Connecting:
        return u"Connecting ";
    case IoProgress::Activity::Writing:
        break;
    }
    return u"Writing ";
}

class BusyReport final : public kernel32::IoWaitWatcher {
public:
    int inputDescriptors(int (&fds)[2]) override {
        return System::get().frontEnd().busyDescriptors(fds);
    }

    bool stillBusy(const IoProgress& progress) override {
        System& sys = System::get();
        const screen::BusyInput input = sys.frontEnd().takeBusyInput();
        // Keys and clicks meant for a form that could not answer must not act
        // on it afterwards: all but the cancel keys are dropped here.
        bool cancel = false;
        for (const screen::InputEvent& event : input.events) {
            if (const auto* key = std::get_if<screen::KeyEvent>(&event)) {
                cancel = cancel || LookupKey(KeyContext::Waiting, *key) == Action::CancelWait;
            } else if (std::holds_alternative<screen::TextEvent>(event)) {
                sys.setDroppingPaste(true);
            } else if (std::holds_alternative<screen::ResizeEvent>(event)) {
                // The pop-ups last: they keep to what they drop from.
                for (Window* d : sys.modalStack()) {
                    d->screenResized(sys.screenWidth(), sys.screenHeight());
                }
                for (Window* p : sys.popups()) {
                    p->screenResized(sys.screenWidth(), sys.screenHeight());
                }
            }
        }
        if (input.stop) {
            sys.setQuitting(true); // every modal loop ends once the call returns
        }
        sys.paintAll();
        DrawBusyLine(sys.grid(), BusyLine(progress));
        sys.frontEnd().present(sys.grid());
        return cancel || input.stop;
    }
};

} // namespace

std::u16string BusyLine(const IoProgress& progress) {
    constexpr std::u16string_view kCancel = u" \u00B7 Esc cancels";
    if (progress.activity == IoProgress::Activity::Connecting) {
        // Nothing has moved yet: what is reached matters, not a count.
        return Doing(progress) + std::u16string(progress.name) + u" to " +
               std::u16string(progress.target) + std::u16string(kCancel);
    }
    return Doing(progress) + std::u16string(progress.name) + u": " + Amount(progress) +
           std::u16string(kCancel);
}

void DrawBusyLine(screen::Grid& grid, std::u16string_view line) {
    if (grid.height() <= 0) {
        return;
    }
    const int y = grid.height() - 1;
    Painter painter(grid, 0, 0, CellRect{0, 0, grid.width(), grid.height()});
    painter.fill(CellRect{0, y, grid.width(), 1}, U' ', screen::Role::Caption);
    painter.text(1, y, text::Utf16ToUtf32(line), screen::Role::Caption);
}

void WatchBusyCalls() {
    static BusyReport report;
    kernel32::SetIoWaitWatcher(&report);
}

} // namespace user32
