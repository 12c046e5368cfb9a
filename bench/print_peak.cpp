// A Print of a large file from the real form on the headless screen, to a
// pseudo-terminal drained by a process of its own: the peak memory after the
// load and after the Print, as a multiple of the file's size, and the Print's
// CPU time against glibc's iconv converting the same text, taken in turns.
//
//   print_peak --write FILE [--size-mb=N] [--code-page=936]   writes the text
//   print_peak [--rounds=N] FILE                              loads and prints
//
// The form is the program's own CPrinterDlg with its resources: the load is
// what "..." does once a file is chosen, the Print is a click on Print as the
// message map delivers it (data exchange, lead-in, pause, format block, the
// text). The printer process hashes every byte it reads; the first Print's
// stream is checked against the one iconv's conversion of the same text gives,
// so the figures describe a Print that sent the right bytes. Code page 0
// follows LC_ALL as usual.
#include "bench/text_corpus.h"
#include "bench/usage.h"
#include "document/text_file_loader.h"
#include "link/port_connection.h"
#include "platform/entry/program_resources.h"
#include "platform/headless/headless_front_end.h"
#include "platform/user32/dialogs/message_box_presenter.h"
#include "platform/win32/codepage.h"
#include "platform/win32/kernel.h"
#include "tests/support/forked_printer.h"
#include "tests/support/pty_printer.h"
#include "ui/printer_dlg.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "print_peak: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

using Hash = testing_support::StreamHash;
using Printer = testing_support::ForkedPrinter;

// The peak resident size so far, in kilobytes (VmHWM).
long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// User and system CPU time of this process so far.
struct Times {
    double user = 0;
    double system = 0;
    double cpu() const { return user + system; }
    Times operator-(const Times& o) const { return Times{user - o.user, system - o.system}; }
};

Times ProcessTimes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& tv) {
        return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
    };
    return Times{seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

double CpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double WallSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The anchor: iconv converting the text the Print sends (UTF-16 to the ANSI
// code page) into a 64 KB buffer used over and over. With a hash, the bytes
// a Print must put on the line around it are hashed too.
Hash IconvConvert(const std::u16string& text, bool hashed) {
    const char* name = GetACP() == 936 ? "CP936" : "WINDOWS-1252";
    iconv_t cd = iconv_open(name, "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        Fail("iconv_open");
    }
    Hash h;
    if (hashed) {
        // Lead-in, then the first model's format block with x1, x1 and no ticks.
        const unsigned char head[] = {0x00, 0x00, 0x00, 0x1B, 0x55, 0x01, 0x1B, 0x56, 0x01,
                                      0x1B, 0x2D, 0x00, 0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00};
        h.Add(head, sizeof(head));
    }
    std::vector<char> out(1 << 16);
    auto* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    std::size_t left = text.size() * 2;
    while (left > 0) {
        char* at = out.data();
        std::size_t room = out.size();
        if (::iconv(cd, &in, &left, &at, &room) == static_cast<std::size_t>(-1) && errno != E2BIG) {
            Fail("iconv");
        }
        if (hashed) {
            h.Add(out.data(), static_cast<std::size_t>(at - out.data()));
        } else {
            h.count += static_cast<std::size_t>(at - out.data());
        }
    }
    if (hashed) {
        const unsigned char tail[] = {0x00, 0x00};
        h.Add(tail, sizeof(tail));
    }
    iconv_close(cd);
    return h;
}

int RefuseBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
    std::string ascii;
    for (const char16_t* p = text; p != nullptr && *p != 0; ++p) {
        ascii += *p < 0x80 ? static_cast<char>(*p) : '?';
    }
    std::fprintf(stderr, "print_peak: message box: %s\n", ascii.c_str());
    std::exit(1);
}

struct Options {
    std::string file;
    int rounds = 3;
};

class Form : public CPrinterDlg {
public:
    void Print() {
        ::SendMessageW(m_hWnd, WM_COMMAND, MAKELONG(IDC_PRINT, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDC_PRINT)));
    }
    void Load(const char* path) { LoadTextFile(*this, CString(path)); }
};

void Run(Form& form, Printer& printer, const Options& options) {
    const double file = static_cast<double>(std::filesystem::file_size(options.file));
    const long before = PeakKilobytes();
    form.Load(options.file.c_str());
    const long loaded = PeakKilobytes();

    // The first Print, checked byte for byte against iconv's conversion.
    printer.Restart(true);
    double cpu = CpuSeconds(), wall = WallSeconds();
    form.Print();
    cpu = CpuSeconds() - cpu;
    const long printed = PeakKilobytes();
    const std::u16string& text = form.m_strText.str();
    const Hash expected = IconvConvert(text, true);
    const Hash got = printer.Await(expected.count);
    wall = WallSeconds() - wall;
    if (got.count != expected.count || got.value != expected.value) {
        std::fprintf(stderr,
                     "print_peak: the printer got %llu bytes (hash %016llx), iconv's stream "
                     "has %llu (hash %016llx)\n",
                     static_cast<unsigned long long>(got.count),
                     static_cast<unsigned long long>(got.value),
                     static_cast<unsigned long long>(expected.count),
                     static_cast<unsigned long long>(expected.value));
        std::exit(1);
    }

    std::printf("code page       %u\n", GetACP());
    std::printf("file            %.0f bytes\n", file);
    std::printf("text            %zu UTF-16 units\n", text.size());
    std::printf("line            %llu bytes, the same as iconv's stream\n",
                static_cast<unsigned long long>(got.count));
    std::printf("peak before     %ld KB\n", before);
    std::printf("peak, loaded    %ld KB  %.2f x file\n", loaded,
                static_cast<double>(loaded) * 1024 / file);
    std::printf("peak, printed   %ld KB  %.2f x file; over 3 x file: %+.1f MB\n", printed,
                static_cast<double>(printed) * 1024 / file,
                (static_cast<double>(printed) * 1024 - 3 * file) / 1e6);
    std::printf("first Print     %.3f s CPU (its bytes hashed by the printer), %.3f s to the "
                "last byte\n",
                cpu, wall);

    // Print and iconv in turns; CPU time of this process only (the printer
    // is another process). The system time of a Print is mostly the kernel
    // passing the bytes through the pseudo-terminal, which iconv does not do.
    std::vector<Times> prints, iconvs, writes;
    for (int round = 0; round < options.rounds; ++round) {
        printer.Restart(false);
        Times t = ProcessTimes();
        form.Print();
        prints.push_back(ProcessTimes() - t);
        const Hash received = printer.Await(expected.count);
        t = ProcessTimes();
        const Hash h = IconvConvert(form.m_strText.str(), false);
        iconvs.push_back(ProcessTimes() - t);
        if (h.count + 20 != expected.count || received.count != expected.count) {
            std::fputs("print_peak: a Print or iconv's output changed between rounds\n", stderr);
            std::exit(1);
        }
        printer.Restart(false);
        t = ProcessTimes();
        printer.WriteRaw(expected.count);
        writes.push_back(ProcessTimes() - t);
        printer.Await(expected.count);
        const Times& p = prints.back();
        std::printf("round %d         Print %.3f s CPU (user %.3f, system %.3f), iconv %.3f s CPU; "
                    "Print / iconv %.2f (user only %.2f); the bytes alone written %.3f s\n",
                    round + 1, p.cpu(), p.user, p.system, iconvs.back().cpu(),
                    p.cpu() / iconvs.back().cpu(), p.user / iconvs.back().cpu(),
                    writes.back().cpu());
    }
    if (!prints.empty()) {
        const auto median = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        std::vector<double> ratio, userRatio, total, user, system, anchor, raw;
        for (std::size_t i = 0; i < prints.size(); ++i) {
            ratio.push_back(prints[i].cpu() / iconvs[i].cpu());
            userRatio.push_back(prints[i].user / iconvs[i].cpu());
            total.push_back(prints[i].cpu());
            user.push_back(prints[i].user);
            system.push_back(prints[i].system);
            anchor.push_back(iconvs[i].cpu());
            raw.push_back(writes[i].cpu());
        }
        std::printf("median          Print %.3f s CPU (user %.3f, system %.3f), iconv %.3f s CPU; "
                    "Print / iconv %.2f (user only %.2f); the bytes alone written %.3f s\n",
                    median(total), median(user), median(system), median(anchor), median(ratio),
                    median(userRatio), median(raw));
    }
}

constexpr std::string_view kUsage =
    "usage: print_peak [--rounds=N] FILE\n"
    "       print_peak --write FILE [--size-mb=N] [--code-page=936]\n";

[[noreturn]] void Refuse(const std::string& why) {
    bench::RefuseArguments("print_peak", why, kUsage);
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (bench::IsHelp(argv[i])) {
            bench::AnswerHelp(kUsage);
        }
    }
    if (argc >= 2 && std::strcmp(argv[1], "--write") == 0) {
        if (argc < 3 || argv[2][0] == '-') {
            Refuse("--write needs the FILE to write");
        }
        unsigned code_page = 1252;
        std::size_t size = bench::kCorpusSize;
        for (int i = 3; i < argc; ++i) {
            const std::string_view arg = argv[i];
            long megabytes = 0;
            if (arg == "--code-page=936") {
                code_page = 936;
            } else if (arg.starts_with("--size-mb=") &&
                       bench::ParseCount(arg.substr(10), megabytes)) {
                size = static_cast<std::size_t>(megabytes) << 20;
            } else {
                Refuse("unexpected argument '" + std::string(arg) + "'");
            }
        }
        bench::WriteTextCorpus(argv[2], code_page, size);
        return 0;
    }
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        long rounds = 0;
        if (arg.starts_with("--rounds=") && bench::ParseCount(arg.substr(9), rounds)) {
            options.rounds = static_cast<int>(rounds);
        } else if (arg.starts_with("-") || !options.file.empty()) {
            Refuse("unexpected argument '" + std::string(arg) + "'");
        } else {
            options.file = arg;
        }
    }
    if (options.file.empty()) {
        Refuse("no FILE to print");
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(options.file, error)) {
        std::fprintf(stderr, "print_peak: %s: not a file that can be read\n", options.file.c_str());
        return 1;
    }
    Printer printer; // before anything large is held: the fork copies little
    const testing_support::DeviceTable devices; // COM3, for the life of the run
    devices.Link(3, printer.path());
    SetMessageBoxPresenter(&RefuseBox);
    std::size_t count = 0;
    const RESOURCE_ITEM* items = ProgramResources(&count);
    RegisterModuleResources(GetModuleHandleW(nullptr), items, count);
    headless::Screen().reset(80, 24);
    {
        Form form;
        headless::Screen().then([&](auto&) { Run(form, printer, options); });
        form.DoModal();
        if (g_bPortOpen) {
            ClosePort(form);
        }
    }
    return 0;
}
