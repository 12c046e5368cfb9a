// A print job of 1 KB of text on a pseudo-terminal, against the 20 ms pause
// it holds after the lead-in, measured in the same run; and the framing and
// sending of 1 KB alone. The printer is a thread that reads the master and
// counts; a job is over when its last byte has been read there. With
// --line=tcp the printer is a network printer on loopback instead: COM1
// links to tcp:127.0.0.1:PORT and the thread reads the accepted connection.
#include "bench/benchmark_usage.h"
#include "engine/print_jobs.h"
#include "engine/print_stream.h"
#include "link/port_connection.h"
#include "platform/win32/kernel.h"
#include "tests/support/counting_printer.h"
#include "tests/support/pty_printer.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kTextSize = 1024;
constexpr DWORD kPause = 20; // ms, as the job holds it

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "print_job_bench: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

std::u16string OneKilobyteOfText() {
    std::u16string text;
    for (unsigned line = 0; text.size() < kTextSize; ++line) {
        char buffer[64];
        std::snprintf(buffer, sizeof(buffer), "%04u the quick brown fox jumps\r\n", line);
        text.append(buffer, buffer + std::strlen(buffer));
    }
    text.resize(kTextSize);
    return text;
}

// A form with 1 KB in its text box, x1 wide and high, the first model, COM1.
class BenchForm : public PrintJobHost {
public:
    void ReadForm() override { m_strText = CString(text_.c_str()); }
    CString& StoredText() override { return m_strText; }
    BOOL StoredUnderline() override { return FALSE; }
    BOOL StoredDirection() override { return FALSE; }
    BOOL StoredWhite() override { return FALSE; }
    int WidthSelection() override { return 0; }
    int HeightSelection() override { return 0; }
    int PrinterSelection() override { return 0; }
    int PortSelection() override { return 0; }
    void EnablePrintButton(BOOL) override {}
    void EnableTestButton(BOOL) override {}
    HANDLE& PortHandle() override { return m_hPort; }
    HWND MessageOwner() const override { return nullptr; }

private:
    const std::u16string text_ = OneKilobyteOfText();
    CString m_strText;
    HANDLE m_hPort = nullptr;
};

testing_support::CountingPrinter* g_line = nullptr;
BenchForm* g_form = nullptr;

// Runs one job and waits for its last byte at the printer.
void PrintAndWait() {
    const std::uint64_t before = g_line->Received();
    RunPrintJob(*g_form);
    // Lead-in, format block, text, CR LF and two zero bytes.
    if (!g_line->WaitFor(before + 2 + 16 + kTextSize + 2 + 2)) {
        Fail("the printer stopped receiving");
    }
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The anchor: the pause alone.
void BM_Pause(benchmark::State& state) {
    for (auto _ : state) {
        Sleep(kPause);
    }
}
BENCHMARK(BM_Pause)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The whole job, from the call until the printer has the last byte.
void BM_PrintJob1KB(benchmark::State& state) {
    for (auto _ : state) {
        PrintAndWait();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextSize));
}
BENCHMARK(BM_PrintJob1KB)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The pause alone and the job taken in turns, so that both see the same
// machine load; the iteration's time is the job's, and the counters give
// what the job adds over the pause on average, and the slowest of each.
void BM_PrintJobOverItsPause(benchmark::State& state) {
    Clock::duration pauses{}, jobs{}, slowestPause{}, slowestJob{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        Sleep(kPause);
        const auto t1 = Clock::now();
        PrintAndWait();
        const auto t2 = Clock::now();
        pauses += t1 - t0;
        jobs += t2 - t1;
        slowestPause = std::max(slowestPause, t1 - t0);
        slowestJob = std::max(slowestJob, t2 - t1);
        state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["pause_ms"] = Milliseconds(pauses) / n;
    state.counters["job_ms"] = Milliseconds(jobs) / n;
    state.counters["over_pause_ms"] = Milliseconds(jobs - pauses) / n;
    // The slowest pause shows how late this machine wakes a sleeper at worst.
    state.counters["slowest_pause_ms"] = Milliseconds(slowestPause);
    state.counters["slowest_job_ms"] = Milliseconds(slowestJob);
}
BENCHMARK(BM_PrintJobOverItsPause)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(4.0);

// Framing and sending 1 KB on the open connection, without the pause.
void BM_SendText1KB(benchmark::State& state) {
    const CString text(OneKilobyteOfText().c_str());
    std::uint64_t sent = g_line->Received();
    for (auto _ : state) {
        SendText(*g_form, text);
        sent += kTextSize + 2;
    }
    if (!g_line->WaitFor(sent)) { // after the timed loop: what is left in flight
        Fail("the printer stopped receiving");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTextSize));
}
BENCHMARK(BM_SendText1KB)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    const char* kind = bench::TakeOption(argc, argv, "--line=");
    bench::InitializeBenchmarks(argc, argv, "print_job_bench",
                                "usage: print_job_bench [--line=pty|tcp] [benchmark options]\n");
    const bool tcp = kind != nullptr && std::strcmp(kind, "tcp") == 0;
    if (kind != nullptr && !tcp && std::strcmp(kind, "pty") != 0) {
        bench::RefuseArguments("print_job_bench", "--line takes pty or tcp",
                               "usage: print_job_bench [--line=pty|tcp] [benchmark options]\n");
    }
    testing_support::CountingPrinter line(
        tcp ? testing_support::CountingPrinter::Line::Tcp
            : testing_support::CountingPrinter::Line::PseudoTerminal);
    const testing_support::DeviceTable devices; // COM1, for the life of the run
    devices.Link(1, line.path());
    BenchForm form;
    g_line = &line;
    g_form = &form;
    // The first job opens and configures the port; the runs time open ports.
    PrintAndWait();
    if (g_bPortOpen == 0) {
        std::fputs("print_job_bench: the port did not open\n", stderr);
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    ClosePort(form);
    benchmark::Shutdown();
    return 0;
}
