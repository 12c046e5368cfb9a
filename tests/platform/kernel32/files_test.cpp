// Files by name through CreateFileW, ReadFile, WriteFile, CloseHandle,
// GetFileSize and SetFilePointer.
#include "platform/text/path_text.h"
#include "platform/text/unicode.h"
#include "platform/win32/kernel.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = fs::temp_directory_path() / "tallyroll-files-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::u16string Wide(const fs::path& p) const { return text::Utf8ToUtf16(p.string()); }
    HANDLE Open(const fs::path& p, DWORD access, DWORD disposition) const {
        return CreateFileW(Wide(p).c_str(), access, 0, nullptr, disposition, 0, nullptr);
    }

    fs::path folder_;
};

TEST_F(Files, WhatIsWrittenIsReadBackAndTheEndReadsAsZero) {
    const fs::path file = folder_ / "roll.txt";
    HANDLE h = Open(file, GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(h, "hello\0world", 11, &n, nullptr));
    EXPECT_EQ(n, 11u);
    ASSERT_TRUE(CloseHandle(h));

    h = Open(file, GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char buffer[4096] = {};
    ASSERT_TRUE(ReadFile(h, buffer, sizeof(buffer), &n, nullptr));
    EXPECT_EQ(std::string(buffer, n), std::string("hello\0world", 11));
    ASSERT_TRUE(ReadFile(h, buffer, sizeof(buffer), &n, nullptr));
    EXPECT_EQ(n, 0u) << "the end of the file";
    EXPECT_TRUE(CloseHandle(h));
}

TEST_F(Files, NamesAreUtf16AndReachTheFileSystemAsUtf8) {
    const std::u16string name = Wide(folder_) + u"/na\u00EFve \u65E5\u672C.txt";
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(fs::exists(folder_ / "na\xC3\xAFve \xE6\x97\xA5\xE6\x9C\xAC.txt"));
}

TEST_F(Files, ANameThatIsNotUtf8OpensThatFileAndNotItsLookAlike) {
    // Shown alike on screen ("bad\uFFFDname.txt"), told apart by their bytes.
    { std::ofstream(folder_ / "bad\xFFname.txt") << "stray"; }
    { std::ofstream(folder_ / "bad\xEF\xBF\xBDname.txt") << "decoy"; }
    const std::u16string name = text::PathFromBytes((folder_ / "bad\xFFname.txt").string());
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char buffer[16] = {};
    DWORD n = 0;
    ASSERT_TRUE(ReadFile(h, buffer, sizeof(buffer), &n, nullptr));
    EXPECT_EQ(std::string(buffer, n), "stray");
    CloseHandle(h);
}

TEST_F(Files, FailuresAnswerTheInvalidHandleAndAWin32Error) {
    struct Case {
        fs::path path;
        DWORD disposition;
        DWORD error;
    };
    { std::ofstream(folder_ / "exists") << "x"; }
    ASSERT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);
    const Case cases[] = {
        {folder_ / "missing.txt", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {folder_ / "exists" / "below", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {folder_, OPEN_EXISTING, ERROR_ACCESS_DENIED},          // a folder is not a file
        {folder_ / "pipe", OPEN_EXISTING, ERROR_ACCESS_DENIED}, // nor a FIFO: no hang either
        {"/dev/zero", OPEN_EXISTING, ERROR_ACCESS_DENIED},      // nor a device
        {folder_ / "exists", CREATE_NEW, 80},                   // file exists
        {folder_ / "exists", 99, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(Open(c.path, GENERIC_READ, c.disposition), INVALID_HANDLE_VALUE) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
}

TEST_F(Files, ShareModeZeroKeepsASecondOpenerOut) {
    const fs::path file = folder_ / "held.txt";
    { std::ofstream(file) << "x"; }
    HANDLE first = Open(file, GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(file, GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    CloseHandle(first);
    HANDLE again = Open(file, GENERIC_READ, OPEN_EXISTING);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    CloseHandle(again);
}

TEST_F(Files, HandlesAreNotDescriptorsAndDieWithClose) {
    const fs::path file = folder_ / "h.txt";
    HANDLE h = Open(file, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_GT(reinterpret_cast<std::uintptr_t>(h), 0xFFFFu);
    ASSERT_TRUE(CloseHandle(h));

    DWORD n = 7;
    EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, &n, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    // Descriptor 1 is standard output; a handle of that value is no handle.
    EXPECT_FALSE(WriteFile(reinterpret_cast<HANDLE>(1), "x", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(Files, GetFileSizeSplitsTheSizeAndTellsAFullLowHalfFromAFailure) {
    struct Case {
        unsigned long long size;
        DWORD low, high;
    };
    // Sparse files: the sizes past 4 GB take no room on the disk.
    const Case cases[] = {
        {0, 0, 0},
        {4097, 4097, 0},
        {0xFFFFFFFFull, 0xFFFFFFFF, 0},
        {0x100000005ull, 5, 1},
    };
    for (const Case& c : cases) {
        const fs::path file = folder_ / "sized.bin";
        { std::ofstream(file, std::ios::trunc); }
        fs::resize_file(file, c.size);
        HANDLE h = Open(file, GENERIC_READ, OPEN_EXISTING);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        SetLastError(ERROR_ACCESS_DENIED);
        DWORD high = 77;
        EXPECT_EQ(GetFileSize(h, &high), c.low) << c.size;
        EXPECT_EQ(high, c.high) << c.size;
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << c.size;
        EXPECT_EQ(GetFileSize(h, nullptr), c.low) << c.size;
        CloseHandle(h);

        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GetFileSize(h, &high), INVALID_FILE_SIZE) << "a closed handle";
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

TEST_F(Files, SetFilePointerMovesFromEachOriginAndNeverBeforeTheStart) {
    const fs::path file = folder_ / "digits.txt";
    { std::ofstream(file) << "0123456789"; }
    HANDLE h = Open(file, GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const auto readAll = [h] {
        char buffer[16] = {};
        DWORD n = 0;
        EXPECT_TRUE(ReadFile(h, buffer, sizeof(buffer), &n, nullptr));
        return std::string(buffer, n);
    };
    EXPECT_EQ(readAll(), "0123456789");
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), 0u);
    EXPECT_EQ(readAll(), "0123456789") << "read again from the start";
    EXPECT_EQ(SetFilePointer(h, -3, nullptr, FILE_END), 7u);
    EXPECT_EQ(SetFilePointer(h, -2, nullptr, FILE_CURRENT), 5u);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

    EXPECT_EQ(SetFilePointer(h, -6, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, 3), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(readAll(), "56789") << "a refused move leaves the position";
    CloseHandle(h);
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(Files, SetFilePointerTakesAndAnswersSixtyFourBitPositionsInTwoHalves) {
    const fs::path file = folder_ / "sparse.bin";
    { std::ofstream(file, std::ios::trunc); }
    fs::resize_file(file, 0x100000005ull); // sparse: no room taken on the disk
    HANDLE h = Open(file, GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LONG high = 0;
    EXPECT_EQ(SetFilePointer(h, 0, &high, FILE_END), 5u);
    EXPECT_EQ(high, 1);
    high = -1; // the distance -6, in two halves
    EXPECT_EQ(SetFilePointer(h, -6, &high, FILE_CURRENT), 0xFFFFFFFFu);
    EXPECT_EQ(high, 0);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << "a full low half is no failure";
    // Without the high half the answer could not tell a position past 4 GB.
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    CloseHandle(h);
}

} // namespace
