#include "platform/kernel32/errno_map.h"
#include "platform/win32/kernel.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <netdb.h>

namespace {

struct Row {
    int err;
    DWORD win32;
};

class ErrnoMap : public ::testing::TestWithParam<Row> {};

TEST_P(ErrnoMap, GivesTheWin32NumberUsersKnow) {
    EXPECT_EQ(kernel32::Win32ErrorFromErrno(GetParam().err), GetParam().win32);
}

INSTANTIATE_TEST_SUITE_P(Table, ErrnoMap,
                         ::testing::Values(Row{0, 0}, Row{ENOENT, 2}, Row{ENOTDIR, 3},
                                           Row{EMFILE, 4}, Row{ENFILE, 4}, Row{EACCES, 5},
                                           Row{EPERM, 5}, Row{EISDIR, 5}, Row{EBUSY, 5},
                                           Row{EWOULDBLOCK, 5}, Row{EBADF, 6}, Row{ENOMEM, 8},
                                           Row{ENOTTY, 1}, Row{EINVAL, 87},
                                           // Everything unlisted is a general failure.
                                           Row{EOVERFLOW, 31}, Row{EINTR, 31}));

// A device that hung up or went away has numbers of its own, each distinct
// from the general failure that other errors share.
INSTANTIATE_TEST_SUITE_P(DeviceGone, ErrnoMap,
                         ::testing::Values(Row{EIO, ERROR_DEVICE_NOT_CONNECTED},
                                           Row{ENXIO, ERROR_DEVICE_REMOVED},
                                           Row{ENODEV, ERROR_DEVICE_REMOVED},
                                           Row{EPIPE, ERROR_BROKEN_PIPE},
                                           Row{ECONNRESET, ERROR_NETNAME_DELETED}));

// A printer's connection that dies under a write (link dropped, printer off
// or out of range) is gone as well, so that the connection is closed and the
// next job connects again.
INSTANTIATE_TEST_SUITE_P(ConnectionGone, ErrnoMap,
                         ::testing::Values(Row{ETIMEDOUT, ERROR_NETNAME_DELETED},
                                           Row{ENOTCONN, ERROR_NETNAME_DELETED},
                                           Row{ECONNABORTED, ERROR_NETNAME_DELETED},
                                           Row{EHOSTUNREACH, ERROR_NETNAME_DELETED},
                                           Row{EHOSTDOWN, ERROR_NETNAME_DELETED}));

class OpenErrnoMap : public ::testing::TestWithParam<Row> {};

TEST_P(OpenErrnoMap, SaysThatTheNameLeadsNowhere) {
    EXPECT_EQ(kernel32::Win32ErrorFromOpenErrno(GetParam().err), GetParam().win32);
}

// Opening: a node without a driver or a stale USB-serial node is a port that
// does not exist; the rest reads as on an open device.
INSTANTIATE_TEST_SUITE_P(Table, OpenErrnoMap,
                         ::testing::Values(Row{ENXIO, 2}, Row{ENODEV, 2}, Row{ENOENT, 2},
                                           Row{EBUSY, 5}, Row{EIO, ERROR_DEVICE_NOT_CONNECTED},
                                           Row{EOVERFLOW, 31}));

class ConnectErrnoMap : public ::testing::TestWithParam<Row> {};

TEST_P(ConnectErrnoMap, TellsTheUserWhyThePrinterWasNotReached) {
    EXPECT_EQ(kernel32::Win32ErrorFromConnectErrno(GetParam().err), GetParam().win32);
}

// Connecting: each reason has its own number; nothing was lost yet, so none of
// them reads as a printer that went away.
INSTANTIATE_TEST_SUITE_P(Table, ConnectErrnoMap,
                         ::testing::Values(Row{ECONNREFUSED, ERROR_CONNECTION_REFUSED},
                                           Row{ENETUNREACH, ERROR_NETWORK_UNREACHABLE},
                                           Row{EHOSTUNREACH, ERROR_HOST_UNREACHABLE},
                                           Row{ETIMEDOUT, ERROR_SEM_TIMEOUT},
                                           Row{EHOSTDOWN, ERROR_SEM_TIMEOUT},
                                           Row{EAFNOSUPPORT, ERROR_NOT_SUPPORTED},
                                           Row{EPROTONOSUPPORT, ERROR_NOT_SUPPORTED},
                                           // The rest reads as opening any name.
                                           Row{EACCES, 5}, Row{ENOENT, 2}, Row{EOVERFLOW, 31}));

TEST(LookupErrors, ANameThatCannotBeFoundIsABadNetworkPath) {
    for (int status : {EAI_NONAME, EAI_NODATA, EAI_AGAIN, EAI_FAIL}) {
        EXPECT_EQ(kernel32::Win32ErrorFromLookup(status, 0), ERROR_BAD_NETPATH) << status;
    }
    EXPECT_EQ(kernel32::Win32ErrorFromLookup(0, 0), ERROR_SUCCESS);
    EXPECT_EQ(kernel32::Win32ErrorFromLookup(EAI_MEMORY, 0), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(kernel32::Win32ErrorFromLookup(EAI_SYSTEM, ENETUNREACH), ERROR_NETWORK_UNREACHABLE);
}

TEST(ErrnoMap, SetsTheLastError) {
    kernel32::SetLastErrorFromErrno(EBUSY);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    kernel32::SetLastErrorFromOpenErrno(ENODEV);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

} // namespace
