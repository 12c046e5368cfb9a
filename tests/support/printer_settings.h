// What a pseudo-terminal keeps of the printer's line settings: it drops
// parity and has no modem lines, so these are the checks that can be made.
#pragma once

#include <gtest/gtest.h>
#include <termios.h>

namespace testing_support {

inline void ExpectPrinterSettings(int fd) {
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B115200);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), 0u) << "one stop bit, no hardware flow control";
    EXPECT_EQ(t.c_iflag & (INPCK | IXOFF | IXON), static_cast<tcflag_t>(INPCK | IXOFF))
        << "parity checking, XON/XOFF on input only";
    EXPECT_EQ(t.c_oflag & OPOST, 0u) << "raw output";
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u) << "raw input";
}

} // namespace testing_support
