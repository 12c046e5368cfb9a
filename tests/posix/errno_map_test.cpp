#include "platform/posix/errno_map.h"
#include "platform/win32/kernel.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

struct Row {
    int err;
    DWORD win32;
};

class ErrnoMap : public ::testing::TestWithParam<Row> {};

TEST_P(ErrnoMap, GivesTheWin32NumberUsersKnow) {
    EXPECT_EQ(posix_layer::Win32ErrorFromErrno(GetParam().err), GetParam().win32);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrnoMap,
    ::testing::Values(Row{0, 0}, Row{ENOENT, 2}, Row{ENXIO, 2}, Row{ENODEV, 2}, Row{ENOTDIR, 3},
                      Row{EMFILE, 4}, Row{ENFILE, 4}, Row{EACCES, 5}, Row{EPERM, 5}, Row{EISDIR, 5},
                      Row{EBUSY, 5}, Row{EWOULDBLOCK, 5}, Row{EBADF, 6}, Row{ENOMEM, 8},
                      Row{ENOTTY, 1}, Row{EINVAL, 87},
                      // Everything unlisted is a general failure, a hung-up line included.
                      Row{EIO, 31}, Row{EPIPE, 31}, Row{ETIMEDOUT, 31}));

TEST(ErrnoMap, SetsTheLastError) {
    posix_layer::SetLastErrorFromErrno(EBUSY);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

} // namespace
