#include "tests/support/memory_limit.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/tools/vprinter/decode_helpers.h"
#include "tests/tools/vprinter/program_runner.h"
#include "tools/vprinter/capture.h"
#include "tools/vprinter/png_file.h"
#include "tools/vprinter/roll_image.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vprinter::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const Bytes kBlockX2Underline = bytes({0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x01,
                                       0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00});

// The writes of a Print and of a Test, as Tallyroll makes them.
std::vector<Bytes> print_writes() {
    return {bytes({0, 0}), kBlockX2Underline, ascii("AB\r\n") + bytes({0, 0})};
}
std::vector<Bytes> test_writes() {
    return {bytes({0, 0}), bytes({0, 0, 0, 0, 0x1B, 0x40}), ascii(kTestText) + bytes({0, 0})};
}

// Opens the port the way Tallyroll does (exclusive, locked), writes the
// pieces with 20 ms after the first, closes. Answers 0 or the errno.
int write_job(const std::string& port, const std::vector<Bytes>& writes) {
    int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return errno;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        int e = errno;
        ::close(fd);
        return e;
    }
    for (std::size_t i = 0; i < writes.size(); ++i) {
        std::size_t done = 0;
        while (done < writes[i].size()) {
            ssize_t n = ::write(fd, writes[i].data() + done, writes[i].size() - done);
            if (n < 0 && errno != EINTR) {
                int e = errno;
                ::close(fd);
                return e;
            }
            done += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        if (i == 0) {
            std::this_thread::sleep_for(20ms);
        }
    }
    ::close(fd);
    return 0;
}

Bytes joined(const std::vector<Bytes>& writes) {
    Bytes all;
    for (const Bytes& w : writes) {
        all = all + w;
    }
    return all;
}

bool has_event(const std::vector<Json>& events, const std::string& kind, std::size_t count = 1) {
    return of_kind(events, kind).size() >= count;
}

using Printer = PrinterFiles;

TEST(VirtualPrinterProgram, PrintAndTestThroughThePortComeOutAsLinesWithTheirFormat) {
    Printer p;
    VirtualPrinter program({"--devices", p.table, "--port", "7", "--events", p.events, "--capture",
                            p.dir / "capture.txt", "--raw", p.dir / "raw.bin", "--png",
                            p.dir / "roll.png", "--job-gap", "100", "--quiet"},
                           p.output);
    auto events = wait_for_events(p.events, [](auto& e) { return has_event(e, "ready"); });
    ASSERT_TRUE(has_event(events, "ready")) << read_text(p.output);
    EXPECT_EQ(events[0]["link"].str(), p.port);
    EXPECT_EQ(fs::read_symlink(p.port).string(), events[0]["target"].str());
    EXPECT_EQ(fs::canonical(p.port).string(), events[0]["device"].str());

    ASSERT_EQ(write_job(p.port, print_writes()), 0);
    wait_for_events(p.events, [](auto& e) { return has_event(e, "job_end"); });
    ASSERT_EQ(write_job(p.port, test_writes()), 0) << "the port opens again after a job";
    wait_for_events(p.events, [](auto& e) { return has_event(e, "job_end", 2); });
    program.stop();
    ASSERT_EQ(program.wait(), 0) << read_text(p.output);
    events = read_events(p.events);

    auto lines = of_kind(events, "line");
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0]["text"].str(), "AB");
    EXPECT_EQ(lines[0]["width"].num(), 2);
    EXPECT_EQ(lines[0]["height"].num(), 1);
    EXPECT_TRUE(lines[0]["underline"].flag());
    EXPECT_FALSE(lines[0]["upside_down"].flag());
    EXPECT_FALSE(lines[0]["white"].flag());
    const char* page[] = {
        "--Use Help for Printer--",
        "",
        "   Make sure your PDA have the  BlueTooth Port or IR Port and can run well",
        "",
        "---Here,Test Ok,Thank you---",
        "",
        ""};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(lines[i + 1]["text"].str(), page[i]);
        EXPECT_EQ(lines[i + 1]["width"].num(), 1);
        EXPECT_FALSE(lines[i + 1]["underline"].flag());
    }
    auto blocks = of_kind(events, "format_block");
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0]["set"].str(), "A");
    EXPECT_EQ(blocks[0]["offset"].num(), 2);
    auto inits = of_kind(events, "initialise");
    ASSERT_EQ(inits.size(), 1u);
    EXPECT_EQ(inits[0]["offset"].num(), 24 + 6);
    EXPECT_EQ(of_kind(events, "job_start").size(), 2u);
    EXPECT_EQ(of_kind(events, "port_open").size(), 2u);
    EXPECT_EQ(of_kind(events, "port_close").size(), 2u);
    auto settings = of_kind(events, "port_settings");
    ASSERT_FALSE(settings.empty());
    EXPECT_TRUE(settings[0]["raw"].flag());
    EXPECT_TRUE(of_kind(events, "unknown").empty());
    EXPECT_TRUE(of_kind(events, "cut").empty());
    EXPECT_EQ(events.back()["event"].str(), "end");
    EXPECT_EQ(events.back()["lines"].num(), 8);

    // Every byte was recorded, in order, with its arrival time.
    const Bytes sent = joined(print_writes()) + joined(test_writes());
    std::string error;
    auto chunks = parse_capture(read_text(p.dir / "capture.txt"), &error);
    ASSERT_TRUE(chunks) << error;
    Bytes captured;
    std::int64_t previous = -1;
    for (const TimedChunk& c : *chunks) {
        EXPECT_GE(c.t_us, previous);
        previous = c.t_us;
        captured = captured + c.bytes;
    }
    EXPECT_EQ(captured, sent);
    std::string raw = read_text(p.dir / "raw.bin");
    EXPECT_EQ(Bytes(raw.begin(), raw.end()), sent);

    // The picture is the roll of exactly these bytes.
    auto picture = read_png(p.dir / "roll.png", &error);
    ASSERT_TRUE(picture) << error;
    auto decoded = lines_of(decode(sent));
    EXPECT_EQ(*picture, render_roll(decoded));

    EXPECT_FALSE(fs::exists(fs::symlink_status(p.port))) << "the link goes with the printer";
    EXPECT_EQ(read_text(p.output).find("COM1 to COM9"), std::string::npos) << read_text(p.output);
}

TEST(VirtualPrinterProgram, OnceStopsByItselfAfterTheFirstJobAndReportsACutStream) {
    Printer p;
    VirtualPrinter program({"--devices", p.table, "--port", "7", "--events", p.events, "--once",
                            "--job-gap", "100", "--quiet"},
                           p.output);
    wait_for_events(p.events, [](auto& e) { return has_event(e, "ready"); });
    ASSERT_EQ(write_job(p.port, {bytes({0, 0}), bytes({0x00, 0x1B, 0x55, 0x02, 0x1B})}), 0);
    ASSERT_EQ(program.wait(), 0) << read_text(p.output);
    auto events = read_events(p.events);
    auto cuts = of_kind(events, "cut");
    ASSERT_EQ(cuts.size(), 1u);
    EXPECT_EQ(cuts[0]["what"].str(), "format block");
    EXPECT_EQ(cuts[0]["bytes"].str(), "00 1B 55 02 1B");
    EXPECT_EQ(of_kind(events, "job_end").size(), 1u);
}

// At a line speed the printer takes the bytes no faster than such a line
// carries them (N/11 a second), all of them, in order. Only a lower bound is
// checked: a loaded machine may read later, never sooner.
TEST(VirtualPrinterProgram, AtALineSpeedTheBytesComeNoFasterThanTheLineCarriesThem) {
    Printer p;
    constexpr unsigned kBaud = 9600;
    VirtualPrinter program({"--devices", p.table, "--port", "7", "--events", p.events, "--baud",
                            std::to_string(kBaud), "--capture", p.dir / "capture.txt", "--job-gap",
                            "100", "--quiet"},
                           p.output);
    ASSERT_TRUE(has_event(wait_for_events(p.events, [](auto& e) { return has_event(e, "ready"); }),
                          "ready"))
        << read_text(p.output);
    Bytes text;
    for (int i = 0; i < 40; ++i) {
        text = text + ascii(std::string(48, static_cast<char>('a' + i % 26)) + "\r\n");
    }
    ASSERT_EQ(write_job(p.port, {text}), 0);
    ASSERT_TRUE(has_event(
        wait_for_events(p.events, [](auto& e) { return has_event(e, "job_end"); }), "job_end"));
    program.stop();
    ASSERT_EQ(program.wait(), 0) << read_text(p.output);

    std::string error;
    auto chunks = parse_capture(read_text(p.dir / "capture.txt"), &error);
    ASSERT_TRUE(chunks && !chunks->empty()) << error;
    Bytes captured;
    for (const TimedChunk& c : *chunks) {
        captured = captured + c.bytes;
    }
    EXPECT_EQ(captured, text);
    // A look after a quiet spell may take four steps' worth at once; the
    // rest comes at the line's pace.
    const double burst = 4 * 0.010 * kBaud / 11;
    const double least_us = (static_cast<double>(text.size()) - 2 * burst) * 11e6 / kBaud;
    EXPECT_GE(static_cast<double>(chunks->back().t_us - chunks->front().t_us), least_us);
    EXPECT_GT(chunks->size(), 50u) << "taken in small steps, not in one read";
}

TEST(VirtualPrinterProgram, ABadOrMisplacedLineSpeedIsAUsageError) {
    Printer p;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--baud", "0"},
                                                 {"--baud", "fast"},
                                                 {"--baud", "115200", "--tcp", "0"}}) {
        VirtualPrinter program(args, p.output);
        EXPECT_EQ(program.wait(), 2) << args[1];
        EXPECT_NE(read_text(p.output).find("--baud"), std::string::npos) << read_text(p.output);
    }
}

// A writer that asks for exclusive use leaves that mark on the terminal;
// only an unprivileged writer is refused by it, so the check runs as an
// ordinary user (nobody) when the tests run as root.
TEST(VirtualPrinterProgram, AnExclusiveWriterCanOpenThePortAgainAfterClosingIt) {
    Printer p;
    std::optional<uid_t> user;
    if (::geteuid() == 0) {
        user = 65534;
        fs::create_directories(p.table);
        ::chmod(p.dir.path().c_str(), 0777);
        ::chmod(p.table.c_str(), 0777);
    }
    VirtualPrinter program({"--devices", p.table, "--port", "7", "--events", p.events, "--quiet"},
                           p.output, user);
    auto events = wait_for_events(p.events, [](auto& e) { return has_event(e, "ready"); });
    if (!has_event(events, "ready") && program.wait(0ms) >= 126) {
        GTEST_SKIP() << "cannot run the printer as an ordinary user here";
    }
    ASSERT_TRUE(has_event(events, "ready")) << read_text(p.output);

    for (int i = 0; i < 3; ++i) {
        pid_t writer = ::fork();
        if (writer == 0) {
            if (user && (::setgid(*user) != 0 || ::setuid(*user) != 0)) {
                ::_exit(126);
            }
            ::_exit(write_job(p.port, {ascii("line " + std::to_string(i) + "\r\n")}));
        }
        int status = 0;
        ::waitpid(writer, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0)
            << "open number " << i + 1 << " failed with errno " << WEXITSTATUS(status);
        wait_for_events(p.events, [&](auto& e) {
            return has_event(e, "port_close", static_cast<std::size_t>(i) + 1);
        });
    }
    program.stop();
    ASSERT_EQ(program.wait(), 0);
    EXPECT_EQ(of_kind(read_events(p.events), "line").size(), 3u);
}

struct ExistingLink {
    const char* name;
    std::function<void(const std::string& port)> make;
    bool replaced;
};

class ExistingPort : public ::testing::TestWithParam<ExistingLink> {};

TEST_P(ExistingPort, IsReplacedOnlyWhenItIsALeftover) {
    const ExistingLink& c = GetParam();
    Printer p;
    fs::create_directories(p.table);
    c.make(p.port);
    auto before = fs::symlink_status(p.port).type() == fs::file_type::symlink
                      ? fs::read_symlink(p.port).string()
                      : read_text(p.port);
    VirtualPrinter program({"--devices", p.table, "--port", "7", "--events", p.events, "--quiet"},
                           p.output);
    if (!c.replaced) {
        EXPECT_EQ(program.wait(), 1);
        EXPECT_NE(read_text(p.output).find("left alone"), std::string::npos) << read_text(p.output);
        EXPECT_NE(read_text(p.output).find(p.port), std::string::npos)
            << "the refusal names the link";
        auto after = fs::symlink_status(p.port).type() == fs::file_type::symlink
                         ? fs::read_symlink(p.port).string()
                         : read_text(p.port);
        EXPECT_EQ(after, before);
        return;
    }
    auto events = wait_for_events(p.events, [](auto& e) { return has_event(e, "ready"); });
    ASSERT_TRUE(has_event(events, "ready")) << read_text(p.output);
    EXPECT_EQ(events[0]["replaced"].str(), before);
    EXPECT_EQ(fs::read_symlink(p.port).string(), events[0]["target"].str());
    program.stop();
    EXPECT_EQ(program.wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(p.port)));
}

INSTANTIATE_TEST_SUITE_P(
    Links, ExistingPort,
    ::testing::Values(
        ExistingLink{"dangling_link",
                     [](const std::string& port) { fs::create_symlink("/dev/pts/9999", port); },
                     true},
        // Somebody's working port, which happens to be a terminal (a
        // serial bridge, another printer program).
        ExistingLink{"link_to_a_live_pseudo_terminal",
                     [](const std::string& port) {
                         // Held open by the test process for the rest of the run.
                         static const testing_support::PseudoTerminal held;
                         fs::create_symlink(held.path(), port);
                     },
                     false},
        ExistingLink{
            "link_left_by_a_printer_that_is_gone",
            [](const std::string& port) { fs::create_symlink("/proc/999999999/fd/607", port); },
            true},
        // A process that is alive (this test) and holds a terminal under
        // the number the link names: not a leftover, whoever made the link.
        ExistingLink{"link_to_a_terminal_another_program_holds",
                     [](const std::string& port) {
                         static const testing_support::PseudoTerminal held;
                         static const int slave = held.OpenSlave();
                         fs::create_symlink("/proc/" + std::to_string(::getpid()) + "/fd/" +
                                                std::to_string(slave),
                                            port);
                     },
                     false},
        // A live process whose descriptor under that number is closed.
        ExistingLink{"link_to_a_closed_descriptor_of_a_live_process",
                     [](const std::string& port) {
                         fs::create_symlink("/proc/" + std::to_string(::getpid()) + "/fd/999999",
                                            port);
                     },
                     true},
        ExistingLink{"link_to_an_unplugged_device",
                     [](const std::string& port) {
                         fs::create_symlink("/dev/serial/by-id/usb-gone-port0", port);
                     },
                     true},
        ExistingLink{"link_to_another_device",
                     [](const std::string& port) { fs::create_symlink("/dev/null", port); }, false},
        ExistingLink{"regular_file",
                     [](const std::string& port) { std::ofstream(port) << "keep me"; }, false}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

// A printer killed outright leaves its link behind. The link names the
// printer's own hold on the terminal, which went with it, so the terminal
// number handed to somebody else (a new shell, say) is out of its reach.
TEST(VirtualPrinterLink, OfAKilledPrinterLeadsToNoTerminalAndIsReplacedLater) {
    Printer p;
    std::string device;
    std::string target;
    {
        VirtualPrinter killed(
            {"--devices", p.table, "--port", "7", "--events", p.events, "--quiet"}, p.output);
        auto events = wait_for_events(p.events, [](auto& e) { return has_event(e, "ready"); });
        ASSERT_TRUE(has_event(events, "ready")) << read_text(p.output);
        device = events[0]["device"].str();
        target = events[0]["target"].str();
        ::kill(killed.pid(), SIGKILL);
        EXPECT_EQ(killed.wait(), 128 + SIGKILL);
    }
    ASSERT_EQ(fs::read_symlink(p.port).string(), target) << "the killed printer kept its link";

    // Take terminals until one gets the dead printer's number (other tests
    // may take it first; the link must lead nowhere either way).
    std::vector<testing_support::PseudoTerminal> terminals;
    for (int i = 0; i < 64; ++i) {
        terminals.emplace_back();
        if (device == terminals.back().path()) {
            break;
        }
    }
    int fd = ::open(p.port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int error = errno;
    EXPECT_LT(fd, 0) << p.port << " still leads to a terminal";
    EXPECT_EQ(error, ENOENT);
    if (fd >= 0) {
        ::close(fd);
    }
    terminals.clear();

    const std::string next_events = p.dir / "next.jsonl";
    VirtualPrinter next({"--devices", p.table, "--port", "7", "--events", next_events, "--quiet"},
                        p.output);
    auto events = wait_for_events(next_events, [](auto& e) { return has_event(e, "ready"); });
    ASSERT_TRUE(has_event(events, "ready")) << read_text(p.output);
    EXPECT_EQ(events[0]["replaced"].str(), target);
    next.stop();
    EXPECT_EQ(next.wait(), 0);
}

TEST(VirtualPrinterLink, OfARunningPrinterIsNotTakenByASecondOne) {
    Printer p;
    VirtualPrinter first({"--devices", p.table, "--port", "7", "--events", p.events, "--quiet"},
                         p.output);
    auto events = wait_for_events(p.events, [](auto& e) { return has_event(e, "ready"); });
    ASSERT_TRUE(has_event(events, "ready")) << read_text(p.output);
    const std::string link = fs::read_symlink(p.port).string();

    VirtualPrinter second(
        {"--devices", p.table, "--port", "7", "--events", p.dir / "second.jsonl", "--quiet"},
        p.dir / "second.txt");
    EXPECT_EQ(second.wait(), 1);
    const std::string refusal = read_text(p.dir / "second.txt");
    EXPECT_NE(refusal.find("still running"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("process " + std::to_string(first.pid())), std::string::npos) << refusal;
    EXPECT_EQ(fs::read_symlink(p.port).string(), link);

    // The first printer still has the port.
    ASSERT_EQ(write_job(p.port, {ascii("still here\r\n")}), 0);
    events = wait_for_events(p.events, [](auto& e) { return has_event(e, "line"); });
    ASSERT_TRUE(has_event(events, "line"));
    EXPECT_EQ(of_kind(events, "line")[0]["text"].str(), "still here");
    first.stop();
    EXPECT_EQ(first.wait(), 0);
}

// Process numbers come round again: a link left by an earlier printer may
// name this very printer's process and descriptor. That is a leftover, not
// a printer in the way.
TEST(VirtualPrinterLink, NamingThePrintersOwnProcessIsALeftover) {
    Printer p;
    fs::create_directories(p.table);
    const std::string port = p.port;
    VirtualPrinter program({"--devices", p.table, "--port", "7", "--events", p.events, "--quiet"},
                           p.output, std::nullopt, [port] {
                               // 600 + port: where the printer keeps its terminal.
                               std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/607";
                               if (::symlink(own.c_str(), port.c_str()) != 0) {
                                   ::_exit(125);
                               }
                           });
    auto events = wait_for_events(p.events, [](auto& e) { return has_event(e, "ready"); });
    ASSERT_TRUE(has_event(events, "ready")) << read_text(p.output);
    EXPECT_EQ(events[0]["target"].str(), events[0]["replaced"].str())
        << "the test meant to name the printer's own descriptor";
    program.stop();
    EXPECT_EQ(program.wait(), 0);
}

TEST(VirtualPrinterLink, APortTheFormDoesNotListIsLinkedWithAWarning) {
    Printer p;
    VirtualPrinter program({"--devices", p.table, "--port", "12", "--events", p.events, "--quiet"},
                           p.output);
    auto events = wait_for_events(p.events, [](auto& e) { return has_event(e, "ready"); });
    ASSERT_TRUE(has_event(events, "ready")) << read_text(p.output);
    EXPECT_NE(read_text(p.output).find("lists COM1 to COM9 only"), std::string::npos)
        << read_text(p.output);
    EXPECT_EQ(fs::read_symlink(p.table + "/COM12").string(), events[0]["target"].str());
    program.stop();
    EXPECT_EQ(program.wait(), 0);
}

// The documented way to regenerate the reference picture gives it back.
TEST(VirtualPrinterProgram, DecodeModeDrawsTheReferencePicture) {
    ScratchDir dir;
    const char* data = std::getenv("TALLYROLL_TEST_DATA");
    std::string root = std::string(data != nullptr ? data : "tests/data") + "/vprinter/";
    VirtualPrinter program({"--quiet", "--decode", root + "known_job.bin", "--png", dir / "x.png",
                            "--events", dir / "events.jsonl"},
                           dir / "output.txt");
    ASSERT_EQ(program.wait(), 0) << read_text(dir / "output.txt");
    std::string error;
    auto made = read_png(dir / "x.png", &error);
    auto reference = read_png(root + "known_job.png", &error);
    ASSERT_TRUE(made && reference) << error;
    EXPECT_EQ(*made, *reference);
    EXPECT_EQ(read_text(dir / "x.png"), read_text(root + "known_job.png")) << "the same bytes";
    EXPECT_FALSE(fs::exists(dir / "x-2.png"));
    auto events = read_events(dir / "events.jsonl");
    EXPECT_EQ(of_kind(events, "line").size(), 12u);
    EXPECT_FALSE(events.front().has("t_us")) << "a raw file carries no times";
    EXPECT_EQ(events.back()["pictures"].num(), 1);
}

// Unsigned 32-bit big-endian, as PNG stores numbers.
std::uint32_t png_number(const std::string& file, std::size_t at) {
    std::uint32_t n = 0;
    for (std::size_t i = at; i < at + 4 && i < file.size(); ++i) {
        n = n << 8 | static_cast<unsigned char>(file[i]);
    }
    return n;
}

// libpng reads no picture taller than 1,000,000 rows and writes none either:
// a roll past that used to leave the picture as it was. It now comes out as
// numbered pictures, each one readable.
TEST(VirtualPrinterProgram, ARollPastAMillionDotRowsComesOutAsNumberedPictures) {
    ScratchDir dir;
    // Set A at four times the height: every empty line feeds 64 dot rows.
    constexpr int kLines = 15700;
    const Bytes job = bytes({0x00, 0x1B, 0x55, 0x01, 0x1B, 0x56, 0x04, 0x1B, 0x2D, 0x00, 0x1B, 0x63,
                             0x00, 0x1B, 0x69, 0x00}) +
                      Bytes(kLines, '\n') + ascii("end\n");
    {
        std::ofstream(dir / "long.bin", std::ios::binary)
            .write(reinterpret_cast<const char*>(job.data()),
                   static_cast<std::streamsize>(job.size()));
    }
    VirtualPrinter program({"--quiet", "--decode", dir / "long.bin", "--png", dir / "roll.png",
                            "--events", dir / "events.jsonl"},
                           dir / "output.txt");
    ASSERT_EQ(program.wait(std::chrono::seconds(60)), 0) << read_text(dir / "output.txt");
    const Json end = read_events(dir / "events.jsonl").back();
    ASSERT_EQ(end["event"].str(), "end");
    const int count = static_cast<int>(end["pictures"].num());
    ASSERT_GT(count, 1);

    std::int64_t rows = 0;
    for (int n = 1; n <= count; ++n) {
        const std::string name = n == 1 ? "roll.png" : "roll-" + std::to_string(n) + ".png";
        const std::string file = read_text(dir / name);
        ASSERT_GT(file.size(), 24u) << name;
        EXPECT_EQ(png_number(file, 16), 464u) << name;
        const std::uint32_t height = png_number(file, 20);
        EXPECT_GT(height, 0u) << name;
        EXPECT_LE(height, 32000u) << name;
        rows += height;
    }
    EXPECT_FALSE(fs::exists(dir / ("roll-" + std::to_string(count + 1) + ".png")));
    EXPECT_EQ(rows, 16 + std::int64_t{kLines + 1} * 64 + 16);

    // The last picture reads back whole and ends in the last line.
    std::string error;
    auto last = read_png(dir / ("roll-" + std::to_string(count) + ".png"), &error);
    ASSERT_TRUE(last) << error;
    bool ink = false;
    for (int y = last->height() - 16 - 64; y < last->height() - 16; ++y) {
        for (int x = 0; x < last->width() && !ink; ++x) {
            ink = last->ink(x, y);
        }
    }
    EXPECT_TRUE(ink) << "the last line is missing";
}

// The printer holds one picture's worth of the roll, whatever arrives. It
// used to keep every line and draw the whole roll after each job: 200 KB of
// random bytes took over half a gigabyte. Here it must do with 256 MB of
// address space (the program itself takes a few tens).
TEST(VirtualPrinterProgram, RandomBytesAreDecodedWithinAFixedAddressSpace) {
    if (testing_support::kSanitizerAllocator) {
        GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
    }
    ScratchDir dir;
    std::mt19937 random(7);
    std::string stream(std::size_t{200} * 1024, '\0');
    for (char& c : stream) {
        c = static_cast<char>(random());
    }
    std::ofstream(dir / "random.bin", std::ios::binary) << stream;
    VirtualPrinter program({"--quiet", "--decode", dir / "random.bin", "--png", dir / "roll.png"},
                           dir / "output.txt", std::nullopt, [] {
                               rlimit limit{256u << 20, 256u << 20};
                               ::setrlimit(RLIMIT_AS, &limit);
                           });
    EXPECT_EQ(program.wait(std::chrono::seconds(60)), 0) << read_text(dir / "output.txt");
}

} // namespace
} // namespace vprinter::test
