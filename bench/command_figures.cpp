// Figures of "tallyroll print" as a whole process, each against an anchor
// taken in the same run:
//
//   1 KB to a pseudo-terminal printer: from the start of the process to the
//   arrival of the job's last byte, against cat writing the same bytes to
//   the same line (the job's own 20 ms pause is part of its time);
//   100 MB to /dev/null with --output: CPU time (user + system) against
//   iconv converting the same text, in turns: one way (1252 to UTF-16), and
//   there and back as the program converts it (to wide text when it is
//   read, to the code page when it is printed).
//
//   command_figures TALLYROLL [RUNS]
#include "bench/text_corpus.h"
#include "tests/support/pty_printer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using testing_support::PtyPrinter;

// Runs argv with standard input and output as given; answers the CPU seconds
// it used.
double RunProcess(const std::vector<std::string>& args, const std::string& input,
                  const std::string& output) {
    std::vector<char*> argv;
    std::vector<std::string> copy = args;
    for (std::string& a : copy) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    rusage before{};
    ::getrusage(RUSAGE_CHILDREN, &before);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open(input.c_str(), O_RDONLY);
        const int out = ::open(output.c_str(), O_WRONLY | O_NOCTTY);
        if (in == -1 || out == -1) {
            ::_exit(126);
        }
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "command_figures: %s failed\n", args[0].c_str());
        std::exit(1);
    }
    rusage after{};
    ::getrusage(RUSAGE_CHILDREN, &after);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) -
           seconds(before.ru_stime);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from the start of the process to the arrival of its last byte.
double TimeToLastByte(PtyPrinter& printer, const std::vector<std::string>& args,
                      const std::string& input, std::size_t bytes) {
    (void)printer.Drain();
    const std::size_t before = printer.ReceivedSize();
    const Clock::time_point start = Clock::now();
    RunProcess(args, input, "/dev/null");
    if (!printer.WaitForBytes(before + bytes)) {
        std::fprintf(stderr, "command_figures: the bytes did not arrive\n");
        std::exit(1);
    }
    const Clock::time_point last = printer.ArrivalOf(before + bytes - 1);
    return std::chrono::duration<double, std::milli>(last - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: command_figures TALLYROLL [RUNS]\n");
        return 2;
    }
    const std::string program = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 21;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tallyroll-figures-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);

    // 1 KB to a pty.
    PtyPrinter printer;
    const std::string devices = (folder / "devices").string();
    std::filesystem::create_directories(devices);
    std::filesystem::create_symlink(printer.path(), devices + "/COM3");
    ::setenv("TALLYROLL_DEVICES", devices.c_str(), 1);
    const std::string small = (folder / "1k.txt").string();
    std::ofstream(small, std::ios::binary) << std::string(1022, 'k') << "\r\n";
    const std::size_t jobBytes = 2 + 16 + 1024 + 4;
    std::vector<double> command;
    std::vector<double> cat;
    for (int i = 0; i < runs; ++i) {
        command.push_back(TimeToLastByte(printer, {program, "print", "-q", "-c", "3", small},
                                         "/dev/null", jobBytes));
        cat.push_back(
            TimeToLastByte(printer, {"sh", "-c", "exec cat \"$0\" > \"$1\"", small, printer.path()},
                           "/dev/null", 1024));
    }
    const double overhead = Median(command) - Median(cat) - 20.0;
    std::printf("1 KB to a pty, start to last byte (median of %d): tallyroll print %.2f ms, "
                "cat %.2f ms; beyond the 20 ms pause: %.2f ms (bound 10 ms)\n",
                runs, Median(command), Median(cat), overhead);

    // 100 MB to /dev/null.
    const std::string large = (folder / "100m.txt").string();
    bench::WriteTextCorpus(large, 1252);
    std::vector<double> ours;
    std::vector<double> iconv;
    std::vector<double> roundTrip;
    const int cpuRuns = std::max(3, runs / 4);
    for (int i = 0; i < cpuRuns; ++i) {
        ours.push_back(RunProcess({program, "print", "-q", "-o", "/dev/null", large}, "/dev/null",
                                  "/dev/null"));
        iconv.push_back(RunProcess({"iconv", "-f", "WINDOWS-1252", "-t", "UTF-16LE", large},
                                   "/dev/null", "/dev/null"));
        // What the program does: the file to wide text, and back for the printer.
        roundTrip.push_back(RunProcess({"sh", "-c",
                                        "iconv -f WINDOWS-1252 -t UTF-16LE \"$0\" | "
                                        "iconv -f UTF-16LE -t WINDOWS-1252",
                                        large},
                                       "/dev/null", "/dev/null"));
    }
    std::printf("100 MB with -o /dev/null, CPU (median of %d): tallyroll print %.3f s; "
                "iconv 1252 to UTF-16 %.3f s (ratio %.2f); iconv there and back %.3f s "
                "(ratio %.2f); bound 1.2\n",
                cpuRuns, Median(ours), Median(iconv), Median(ours) / Median(iconv),
                Median(roundTrip), Median(ours) / Median(roundTrip));
    std::filesystem::remove_all(folder);
    return 0;
}
