// Start-up to the drawn form, as a user sees it: the real program started in
// a pseudo-terminal, timed from the fork to the moment its caption has
// arrived on the terminal's side, and to the last byte of its first drawing
// (the last that arrives before the terminal stays quiet for a while); then
// Esc closes the form. The anchor is a
// program that only prints the same caption (/bin/echo), started and timed
// the same way, taken in turns with the program so that both see the same
// machine.
//
//   startup_probe [--runs=N] [--anchor=PATH] [--dump=FILE] PROGRAM
//
// The program runs with TERM=xterm-256color, LC_ALL=C.UTF-8, on an 80 x 24
// terminal, and with TALLYROLL_DEVICES naming an empty folder, so no port is
// found. --dump writes the bytes of the program's first run to FILE.
#include "bench/usage.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kCaption = "Tallyroll (2.0)";
constexpr auto kPatience = std::chrono::seconds(10);
// Quiet this long after the caption: the first drawing is complete.
constexpr auto kQuiet = std::chrono::milliseconds(100);

struct Options {
    int runs = 50;
    std::string program;
    std::string anchor = "/bin/echo";
    std::string dump;
};

struct Run {
    double caption_ms = 0; // fork to caption
    double drawn_ms = 0;   // fork to the last byte of the first drawing
    double whole_ms = 0;   // fork to exit
    double cpu_ms = 0;     // the child's user and system time, whole run
};

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "startup_probe: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double CpuMilliseconds(const rusage& ru) {
    const auto ms = [](const timeval& tv) {
        return static_cast<double>(tv.tv_sec) * 1e3 + static_cast<double>(tv.tv_usec) / 1e3;
    };
    return ms(ru.ru_utime) + ms(ru.ru_stime);
}

// Starts argv in a new pseudo-terminal and answers its master side.
pid_t Start(const std::vector<std::string>& args, const std::string& devices, int& master) {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, &size);
    if (pid == -1) {
        Fail("forkpty");
    }
    if (pid == 0) {
        ::setenv("TERM", "xterm-256color", 1);
        ::setenv("LC_ALL", "C.UTF-8", 1);
        ::setenv("TALLYROLL_DEVICES", devices.c_str(), 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

// Reads what is there, waiting until deadline; false at the end of output.
bool ReadSome(int master, std::string& out, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            errno = ETIMEDOUT;
            return false;
        }
        pollfd fd{master, POLLIN, 0};
        const int ready = ::poll(&fd, 1, static_cast<int>(left.count()));
        if (ready == -1 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            errno = ETIMEDOUT;
            return false;
        }
        char buffer[16384];
        const ssize_t n = ::read(master, buffer, sizeof(buffer));
        if (n > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
            return true;
        }
        if (n == -1 && errno == EINTR) {
            continue;
        }
        return false; // EIO once the last holder of the terminal's other side is gone
    }
}

Run Measure(const std::vector<std::string>& args, const std::string& devices, bool sendEsc,
            std::string* dump) {
    int master = -1;
    const auto t0 = Clock::now();
    const pid_t pid = Start(args, devices, master);
    const auto deadline = t0 + kPatience;
    std::string out;
    bool drawn = false;
    Run run;
    while (!drawn && ReadSome(master, out, deadline)) {
        // The caption is looked for in the raw bytes: the form writes it in
        // one piece, near the start of its first drawing.
        drawn = out.find(kCaption) != std::string::npos;
    }
    if (!drawn) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        std::fprintf(stderr, "startup_probe: %s did not show \"%s\" (%zu bytes seen)\n",
                     args[0].c_str(), std::string(kCaption).c_str(), out.size());
        std::exit(1);
    }
    run.caption_ms = Milliseconds(Clock::now() - t0);
    run.drawn_ms = run.caption_ms;
    if (sendEsc) {
        // The anchor ends by itself; the program draws the rest of its form
        // and then waits for a key.
        while (ReadSome(master, out, Clock::now() + kQuiet)) {
            run.drawn_ms = Milliseconds(Clock::now() - t0);
        }
        if (errno != ETIMEDOUT) {
            std::fprintf(stderr, "startup_probe: %s ended before Esc\n", args[0].c_str());
            std::exit(1);
        }
        const char esc = 0x1B;
        if (::write(master, &esc, 1) != 1) {
            Fail("write Esc");
        }
    }
    while (ReadSome(master, out, deadline)) {
    }
    if (errno == ETIMEDOUT) {
        ::kill(pid, SIGKILL);
        std::fprintf(stderr, "startup_probe: %s did not end after Esc\n", args[0].c_str());
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.whole_ms = Milliseconds(Clock::now() - t0);
    run.cpu_ms = CpuMilliseconds(usage);
    ::close(master);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "startup_probe: %s ended with status %d\n", args[0].c_str(), status);
        std::exit(1);
    }
    if (dump != nullptr) {
        *dump = std::move(out);
    }
    return run;
}

struct Summary {
    double min = 0, median = 0, p90 = 0, max = 0;
};

Summary Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        const auto i = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
        return values[i];
    };
    return {values.front(), at(0.5), at(0.9), values.back()};
}

void Report(const char* name, const std::vector<Run>& runs) {
    std::vector<double> caption, drawn, whole, cpu;
    for (const Run& r : runs) {
        caption.push_back(r.caption_ms);
        drawn.push_back(r.drawn_ms);
        whole.push_back(r.whole_ms);
        cpu.push_back(r.cpu_ms);
    }
    const Summary t = Summarise(caption), d = Summarise(drawn), w = Summarise(whole),
                  c = Summarise(cpu);
    std::printf("%-10s to caption  min %6.2f  median %6.2f  p90 %6.2f  max %6.2f ms\n", name, t.min,
                t.median, t.p90, t.max);
    std::printf("%-10s drawn       min %6.2f  median %6.2f  p90 %6.2f  max %6.2f ms\n", "", d.min,
                d.median, d.p90, d.max);
    std::printf("%-10s whole run   min %6.2f  median %6.2f  p90 %6.2f  max %6.2f ms\n", "", w.min,
                w.median, w.p90, w.max);
    std::printf("%-10s CPU (child) min %6.2f  median %6.2f  p90 %6.2f  max %6.2f ms\n", "", c.min,
                c.median, c.p90, c.max);
}

constexpr std::string_view kUsage =
    "usage: startup_probe [--runs=N] [--anchor=PATH] [--dump=FILE] PROGRAM\n";

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        long runs = 0;
        if (bench::IsHelp(a)) {
            bench::AnswerHelp(kUsage);
        }
        if (a.rfind("--runs=", 0) == 0) {
            if (!bench::ParseCount(a.substr(7), runs)) {
                bench::RefuseArguments("startup_probe", "--runs needs a count", kUsage);
            }
            o.runs = static_cast<int>(runs);
        } else if (a.rfind("--anchor=", 0) == 0) {
            o.anchor = std::string(a.substr(9));
        } else if (a.rfind("--dump=", 0) == 0) {
            o.dump = std::string(a.substr(7));
        } else if (o.program.empty() && !a.starts_with("--")) {
            o.program = std::string(a);
        } else {
            bench::RefuseArguments("startup_probe", "unexpected argument '" + std::string(a) + "'",
                                   kUsage);
        }
    }
    if (o.program.empty()) {
        bench::RefuseArguments("startup_probe", "no PROGRAM to start", kUsage);
    }
    return o;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tallyroll-startup-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        Fail("mkdtemp");
    }
    const std::string devices = pattern;
    const std::vector<std::string> program{options.program};
    const std::vector<std::string> anchor{options.anchor, std::string(kCaption)};

    // One of each first, not counted: the files come into the page cache.
    std::string first;
    Measure(program, devices, true, &first);
    Measure(anchor, devices, false, nullptr);
    if (!options.dump.empty()) {
        if (FILE* f = std::fopen(options.dump.c_str(), "wb")) {
            std::fwrite(first.data(), 1, first.size(), f);
            std::fclose(f);
        }
    }

    std::vector<Run> programRuns, anchorRuns;
    for (int i = 0; i < options.runs; ++i) {
        anchorRuns.push_back(Measure(anchor, devices, false, nullptr));
        programRuns.push_back(Measure(program, devices, true, nullptr));
    }
    std::filesystem::remove_all(devices);

    std::printf("%d runs each, taken in turns; 80 x 24, TERM=xterm-256color, LC_ALL=C.UTF-8\n",
                options.runs);
    Report("anchor", anchorRuns);
    Report("program", programRuns);
    std::vector<double> over;
    for (std::size_t i = 0; i < programRuns.size(); ++i) {
        over.push_back(programRuns[i].drawn_ms - anchorRuns[i].caption_ms);
    }
    const Summary o = Summarise(over);
    std::printf("program drawn over anchor, run by run: median %.2f ms, p90 %.2f ms\n", o.median,
                o.p90);
    return 0;
}
