#pragma once

#include "tools/vprinter/capture.h"
#include "tools/vprinter/decoder.h"
#include "tools/vprinter/json_line.h"
#include "tools/vprinter/options.h"
#include "tools/vprinter/roll_pictures.h"
#include "tools/vprinter/terminal_roll.h"

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace vprinter {

// Everything the virtual printer does with bytes once they have arrived,
// wherever they come from: record them, decode them, show the roll, keep the
// event log and the picture. Bytes come in jobs: a job begins with the first
// byte after a silence and ends when the line falls silent again.
//
// Lines are shown and drawn as they are printed and then let go: what the
// session holds does not grow with the roll (see RollPictures).
class PrinterSession {
public:
    explicit PrinterSession(const Options& options);

    // Opens the files the options name; false with `error` when one cannot
    // be written.
    bool open(std::string* error);

    // A line in the event log, and a note on the roll when `note` is not empty.
    void announce(const JsonLine& line, const std::string& note);
    // `t_us`: arrival time in microseconds since the start, when known (a
    // raw file read back has none).
    void bytes_arrived(std::optional<std::int64_t> t_us, std::span<const std::uint8_t> bytes);
    // Ends the current job, if one is running, and redraws the picture.
    void end_job();
    // The stream is over: reports what was cut short, ends the job and
    // writes the picture a last time. Returns false if the picture failed.
    bool finish();

    bool job_running() const { return job_running_; }
    TerminalRoll* roll() { return roll_.get(); }
    const RollPictures* pictures() const { return pictures_.get(); }

private:
    void on_event(const Event& event);
    bool write_picture(std::string* error);
    void picture_failed(const std::string& error);

    Options options_;
    std::unique_ptr<TerminalRoll> roll_;
    std::ofstream events_file_;
    std::ostream* events_ = nullptr;
    CaptureFile capture_;
    CaptureFile raw_;
    Decoder decoder_;
    std::unique_ptr<RollPictures> pictures_; // with --png
    std::string picture_error_;              // the first picture that failed
    std::int64_t lines_ = 0;
    std::optional<std::int64_t> now_us_;

    bool job_running_ = false;
    int job_number_ = 0;
    int jobs_ended_ = 0;
    std::uint64_t job_start_offset_ = 0;
    std::optional<std::int64_t> last_byte_us_;
};

} // namespace vprinter
