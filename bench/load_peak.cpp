// Peak memory of loading one text file into the form, as a multiple of the
// file's size.
//
//   load_peak --write FILE [--code-page=936] [--size-mb=N]
//                                              writes the test text (100 MB
//                                              unless told)
//   load_peak FILE                             loads FILE and reports
//   load_peak --form FILE                      the same, and shows the text
//                                              in a text box as the form does
//
// The form keeps the loaded text and its text box keeps a copy of its own, as
// dialog data exchange does, so the program's peak is above the loader's.
// The writing is a process of its own so that it leaves nothing in the
// loading process's peak. Code page 0 follows LC_ALL as usual: 1252 unless
// the environment says otherwise.
#include "bench/bench_support.h"
#include "bench/text_corpus.h"
#include "bench/usage.h"
#include "document/loader_host.h"
#include "document/text_file_loader.h"
#include "platform/headless/headless_front_end.h"
#include "platform/user32/core/window_system.h"
#include "platform/user32/dialogs/message_box_presenter.h"
#include "platform/win32/codepage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/resource.h>

namespace {

using bench::kTextId;

// The stored values; a refresh puts the text into the text box, if any.
class Form : public LoaderHost {
public:
    explicit Form(HWND textBox = nullptr) : textBox_(textBox) {}
    CString& StoredText() override { return text_; }
    CString& StoredFile() override { return file_; }
    void ReadChoices() override {}
    void RefreshForm() override {
        if (textBox_ != nullptr) {
            SetWindowTextW(textBox_, text_);
        }
    }
    const std::u16string& text() const { return text_.str(); }

private:
    HWND textBox_;
    CString text_;
    CString file_;
};

const char* g_path = nullptr;
std::size_t g_units = 0;

// Loads once the dialog is up; the screen is drawn with the text before the
// dialog ends.
INT_PTR CALLBACK TextBoxProc(HWND hDlg, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        headless::Screen().then([hDlg](auto&) {
            static Form form(GetDlgItem(hDlg, kTextId));
            LoadTextFile(form, CString(g_path));
            g_units = form.text().size();
        });
    }
    return FALSE;
}

int RefuseBox(HWND, LPCWSTR, LPCWSTR, UINT) {
    std::fputs("load_peak: the loader could not open the file\n", stderr);
    std::exit(1);
}

// Kilobytes, as Linux counts ru_maxrss.
long PeakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

constexpr std::string_view kUsage =
    "usage: load_peak [--form] FILE\n"
    "       load_peak --write FILE [--code-page=936] [--size-mb=N]\n";

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (bench::IsHelp(argv[i])) {
            bench::AnswerHelp(kUsage);
        }
    }
    const char* codePage = bench::TakeOption(argc, argv, "--code-page=");
    const char* sizeMb = bench::TakeOption(argc, argv, "--size-mb=");
    const bool chinese = codePage != nullptr && std::string_view(codePage) == "936";
    const unsigned long megabytes = sizeMb != nullptr ? std::strtoul(sizeMb, nullptr, 10) : 0;
    const bool options = (codePage == nullptr || chinese || std::string_view(codePage) == "1252") &&
                         (sizeMb == nullptr || megabytes > 0);
    if (options && argc == 3 && std::strcmp(argv[1], "--write") == 0) {
        bench::WriteTextCorpus(argv[2], chinese ? 936 : 1252,
                               megabytes > 0 ? std::size_t{megabytes} << 20 : bench::kCorpusSize);
        return 0;
    }
    const bool withTextBox = argc == 3 && std::strcmp(argv[1], "--form") == 0;
    if (!options || codePage != nullptr || sizeMb != nullptr || (argc != 2 && !withTextBox) ||
        argv[argc - 1][0] == '-') {
        std::string why = "no FILE to load";
        if (!options) {
            why = "--code-page takes 1252 or 936, --size-mb a count";
        } else if (argc > 1) {
            why = "unexpected argument '" + std::string(argv[argc - 1]) + "'";
        }
        bench::RefuseArguments("load_peak", why, kUsage);
    }
    g_path = argv[argc - 1];
    std::error_code error;
    const auto fileSize = std::filesystem::file_size(g_path, error);
    if (error) {
        std::fprintf(stderr, "load_peak: %s: %s\n", g_path, error.message().c_str());
        return 1;
    }
    SetMessageBoxPresenter(&RefuseBox);
    const double file = static_cast<double>(fileSize);
    if (withTextBox) {
        headless::Screen().reset(80, 24);
    }
    const long before = PeakKilobytes();
    {
        Form form;
        if (withTextBox) {
            user32::DialogBoxFromTemplate(bench::TextBoxDialog(u"Peak"), nullptr, &TextBoxProc, 0);
        } else {
            LoadTextFile(form, CString(g_path));
            g_units = form.text().size();
        }
        const std::size_t units = g_units;
        // The peak is taken while the text is still held, as the form holds it.
        const long peak = PeakKilobytes();
        std::printf("holder         %s\n", withTextBox ? "form and text box" : "form");
        std::printf("code page      %u\n", GetACP());
        std::printf("file           %.0f bytes\n", file);
        std::printf("text           %zu UTF-16 units (%.1f MB)\n", units,
                    static_cast<double>(units) * 2 / 1e6);
        std::printf("peak before    %ld KB\n", before);
        std::printf("peak           %ld KB\n", peak);
        std::printf("peak / file    %.2f\n", static_cast<double>(peak) * 1024 / file);
        std::printf("growth / file  %.2f\n", static_cast<double>(peak - before) * 1024 / file);
    }
    return 0;
}
