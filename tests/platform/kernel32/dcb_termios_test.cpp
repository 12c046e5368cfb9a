// The translation between the device control block and termios, including
// what a pseudo-terminal would silently drop (parity).
#include "platform/kernel32/dcb_termios.h"
#include "platform/win32/kernel.h"

#include <gtest/gtest.h>

namespace {

// A line as a fresh terminal has it: cooked, echoing, output post-processed,
// XON/XOFF output control on, hardware flow control on.
termios CookedLine() {
    termios t{};
    t.c_iflag = ICRNL | IXON | IXANY | IMAXBEL | BRKINT | INLCR | IGNCR | ISTRIP | IGNPAR | PARMRK;
    t.c_oflag = OPOST | ONLCR;
    t.c_cflag = CS7 | PARODD | PARENB | CSTOPB | CRTSCTS | HUPCL;
    t.c_lflag = ICANON | ECHO | ECHOE | ECHOK | ISIG | IEXTEN | ECHOCTL | ECHOKE;
    t.c_cc[VMIN] = 7;
    t.c_cc[VTIME] = 3;
    cfsetospeed(&t, B9600);
    cfsetispeed(&t, B9600);
    return t;
}

// What the printer connection asks for.
DCB PrinterBlock() {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = 115200;
    dcb.ByteSize = 8;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = 1;
    dcb.fParity = 1;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fTXContinueOnXoff = 1;
    dcb.fInX = 1;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    return dcb;
}

TEST(DcbToTermios, PrinterSettingsGiveARawEvenParityLineWithInputFlowControlOnly) {
    termios t = CookedLine();
    ASSERT_EQ(kernel32::TermiosFromDcb(PrinterBlock(), t), ERROR_SUCCESS);

    EXPECT_EQ(cfgetospeed(&t), B115200);
    EXPECT_EQ(cfgetispeed(&t), B115200);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), static_cast<tcflag_t>(PARENB));
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_cflag & HUPCL, static_cast<tcflag_t>(HUPCL))
        << "fields the block does not govern";

    EXPECT_EQ(t.c_iflag & (INPCK | IXOFF | IXON | IXANY), static_cast<tcflag_t>(INPCK | IXOFF));
    EXPECT_EQ(t.c_iflag & (IGNPAR | PARMRK | ISTRIP), 0u) << "bytes are delivered as received";
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | BRKINT), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u) << R"(\n must not go out as \r\n)";
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN), 0u);

    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
    EXPECT_EQ(t.c_cc[VMIN], 7) << "VMIN and VTIME belong to the time-outs";
    EXPECT_EQ(t.c_cc[VTIME], 3);
}

struct LineCase {
    BYTE byteSize;
    BYTE parity;
    BYTE stopBits;
    tcflag_t cflag; // CSIZE, parity and stop bits expected
};

class LineShape : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineShape, MapsToCflagAndBack) {
    const LineCase& c = GetParam();
    DCB dcb = PrinterBlock();
    dcb.ByteSize = c.byteSize;
    dcb.Parity = c.parity;
    dcb.StopBits = c.stopBits;
    termios t = CookedLine();
    ASSERT_EQ(kernel32::TermiosFromDcb(dcb, t), ERROR_SUCCESS);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.cflag);

    const DCB back = kernel32::DcbFromTermios(t);
    EXPECT_EQ(back.ByteSize, c.byteSize);
    EXPECT_EQ(back.Parity, c.parity);
    EXPECT_EQ(back.StopBits, c.stopBits == ONESTOPBIT ? ONESTOPBIT : TWOSTOPBITS);
}

INSTANTIATE_TEST_SUITE_P(
    AllParities, LineShape,
    ::testing::Values(LineCase{8, NOPARITY, ONESTOPBIT, CS8},
                      LineCase{8, ODDPARITY, ONESTOPBIT, CS8 | PARENB | PARODD},
                      LineCase{8, EVENPARITY, ONESTOPBIT, CS8 | PARENB},
                      LineCase{8, MARKPARITY, ONESTOPBIT, CS8 | PARENB | PARODD | CMSPAR},
                      LineCase{8, SPACEPARITY, ONESTOPBIT, CS8 | PARENB | CMSPAR},
                      LineCase{7, EVENPARITY, TWOSTOPBITS, CS7 | PARENB | CSTOPB},
                      LineCase{6, NOPARITY, ONESTOPBIT, CS6},
                      LineCase{5, NOPARITY, ONE5STOPBITS, CS5 | CSTOPB}));

TEST(DcbToTermios, FlowControlSwitchesMapOneToOne) {
    DCB dcb = PrinterBlock();
    dcb.fOutX = 1;
    dcb.fInX = 0;
    dcb.fOutxCtsFlow = 1;
    dcb.fParity = 0;
    termios t = CookedLine();
    ASSERT_EQ(kernel32::TermiosFromDcb(dcb, t), ERROR_SUCCESS);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), static_cast<tcflag_t>(IXON));
    EXPECT_NE(t.c_cflag & CRTSCTS, 0u);

    const DCB back = kernel32::DcbFromTermios(t);
    EXPECT_EQ(back.fOutX, 1u);
    EXPECT_EQ(back.fInX, 0u);
    EXPECT_EQ(back.fOutxCtsFlow, 1u);
    EXPECT_EQ(back.fParity, 0u);
    EXPECT_EQ(back.BaudRate, 115200u);
    EXPECT_EQ(back.DCBlength, sizeof(DCB));
}

TEST(DcbToTermios, RefusesWhatNoLineCanDoAndLeavesTheSettingsAlone) {
    const auto refused = [](void (*change)(DCB&)) {
        DCB dcb = PrinterBlock();
        change(dcb);
        termios t = CookedLine();
        const termios before = t;
        const DWORD error = kernel32::TermiosFromDcb(dcb, t);
        EXPECT_EQ(t.c_cflag, before.c_cflag);
        EXPECT_EQ(t.c_iflag, before.c_iflag);
        return error;
    };
    EXPECT_EQ(refused([](DCB& d) { d.BaudRate = 12345; }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(refused([](DCB& d) { d.BaudRate = 0; }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(refused([](DCB& d) { d.ByteSize = 9; }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(refused([](DCB& d) { d.ByteSize = 4; }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(refused([](DCB& d) { d.Parity = 5; }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(refused([](DCB& d) { d.StopBits = 3; }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(refused([](DCB& d) { d.XoffChar = d.XonChar; }), ERROR_INVALID_PARAMETER);
}

TEST(TimeoutsToTermios, ReadsAnswerAtOnceOrWaitAndWritesNeverTimeOut) {
    termios t = CookedLine();
    COMMTIMEOUTS atOnce{0xFFFFFFFF, 0, 0, 0, 0};
    ASSERT_EQ(kernel32::TermiosFromTimeouts(atOnce, t), ERROR_SUCCESS);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    EXPECT_TRUE(kernel32::ReadsReturnAtOnce(atOnce));

    COMMTIMEOUTS none{0, 0, 0, 0, 0};
    ASSERT_EQ(kernel32::TermiosFromTimeouts(none, t), ERROR_SUCCESS);
    EXPECT_EQ(t.c_cc[VMIN], 1);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    EXPECT_FALSE(kernel32::ReadsReturnAtOnce(none));

    COMMTIMEOUTS writeLimit{0xFFFFFFFF, 0, 0, 10, 500};
    EXPECT_EQ(kernel32::TermiosFromTimeouts(writeLimit, t), ERROR_INVALID_PARAMETER);
    COMMTIMEOUTS readLimit{50, 0, 1000, 0, 0};
    EXPECT_EQ(kernel32::TermiosFromTimeouts(readLimit, t), ERROR_INVALID_PARAMETER);
}

} // namespace
