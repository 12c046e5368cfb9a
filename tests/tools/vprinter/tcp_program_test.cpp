// The virtual printer as a network printer (--tcp): linked as tcp:ADDR:PORT,
// one connection at a time decoded as on a pseudo-terminal, and a device
// table whose link names a real printer's address left alone.
#include "tests/tools/vprinter/decode_helpers.h"
#include "tests/tools/vprinter/program_runner.h"
#include "tools/vprinter/tcp_listener.h"

#include <arpa/inet.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vprinter::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Connects to a loopback port as Tallyroll does, sends the pieces with 20 ms
// after the first, and closes. Answers whether everything was sent.
bool send_job(std::uint16_t port, const std::vector<Bytes>& writes) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    for (std::size_t i = 0; ok && i < writes.size(); ++i) {
        ok = ::send(fd, writes[i].data(), writes[i].size(), MSG_NOSIGNAL) ==
             static_cast<ssize_t>(writes[i].size());
        if (i == 0) {
            std::this_thread::sleep_for(20ms);
        }
    }
    ::close(fd);
    return ok;
}

std::uint16_t port_of(const std::string& target) {
    return static_cast<std::uint16_t>(std::stoi(target.substr(target.rfind(':') + 1)));
}

using NetworkPrinter = PrinterFiles;

TEST(VirtualNetworkPrinter, JobsOverTcpComeOutAsLinesAndEveryByteIsKept) {
    NetworkPrinter p;
    VirtualPrinter program({"--tcp", "0", "--devices", p.table, "--port", "7", "--events", p.events,
                            "--raw", p.dir / "raw.bin", "--job-gap", "100", "--quiet"},
                           p.output);
    auto events = wait_for_events(p.events, [](auto& e) { return !of_kind(e, "ready").empty(); });
    ASSERT_FALSE(of_kind(events, "ready").empty()) << read_text(p.output);
    const std::string target = of_kind(events, "ready")[0]["target"].str();
    EXPECT_EQ(fs::read_symlink(p.port).string(), target);
    ASSERT_EQ(target.rfind("tcp:127.0.0.1:", 0), 0u) << target << ": loopback by default";
    const std::uint16_t port = port_of(target);
    ASSERT_NE(port, 0);

    const std::vector<Bytes> print = {bytes({0, 0}),
                                      bytes({0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56, 0x01, 0x1B, 0x2D,
                                             0x01, 0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00}),
                                      ascii("AB\r\n") + bytes({0, 0})};
    ASSERT_TRUE(send_job(port, print));
    wait_for_events(p.events, [](auto& e) { return !of_kind(e, "job_end").empty(); });
    ASSERT_TRUE(send_job(port, {bytes({0, 0}), ascii("CD\r\n") + bytes({0, 0})}))
        << "the next connection is taken after the first closed";
    wait_for_events(p.events, [](auto& e) { return of_kind(e, "job_end").size() >= 2; });
    program.stop();
    ASSERT_EQ(program.wait(), 0) << read_text(p.output);

    events = read_events(p.events);
    const auto lines = of_kind(events, "line");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["text"].str(), "AB");
    EXPECT_EQ(lines[0]["width"].num(), 2);
    EXPECT_TRUE(lines[0]["underline"].flag());
    EXPECT_EQ(lines[1]["text"].str(), "CD");
    EXPECT_EQ(of_kind(events, "port_open").size(), 2u);
    EXPECT_EQ(of_kind(events, "port_close").size(), 2u);
    EXPECT_TRUE(of_kind(events, "unknown").empty());
    const std::string raw = read_text(p.dir / "raw.bin");
    Bytes sent;
    for (const Bytes& w : print) {
        sent = sent + w;
    }
    sent = sent + bytes({0, 0}) + ascii("CD\r\n") + bytes({0, 0});
    EXPECT_EQ(Bytes(raw.begin(), raw.end()), sent);
    EXPECT_FALSE(fs::exists(fs::symlink_status(p.port))) << "the link goes with the printer";
}

TEST(VirtualNetworkPrinter, APrintersAddressInTheTableIsLeftAloneAndAStaleOneReplaced) {
    for (const char* real : {"tcp:192.0.2.7:9100", "bt:00:11:22:33:44:55"}) {
        NetworkPrinter p;
        fs::create_directories(p.table);
        fs::create_symlink(real, p.port);
        for (const char* mode : {"--tcp", "--port"}) { // as a network printer and on a pty
            std::vector<std::string> args = {"--devices", p.table, "--port", "7", "--quiet"};
            if (std::string(mode) == "--tcp") {
                args.insert(args.end(), {"--tcp", "0"});
            }
            VirtualPrinter program(args, p.output);
            EXPECT_EQ(program.wait(), 1) << real;
            EXPECT_NE(read_text(p.output).find("left alone"), std::string::npos)
                << read_text(p.output);
            EXPECT_EQ(fs::read_symlink(p.port).string(), real);
        }
    }
    // A loopback address where nothing listens is what an ended printer left.
    NetworkPrinter p;
    fs::create_directories(p.table);
    const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::getsockname(probe, reinterpret_cast<sockaddr*>(&a), &length), 0);
    const std::string stale = "tcp:127.0.0.1:" + std::to_string(ntohs(a.sin_port));
    ::close(probe);
    fs::create_symlink(stale, p.port);
    EXPECT_EQ(socket_link_is_leftover(stale), true);
    VirtualPrinter program(
        {"--tcp", "0", "--devices", p.table, "--port", "7", "--events", p.events, "--quiet"},
        p.output);
    auto events = wait_for_events(p.events, [](auto& e) { return !of_kind(e, "ready").empty(); });
    ASSERT_FALSE(of_kind(events, "ready").empty()) << read_text(p.output);
    EXPECT_EQ(of_kind(events, "ready")[0]["replaced"].str(), stale);
    const std::string live = of_kind(events, "ready")[0]["target"].str();
    EXPECT_EQ(socket_link_is_leftover(live), false) << "a printer listens there";
    program.stop();
    EXPECT_EQ(program.wait(), 0);
}

TEST(VirtualNetworkPrinter, TheAddressToListenOnIsAPortOrAnAddressWithIt) {
    EXPECT_EQ(tcp_link_target(*parse_tcp_address("9100")), "tcp:127.0.0.1:9100");
    EXPECT_EQ(tcp_link_target(*parse_tcp_address("127.0.0.2:0")), "tcp:127.0.0.2:0");
    EXPECT_EQ(tcp_link_target(*parse_tcp_address("[::1]:9100")), "tcp:[::1]:9100");
    for (const char* wrong : {"", "x", "65536", "127.0.0.1:", ":9100", "[::1]9100", "-1"}) {
        EXPECT_FALSE(parse_tcp_address(wrong)) << wrong;
    }
}

} // namespace
} // namespace vprinter::test
