// A key and a redraw in the multi-line text box holding 10 MB of text (or
// as many megabytes as --text-mb=N says), on the headless screen. The goal
// is well under 16 ms each, with 1 GB as well.
#include "bench/bench_support.h"
#include "bench/benchmark_usage.h"
#include "platform/headless/headless_front_end.h"
#include "platform/user32/core/window_system.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

namespace {

using bench::kTextId;

std::size_t g_megabytes = 10;

// 10 MB (or --text-mb) of lines of 78 characters and "\r\n".
const std::u16string& TenMegabytes() {
    static const std::u16string text = [] {
        std::u16string s;
        const std::u16string line =
            u"The quick brown fox jumps over the lazy dog; pack my box with five dozen jugs\r\n";
        const std::size_t size = g_megabytes << 20;
        s.reserve(size);
        while (s.size() + line.size() <= size) {
            s += line;
        }
        return s;
    }();
    return text;
}

// The longest line that is still wrapped character by character: wide
// characters all along, the slowest line a key can meet.
const std::u16string& LongWideLine() {
    static const std::u16string text(60000, u'\u4E2D');
    return text;
}

std::function<void(HWND)> g_body;
const std::u16string* g_text = nullptr;

INT_PTR CALLBACK Proc(HWND hDlg, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        HWND edit = GetDlgItem(hDlg, kTextId);
        SetWindowTextW(edit, g_text->c_str());
        const auto middle = static_cast<WPARAM>(g_text->size() / 2);
        SendMessageW(edit, EM_SETSEL, middle, static_cast<LPARAM>(middle));
        SetFocus(edit);
        headless::Screen().then([hDlg](auto&) { g_body(hDlg); });
        return FALSE;
    }
    return FALSE;
}

// Runs body inside the modal loop of a dialog whose text box holds 10 MB.
void WithTextBox(std::function<void(HWND)> body, const std::u16string& text = TenMegabytes()) {
    headless::Screen().reset(80, 24);
    g_text = &text;
    g_body = std::move(body);
    user32::DialogBoxFromTemplate(bench::TextBoxDialog(u"Bench", WS_EX_CAPTIONOKBTN), nullptr,
                                  &Proc, 0);
}

screen::KeyEvent Key(screen::Key k, bool ctrl = false) {
    screen::KeyEvent ev;
    ev.key = k;
    ev.ctrl = ctrl;
    return ev;
}

screen::KeyEvent Char(char32_t c) {
    screen::KeyEvent ev;
    ev.key = screen::Key::Char;
    ev.ch = c;
    return ev;
}

// Each iteration is one key event and one full redraw of the screen.
void KeysAndRedraw(benchmark::State& state, std::initializer_list<screen::KeyEvent> cycle,
                   const std::u16string& text = TenMegabytes()) {
    WithTextBox(
        [&](HWND) {
            auto it = cycle.begin();
            for (auto _ : state) {
                user32::DispatchEvent(*it);
                benchmark::DoNotOptimize(user32::RedrawScreen().cursorX);
                if (++it == cycle.end()) {
                    it = cycle.begin();
                }
            }
        },
        text);
}

void BM_TypeAndErase(benchmark::State& state) {
    KeysAndRedraw(state, {Char(U'x'), Key(screen::Key::Backspace)});
}
void BM_EnterAndErase(benchmark::State& state) {
    KeysAndRedraw(state, {Key(screen::Key::Enter), Key(screen::Key::Backspace)});
}
void BM_ArrowDownUp(benchmark::State& state) {
    KeysAndRedraw(state, {Key(screen::Key::Down), Key(screen::Key::Down), Key(screen::Key::Up),
                          Key(screen::Key::Up)});
}
void BM_PageDownUp(benchmark::State& state) {
    KeysAndRedraw(state, {Key(screen::Key::PageDown), Key(screen::Key::PageUp)});
}
void BM_CtrlEndHome(benchmark::State& state) {
    KeysAndRedraw(state, {Key(screen::Key::End, true), Key(screen::Key::Home, true)});
}
void BM_TypeAtStart(benchmark::State& state) {
    // The worst place for an edit: every later byte and line start moves.
    KeysAndRedraw(state, {Key(screen::Key::Home, true), Char(U'x'), Key(screen::Key::Backspace)});
}
void BM_TypeAtEnd(benchmark::State& state) {
    KeysAndRedraw(state, {Key(screen::Key::End, true), Char(U'x'), Key(screen::Key::Backspace)});
}
void BM_TypeAfterJumps(benchmark::State& state) {
    // Each character typed far from the one before: a buffer with one gap
    // would move the whole text between them.
    KeysAndRedraw(
        state, {Key(screen::Key::Home, true), Char(U'x'), Key(screen::Key::End, true), Char(U'x')});
}
void BM_AltLetter(benchmark::State& state) {
    // A mnemonic no label has: every control is asked.
    screen::KeyEvent alt = Char(U'q');
    alt.alt = true;
    KeysAndRedraw(state, {alt});
}
void BM_TypeWideAndErase(benchmark::State& state) {
    // A character beyond one byte in single-byte text.
    KeysAndRedraw(state, {Char(U'\u4E2D'), Key(screen::Key::Backspace)});
}

// The anchors: the same keys and redraws with an empty text box, so that a
// busy machine moves both figures alike.
const std::u16string& Empty() {
    static const std::u16string text;
    return text;
}
void BM_TypeAndEraseEmptyAnchor(benchmark::State& state) {
    KeysAndRedraw(state, {Char(U'x'), Key(screen::Key::Backspace)}, Empty());
}
void BM_TypeAtStartEmptyAnchor(benchmark::State& state) {
    KeysAndRedraw(state, {Key(screen::Key::Home, true), Char(U'x'), Key(screen::Key::Backspace)},
                  Empty());
}

void BM_TypeInLongWideLine(benchmark::State& state) {
    KeysAndRedraw(state, {Char(U'x'), Key(screen::Key::Backspace), Key(screen::Key::Down)},
                  LongWideLine());
}

void BM_SetText(benchmark::State& state) {
    WithTextBox([&](HWND hDlg) {
        HWND edit = GetDlgItem(hDlg, kTextId);
        for (auto _ : state) {
            SetWindowTextW(edit, TenMegabytes().c_str());
        }
    });
}

BENCHMARK(BM_TypeAndEraseEmptyAnchor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAtStartEmptyAnchor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAndErase)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnterAndErase)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ArrowDownUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageDownUp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CtrlEndHome)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAtStart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAtEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAfterJumps)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeWideAndErase)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AltLetter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeInLongWideLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetText)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    constexpr std::string_view kUsage = "usage: windows_bench [--text-mb=N] [benchmark options]\n";
    const char* mb = bench::TakeOption(argc, argv, "--text-mb=");
    bench::InitializeBenchmarks(argc, argv, "windows_bench", kUsage);
    if (mb != nullptr) {
        long megabytes = 0;
        if (!bench::ParseCount(mb, megabytes)) {
            bench::RefuseArguments("windows_bench", "--text-mb takes a count of megabytes", kUsage);
        }
        g_megabytes = static_cast<std::size_t>(megabytes);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
