// Code-page conversion against glibc's iconv on the same 100 MB of text,
// both directions, for 1252 (Western European text) and 936 (Chinese text
// with some ASCII). Throughput is counted in code-page bytes, so the two
// engines' figures in one run compare directly.
#include "bench/benchmark_usage.h"
#include "platform/win32/codepage.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iconv.h>
#include <memory>
#include <string>

namespace {

constexpr std::size_t kTargetBytes = 100u << 20;

struct Corpus {
    UINT code_page = 0;
    std::u16string wide;
    std::string bytes;
};

const char* IconvName(UINT cp) {
    return cp == 936 ? "CP936" : "CP1252";
}

// Deterministic text: words drawn by a fixed pseudo-random sequence.
std::u16string MakeText(UINT cp) {
    static const char16_t* const western[] = {
        u"le ",  u"café ", u"über ",  u"naïve ",  u"Straße ", u"élève ", u"año ",     u"€ 12,50 ",
        u"the ", u"and ",  u"print ", u"“text” ", u"ça ",     u"Øre ",   u"smörgås ", u"\r\n"};
    std::u16string text;
    text.reserve(cp == 936 ? kTargetBytes / 2 + 64 : kTargetBytes + 64);
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    std::size_t bytes = 0;
    while (bytes < kTargetBytes) {
        if (cp == 936) {
            const std::uint32_t r = next() % 100;
            if (r < 80) {
                text += static_cast<char16_t>(0x4E00 + next() % (0x9FA5 - 0x4E00 + 1));
                bytes += 2;
            } else if (r < 90) {
                text += r & 1 ? u'\uFF0C' : u'\u3002'; // full-width comma, full stop
                bytes += 2;
            } else if (r < 98) {
                text += static_cast<char16_t>(u'a' + next() % 26);
                bytes += 1;
            } else {
                text += u"\r\n";
                bytes += 2;
            }
        } else {
            const std::u16string_view word = western[next() % std::size(western)];
            text += word;
            bytes += word.size();
        }
    }
    return text;
}

std::string IconvConvert(const char* to, const char* from, const void* src, std::size_t len,
                         std::size_t capacity) {
    iconv_t cd = iconv_open(to, from);
    std::string out(capacity, '\0');
    char* in = const_cast<char*>(static_cast<const char*>(src));
    char* dst = out.data();
    std::size_t in_left = len;
    std::size_t out_left = capacity;
    if (cd == reinterpret_cast<iconv_t>(-1) ||
        iconv(cd, &in, &in_left, &dst, &out_left) == static_cast<std::size_t>(-1)) {
        std::fprintf(stderr, "iconv %s -> %s failed\n", from, to);
        std::exit(1);
    }
    iconv_close(cd);
    out.resize(capacity - out_left);
    return out;
}

// One corpus at a time, kept while the benchmarks of its code page run.
const Corpus& CorpusFor(UINT cp) {
    static std::unique_ptr<Corpus> corpus;
    if (!corpus || corpus->code_page != cp) {
        corpus.reset();
        auto c = std::make_unique<Corpus>();
        c->code_page = cp;
        c->wide = MakeText(cp);
        c->bytes = IconvConvert(IconvName(cp), "UTF-16LE", c->wide.data(), c->wide.size() * 2,
                                c->wide.size() * 2);
        // Both engines must agree before their speeds mean anything.
        std::string ours(c->bytes.size(), '\0');
        const int n =
            WideCharToMultiByte(cp, 0x240, c->wide.data(), static_cast<int>(c->wide.size()),
                                ours.data(), static_cast<int>(ours.size()), nullptr, nullptr);
        if (n != static_cast<int>(c->bytes.size()) || ours != c->bytes) {
            std::fprintf(stderr, "code page %u: conversion differs from iconv\n", cp);
            std::exit(1);
        }
        corpus = std::move(c);
    }
    return *corpus;
}

void WideToCodePage(benchmark::State& state) {
    const auto cp = static_cast<UINT>(state.range(0));
    const bool iconv_engine = state.range(1) != 0;
    const Corpus& c = CorpusFor(cp);
    std::string out(c.bytes.size(), '\0');
    iconv_t cd = iconv_open(IconvName(cp), "UTF-16LE");
    for (auto _ : state) {
        std::size_t produced = 0;
        if (iconv_engine) {
            char* in = const_cast<char*>(reinterpret_cast<const char*>(c.wide.data()));
            std::size_t in_left = c.wide.size() * 2;
            char* dst = out.data();
            std::size_t out_left = out.size();
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            iconv(cd, &in, &in_left, &dst, &out_left);
            produced = out.size() - out_left;
        } else {
            // As the printer path converts: composite check, default character.
            produced = static_cast<std::size_t>(
                WideCharToMultiByte(cp, 0x240, c.wide.data(), static_cast<int>(c.wide.size()),
                                    out.data(), static_cast<int>(out.size()), nullptr, nullptr));
        }
        benchmark::DoNotOptimize(produced);
        if (produced != c.bytes.size()) {
            state.SkipWithError("short conversion");
            break;
        }
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.bytes.size()));
}

void SizeQuery(benchmark::State& state) {
    const auto cp = static_cast<UINT>(state.range(0));
    const Corpus& c = CorpusFor(cp);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WideCharToMultiByte(cp, 0x220, c.wide.data(),
                                                     static_cast<int>(c.wide.size()), nullptr, 0,
                                                     nullptr, nullptr));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.bytes.size()));
}

void CodePageToWide(benchmark::State& state) {
    const auto cp = static_cast<UINT>(state.range(0));
    const bool iconv_engine = state.range(1) != 0;
    const Corpus& c = CorpusFor(cp);
    std::u16string out(c.wide.size(), u'\0');
    iconv_t cd = iconv_open("UTF-16LE", IconvName(cp));
    for (auto _ : state) {
        std::size_t produced = 0;
        if (iconv_engine) {
            char* in = const_cast<char*>(c.bytes.data());
            std::size_t in_left = c.bytes.size();
            char* dst = reinterpret_cast<char*>(out.data());
            std::size_t out_left = out.size() * 2;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            iconv(cd, &in, &in_left, &dst, &out_left);
            produced = (out.size() * 2 - out_left) / 2;
        } else {
            produced = static_cast<std::size_t>(
                MultiByteToWideChar(cp, 0, c.bytes.data(), static_cast<int>(c.bytes.size()),
                                    out.data(), static_cast<int>(out.size())));
        }
        benchmark::DoNotOptimize(produced);
        if (produced != c.wide.size()) {
            state.SkipWithError("short conversion");
            break;
        }
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.bytes.size()));
}

// Ordered by code page so that each corpus is built once.
BENCHMARK(WideToCodePage)
    ->ArgNames({"cp", "iconv"})
    ->Args({1252, 0})
    ->Args({1252, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(SizeQuery)->ArgNames({"cp"})->Arg(1252)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(CodePageToWide)
    ->ArgNames({"cp", "iconv"})
    ->Args({1252, 0})
    ->Args({1252, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(WideToCodePage)
    ->ArgNames({"cp", "iconv"})
    ->Args({936, 0})
    ->Args({936, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(SizeQuery)->ArgNames({"cp"})->Arg(936)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(CodePageToWide)
    ->ArgNames({"cp", "iconv"})
    ->Args({936, 0})
    ->Args({936, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    bench::InitializeBenchmarks(argc, argv, "codepage_bench",
                                "usage: codepage_bench [benchmark options]\n");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
