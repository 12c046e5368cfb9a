#include "tools/vprinter/printer_session.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <unistd.h>

namespace vprinter {

namespace {

bool stdout_wants_ansi(ColorChoice choice) {
    if (choice != ColorChoice::Auto) {
        return choice == ColorChoice::Always;
    }
    const char* term = std::getenv("TERM");
    return ::isatty(STDOUT_FILENO) == 1 && term != nullptr && std::strcmp(term, "dumb") != 0;
}

} // namespace

PrinterSession::PrinterSession(const Options& options)
    : options_(options), decoder_(*CodePage::open(options.codepage), options.model,
                                  [this](const Event& event) { on_event(event); }) {}

bool PrinterSession::open(std::string* error) {
    // The event log on standard output leaves no room for the roll there.
    if (!options_.quiet && options_.events != "-") {
        roll_ = std::make_unique<TerminalRoll>(std::cout, stdout_wants_ansi(options_.color));
    }
    if (options_.events == "-") {
        events_ = &std::cout;
    } else if (!options_.events.empty()) {
        events_file_.open(options_.events, std::ios::out | std::ios::trunc);
        if (!events_file_) {
            *error = options_.events + ": " + std::strerror(errno);
            return false;
        }
        events_ = &events_file_;
    }
    if (!options_.capture.empty() && !capture_.open(options_.capture, true, error)) {
        return false;
    }
    if (!options_.raw.empty() && !raw_.open(options_.raw, false, error)) {
        return false;
    }
    if (!options_.png.empty()) {
        pictures_ = std::make_unique<RollPictures>(options_.png);
    }
    // An empty roll at once: a picture path that cannot be written is
    // reported now, not after the first job.
    return write_picture(error);
}

void PrinterSession::announce(const JsonLine& line, const std::string& note) {
    if (events_ != nullptr) {
        *events_ << line.str() << '\n' << std::flush;
    }
    if (roll_ && !note.empty()) {
        roll_->note(note);
    }
}

void PrinterSession::on_event(const Event& event) {
    if (events_ != nullptr) {
        *events_ << json_for(event, now_us_) << '\n' << std::flush;
    }
    if (roll_) {
        roll_->show(event);
    }
    if (const auto* printed = std::get_if<LinePrinted>(&event)) {
        ++lines_;
        std::string error;
        if (pictures_ && !pictures_->add(printed->line, &error)) {
            picture_failed(error);
        }
    }
}

void PrinterSession::bytes_arrived(std::optional<std::int64_t> t_us,
                                   std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return;
    }
    if (!job_running_) {
        job_running_ = true;
        ++job_number_;
        job_start_offset_ = decoder_.offset();
        JsonLine line("job_start");
        line.number("job", job_number_)
            .number("offset", static_cast<std::int64_t>(job_start_offset_));
        if (t_us) {
            line.number("t_us", *t_us);
        }
        announce(line, "job " + std::to_string(job_number_));
    }
    capture_.record(t_us.value_or(0), decoder_.offset(), bytes);
    raw_.record(t_us.value_or(0), decoder_.offset(), bytes);
    now_us_ = t_us;
    last_byte_us_ = t_us;
    decoder_.feed(bytes);
}

void PrinterSession::end_job() {
    if (!job_running_) {
        return;
    }
    job_running_ = false;
    ++jobs_ended_;
    JsonLine line("job_end");
    line.number("job", job_number_)
        .number("bytes", static_cast<std::int64_t>(decoder_.offset() - job_start_offset_));
    if (last_byte_us_) {
        line.number("last_t_us", *last_byte_us_);
    }
    announce(line, "");
    // A picture that fails here is written again after the next job.
    std::string error;
    if (!write_picture(&error) && roll_) {
        roll_->note(error, true);
    }
}

bool PrinterSession::write_picture(std::string* error) {
    return !pictures_ || pictures_->write(error);
}

// A full picture is dropped once written, failed or not: its loss stands.
void PrinterSession::picture_failed(const std::string& error) {
    if (picture_error_.empty()) {
        picture_error_ = error;
    }
    if (roll_) {
        roll_->note(error, true);
    }
}

bool PrinterSession::finish() {
    decoder_.finish();
    end_job();
    std::string error;
    if (!write_picture(&error) && picture_error_.empty()) {
        picture_error_ = error;
    }
    const bool picture = picture_error_.empty();
    JsonLine line("end");
    line.number("bytes", static_cast<std::int64_t>(decoder_.offset()))
        .number("lines", lines_)
        .number("jobs", jobs_ended_);
    if (pictures_ && picture) {
        line.text("png", options_.png).number("pictures", pictures_->pictures());
    }
    announce(line, "");
    if (!picture) {
        std::cerr << "tallyroll-vprinter: " << picture_error_ << '\n';
    } else if (roll_ && pictures_) {
        int count = pictures_->pictures();
        roll_->note(count == 1
                        ? "picture of the roll: " + options_.png
                        : "pictures of the roll: " + options_.png + " to " +
                              pictures_->path_of(count) + " (" + std::to_string(count) + ")");
    }
    capture_.close();
    raw_.close();
    return picture;
}

} // namespace vprinter
