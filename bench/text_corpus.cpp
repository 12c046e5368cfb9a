#include "bench/text_corpus.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace bench {
namespace {

std::uint32_t Next(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// One letter in about 25 is accented or a 1252 symbol outside Latin-1 (euro
// sign, curly quotes, dash); lines of 40 to 90 characters.
void AppendWestern(std::string& out, std::uint32_t& state) {
    static const unsigned char kAccented[] = {0xE9, 0xE8, 0xE0, 0xFC, 0xF6, 0xE4, 0xDF, 0xE7,
                                              0xF1, 0xC9, 0xD6, 0x80, 0x92, 0x93, 0x94, 0x96};
    const std::size_t line = 40 + Next(state) % 51;
    for (std::size_t i = 0; i < line; ++i) {
        const std::uint32_t r = Next(state) % 100;
        if (r < 4) {
            out += static_cast<char>(kAccented[Next(state) % sizeof(kAccented)]);
        } else if (r < 20) {
            out += ' ';
        } else {
            out += static_cast<char>('a' + Next(state) % 26);
        }
    }
    out += "\r\n";
}

// GB2312's common area: every trail byte of the leads 0xB0 to 0xD6 is
// assigned, so iconv and the loader both convert every pair.
void AppendChinese(std::string& out, std::uint32_t& state) {
    const std::size_t line = 20 + Next(state) % 31;
    for (std::size_t i = 0; i < line; ++i) {
        const std::uint32_t r = Next(state) % 100;
        if (r < 85) {
            out += static_cast<char>(0xB0 + Next(state) % (0xD6 - 0xB0 + 1));
            out += static_cast<char>(0xA1 + Next(state) % (0xFE - 0xA1 + 1));
        } else if (r < 92) {
            out += "\xA3\xAC"; // full-width comma
        } else {
            out += static_cast<char>('a' + Next(state) % 26);
        }
    }
    out += "\r\n";
}

[[noreturn]] void Fail(const std::filesystem::path& path) {
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    std::exit(1);
}

} // namespace

void WriteTextCorpus(const std::filesystem::path& path, unsigned code_page, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd == -1) {
        Fail(path);
    }
    std::uint32_t state = 2024;
    std::string block;
    std::size_t written = 0;
    while (written < size) {
        block.clear();
        while (block.size() < (1u << 20)) {
            if (code_page == 936) {
                AppendChinese(block, state);
            } else {
                AppendWestern(block, state);
            }
        }
        // The last block ends on a whole line: a pair cut in two would be
        // converted differently by the two engines being compared.
        std::size_t n = block.size();
        if (size - written < n) {
            const std::size_t line_end = block.rfind("\r\n", size - written);
            n = line_end == std::string::npos ? 0 : line_end + 2;
        }
        if (::write(fd, block.data(), n) != static_cast<ssize_t>(n)) {
            Fail(path);
        }
        written += n;
        if (n != block.size()) {
            break;
        }
    }
    if (::close(fd) != 0) {
        Fail(path);
    }
}

} // namespace bench
