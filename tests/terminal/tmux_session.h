// A private tmux server with one 80x24 pane, for tests of the real terminal.
// Every wait polls for a condition with a bounded time-out.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace terminal_test {

bool TmuxAvailable();

class TmuxSession {
public:
    // Runs shellCommand (a POSIX sh script) in the pane, in a fresh folder
    // that the script reaches as "$DIR".
    explicit TmuxSession(const std::string& shellCommand);
    ~TmuxSession();
    TmuxSession(const TmuxSession&) = delete;
    TmuxSession& operator=(const TmuxSession&) = delete;

    const std::string& dir() const { return dir_; }
    bool started() const { return started_; }

    std::string capture() const;
    // The cell (column, row) where text starts on the screen; characters are
    // taken to be one cell wide.
    bool findOnScreen(const std::string& text, int& column, int& row) const;
    // A tmux format evaluated for the pane: "#{alternate_on}".
    std::string paneFormat(const std::string& format) const;
    // Keys in tmux's names ("Tab", "M-Down", "C-c") or, with literal, as text.
    void sendKeys(const std::string& keys, bool literal = false) const;
    void resizeWindow(int width, int height) const;
    // Bytes written to the pane's input as they are (an escape sequence).
    void sendBytes(const std::string& bytes) const;
    // Pastes text as a terminal does: between the bracketed-paste marks when
    // the program asked for them, each line feed sent as a carriage return.
    void paste(const std::string& text) const;
    // Ends tmux with its pane, as closing a terminal window does: the
    // programs in it are hung up.
    void closeTerminal();
    // The terminal stops reading what the programs in the pane write, as a
    // frozen emulator does (tmux itself is stopped), and reads again. No
    // other call may be made while it is frozen; the session thaws it when
    // it ends.
    void freeze();
    void thaw();

    bool waitForScreen(const std::string& text,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    bool waitForFile(const std::string& name,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    std::string readFile(const std::string& name) const;

private:
    std::string tmux(const std::string& arguments) const;

    std::string dir_;
    std::string socket_;
    bool started_ = false;
    int frozenServer_ = 0; // the stopped tmux server's pid, or 0
};

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

} // namespace terminal_test
