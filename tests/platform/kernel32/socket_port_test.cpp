// "COMn:" ports whose link names a network printer (tcp:HOST:PORT), on
// loopback, and a Bluetooth one (bt:ADDRESS) where this system has no
// Bluetooth: connecting and each way it fails, the comm calls that remember
// instead of setting a line, bytes both ways, a printer that hangs up or stops
// reading, and one holder at a time.
#include "platform/kernel32/io_wait.h"
#include "platform/kernel32/socket_port.h"
#include "platform/win32/comm.h"
#include "platform/win32/kernel.h"
#include "tests/support/busy_call_recorder.h"
#include "tests/support/pty_printer.h"
#include "tests/support/tcp_printer.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using kernel32::IoProgress;
using testing_support::Bytes;
using testing_support::DeviceTable;
using testing_support::TcpPrinter;

HANDLE OpenCom(const char16_t* name) {
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// The error of opening a COM port, or 0 when it opened (and is closed again).
DWORD OpenError(const char16_t* name) {
    SetLastError(0);
    HANDLE h = OpenCom(name);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return 0;
    }
    return GetLastError();
}

using Watcher = testing_support::BusyCallRecorder;

class NetworkPort : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(printer_.listening());
        table_.Link(3, printer_.target());
    }
    // A printer's small buffer: one that stops reading holds little.
    TcpPrinter printer_{"127.0.0.1", 4096};
    DeviceTable table_;
};

TEST_F(NetworkPort, BytesGoBothWaysExactlyAndAnAnswerAtOnceReadTakesWhatCame) {
    HANDLE h = OpenCom(u"COM3:");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    Bytes all(256);
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = static_cast<std::uint8_t>(i);
    }
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(h, all.data(), static_cast<DWORD>(all.size()), &n, nullptr));
    EXPECT_EQ(n, all.size());
    ASSERT_TRUE(printer_.WaitForBytes(all.size()));
    EXPECT_EQ(printer_.Received(), all) << "no byte added, dropped or changed";

    COMMTIMEOUTS atOnce{0xFFFFFFFF, 0, 0, 0, 0};
    ASSERT_TRUE(SetCommTimeouts(h, &atOnce));
    char buffer[16];
    n = 99;
    ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &n, nullptr));
    EXPECT_EQ(n, 0u) << "nothing has come: the read does not wait";
    ASSERT_TRUE(printer_.Answer({0x10, 0x04, 0x01}));
    // Loopback delivers at once, but not within the same instant.
    for (int tries = 0; tries < 200 && n == 0; ++tries) {
        ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &n, nullptr));
        usleep(5000);
    }
    EXPECT_EQ(Bytes(buffer, buffer + n), (Bytes{0x10, 0x04, 0x01}));
    CloseHandle(h);
    EXPECT_TRUE(printer_.WaitForClose());
}

TEST_F(NetworkPort, SettingsAreRememberedAndInvalidOnesRefusedAsWin32Does) {
    HANDLE h = OpenCom(u"COM3:");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    DCB dcb{};
    ASSERT_TRUE(GetCommState(h, &dcb));
    EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.fBinary, 1u);

    // What the printer connection applies: rate, even parity, XON/XOFF in.
    dcb.BaudRate = 115200;
    dcb.Parity = EVENPARITY;
    dcb.fParity = 1;
    dcb.fInX = 1;
    ASSERT_TRUE(SetCommState(h, &dcb));
    DCB back{};
    ASSERT_TRUE(GetCommState(h, &back));
    EXPECT_EQ(0, std::memcmp(&back, &dcb, sizeof dcb)) << "read back as given";

    for (const auto& spoil : std::vector<void (*)(DCB&)>{
             [](DCB& d) { d.BaudRate = 0; }, [](DCB& d) { d.ByteSize = 9; },
             [](DCB& d) { d.ByteSize = 4; }, [](DCB& d) { d.Parity = 5; },
             [](DCB& d) { d.StopBits = 3; }, [](DCB& d) { d.StopBits = ONE5STOPBITS; },
             [](DCB& d) { d.XonChar = d.XoffChar; }}) {
        DCB wrong = dcb;
        spoil(wrong);
        SetLastError(0);
        EXPECT_FALSE(SetCommState(h, &wrong));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    ASSERT_TRUE(GetCommState(h, &back));
    EXPECT_EQ(back.BaudRate, 115200u) << "a refused block changes nothing";
    EXPECT_FALSE(GetCommState(h, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    // Time-outs a serial line refuses are kept here; Win32's one refusal holds.
    COMMTIMEOUTS timeouts{50, 10, 200, 5, 1000};
    ASSERT_TRUE(SetCommTimeouts(h, &timeouts));
    COMMTIMEOUTS readBack{};
    ASSERT_TRUE(GetCommTimeouts(h, &readBack));
    EXPECT_EQ(0, std::memcmp(&readBack, &timeouts, sizeof timeouts));
    COMMTIMEOUTS refused{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0};
    EXPECT_FALSE(SetCommTimeouts(h, &refused));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(SetupComm(h, 1024, 1024));
    CloseHandle(h);
    EXPECT_FALSE(SetupComm(h, 1024, 1024)) << "a closed handle is no port";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(NetworkPort, ReadTimeOutsEndAReadWithWhatCame) {
    HANDLE h = OpenCom(u"COM3:");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    COMMTIMEOUTS total{0, 0, 50, 0, 0};
    ASSERT_TRUE(SetCommTimeouts(h, &total));
    char buffer[8];
    DWORD n = 99;
    EXPECT_TRUE(ReadFile(h, buffer, sizeof buffer, &n, nullptr)) << "a time-out is no failure";
    EXPECT_EQ(n, 0u);
    // The first byte ends a read that waits for something.
    COMMTIMEOUTS firstByte{0xFFFFFFFF, 0xFFFFFFFF, 5000, 0, 0};
    ASSERT_TRUE(SetCommTimeouts(h, &firstByte));
    ASSERT_TRUE(printer_.WaitForConnections(1));
    ASSERT_TRUE(printer_.Answer({'o', 'k'}));
    ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &n, nullptr));
    EXPECT_GE(n, 1u);
    EXPECT_EQ(buffer[0], 'o');
    CloseHandle(h);
}

TEST(ReadPlan, FollowsWin32sRulesForTimeOuts) {
    const auto plan = [](COMMTIMEOUTS t, DWORD count = 100) {
        return kernel32::PlanRead(t, count);
    };
    EXPECT_TRUE(plan({0xFFFFFFFF, 0, 0, 0, 0}).atOnce);
    const auto first = plan({0xFFFFFFFF, 0xFFFFFFFF, 300, 0, 0});
    EXPECT_TRUE(first.firstByteEnds);
    EXPECT_EQ(first.total, 300ms);
    const auto none = plan({0, 0, 0, 0, 0});
    EXPECT_FALSE(none.atOnce || none.firstByteEnds || none.total || none.interval)
        << "all zero: wait for the whole count";
    const auto both = plan({20, 10, 50, 0, 0}, 100);
    EXPECT_EQ(both.total, 1050ms) << "multiplier x count + constant";
    EXPECT_EQ(both.interval, 20ms);
    EXPECT_FALSE(both.atOnce);
    EXPECT_FALSE(plan({0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0}, 0xFFFFFFFF).atOnce);
    EXPECT_LT(*plan({0, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0}, 0xFFFFFFFF).total,
              std::chrono::hours(24 * 365 * 100))
        << "the largest values stay a time the clock can reach";
    EXPECT_FALSE(kernel32::WriteTimeLimit({0xFFFFFFFF, 0, 0, 0, 0}, 10));
    EXPECT_EQ(kernel32::WriteTimeLimit({0, 0, 0, 2, 100}, 10), 120ms);
}

TEST_F(NetworkPort, APrinterThatHangsUpFailsTheWriteAsGone) {
    HANDLE h = OpenCom(u"COM3:");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    printer_.HangUpAfter(1);
    const std::string chunk(std::size_t{64} * 1024, 'x');
    DWORD error = 0;
    for (int i = 0; i < 100 && error == 0; ++i) { // bounded: the reset comes within a few
        DWORD n = 0;
        if (!WriteFile(h, chunk.data(), static_cast<DWORD>(chunk.size()), &n, nullptr)) {
            error = GetLastError();
        }
    }
    EXPECT_TRUE(error == ERROR_NETNAME_DELETED || error == ERROR_BROKEN_PIPE)
        << error << ": the connection must read as a printer that is gone";
    CloseHandle(h);
}

// Writes a job as the program does: the lead-in, then the rest.
bool WriteJob(HANDLE h, const std::string& leadIn, const std::string& body) {
    DWORD n = 0;
    return WriteFile(h, leadIn.data(), static_cast<DWORD>(leadIn.size()), &n, nullptr) &&
           WriteFile(h, body.data(), static_cast<DWORD>(body.size()), &n, nullptr);
}

TEST_F(NetworkPort, APrinterThatClosedAnIdleConnectionIsDialledAgainAndGetsExactlyTheNextJob) {
    HANDLE h = OpenCom(u"COM3:");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    const std::string first = "\x1b@first job\r\n";
    const std::string second(std::size_t{200} * 1024, 's'); // more than one write's worth
    ASSERT_TRUE(WriteJob(h, "\x1b@", "first job\r\n"));
    ASSERT_TRUE(printer_.WaitForBytes(first.size()));
    for (int round = 2; round <= 3; ++round) { // and again on the new connection
        printer_.CloseIdleConnection();
        ASSERT_TRUE(printer_.WaitForClose());
        const std::size_t before = printer_.Received().size();
        ASSERT_TRUE(WriteJob(h, "\x1b@", second)) << GetLastError();
        ASSERT_TRUE(printer_.WaitForBytes(before + 2 + second.size()));
        const Bytes got = printer_.Received();
        EXPECT_EQ(Bytes(got.begin() + static_cast<std::ptrdiff_t>(before), got.end()),
                  testing_support::ToBytes("\x1b@" + second))
            << "the job arrives whole, on the new connection, and nothing else";
        EXPECT_EQ(printer_.Connections(), round);
    }
    CloseHandle(h);
    EXPECT_TRUE(printer_.WaitForClose());
}

TEST(NetworkPortClosedIdle, APrinterThatClosedAndIsGoneFailsTheNextWriteAsGone) {
    DeviceTable table;
    auto printer = std::make_unique<TcpPrinter>();
    ASSERT_TRUE(printer->listening());
    table.Link(3, printer->target());
    HANDLE h = OpenCom(u"COM3:");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    printer->CloseIdleConnection();
    ASSERT_TRUE(printer->WaitForClose());
    printer.reset(); // nothing listens there any more
    DWORD n = 0;
    EXPECT_FALSE(WriteFile(h, "job", 3, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NETNAME_DELETED)
        << "the port connection must take the printer for gone and open afresh next time";
    EXPECT_EQ(n, 0u);
    CloseHandle(h);
}

TEST_F(NetworkPort, AWriteToAPrinterThatStoppedReadingWaitsVisiblyAndCanBeCancelled) {
    printer_.Stall(true);
    HANDLE h = OpenCom(u"COM3:");
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    const std::string bytes(8 << 20, 'p'); // far more than both ends buffer
    {
        Watcher watcher(3);
        DWORD n = 0;
        EXPECT_FALSE(WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
        EXPECT_LT(n, bytes.size());
        ASSERT_EQ(watcher.Reports().size(), 3u);
        EXPECT_EQ(watcher.Reports()[0].activity, IoProgress::Activity::Printing);
    }
    // A write time-out, which only a socket port keeps, ends the wait too.
    COMMTIMEOUTS timeouts{0xFFFFFFFF, 0, 0, 0, 100};
    ASSERT_TRUE(SetCommTimeouts(h, &timeouts));
    DWORD n = 0;
    EXPECT_FALSE(WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
    CloseHandle(h);
}

TEST_F(NetworkPort, OneHolderAtATimeUnderAnyNameUntilItCloses) {
    HANDLE first = OpenCom(u"COM3:");
    ASSERT_NE(first, INVALID_HANDLE_VALUE) << GetLastError();
    table_.Link(4, printer_.target()); // the same printer under another name
    EXPECT_EQ(OpenError(u"COM3:"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(OpenError(u"COM4:"), ERROR_ACCESS_DENIED);
    CloseHandle(first);
    HANDLE second = OpenCom(u"COM4:");
    ASSERT_NE(second, INVALID_HANDLE_VALUE) << GetLastError();
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(second, "2", 1, &n, nullptr));
    ASSERT_TRUE(printer_.WaitForBytes(1));
    // The printer takes connections in the order they came: a refused opener
    // that had connected would have come before this one.
    EXPECT_EQ(printer_.Connections(), 2) << "a refused opener never reaches the printer";
    CloseHandle(second);
}

TEST_F(NetworkPort, AHolderThatDiesReleasesThePrinter) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const char opened = OpenCom(u"COM3:") != INVALID_HANDLE_VALUE ? 1 : 0;
        (void)!::write(ready[1], &opened, 1);
        ::pause();
        ::_exit(0);
    }
    char opened = 0;
    ASSERT_EQ(::read(ready[0], &opened, 1), 1);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(OpenError(u"COM3:"), ERROR_ACCESS_DENIED) << "held by another process";
    ::kill(child, SIGKILL); // no chance to close anything itself
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(OpenError(u"COM3:"), 0u);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(NetworkPortNames, AHostNameIsLookedUpAndIPv6LoopbackWorks) {
    DeviceTable table;
    TcpPrinter v4;
    ASSERT_TRUE(v4.listening());
    table.Link(3, "tcp:localhost:" + std::to_string(v4.port()));
    const DWORD error = OpenError(u"COM3:");
    // localhost may name ::1 first, where nothing listens; then 127.0.0.1.
    EXPECT_EQ(error, 0u);
    EXPECT_TRUE(v4.WaitForConnections(1));
    TcpPrinter v6("::1");
    if (!v6.listening()) {
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    table.Link(4, v6.target());
    EXPECT_EQ(OpenError(u"COM4:"), 0u);
    EXPECT_TRUE(v6.WaitForConnections(1));
}

TEST(NetworkPortFailures, EachWayOfFailingHasItsNumber) {
    DeviceTable table;
    table.Link(3, "tcp:127.0.0.1:" + std::to_string(testing_support::UnusedLoopbackPort()));
    EXPECT_EQ(OpenError(u"COM3:"), ERROR_CONNECTION_REFUSED);
    for (const char* malformed :
         {"tcp:127.0.0.1", "tcp:127.0.0.1:0", "tcp:::1:9100", "bt:00:11:22:33:44",
          "bt:00:11:22:33:44:55/31", "TCP:127.0.0.1", "Bt:00:11"}) {
        table.Link(5, malformed);
        EXPECT_EQ(OpenError(u"COM5:"), ERROR_INVALID_NAME) << malformed;
    }
}

class SlowConnect : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(silent_.ok());
        table_.Link(3, silent_.target());
        kernel32::SetConnectTimeLimits(300ms, 300ms);
    }
    void TearDown() override { kernel32::SetConnectTimeLimits(5s, 10s); }
    testing_support::SilentListener silent_;
    DeviceTable table_;
};

TEST_F(SlowConnect, APrinterThatNeverAnswersTimesOutWithTheSemaphoreTimeOut) {
    EXPECT_EQ(OpenError(u"COM3:"), ERROR_SEM_TIMEOUT);
}

TEST_F(SlowConnect, TheWaitSaysWhatIsReachedAndCancellingAbortsTheOpen) {
    kernel32::SetConnectTimeLimits(30s, 30s);
    Watcher watcher(2);
    EXPECT_EQ(OpenError(u"COM3:"), ERROR_OPERATION_ABORTED);
    const auto reports = watcher.Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].activity, IoProgress::Activity::Connecting);
    const std::string target = silent_.target().substr(4);
    EXPECT_EQ(reports[0].name, u"COM3");
    EXPECT_EQ(reports[0].target,
              u"network printer " + std::u16string(target.begin(), target.end()));
    kernel32::SetConnectTimeLimits(300ms, 300ms);
    EXPECT_EQ(OpenError(u"COM3:"), ERROR_SEM_TIMEOUT) << "the cancelled open let the printer go";
}

// In a network namespace of its own, where even loopback is down: no route
// anywhere and no name service, and nothing leaves the machine. Runs body in
// a child; answers its exit status, or -1 when no namespace can be made here.
int InFreshNetwork(DWORD (*body)()) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNET) != 0) {
            ::_exit(255);
        }
        ::_exit(static_cast<int>(body() & 0xFF));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 254;
    return code == 255 ? -1 : code;
}

TEST(NetworkPortFailures, NoRouteAndNoSuchNameHaveTheirNumbers) {
    DeviceTable table;
    table.Link(3, "tcp:127.0.0.1:9100");
    table.Link(4, "tcp:printer.invalid:9100");
    const int unreachable =
        InFreshNetwork([] { return OpenError(u"COM3:") == ERROR_NETWORK_UNREACHABLE ? 0u : 1u; });
    if (unreachable == -1) {
        GTEST_SKIP() << "no network namespace can be made here (needs root)";
    }
    EXPECT_EQ(unreachable, 0) << "no route: network unreachable";
    EXPECT_EQ(InFreshNetwork([] { return OpenError(u"COM4:") == ERROR_BAD_NETPATH ? 0u : 1u; }), 0)
        << "a name nobody can look up: network path not found";
}

TEST(BluetoothPort, WithoutBluetoothInThisSystemTheOpenFailsWithNotSupported) {
    const int probe = ::socket(kernel32::kAfBluetooth, SOCK_STREAM, kernel32::kBtProtoRfcomm);
    if (probe != -1) {
        ::close(probe);
        GTEST_SKIP() << "this system has Bluetooth sockets; with no printer paired here the "
                        "open would page a device that is not there";
    }
    DeviceTable table;
    table.Link(4, "bt:00:11:22:33:44:55");
    table.Link(5, "bt:00:11:22:33:44:55/3");
    EXPECT_EQ(OpenError(u"COM4:"), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(OpenError(u"COM5:"), ERROR_NOT_SUPPORTED);
}

TEST(ClaimName, OnePrinterOneNameWhateverTheSpellingAndItFits) {
    using kernel32::ClaimName;
    kernel32::SocketTarget a;
    kernel32::SocketTarget b;
    ASSERT_EQ(kernel32::ParseLinkTarget("tcp:Printer.LAN:9100", a), kernel32::TargetKind::Socket);
    ASSERT_EQ(kernel32::ParseLinkTarget("tcp:printer.lan:9100", b), kernel32::TargetKind::Socket);
    EXPECT_EQ(ClaimName(a), ClaimName(b));
    ASSERT_EQ(kernel32::ParseLinkTarget("bt:aa:bb:cc:dd:ee:ff", a), kernel32::TargetKind::Socket);
    ASSERT_EQ(kernel32::ParseLinkTarget("bt:AA:BB:CC:DD:EE:FF/1", b), kernel32::TargetKind::Socket);
    EXPECT_EQ(ClaimName(a), ClaimName(b)) << "channel 1 is the default";
    ASSERT_EQ(kernel32::ParseLinkTarget("bt:AA:BB:CC:DD:EE:FF/2", b), kernel32::TargetKind::Socket);
    EXPECT_NE(ClaimName(a), ClaimName(b));
    const std::string longHost(200, 'h');
    ASSERT_EQ(kernel32::ParseLinkTarget("tcp:" + longHost + ":1", a), kernel32::TargetKind::Socket);
    ASSERT_EQ(kernel32::ParseLinkTarget("tcp:" + longHost + "x:1", b),
              kernel32::TargetKind::Socket);
    EXPECT_LE(ClaimName(a).size(), 107u);
    EXPECT_NE(ClaimName(a), ClaimName(b)) << "names that differ only past the room differ";
}

} // namespace
