#include "platform/kernel32/line_ioctl.h"

#include <algorithm>
#include <cerrno>
#include <sys/ioctl.h>

namespace kernel32 {

namespace {

// The kernel's own struct termios, which TCGETS and TCSETS carry. glibc's
// struct termios is larger (32 control characters and two speed fields) and
// converts at its wrappers; we do that conversion here instead. This is the
// generic layout; a few architectures (PowerPC, MIPS, SPARC, Alpha) order
// their fields differently.
#if defined(__powerpc__) || defined(__mips__) || defined(__sparc__) || defined(__alpha__)
#error "kernel termios layout of this architecture is not described here"
#endif
constexpr int kKernelNccs = 19;
struct KernelTermios {
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[kKernelNccs];
};
static_assert(NCCS >= kKernelNccs);

int Ioctl(int fd, unsigned long request, void* arg) {
    int rc = -1;
    do {
        rc = ::ioctl(fd, request, arg);
    } while (rc == -1 && errno == EINTR);
    return rc == -1 ? errno : 0;
}

} // namespace

int ReadLineSettings(int fd, termios& t) {
    KernelTermios k{};
    if (const int err = Ioctl(fd, TCGETS, &k); err != 0) {
        return err;
    }
    t = termios{};
    t.c_iflag = k.c_iflag;
    t.c_oflag = k.c_oflag;
    t.c_cflag = k.c_cflag;
    t.c_lflag = k.c_lflag;
    t.c_line = k.c_line;
    std::copy(k.c_cc, k.c_cc + kKernelNccs, t.c_cc);
#if defined(_HAVE_STRUCT_TERMIOS_C_ISPEED) && defined(_HAVE_STRUCT_TERMIOS_C_OSPEED)
    t.c_ispeed = cfgetispeed(&t);
    t.c_ospeed = cfgetospeed(&t);
#endif
    return 0;
}

int ApplyLineSettings(int fd, const termios& t) {
    KernelTermios k{};
    k.c_iflag = t.c_iflag;
    k.c_oflag = t.c_oflag;
    k.c_cflag = t.c_cflag;
    k.c_lflag = t.c_lflag;
    k.c_line = t.c_line;
    std::copy(t.c_cc, t.c_cc + kKernelNccs, k.c_cc);
    return Ioctl(fd, TCSETS, &k);
}

int SetModemLines(int fd, int mask, bool on) {
    const int err = Ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &mask);
    return (err == ENOTTY || err == EINVAL) ? 0 : err;
}

} // namespace kernel32
