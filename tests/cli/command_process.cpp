#include "command_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ; // NOLINT(readability-redundant-declaration)

namespace cli_test {
namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::string> EnvironmentWith(const CommandSetup& setup) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const auto& [name, value] : setup.environment) {
            replaced = replaced || entry.starts_with(name + "=");
        }
        if (!replaced) {
            env.push_back(entry);
        }
    }
    for (const auto& [name, value] : setup.environment) {
        env.push_back(name + "=" + value);
    }
    return env;
}

} // namespace

CommandProcess::CommandProcess(const CommandSetup& setup) {
    // Everything the child needs is made before fork: after it, only calls
    // that are safe in a copy of a threaded process.
    std::vector<std::string> argStrings{TALLYROLL_BINARY};
    argStrings.insert(argStrings.end(), setup.args.begin(), setup.args.end());
    std::vector<char*> argv;
    argv.reserve(argStrings.size() + 1);
    for (std::string& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envStrings = EnvironmentWith(setup);
    std::vector<char*> envp;
    envp.reserve(envStrings.size() + 1);
    for (std::string& e : envStrings) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    const std::string outPath = folder_.path() + "/out";
    const std::string errPath = folder_.path() + "/err";
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int input[2] = {-1, -1};
    int unread[2] = {-1, -1};
    if (::pipe2(input, O_CLOEXEC) == -1 || ::pipe2(unread, O_CLOEXEC) == -1 || out == -1 ||
        err == -1) {
        return;
    }
    ::close(unread[0]);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(input[0], STDIN_FILENO);
        ::dup2(setup.outputUnread     ? unread[1]
               : setup.outputFd != -1 ? setup.outputFd
                                      : out,
               STDOUT_FILENO);
        ::dup2(setup.errorFd != -1 ? setup.errorFd : err, STDERR_FILENO);
        // The test process may ignore or block signals the program relies on.
        (void)::signal(SIGINT, SIG_DFL);
        (void)::signal(SIGTERM, SIG_DFL);
        (void)::signal(SIGPIPE, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(input[0]);
    ::close(unread[1]);
    ::close(out);
    ::close(err);
    // A program that leaves its input unread must not end the test with it.
    (void)::signal(SIGPIPE, SIG_IGN);
    const int writeEnd = input[1];
    feeder_ = std::thread([writeEnd, bytes = setup.input] {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(writeEnd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                break; // the program stopped reading
            }
            done += static_cast<std::size_t>(n);
        }
        ::close(writeEnd);
    });
}

CommandProcess::~CommandProcess() {
    if (!waited_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        (void)Wait();
    }
    if (feeder_.joinable()) {
        feeder_.join();
    }
}

CommandResult CommandProcess::Wait() {
    CommandResult result;
    if (pid_ <= 0) {
        return result;
    }
    int status = 0;
    while (::waitpid(pid_, &status, 0) == -1 && errno == EINTR) {
    }
    waited_ = true;
    if (feeder_.joinable()) {
        feeder_.join();
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadWhole(folder_.path() + "/out");
    result.err = ReadWhole(folder_.path() + "/err");
    return result;
}

CommandResult CommandProcess::WaitAtMost(std::chrono::seconds bound, bool& endedByItself) {
    endedByItself = true;
    if (pid_ <= 0) {
        return Wait();
    }
    // The process's own descriptor becomes readable when it ends.
    const int pidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    if (pidFd != -1) {
        pollfd ended{pidFd, POLLIN, 0};
        int ready = -1;
        do {
            ready = ::poll(&ended, 1, static_cast<int>(bound.count() * 1000));
        } while (ready == -1 && errno == EINTR);
        ::close(pidFd);
        if (ready == 0) {
            endedByItself = false;
            ::kill(pid_, SIGKILL);
        }
    }
    return Wait();
}

CommandResult RunCommand(const CommandSetup& setup) {
    CommandProcess process(setup);
    return process.Wait();
}

} // namespace cli_test
