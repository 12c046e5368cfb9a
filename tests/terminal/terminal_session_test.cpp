// The terminal front end in a real terminal (a tmux pane): it shows the grid,
// decodes keys and mouse, and leaves the terminal as it found it on every way
// out.
#include "terminal_fixture.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace terminal_test {
namespace {

class TerminalSession : public TerminalProgramTest {
protected:
    void start(const std::string& locale = "C.UTF-8") {
        startProgram("'" TERMINAL_PROBE "' --pid-file \"$DIR/pid\"", "Probe ready", locale);
    }
};

TEST_F(TerminalSession, ShowsTheGridAndDecodesKeysMouseAndResize) {
    start();
    EXPECT_NE(session_->capture().find("┌─ Probe ready ─"), std::string::npos);
    EXPECT_EQ(session_->paneFormat("#{cursor_x},#{cursor_y}"), "11,4");

    struct Step {
        std::string keys;
        std::string shown;
    };
    const Step steps[] = {
        {"Tab", "Last: Key Tab"},
        {"BTab", "Last: Key BackTab shift"},
        {"Enter", "Last: Key Enter"},
        {"Escape", "Last: Key Escape"},
        {"M-Down", "Last: Key Down alt"},
        {"M-x", "Last: Key Char x alt"},
        {"C-Home", "Last: Key Home ctrl"},
        {"C-End", "Last: Key End ctrl"},
        {"F4", "Last: Key F4"},
        {"F1", "Last: Key F1"},
        {"Up", "Last: Key Up"},
        {"PPage", "Last: Key PageUp"},
        {"NPage", "Last: Key PageDown"},
        {"Home", "Last: Key Home"},
        {"End", "Last: Key End"},
        {"BSpace", "Last: Key Backspace"},
        {"DC", "Last: Key Delete"},
    };
    for (const Step& step : steps) {
        session_->sendKeys(step.keys);
        EXPECT_TRUE(session_->waitForScreen(step.shown)) << step.keys << "\n"
                                                         << session_->capture();
    }
    session_->sendKeys("é", true);
    EXPECT_TRUE(session_->waitForScreen("Last: Key Char é")) << session_->capture();

    // An xterm mouse report: button 1 pressed, then released, at column 10, row 5.
    session_->sendBytes("\033[M\x20\x2b\x26");
    EXPECT_TRUE(session_->waitForScreen("Last: Mouse press 10,5")) << session_->capture();
    session_->sendBytes("\033[M\x23\x2b\x26");
    EXPECT_TRUE(session_->waitForScreen("Last: Mouse release 10,5")) << session_->capture();

    session_->resizeWindow(100, 30);
    EXPECT_TRUE(session_->waitForScreen("Last: Resize 100x30")) << session_->capture();
    session_->resizeWindow(80, 24);
    EXPECT_TRUE(session_->waitForScreen("Last: Resize 80x24")) << session_->capture();

    session_->sendKeys("q");
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
}

// ncurses reads keyboard input a byte at a time and a read may end inside a
// character: the probe shows "k" only after it has read the byte after it.
TEST_F(TerminalSession, ACharacterSplitBetweenReadsAndOneAfterAnInvalidByteArriveWhole) {
    start();
    session_->sendBytes("k\xC3");
    ASSERT_TRUE(session_->waitForScreen("Last: Key Char k")) << session_->capture();
    session_->sendBytes("\xA9");
    EXPECT_TRUE(session_->waitForScreen("Last: Key Char \xC3\xA9")) << session_->capture();
    session_->sendBytes("m\xFF"
                        "n"); // (q, a and x end the probe)
    EXPECT_TRUE(session_->waitForScreen("Last: Key Char n")) << session_->capture();
    session_->sendKeys("q");
    EXPECT_EQ(ended(), 0);
}

TEST_F(TerminalSession, CombiningMarksShowInTheCellOfTheirCharacter) {
    start();
    // tmux hands a cell back with its marks; the bar stays in its column.
    EXPECT_NE(session_->capture().find("Marks: Cafe\u0301\u200B|"), std::string::npos)
        << session_->capture();
    session_->sendKeys("q");
    EXPECT_EQ(ended(), 0);
}

TEST_F(TerminalSession, APasteIsOneTextEventAndTheTerminalStopsMarkingPastesAtTheEnd) {
    start();
    session_->paste("a\tb\nc\xC3\xA9");
    EXPECT_TRUE(session_->waitForScreen("Last: Text a\\tb\\nc\xC3\xA9")) << session_->capture();
    session_->sendKeys("q");
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
    // The shell's terminal echoes a paste; with the marks still on it would
    // show them as ^[[200~.
    session_->paste("after");
    ASSERT_TRUE(session_->waitForScreen("after")) << session_->capture();
    EXPECT_EQ(session_->capture().find("200~"), std::string::npos) << session_->capture();
}

// A locale compiled for the test into a folder of its own, so that it does
// not matter which locales the machine has installed.
std::string CompileLatin1Locale(const std::string& folder) {
    const std::string command =
        "localedef -i en_US -f ISO-8859-1 '" + folder + "/en_US.ISO-8859-1' >/dev/null 2>&1";
    return testing_support::RunShellCommand(command).status == 0 ? folder : std::string();
}

TEST_F(TerminalSession, DrawsLinesInAsciiWhenTheLocaleIsNotUtf8) {
    const testing_support::TempFolder locales("tallyroll-locale");
    const std::string folder = CompileLatin1Locale(locales.path());
    if (folder.empty()) {
        GTEST_SKIP() << "localedef cannot make a Latin-1 locale here";
    }
    start("en_US.ISO-8859-1 LOCPATH='" + folder + "'");
    EXPECT_NE(session_->capture().find("+- Probe ready -"), std::string::npos)
        << session_->capture();
    session_->sendKeys("q");
    EXPECT_EQ(ended(), 0);
    expectTerminalRestored();
}

// One way out of the program, and the exit status the shell should see.
struct WayOut {
    const char* name;
    const char* keys; // pressed in the probe, or
    int signalToSend; // sent to it
    int exitSignal;   // 0: a normal end with status 0; else 128 + the signal
};

void PrintTo(const WayOut& way, std::ostream* out) {
    *out << way.name;
}

class TerminalRestored : public TerminalSession, public ::testing::WithParamInterface<WayOut> {};

TEST_P(TerminalRestored, OnEveryWayOut) {
    const WayOut& way = GetParam();
    start();
    if (way.keys != nullptr) {
        session_->sendKeys(way.keys);
    } else {
        ASSERT_EQ(kill(programPid(), way.signalToSend), 0);
    }
    const int status = ended();
    if (way.exitSignal == 0) {
        EXPECT_EQ(status, 0);
    } else if (const bool stop = way.exitSignal == SIGINT || way.exitSignal == SIGTERM ||
                                 way.exitSignal == SIGHUP;
               kSanitized && !stop) {
        EXPECT_NE(status, 0); // the sanitizer may report the crash itself
    } else {
        EXPECT_EQ(status, 128 + way.exitSignal); // died of the signal, re-raised
    }
    expectTerminalRestored();
}

INSTANTIATE_TEST_SUITE_P(Terminal, TerminalRestored,
                         ::testing::Values(WayOut{"QuitKey", "q", 0, 0},
                                           WayOut{"CtrlC", "C-c", 0, 0},
                                           WayOut{"Sigterm", nullptr, SIGTERM, SIGTERM},
                                           WayOut{"Sighup", nullptr, SIGHUP, SIGHUP},
                                           WayOut{"Sigint", nullptr, SIGINT, SIGINT},
                                           WayOut{"SegmentationFault", "x", 0, SIGSEGV},
                                           WayOut{"Abort", "a", 0, SIGABRT},
                                           WayOut{"Sigbus", nullptr, SIGBUS, SIGBUS},
                                           WayOut{"Sigfpe", nullptr, SIGFPE, SIGFPE},
                                           WayOut{"Sigill", nullptr, SIGILL, SIGILL}),
                         [](const auto& way) { return std::string(way.param.name); });

// Every other signal whose default is to end a process: the terminal is put
// back and the process dies of the signal, so the shell sees 128+n.
struct EndingSignal {
    const char* name;
    int signal;
};

void PrintTo(const EndingSignal& ending, std::ostream* out) {
    *out << ending.name;
}

class EndingSignalRestores : public TerminalSession,
                             public ::testing::WithParamInterface<EndingSignal> {};

TEST_P(EndingSignalRestores, TheTerminalAndDiesOfIt) {
    start();
    ASSERT_EQ(kill(programPid(), GetParam().signal), 0);
    EXPECT_EQ(ended(), 128 + GetParam().signal);
    expectTerminalRestored();
}

// The program's own write to a pipe whose reader is gone (a printer that
// closed its end) raises SIGPIPE too; that one is a failed write.
TEST_F(TerminalSession, ItsOwnWriteToAClosedPipeFailsAndTheProgramGoesOn) {
    start();
    session_->sendKeys("p");
    EXPECT_TRUE(session_->waitForScreen("Last: Write failed: broken pipe")) << session_->capture();
    session_->sendKeys("q");
    EXPECT_EQ(ended(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Terminal, EndingSignalRestores,
    ::testing::Values(EndingSignal{"Sigusr1", SIGUSR1}, EndingSignal{"Sigusr2", SIGUSR2},
                      EndingSignal{"Sigalrm", SIGALRM}, EndingSignal{"Sigpipe", SIGPIPE},
                      EndingSignal{"Sigxcpu", SIGXCPU}, EndingSignal{"Sigxfsz", SIGXFSZ},
                      EndingSignal{"Sigsys", SIGSYS}, EndingSignal{"Sigtrap", SIGTRAP},
                      EndingSignal{"Sigvtalrm", SIGVTALRM}, EndingSignal{"Sigprof", SIGPROF}),
    [](const auto& ending) { return std::string(ending.param.name); });

} // namespace
} // namespace terminal_test
