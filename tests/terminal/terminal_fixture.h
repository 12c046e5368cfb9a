// A program run in a tmux pane between two records of the pane's terminal
// settings (`stty -a`), so that a test can check that the program leaves the
// terminal as it found it, however it ended.
#pragma once

#include "tmux_session.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/types.h>

namespace terminal_test {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

class TerminalProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!TmuxAvailable()) {
            GTEST_SKIP() << "tmux is not installed";
        }
    }

    // Runs command (a shell command line; "$DIR" is the session's folder) and
    // waits until readyText is on the screen and the program wrote "$DIR/pid".
    void startProgram(const std::string& command, const std::string& readyText,
                      const std::string& locale) {
        const std::string script = "ulimit -c 0\n"
                                   "export LC_ALL=" +
                                   locale +
                                   " TERM=tmux-256color\n"
                                   "stty -a > \"$DIR/before\"\n" +
                                   command +
                                   "\n"
                                   "echo $? > \"$DIR/rc.part\"\n"
                                   "stty -a > \"$DIR/after\"\n"
                                   "mv \"$DIR/rc.part\" \"$DIR/rc\"\n"
                                   "exec sleep 600\n";
        session_ = std::make_unique<TmuxSession>(script);
        ASSERT_TRUE(session_->started());
        ASSERT_TRUE(session_->waitForScreen(readyText)) << session_->capture();
        ASSERT_TRUE(session_->waitForFile("pid"));
    }

    pid_t programPid() const { return static_cast<pid_t>(std::stol(session_->readFile("pid"))); }

    // Waits for the program to end; answers its exit status as the shell saw it.
    int ended() const {
        EXPECT_TRUE(session_->waitForFile("rc")) << session_->capture();
        return std::stoi(session_->readFile("rc"));
    }

    void expectTerminalRestored() const {
        EXPECT_EQ(session_->readFile("before"), session_->readFile("after"));
        // Primary screen, cursor shown, no mouse reporting, cursor keys in
        // normal mode.
        EXPECT_EQ(session_->paneFormat(
                      "#{alternate_on} #{cursor_flag} #{mouse_any_flag} #{keypad_cursor_flag}"),
                  "0 1 0 0");
    }

    std::unique_ptr<TmuxSession> session_;
};

} // namespace terminal_test
