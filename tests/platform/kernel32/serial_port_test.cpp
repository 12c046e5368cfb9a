// "COMn:" ports on real pseudo-terminals through a private device table.
#include "platform/win32/comm.h"
#include "platform/win32/kernel.h"
#include "tests/support/pty_printer.h"
#include "tests/support/temp_folder.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using testing_support::Bytes;
using testing_support::DeviceTable;
using testing_support::PtyPrinter;

HANDLE OpenCom(const char16_t* name) {
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

// The printer's settings over what the port reports (nothing, when it is not
// a terminal).
DCB PrinterBlock(HANDLE h) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    GetCommState(h, &dcb);
    dcb.BaudRate = 115200;
    dcb.ByteSize = 8;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = 1;
    dcb.fParity = 1;
    dcb.fOutX = 0;
    dcb.fInX = 1;
    dcb.fOutxCtsFlow = 0;
    return dcb;
}

class SerialPort : public ::testing::Test {
protected:
    void SetUp() override { table_.Link(3, port_.path()); }

    DeviceTable table_;
    PtyPrinter port_;
};

TEST_F(SerialPort, ANameInTheTableOpensItsDeviceInEveryWin32Spelling) {
    for (const char16_t* name : {u"COM3:", u"COM3", u"com3:", u"\\\\.\\COM3"}) {
        HANDLE h = OpenCom(name);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
        DWORD n = 0;
        ASSERT_TRUE(WriteFile(h, "ok", 2, &n, nullptr));
        EXPECT_EQ(n, 2u);
        CloseHandle(h);
        EXPECT_EQ(port_.Drain(), (Bytes{'o', 'k'}));
    }
}

TEST_F(SerialPort, APortWithoutALinkDoesNotExist) {
    for (const char16_t* name : {u"COM4:", u"COM0:"}) {
        SetLastError(0);
        EXPECT_EQ(OpenCom(name), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    }
    table_.Link(5, table_.folder() + "/nowhere"); // a dangling link
    EXPECT_EQ(OpenCom(u"COM5:"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(SerialPort, ALinkLoopCannotBeResolvedAndATableThatIsAFileHasNoPath) {
    table_.Link(4, "COM4");
    table_.Link(5, table_.folder() + "/COM6");
    table_.Link(6, table_.folder() + "/COM5");
    for (const char16_t* name : {u"COM4:", u"COM5:"}) {
        SetLastError(0);
        EXPECT_EQ(OpenCom(name), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), 1921u) << "a loop is no missing port, nor a general failure";
    }
    testing_support::TempFolder other("tallyroll-devices");
    other.file("devices", "COM3\n");
    const char* saved = std::getenv("TALLYROLL_DEVICES");
    const std::string restore = saved != nullptr ? saved : "";
    ::setenv("TALLYROLL_DEVICES", (other.path() + "/devices").c_str(), 1);
    SetLastError(0);
    EXPECT_EQ(OpenCom(u"COM3:"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    ::setenv("TALLYROLL_DEVICES", restore.c_str(), 1);
}

TEST_F(SerialPort, ASecondOpenerIsRefusedUntilTheFirstCloses) {
    HANDLE first = OpenCom(u"COM3:");
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    table_.Link(4, port_.path()); // the same device under another name
    for (const char16_t* name : {u"COM3:", u"COM4:"}) {
        SetLastError(0);
        EXPECT_EQ(OpenCom(name), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    }
    CloseHandle(first);
    HANDLE second = OpenCom(u"COM3:");
    EXPECT_NE(second, INVALID_HANDLE_VALUE);
    CloseHandle(second);
}

TEST_F(SerialPort, StateAndTimeoutsReadBackAsApplied) {
    HANDLE h = OpenCom(u"COM3:");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DCB dcb = PrinterBlock(h);
    ASSERT_TRUE(SetCommState(h, &dcb));
    COMMTIMEOUTS timeouts{0xFFFFFFFF, 0, 0, 0, 0};
    ASSERT_TRUE(SetCommTimeouts(h, &timeouts));
    EXPECT_TRUE(SetupComm(h, 1024, 1024));

    DCB back{};
    ASSERT_TRUE(GetCommState(h, &back));
    EXPECT_EQ(back.BaudRate, 115200u);
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.fInX, 1u);
    EXPECT_EQ(back.fOutX, 0u);
    EXPECT_EQ(back.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
    EXPECT_EQ(back.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
    COMMTIMEOUTS readBack{};
    ASSERT_TRUE(GetCommTimeouts(h, &readBack));
    EXPECT_EQ(readBack.ReadIntervalTimeout, 0xFFFFFFFFu);

    // The line says "answer at once": nothing waiting reads as 0 bytes.
    char buffer[16];
    DWORD n = 99;
    ASSERT_TRUE(ReadFile(h, buffer, sizeof(buffer), &n, nullptr));
    EXPECT_EQ(n, 0u);
    CloseHandle(h);
}

TEST_F(SerialPort, SomethingThatIsNotATerminalRefusesEverySetting) {
    // Private ones: /dev/null is locked by whoever opens it as a port, and
    // tests may run side by side.
    const std::string file = table_.folder() + "/plain";
    const std::string fifo = table_.folder() + "/fifo";
    testing_support::TouchFile(file);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& target : {file, fifo}) {
        table_.Link(6, target);
        HANDLE h = OpenCom(u"COM6:");
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << target;
        DCB dcb{};
        dcb.DCBlength = sizeof(DCB);
        EXPECT_FALSE(GetCommState(h, &dcb));
        dcb = PrinterBlock(h);
        COMMTIMEOUTS timeouts{0xFFFFFFFF, 0, 0, 0, 0};
        EXPECT_FALSE(SetCommTimeouts(h, &timeouts)) << target;
        EXPECT_FALSE(SetCommState(h, &dcb)) << target;
        EXPECT_FALSE(SetupComm(h, 1024, 1024)) << target;
        EXPECT_EQ(GetLastError(), 1u) << "invalid function";
        CloseHandle(h);
    }
}

TEST_F(SerialPort, AWriteToAVanishedPrinterFailsWithDeviceNotConnected) {
    HANDLE h = OpenCom(u"COM3:");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    port_.Vanish();
    DWORD n = 0;
    EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED)
        << "the hung-up line, not a general failure";
    CloseHandle(h);
}

TEST_F(SerialPort, AWriteWhoseReaderIsGoneFailsWithBrokenPipeAndTheProgramLivesOn) {
    // In a process of its own, where nothing has been opened yet and a
    // broken pipe would end the process as it does by default.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            (void)std::signal(SIGPIPE, SIG_DFL);
            HANDLE h = OpenCom(u"COM3:");
            int pipeEnds[2];
            if (h == INVALID_HANDLE_VALUE || ::pipe(pipeEnds) != 0) {
                std::_Exit(2);
            }
            // The connection's descriptor becomes a pipe nobody reads.
            ::dup2(pipeEnds[1], testing_support::ProgramDescriptorOn(port_));
            ::close(pipeEnds[0]);
            DWORD n = 0;
            const BOOL written = WriteFile(h, "x", 1, &n, nullptr);
            const int status = !written && GetLastError() == ERROR_BROKEN_PIPE ? 0 : 3;
            // This process ran the fixture again and made a device table of
            // its own, which no destructor removes on the way out below.
            std::error_code ignored;
            std::filesystem::remove_all(table_.folder(), ignored);
            std::_Exit(status);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(SerialPort, LargeWritesInterruptedBySignalsAreContinuedToTheLastByte) {
    HANDLE h = OpenCom(u"COM3:");
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DCB dcb = PrinterBlock(h);
    ASSERT_TRUE(SetCommState(h, &dcb));

    // A handler without SA_RESTART: each signal cuts the write short or
    // makes it fail with EINTR.
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);

    Bytes data(1 << 20);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    std::atomic<bool> writing = true;
    const pthread_t writer = pthread_self();
    std::thread interrupter([&] {
        while (writing) {
            pthread_kill(writer, SIGUSR1);
            std::this_thread::yield();
        }
    });
    DWORD n = 0;
    const BOOL ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
    writing = false;
    interrupter.join();
    sigaction(SIGUSR1, &previous, nullptr);

    EXPECT_TRUE(ok);
    EXPECT_EQ(n, data.size());
    EXPECT_EQ(port_.Drain(), data);
    CloseHandle(h);
}

} // namespace
