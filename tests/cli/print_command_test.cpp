// "tallyroll print" and "tallyroll test" as a shell runs them, against a
// printer on a pseudo-terminal linked in a private device table: the bytes
// for every choice, to the port and with --output; text from pipes and
// files; and every way a command can fail or be stopped.
#include "command_process.h"
#include "engine/command_set.h"
#include "engine/format_block.h"
#include "tests/support/pty_printer.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace testing_support;
using cli_test::CommandProcess;
using cli_test::CommandResult;
using cli_test::CommandSetup;
using cli_test::RunCommand;

const Bytes kLeadIn = ToBytes({0x00, 0x00});
const Bytes kLineEnd = ToBytes({0x0D, 0x0A, 0x00, 0x00});

// The format block the engine fills for the model and options, and the job
// around it as the form sends it: lead-in, block, text, line end.
Bytes Job(int nModel, FormatOptions options, const std::string& textBytes) {
    Bytes block(16);
    FillFormatBlock(block.data(), *CommandSetForModel(nModel), options);
    return Join({kLeadIn, block, ToBytes(textBytes), kLineEnd});
}

Bytes Job(const std::string& textBytes) {
    return Job(0, FormatOptions{}, textBytes);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

class PrintCommand : public ::testing::Test {
protected:
    PrintCommand() { table_.Link(3, printer_.path()); }

    std::string file(const std::string& name, const std::string& bytes) const {
        std::string path = folder_.path() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    CommandResult run(std::vector<std::string> args, const std::string& input = "",
                      std::vector<std::pair<std::string, std::string>> environment = {}) const {
        CommandSetup setup;
        setup.args = std::move(args);
        setup.input = input;
        setup.environment = std::move(environment);
        return RunCommand(setup);
    }

    TempFolder folder_{"tallyroll-print-command"};
    DeviceTable table_;
    PtyPrinter printer_;
};

struct Case {
    const char* name;
    std::vector<std::string> options;
    std::string text;   // the file's bytes
    std::string locale; // LC_ALL of the program
    Bytes expected;
};

std::vector<Case> Matrix() {
    std::vector<Case> cases;
    cases.reserve(20);
    const char* models[] = {"qelvo", "Rinth", "SOVAK", "Wexol"};
    for (int m = 0; m < 4; ++m) {
        cases.push_back({models[m], {"-p", models[m]}, "AB", "C.UTF-8", Job(m, {}, "AB")});
    }
    for (int f = 1; f <= 4; ++f) {
        FormatOptions o;
        o.nWidth = f - 1;
        o.nHeight = 4 - f;
        cases.push_back(
            {"width and height",
             {"-w", std::to_string(f), "--height=x" + std::to_string(5 - f), "-p", "wexol"},
             "size",
             "C.UTF-8",
             Job(3, o, "size")});
    }
    FormatOptions u;
    u.bUnderline = 1;
    FormatOptions d;
    d.bDirection = 1;
    FormatOptions w;
    w.bWhite = 1;
    cases.push_back({"underline", {"-u"}, "flag", "C.UTF-8", Job(0, u, "flag")});
    cases.push_back(
        {"direction", {"--direction", "-p", "sovak"}, "flag", "C.UTF-8", Job(2, d, "flag")});
    cases.push_back({"white", {"-W", "-p", "rinth"}, "flag", "C.UTF-8", Job(1, w, "flag")});
    cases.push_back({"empty text", {}, "", "C.UTF-8", Job("")});
    // Not UTF-8, so read in 1252, and sent as the same bytes.
    const std::string western = "Gr\xFC\xDF Gott, caf\xE9 \x80 5";
    cases.push_back({"1252 file", {}, western, "C.UTF-8", Job(western)});
    // UTF-8 with characters 1252 has, sent in 1252.
    cases.push_back(
        {"UTF-8 in 1252", {}, "caf\xC3\xA9 \xE2\x82\xAC", "en_US.UTF-8", Job("caf\xE9 \x80")});
    // GBK bytes (not UTF-8) in a Chinese locale, and UTF-8 Chinese sent in 936.
    cases.push_back(
        {"936 file", {}, "\xD6\xD0\xCE\xC4 ok", "zh_CN.UTF-8", Job("\xD6\xD0\xCE\xC4 ok")});
    cases.push_back(
        {"UTF-8 in 936", {}, "\xE4\xB8\xAD\xE6\x96\x87", "zh_CN.UTF-8", Job("\xD6\xD0\xCE\xC4")});
    // Large enough that the engine converts and sends it in pieces.
    std::string large;
    for (int i = 0; large.size() < std::size_t{200} * 1024; ++i) {
        large += "line " + std::to_string(i) + " of a long text\n";
    }
    cases.push_back({"200 KB", {"-q"}, large, "C.UTF-8", Job(large)});
    return cases;
}

TEST_F(PrintCommand, EveryChoiceSendsTheFormsBytesToThePortAndToTheOutput) {
    const std::string output = folder_.path() + "/job.bin";
    for (const Case& c : Matrix()) {
        SCOPED_TRACE(c.name);
        const std::string path = file("text.txt", c.text);
        std::vector<std::string> args{"print"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(path);
        const CommandResult toPort = run(args, "", {{"LC_ALL", c.locale}});
        EXPECT_EQ(toPort.status, 0) << toPort.err;
        EXPECT_TRUE(printer_.WaitForBytes(c.expected.size()));
        const Bytes sent = printer_.Drain();
        EXPECT_EQ(sent.size(), c.expected.size());
        EXPECT_TRUE(sent == c.expected);

        args.insert(args.begin() + 1, {"-o", output});
        const CommandResult toFile = run(args, "", {{"LC_ALL", c.locale}});
        EXPECT_EQ(toFile.status, 0) << toFile.err;
        EXPECT_TRUE(ToBytes(ReadFile(output)) == c.expected);
        EXPECT_TRUE(printer_.Drain().empty()) << "--output leaves the port alone";
    }
}

TEST_F(PrintCommand, StandardInputIsReadAsTheLoaderReadsAFile) {
    // Bytes from a pipe, as they are, with the form's line end.
    CommandResult r = run({"print", "-c", "3"}, "A\nB");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(printer_.Drain(), Job("A\nB"));

    r = run({"print"}, "");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(printer_.Drain(), Job(""));

    // UTF-16 by its mark; zero bytes dropped; "-" names standard input.
    r = run({"print", "-"}, std::string("\xFF\xFE"
                                        "A\0\xE9\0",
                                        6));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(printer_.Drain(), Job("A\xE9"));
    r = run({"print"}, std::string("x\0y\0\0z", 6));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(printer_.Drain(), Job("xyz"));
    // UTF-8 that turns out not to be so after the first chunk is read again
    // in the ANSI code page, whole.
    const std::string mixed = std::string(5000, 'a') + "\xC3\xA9" + std::string(5000, 'b') + "\xE9";
    r = run({"print", "-q"}, mixed);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(printer_.Drain(),
              Job(std::string(5000, 'a') + "\xC3\xA9" + std::string(5000, 'b') + "\xE9"));
}

// Bytes that read both as UTF-8 and in the double-byte ANSI code page are
// read from a pipe as the loader reads them from a file: in the code page
// where the locale's own character set is not UTF-8, as UTF-8 where it is.
TEST_F(PrintCommand, StandardInputThatReadsBothWaysFollowsTheLocaleAsAFileDoes) {
    const std::string both = "\xD0\xBB\xD0\xBB"; // 936's "谢谢", UTF-8's "лл"
    const std::string path = file("thanks.txt", both);
    for (const char* locale : {"zh_CN.GBK", "zh_CN.UTF-8"}) {
        SCOPED_TRACE(locale);
        CommandResult r = run({"print", path}, "", {{"LC_ALL", locale}});
        EXPECT_EQ(r.status, 0) << r.err;
        const Bytes fromFile = printer_.Drain();
        r = run({"print"}, both, {{"LC_ALL", locale}});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(printer_.Drain(), fromFile);
    }
    const CommandResult gbk = run({"print", "-o", "-"}, both, {{"LC_ALL", "zh_CN.GBK"}});
    EXPECT_TRUE(ToBytes(gbk.out) == Job(both)) << "the code page's reading, byte for byte";
}

TEST_F(PrintCommand, FilesPrintInOrderAndAMissingOneStopsTheRest) {
    const std::string first = file("first.txt", "one");
    const std::string third = file("third.txt", "three");
    const std::string utf16 = file("wide.txt", std::string("\xFE\xFF\0W\0\xE9", 6));
    const std::string binary = file("binary.bin", std::string("\x01\0\x02\0\0\xFF", 6));
    CommandResult r = run({"print", first, utf16, binary});
    EXPECT_EQ(r.status, 0) << r.err;
    // Zero bytes are dropped; the rest is read in the ANSI code page.
    EXPECT_EQ(printer_.Drain(), Join({Job("one"), Job("W\xE9"), Job("\x01\x02\xFF")}));

    r = run({"print", first, folder_.path() + "/missing.txt", third});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tallyroll: Could not open file!\n");
    EXPECT_EQ(printer_.Drain(), Job("one")) << "the first printed, the third not";
}

TEST_F(PrintCommand, TestSendsTheTestPage) {
    const CommandResult r = run({"test", "--com", "COM3"});
    EXPECT_EQ(r.status, 0) << r.err;
    const Bytes page = printer_.Drain();
    ASSERT_GT(page.size(), 10U);
    EXPECT_EQ(Bytes(page.begin(), page.begin() + 8), ToBytes({0, 0, 0, 0, 0, 0, 0x1B, 0x40}));
}

TEST_F(PrintCommand, FailuresAreTheFormsMessagesAndStatusOne) {
    CommandResult r = run({"print", "-c", "4"}, "x");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tallyroll: Unable to open COM4:, Error No.=2\n");

    // A job that holds the port (a stalled printer) keeps every other out.
    printer_.Resume();
    PtyPrinter stalled(PtyPrinter::Start::Stalled);
    table_.Link(5, stalled.path());
    CommandSetup holder;
    holder.args = {"print", "-c", "5", "-q"};
    holder.input = std::string(std::size_t{64} * 1024, 'h');
    CommandProcess holding(holder);
    ASSERT_GT(stalled.WaitUntilFull(), 0U);
    r = run({"print", "-c", "5"}, "x");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tallyroll: Unable to open COM5:, Error No.=5\n");
    ::kill(holding.pid(), SIGTERM);
    EXPECT_EQ(holding.Wait().status, 128 + SIGTERM);
}

TEST_F(PrintCommand, BadWordsAreAUsageErrorAndSendNothing) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"print", "--colour"}, {"print", "-w", "9"}, {"test", "x"}}) {
        const CommandResult r = run(args, "x");
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("Usage: tallyroll"), std::string::npos) << r.err;
    }
    EXPECT_TRUE(printer_.Drain().empty());
}

// Ctrl+C cancels the waiting write as Esc does in the form and ends with
// 130; SIGTERM ends it too. Either way the port is free at once after.
TEST_F(PrintCommand, ASignalCancelsAStalledJobAndReleasesThePort) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        PtyPrinter stalled(PtyPrinter::Start::Stalled);
        table_.Link(6, stalled.path());
        CommandSetup setup;
        setup.args = {"print", "-c", "6"};
        setup.input = std::string(std::size_t{64} * 1024, 's');
        CommandProcess job(setup);
        ASSERT_GT(stalled.WaitUntilFull(), 0U);
        ::kill(job.pid(), signal);
        bool ended = false;
        const CommandResult r = job.WaitAtMost(std::chrono::seconds(10), ended);
        ASSERT_TRUE(ended) << "the signal did not end the stalled job";
        EXPECT_EQ(r.status, 128 + signal);
        EXPECT_NE(r.err.find("tallyroll: Can't Send Data to Printer!"), std::string::npos) << r.err;
        // The port opens again at once: the ended process let it go.
        stalled.Resume();
        const CommandResult next = run({"test", "-c", "6"});
        EXPECT_EQ(next.status, 0) << next.err;
    }
}

// `tallyroll print -o - | head -c0`: the reader has gone; or standard
// output is the terminal itself.
TEST_F(PrintCommand, AStandardOutputThatCannotTakeTheBytesFailsTheJob) {
    CommandSetup setup;
    setup.args = {"print", "-o", "-"};
    setup.input = "x";
    setup.outputUnread = true;
    const CommandResult r = RunCommand(setup);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tallyroll: Can't Send Data to Printer!\n");

    // Printer bytes are never written over the user's terminal.
    PtyPrinter terminal;
    setup.outputUnread = false;
    setup.outputFd = terminal.slave_fd();
    const CommandResult onTerminal = RunCommand(setup);
    EXPECT_EQ(onTerminal.status, 1);
    EXPECT_NE(onTerminal.err.find("standard output is a terminal"), std::string::npos);
    EXPECT_TRUE(terminal.Drain().empty());
}

// The progress line is for a person watching a terminal: on a terminal it
// shows while a long job waits and is erased after; never in a file, never
// with --quiet. The quiet job and the one writing to a file stall alongside
// one that shows its line, so they have had every chance to show theirs.
TEST_F(PrintCommand, ProgressShowsOnATerminalOnly) {
    PtyPrinter shownPort(PtyPrinter::Start::Stalled);
    PtyPrinter quietPort(PtyPrinter::Start::Stalled);
    PtyPrinter filePort(PtyPrinter::Start::Stalled);
    table_.Link(7, shownPort.path());
    table_.Link(8, quietPort.path());
    table_.Link(9, filePort.path());
    // Further pseudo-terminals stand for the user's terminal.
    PtyPrinter shownTerminal;
    PtyPrinter quietTerminal;
    const auto setup = [](const char* port, int errorFd, bool quiet) {
        CommandSetup s;
        s.args = {"print", "-c", port};
        if (quiet) {
            s.args.emplace_back("--quiet");
        }
        s.input = std::string(std::size_t{64} * 1024, 'p');
        s.errorFd = errorFd;
        return s;
    };
    CommandProcess shown(setup("7", shownTerminal.slave_fd(), false));
    CommandProcess quiet(setup("8", quietTerminal.slave_fd(), true));
    CommandProcess toFile(setup("9", -1, false));
    ASSERT_GT(shownPort.WaitUntilFull(), 0U);
    ASSERT_GT(quietPort.WaitUntilFull(), 0U);
    ASSERT_GT(filePort.WaitUntilFull(), 0U);
    // Two updates of the line: the others have been busy as long.
    ASSERT_TRUE(shownTerminal.WaitForBytes(1));
    const std::size_t first = shownTerminal.ReceivedSize();
    ASSERT_TRUE(shownTerminal.WaitForBytes(first + 1));
    for (PtyPrinter* port : {&shownPort, &quietPort, &filePort}) {
        port->Resume();
    }
    EXPECT_EQ(shown.Wait().status, 0);
    EXPECT_EQ(quiet.Wait().status, 0);
    const CommandResult fileResult = toFile.Wait();
    EXPECT_EQ(fileResult.status, 0);

    const Bytes line = shownTerminal.Drain();
    const std::string text(line.begin(), line.end());
    EXPECT_NE(text.find("tallyroll: COM7"), std::string::npos) << text;
    EXPECT_NE(text.find(" of 64.0 KB"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\r\033[K")) << "erased at the end: " << text;
    EXPECT_TRUE(quietTerminal.Drain().empty());
    EXPECT_EQ(fileResult.err, "");
}

} // namespace
