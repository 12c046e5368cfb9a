#include "tools/vprinter/capture.h"
#include "tools/vprinter/printer_session.h"
#include "tools/vprinter/serve_port.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace vprinter {

int decode_file(const Options& options) {
    std::string content;
    if (options.decode == "-") {
        content.assign(std::istreambuf_iterator<char>(std::cin), {});
    } else {
        std::ifstream in(options.decode, std::ios::binary);
        if (!in) {
            std::cerr << "tallyroll-vprinter: cannot read " << options.decode << '\n';
            return 1;
        }
        content.assign(std::istreambuf_iterator<char>(in), {});
    }
    PrinterSession session(options);
    std::string error;
    if (!session.open(&error)) {
        std::cerr << "tallyroll-vprinter: " << error << '\n';
        return 1;
    }
    if (content.rfind(kCaptureHeader, 0) == 0) {
        auto chunks = parse_capture(content, &error);
        if (!chunks) {
            std::cerr << "tallyroll-vprinter: " << options.decode << ": " << error << '\n';
            return 1;
        }
        // Replay the capture's silences as job boundaries.
        std::optional<std::int64_t> previous;
        for (const TimedChunk& chunk : *chunks) {
            if (previous && chunk.t_us - *previous >= std::int64_t{options.job_gap_ms} * 1000) {
                session.end_job();
            }
            session.bytes_arrived(chunk.t_us, chunk.bytes);
            previous = chunk.t_us;
        }
    } else {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
        session.bytes_arrived(std::nullopt, std::span(bytes, content.size()));
    }
    return session.finish() ? 0 : 1;
}

} // namespace vprinter
