#include "tools/vprinter/capture.h"
#include "tools/vprinter/printer_session.h"
#include "tools/vprinter/serve_port.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace vprinter {

namespace {

// A raw file, in pieces as they are read.
void decode_raw(std::istream& in, PrinterSession& session) {
    std::vector<char> buffer(65536);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto count = static_cast<std::size_t>(in.gcount());
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
        session.bytes_arrived(std::nullopt, std::span(bytes, count));
    }
}

// A capture file after its header, a line at a time; its silences are
// replayed as job boundaries.
bool decode_capture(std::istream& in, PrinterSession& session, const Options& options,
                    std::string* error) {
    std::optional<std::int64_t> previous;
    TimedChunk chunk;
    std::string line;
    for (int number = 2; std::getline(in, line); ++number) {
        switch (parse_capture_line(line, &chunk, error)) {
        case CaptureLine::Comment:
            continue;
        case CaptureLine::Malformed:
            *error = "line " + std::to_string(number) + ": " + *error;
            return false;
        case CaptureLine::Bytes:
            break;
        }
        if (previous && chunk.t_us - *previous >= std::int64_t{options.job_gap_ms} * 1000) {
            session.end_job();
        }
        session.bytes_arrived(chunk.t_us, chunk.bytes);
        previous = chunk.t_us;
    }
    return true;
}

} // namespace

// The file is read as it is decoded, never whole: what the printer holds
// does not grow with the file.
int decode_file(const Options& options) {
    std::ifstream file;
    std::istream* in = &std::cin;
    if (options.decode != "-") {
        file.open(options.decode, std::ios::binary);
        if (!file) {
            std::cerr << "tallyroll-vprinter: cannot read " << options.decode << '\n';
            return 1;
        }
        in = &file;
    }
    PrinterSession session(options);
    std::string error;
    if (!session.open(&error)) {
        std::cerr << "tallyroll-vprinter: " << error << '\n';
        return 1;
    }
    // A capture begins with its header line; anything else is raw bytes,
    // those read to tell them apart included.
    const std::string header = std::string(kCaptureHeader) + "\n";
    std::string start(header.size(), '\0');
    in->read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(in->gcount()));
    if (start == header || (in->eof() && start == kCaptureHeader)) {
        // A malformed line ends the decoding there; what came before it is
        // still drawn and reported.
        if (!decode_capture(*in, session, options, &error)) {
            std::cerr << "tallyroll-vprinter: " << options.decode << ": " << error << '\n';
            session.finish();
            return 1;
        }
    } else {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(start.data());
        session.bytes_arrived(std::nullopt, std::span(bytes, start.size()));
        decode_raw(*in, session);
    }
    return session.finish() ? 0 : 1;
}

} // namespace vprinter
