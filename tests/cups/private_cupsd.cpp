#include "private_cupsd.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace cups_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kBound = 20s;
constexpr const char* kScheduler = "/usr/sbin/cupsd";

// A loopback port nobody listens on now.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool accepted = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return accepted;
}

// Waits for a condition, checking it every few milliseconds, up to a bound.
template <typename Condition> bool WaitFor(Condition condition) {
    const auto end = std::chrono::steady_clock::now() + kBound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

} // namespace

bool SchedulerInstalled() {
    return ::access(kScheduler, X_OK) == 0;
}

PrivateCupsd::PrivateCupsd(const std::string& extraDirectives) : port_(FreePort()) {
    const fs::path root = root_.path();
    // The scheduler's helpers (cups-driverd listing the PPDs) run as lp, who
    // must reach the folders; what the jobs leave is removed with the root.
    fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    for (const char* folder :
         {"bin/backend", "share/model", "spool/temp", "cache", "state", "log"}) {
        fs::create_directories(root / folder);
    }
    // The system's helpers and filters as they are; the backend folder holds
    // ours and the ipp backend alone, so that nothing else is asked for devices.
    const fs::path serverBin = CUPS_SERVERBIN;
    for (const char* folder : {"cgi-bin", "daemon", "driver", "filter", "monitor", "notifier"}) {
        if (fs::exists(serverBin / folder)) {
            fs::create_directory_symlink(serverBin / folder, root / "bin" / folder);
        }
    }
    fs::create_symlink(serverBin / "backend/ipp", root / "bin/backend/ipp");
    // CUPS runs a backend as root only when it is root's and mode 0700; ours
    // needs root's rights to the serial devices, as it has when installed.
    fs::copy_file(TALLYROLL_BACKEND, root / "bin/backend/tallyroll");
    fs::permissions(root / "bin/backend/tallyroll", fs::perms::owner_all);
    for (const auto& entry : fs::directory_iterator(CUPS_DATADIR)) {
        if (entry.path().filename() != "model") {
            fs::create_symlink(entry.path(), root / "share" / entry.path().filename());
        }
    }
    fs::copy_file(TALLYROLL_PPD, root / "share/model/tallyroll.ppd");

    const std::string r = root.string();
    // The scheduler gives its children an environment of its own: the
    // sanitizers' and the coverage run's settings are handed on, so that the
    // backend reports and counts as the program does under them.
    std::string handedOn = extraDirectives;
    for (const char* name :
         {"LLVM_PROFILE_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name)) {
            handedOn += std::string("SetEnv ") + name + " " + value + "\n";
        }
    }
    Write(root / "cups-files.conf",
          "ServerRoot " + r + "\nServerBin " + r + "/bin\nDataDir " + r + "/share\nRequestRoot " +
              r + "/spool\nTempDir " + r + "/spool/temp\nCacheDir " + r + "/cache\nStateDir " + r +
              "/state\nAccessLog " + r + "/log/access_log\nErrorLog " + r +
              "/log/error_log\nPageLog " + r +
              "/log/page_log\nFileDevice No\nSandboxing Relaxed\n" + extraDirectives);
    // Anyone on loopback may administer it: the test's clients have no
    // certificate of this scheduler's.
    Write(root / "cupsd.conf", "Listen 127.0.0.1:" + std::to_string(port_) +
                                   "\nLogLevel debug\nBrowsing No\nDefaultShared No\n"
                                   "WebInterface No\nDefaultAuthType None\n"
                                   "JobRetryInterval 1\n"
                                   "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                                   "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n"
                                   "</Policy>\n");

    const std::string conf = r + "/cupsd.conf";
    const std::string files = r + "/cups-files.conf";
    const std::string out = r + "/log/cupsd.out";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::string argv[] = {"cupsd", "-f", "-c", conf, "-s", files};
    char* args[] = {argv[0].data(), argv[1].data(), argv[2].data(), argv[3].data(),
                    argv[4].data(), argv[5].data(), nullptr};
    if (::posix_spawn(&pid_, kScheduler, &actions, nullptr, args, environ) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    running_ = pid_ != -1 && WaitFor([&] {
                   int status = 0;
                   return ::waitpid(pid_, &status, WNOHANG) != 0 || Accepts(port_);
               }) &&
               ::kill(pid_, 0) == 0 && Accepts(port_);
}

PrivateCupsd::~PrivateCupsd() {
    if (pid_ > 0 && ::kill(pid_, SIGTERM) == 0) {
        int status = 0;
        (void)::waitpid(pid_, &status, 0);
    }
}

std::string PrivateCupsd::server() const {
    return "localhost:" + std::to_string(port_);
}

std::string PrivateCupsd::log() const {
    std::ifstream in(root_.path() + "/log/error_log");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ifstream out(root_.path() + "/log/cupsd.out");
    return text +
           std::string((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
}

testing_support::CommandOutcome PrivateCupsd::Client(const std::string& command) const {
    const auto space = command.find(' ');
    return testing_support::RunShellCommand(command.substr(0, space) + " -h " + server() +
                                            command.substr(space) + " 2>&1");
}

bool PrivateCupsd::AddQueue(const std::string& name, const std::string& uri) const {
    return Client("lpadmin -p " + name + " -E -v " + uri + " -m tallyroll.ppd").status == 0;
}

std::string PrivateCupsd::Print(const std::string& queue, const std::string& file,
                                const std::string& options) const {
    // "request id is Receipt-1 (1 file(s))"
    const std::string said = Client("lp -d " + queue + " " + options + " '" + file + "'").output;
    const std::string start = "request id is ";
    const auto at = said.find(start);
    if (at == std::string::npos) {
        return {};
    }
    const auto from = at + start.size();
    return said.substr(from, said.find(' ', from) - from);
}

bool PrivateCupsd::WaitQueueEmpty(const std::string& queue) const {
    return WaitFor([&] { return Client("lpstat -o " + queue).output.empty(); });
}

bool PrivateCupsd::WaitQueueStopped(const std::string& queue) const {
    return WaitFor(
        [&] { return Client("lpstat -p " + queue).output.find("disabled") != std::string::npos; });
}

std::string PrivateCupsd::QueueState(const std::string& queue) const {
    return Client("lpstat -l -p " + queue).output;
}

} // namespace cups_test
