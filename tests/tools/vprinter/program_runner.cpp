#include "tests/tools/vprinter/program_runner.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vprinter::test {

std::string program_path() {
    return VPRINTER_PROGRAM;
}

VirtualPrinter::VirtualPrinter(const std::vector<std::string>& args, const std::string& output,
                               std::optional<uid_t> as_user,
                               const std::function<void()>& before_exec) {
    std::vector<std::string> argv_text{program_path()};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(argv_text.size() + 1);
    for (std::string& a : argv_text) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    pid_ = child;
    if (child == 0) {
        int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (fd >= 0) {
            ::dup2(fd, STDOUT_FILENO);
            ::dup2(fd, STDERR_FILENO);
        }
        if (as_user && (::setgid(*as_user) != 0 || ::setuid(*as_user) != 0)) {
            ::_exit(126);
        }
        ::setenv("TERM", "dumb", 1);
        if (before_exec) {
            before_exec();
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
}

VirtualPrinter::~VirtualPrinter() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void VirtualPrinter::stop() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGTERM);
    }
}

int VirtualPrinter::wait(std::chrono::milliseconds limit) {
    if (status_) {
        return *status_;
    }
    auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int raw = 0;
        pid_t done = ::waitpid(pid_, &raw, WNOHANG);
        if (done == pid_) {
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            return *status_;
        }
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            status_ = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<Json> read_events(const std::string& path) {
    std::string text = read_text(path);
    text.erase(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
    auto events = parse_json_lines(text);
    if (!events) {
        throw std::runtime_error(path + " holds a line that is not JSON");
    }
    return *events;
}

std::vector<Json> wait_for_events(const std::string& path,
                                  const std::function<bool(const std::vector<Json>&)>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<Json> events;
    while (std::chrono::steady_clock::now() < end) {
        events = read_events(path);
        if (done(events)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return events;
}

std::vector<Json> of_kind(const std::vector<Json>& events, const std::string& kind) {
    std::vector<Json> out;
    for (const Json& e : events) {
        if (e["event"].str() == kind) {
            out.push_back(e);
        }
    }
    return out;
}

} // namespace vprinter::test
