#include "tmux_session.h"

#include "tests/support/shell_command.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace terminal_test {
namespace {

std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

std::string Run(const std::string& command) {
    return testing_support::RunShellCommand(command + " 2>/dev/null").output;
}

} // namespace

bool TmuxAvailable() {
    return testing_support::RunShellCommand("command -v tmux >/dev/null 2>&1").status == 0;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

TmuxSession::TmuxSession(const std::string& shellCommand) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tallyroll-tmux-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return;
    }
    dir_ = pattern;
    socket_ = dir_ + "/socket";
    std::ofstream(dir_ + "/run.sh") << "DIR=" << Quote(dir_) << "\n" << shellCommand << "\n";
    const std::string command = "sh " + Quote(dir_ + "/run.sh");
    // -f /dev/null: none of the user's settings; a fixed size, whatever runs the tests.
    started_ = testing_support::RunShellCommand("tmux -S " + Quote(socket_) +
                                                " -f /dev/null new-session -d -x 80 -y 24 " +
                                                Quote(command) + " >/dev/null 2>&1")
                   .status == 0;
}

void TmuxSession::freeze() {
    if (started_ && frozenServer_ == 0) {
        const std::string pid = tmux("display-message -p '#{pid}'");
        frozenServer_ = static_cast<int>(std::strtol(pid.c_str(), nullptr, 10));
        if (frozenServer_ > 0) {
            ::kill(frozenServer_, SIGSTOP);
        }
    }
}

void TmuxSession::thaw() {
    if (frozenServer_ > 0) {
        ::kill(frozenServer_, SIGCONT);
    }
    frozenServer_ = 0;
}

void TmuxSession::closeTerminal() {
    thaw();
    if (started_) {
        tmux("kill-server");
        started_ = false;
    }
}

TmuxSession::~TmuxSession() {
    thaw();
    if (started_) {
        tmux("kill-server");
    }
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

std::string TmuxSession::tmux(const std::string& arguments) const {
    return Run("tmux -S " + Quote(socket_) + " " + arguments);
}

std::string TmuxSession::capture() const {
    return tmux("capture-pane -p");
}

bool TmuxSession::findOnScreen(const std::string& text, int& column, int& row) const {
    const std::string screen = capture();
    std::size_t lineStart = 0;
    for (int y = 0; lineStart < screen.size(); ++y) {
        std::size_t lineEnd = screen.find('\n', lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = screen.size();
        }
        const std::string line = screen.substr(lineStart, lineEnd - lineStart);
        if (const std::size_t at = line.find(text); at != std::string::npos) {
            // Count characters, not bytes: UTF-8 continuation bytes add no cell.
            column =
                static_cast<int>(std::count_if(line.begin(), line.begin() + static_cast<long>(at),
                                               [](char c) { return (c & 0xC0) != 0x80; }));
            row = y;
            return true;
        }
        lineStart = lineEnd + 1;
    }
    return false;
}

std::string TmuxSession::paneFormat(const std::string& format) const {
    std::string value = tmux("display-message -p " + Quote(format));
    while (!value.empty() && value.back() == '\n') {
        value.pop_back();
    }
    return value;
}

void TmuxSession::sendKeys(const std::string& keys, bool literal) const {
    tmux(literal ? "send-keys -l " + Quote(keys) : "send-keys " + keys);
}

void TmuxSession::resizeWindow(int width, int height) const {
    tmux("resize-window -x " + std::to_string(width) + " -y " + std::to_string(height));
}

void TmuxSession::sendBytes(const std::string& bytes) const {
    std::ostringstream hex;
    hex << "send-keys -H";
    for (unsigned char c : bytes) {
        hex << ' ' << std::hex << static_cast<int>(c);
    }
    tmux(hex.str());
}

void TmuxSession::paste(const std::string& text) const {
    // Through a file: a command to the tmux server holds at most 16 KB.
    const std::string file = dir_ + "/pasted";
    std::ofstream(file, std::ios::binary) << text;
    tmux("load-buffer -b pasted " + Quote(file));
    tmux("paste-buffer -p -d -b pasted");
}

bool TmuxSession::waitForScreen(const std::string& text, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return capture().find(text) != std::string::npos; }, timeout);
}

bool TmuxSession::waitForFile(const std::string& name, std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return std::filesystem::exists(dir_ + "/" + name); }, timeout);
}

std::string TmuxSession::readFile(const std::string& name) const {
    std::ifstream in(dir_ + "/" + name);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

} // namespace terminal_test
