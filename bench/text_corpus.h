// The text files the loading benchmarks read: 100 MB, made the same way on
// every run so that figures from different runs describe the same file.
#pragma once

#include <cstddef>
#include <filesystem>

namespace bench {

inline constexpr std::size_t kCorpusSize = 100u << 20;

// Writes about size bytes of text in code page 1252 (ASCII words with some
// accented letters and 1252 symbols, CR LF line ends) or 936 (Chinese with
// some ASCII and full-width punctuation), ending on a whole line. Exits the
// process with a message if the file cannot be written.
void WriteTextCorpus(const std::filesystem::path& path, unsigned code_page,
                     std::size_t size = kCorpusSize);

} // namespace bench
