// Loading a 100 MB text file into the form, against glibc's iconv turning the
// same file into UTF-16 read in the same 4096-byte chunks, in the same run.
//
// The file is written once into a temporary folder at start (100 MB, or
// --size-mb=N megabytes). Code page 0
// follows the locale the first time anything converts, so one run measures
// one code page: 1252 by default, 936 with --code-page=936.
#include "bench/bench_support.h"
#include "bench/benchmark_usage.h"
#include "bench/text_corpus.h"
#include "document/loader_host.h"
#include "document/text_file_loader.h"
#include "platform/user32/dialogs/message_box_presenter.h"
#include "platform/win32/codepage.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <iconv.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Setup {
    UINT code_page = 1252;
    std::size_t size = bench::kCorpusSize;
    std::filesystem::path folder;
    std::filesystem::path file;
};
Setup g_setup;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "loader_bench: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

// The form as the loader sees it; nothing is drawn.
class Form : public LoaderHost {
public:
    CString& StoredText() override { return text_; }
    CString& StoredFile() override { return file_; }
    void ReadChoices() override {}
    void RefreshForm() override {}
    const std::u16string& text() const { return text_.str(); }

private:
    CString text_;
    CString file_;
};

int RefuseBox(HWND, LPCWSTR, LPCWSTR, UINT) {
    std::fputs("loader_bench: the loader could not open the file\n", stderr);
    std::exit(1);
}

std::size_t FileSize() {
    return static_cast<std::size_t>(std::filesystem::file_size(g_setup.file));
}

const char* IconvName() {
    return g_setup.code_page == 936 ? "CP936" : "WINDOWS-1252";
}

// The anchor: what a program built on iconv does to keep a file's text as
// UTF-16, reading 4096 bytes at a time and appending each converted chunk to
// a string given room for the whole file first, as the loader does. A
// double-byte pair cut by a read is carried into the next one.
std::u16string IconvLoad() {
    iconv_t cd = iconv_open("UTF-16LE", IconvName());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        Fail("iconv_open");
    }
    const int fd = ::open(g_setup.file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd == -1) {
        Fail("open the file");
    }
    std::u16string text;
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        text.reserve(static_cast<std::size_t>(st.st_size));
    }
    char chunk[kLoadChunkSize + 8];
    std::size_t carried = 0;
    for (;;) {
        const ssize_t n = ::read(fd, chunk + carried, kLoadChunkSize);
        if (n <= 0) {
            break;
        }
        char* in = chunk;
        std::size_t in_left = carried + static_cast<std::size_t>(n);
        // Neither code page gives more than one UTF-16 unit per byte.
        const std::size_t start = text.size();
        text.resize(start + in_left);
        char* out = reinterpret_cast<char*>(text.data() + start);
        std::size_t out_left = in_left * 2;
        const std::size_t room = out_left;
        if (iconv(cd, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) &&
            errno != EINVAL) {
            Fail("iconv");
        }
        text.resize(start + (room - out_left) / 2);
        std::memmove(chunk, in, in_left);
        carried = in_left;
    }
    ::close(fd);
    iconv_close(cd);
    return text;
}

// iconv alone, into a small buffer that is thrown away: the conversion's own
// speed, without keeping the text.
std::size_t IconvConvertOnly() {
    iconv_t cd = iconv_open("UTF-16LE", IconvName());
    const int fd = ::open(g_setup.file.c_str(), O_RDONLY | O_CLOEXEC);
    if (cd == reinterpret_cast<iconv_t>(-1) || fd == -1) {
        Fail("iconv_open or open");
    }
    char chunk[kLoadChunkSize + 8];
    char wide[2 * (kLoadChunkSize + 8)];
    std::size_t carried = 0, units = 0;
    for (;;) {
        const ssize_t n = ::read(fd, chunk + carried, kLoadChunkSize);
        if (n <= 0) {
            break;
        }
        char* in = chunk;
        std::size_t in_left = carried + static_cast<std::size_t>(n);
        char* out = wide;
        std::size_t out_left = sizeof(wide);
        if (iconv(cd, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) &&
            errno != EINVAL) {
            Fail("iconv");
        }
        units += (sizeof(wide) - out_left) / 2;
        std::memmove(chunk, in, in_left);
        carried = in_left;
    }
    ::close(fd);
    iconv_close(cd);
    return units;
}

std::size_t LoadIntoForm() {
    Form form;
    LoadTextFile(form, CString(g_setup.file.c_str()));
    return form.text().size();
}

void BM_LoadTextFile(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadIntoForm());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize()));
}

void BM_IconvLoad(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(IconvLoad().size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize()));
}

void BM_IconvConvertOnly(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(IconvConvertOnly());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize()));
}

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Spent {
    double wall = 0, cpu = 0;
};

template <typename Work> Spent Measure(Work work) {
    const auto w0 = Clock::now();
    const double c0 = CpuSeconds();
    benchmark::DoNotOptimize(work());
    const double c1 = CpuSeconds();
    const auto w1 = Clock::now();
    return {std::chrono::duration<double>(w1 - w0).count(), c1 - c0};
}

// The loader and both anchors taken in turns, so that all three see the
// same machine. A ratio above 1 means the loader is the faster.
void BM_LoadAgainstIconv(benchmark::State& state) {
    Spent load, iconv_load, iconv_only;
    for (auto _ : state) {
        const Spent a = Measure(LoadIntoForm);
        const Spent b = Measure(IconvLoad);
        const Spent c = Measure(IconvConvertOnly);
        load.wall += a.wall, load.cpu += a.cpu;
        iconv_load.wall += b.wall, iconv_load.cpu += b.cpu;
        iconv_only.wall += c.wall, iconv_only.cpu += c.cpu;
        state.SetIterationTime(a.wall);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["load_ms"] = load.wall / n * 1e3;
    state.counters["load_cpu_ms"] = load.cpu / n * 1e3;
    state.counters["iconv_ms"] = iconv_load.wall / n * 1e3;
    state.counters["iconv_cpu_ms"] = iconv_load.cpu / n * 1e3;
    state.counters["iconv_only_ms"] = iconv_only.wall / n * 1e3;
    state.counters["iconv_only_cpu_ms"] = iconv_only.cpu / n * 1e3;
    state.counters["x_iconv"] = iconv_load.cpu / load.cpu;
    state.counters["x_iconv_only"] = iconv_only.cpu / load.cpu;
}

BENCHMARK(BM_LoadTextFile)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_IconvLoad)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_IconvConvertOnly)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadAgainstIconv)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// Both engines must give the same text before their speeds mean anything.
void CheckAgreement() {
    Form form;
    LoadTextFile(form, CString(g_setup.file.c_str()));
    const std::u16string theirs = IconvLoad();
    if (form.text() != theirs) {
        const auto diff =
            std::mismatch(form.text().begin(), form.text().end(), theirs.begin(), theirs.end());
        std::fprintf(stderr,
                     "loader_bench: the loader's text differs from iconv's at unit %zu "
                     "(%zu and %zu units)\n",
                     static_cast<std::size_t>(diff.first - form.text().begin()), form.text().size(),
                     theirs.size());
        std::exit(1);
    }
    std::printf("code page %u (GetACP %u): %zu bytes give %zu UTF-16 units in both engines\n",
                g_setup.code_page, GetACP(), FileSize(), theirs.size());
}

} // namespace

constexpr std::string_view kUsage =
    "usage: loader_bench [--code-page=1252|936] [--size-mb=N] [benchmark options]\n";

int main(int argc, char** argv) {
    const char* page = bench::TakeOption(argc, argv, "--code-page=");
    const char* megabytes = bench::TakeOption(argc, argv, "--size-mb=");
    bench::InitializeBenchmarks(argc, argv, "loader_bench", kUsage);
    if (page != nullptr) {
        g_setup.code_page = static_cast<UINT>(std::atoi(page));
    }
    long size = 0;
    if (megabytes != nullptr) {
        if (!bench::ParseCount(megabytes, size)) {
            bench::RefuseArguments("loader_bench", "--size-mb takes a count of megabytes", kUsage);
        }
        g_setup.size = static_cast<std::size_t>(size) << 20;
    }
    if (g_setup.code_page != 1252 && g_setup.code_page != 936) {
        bench::RefuseArguments("loader_bench", "--code-page takes 1252 or 936", kUsage);
    }
    // Before anything converts: the ANSI code page is fixed at first use.
    ::setenv("LC_ALL", g_setup.code_page == 936 ? "zh_CN.GBK" : "en_US.UTF-8", 1);
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tallyroll-loader-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        Fail("mkdtemp");
    }
    g_setup.folder = pattern;
    g_setup.file = g_setup.folder / "text.txt";
    bench::WriteTextCorpus(g_setup.file, g_setup.code_page, g_setup.size);
    SetMessageBoxPresenter(&RefuseBox);
    CheckAgreement();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(g_setup.folder, ignored);
    return 0;
}
