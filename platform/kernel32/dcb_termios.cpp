#include "platform/kernel32/dcb_termios.h"

#include "platform/win32/kernel.h"

#include <cstdint>

namespace kernel32 {

namespace {

struct BaudRow {
    DWORD rate;
    speed_t speed;
};

// TCSETS carries only the fixed rates of the CBAUD field.
constexpr BaudRow kBaudRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedForRate(DWORD rate, speed_t& speed) {
    for (const BaudRow& row : kBaudRates) {
        if (row.rate == rate) {
            speed = row.speed;
            return true;
        }
    }
    return false;
}

DWORD RateForSpeed(speed_t speed) {
    for (const BaudRow& row : kBaudRates) {
        if (row.speed == speed) {
            return row.rate;
        }
    }
    return 0;
}

bool SizeFlag(BYTE byteSize, tcflag_t& flag) {
    switch (byteSize) {
    case 5:
        flag = CS5;
        return true;
    case 6:
        flag = CS6;
        return true;
    case 7:
        flag = CS7;
        return true;
    case 8:
        flag = CS8;
        return true;
    default:
        return false;
    }
}

bool ParityFlags(BYTE parity, tcflag_t& flags) {
    switch (parity) {
    case NOPARITY:
        flags = 0;
        return true;
    case ODDPARITY:
        flags = PARENB | PARODD;
        return true;
    case EVENPARITY:
        flags = PARENB;
        return true;
    case MARKPARITY:
        flags = PARENB | CMSPAR | PARODD;
        return true;
    case SPACEPARITY:
        flags = PARENB | CMSPAR;
        return true;
    default:
        return false;
    }
}

BYTE ByteSizeOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

BYTE ParityOf(tcflag_t cflag) {
    if ((cflag & PARENB) == 0) {
        return NOPARITY;
    }
    const bool odd = (cflag & PARODD) != 0;
    if ((cflag & CMSPAR) != 0) {
        return odd ? MARKPARITY : SPACEPARITY;
    }
    return odd ? ODDPARITY : EVENPARITY;
}

} // namespace

DWORD TermiosFromDcb(const DCB& dcb, termios& t) {
    speed_t speed{};
    tcflag_t size{};
    tcflag_t parity{};
    if (!SpeedForRate(dcb.BaudRate, speed) || !SizeFlag(dcb.ByteSize, size) ||
        !ParityFlags(dcb.Parity, parity) || dcb.StopBits > TWOSTOPBITS ||
        dcb.XonChar == dcb.XoffChar) {
        return ERROR_INVALID_PARAMETER;
    }

    // Win32 ports are always binary: no line editing, echo, signals or
    // newline translation in either direction, whatever fBinary says.
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IUCLC | IXON | IXANY | IXOFF | IMAXBEL | INPCK | IGNPAR);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOPRT | ECHOKE |
                                        ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);

    // fErrorChar and fNull have no termios counterpart; with IGNPAR and
    // PARMRK off a byte in error still arrives, as without fErrorChar.
    if (dcb.fParity) {
        t.c_iflag |= INPCK;
    }
    if (dcb.fOutX) {
        t.c_iflag |= IXON;
    }
    if (dcb.fInX) {
        t.c_iflag |= IXOFF;
    }
    // Linux has no DSR flow control and never holds its own output after it
    // sent XOFF, which is what fTXContinueOnXoff asks for.
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) {
        t.c_cflag |= CRTSCTS;
    }
    t.c_cflag |= size | parity | CLOCAL | CREAD;
    if (dcb.StopBits != ONESTOPBIT) {
        t.c_cflag |= CSTOPB; // 1.5 stop bits exist only on UARTs with 5 data bits
    }
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    cfsetospeed(&t, speed);
    cfsetispeed(&t, speed);
    return ERROR_SUCCESS;
}

DCB DcbFromTermios(const termios& t) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = RateForSpeed(cfgetospeed(&t));
    dcb.fBinary = 1;
    dcb.fParity = (t.c_iflag & INPCK) != 0;
    dcb.fOutxCtsFlow = (t.c_cflag & CRTSCTS) != 0;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fTXContinueOnXoff = 1;
    dcb.fOutX = (t.c_iflag & IXON) != 0;
    dcb.fInX = (t.c_iflag & IXOFF) != 0;
    dcb.fRtsControl = (t.c_cflag & CRTSCTS) != 0 ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    dcb.ByteSize = ByteSizeOf(t.c_cflag);
    dcb.Parity = ParityOf(t.c_cflag);
    dcb.StopBits = (t.c_cflag & CSTOPB) != 0 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return dcb;
}

bool ReadsReturnAtOnce(const COMMTIMEOUTS& timeouts) {
    return timeouts.ReadIntervalTimeout == UINT32_MAX && timeouts.ReadTotalTimeoutMultiplier == 0 &&
           timeouts.ReadTotalTimeoutConstant == 0;
}

DWORD TermiosFromTimeouts(const COMMTIMEOUTS& timeouts, termios& t) {
    if (timeouts.WriteTotalTimeoutMultiplier != 0 || timeouts.WriteTotalTimeoutConstant != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    if (ReadsReturnAtOnce(timeouts)) {
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        return ERROR_SUCCESS;
    }
    if (timeouts.ReadIntervalTimeout == 0 && timeouts.ReadTotalTimeoutMultiplier == 0 &&
        timeouts.ReadTotalTimeoutConstant == 0) {
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_PARAMETER;
}

} // namespace kernel32
