// What the Windows build is checked against, written out by the Linux build
// for tools/test-windows.sh:
//
//   tallyroll_wine_expect resources DIR
//       every resource the Linux program registers, as DIR/TYPE-ID-LANGUAGE.bin
//       (the names the driver's dump of the .exe uses), for byte comparison
//       and for the driver's reading of the form;
//   tallyroll_wine_expect streams DIR
//       sample-1252.txt, the file the session loads, and the bytes each port
//       must receive: com3.bin (the Print example, then Test, each three
//       times) and com4.bin (the loaded file printed with the same format),
//       with the offsets of their jobs' lead-ins (comN.leadins: job, offset).
#include "platform/entry/program_resources.h"
#include "platform/entry/resource_table.h"
#include "tests/engine/test_page_text.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

namespace {

using Bytes = std::string;

const Bytes kLeadIn("\x00\x00", 2);
// Set A (model 0), x2 wide, x1 high, underline, upright, black on white.
const Bytes kBlockX2Underline("\x00\x1B\x55\x02\x1B\x56\x01\x1B\x2D\x01\x1B\x63\x00\x1B\x69\x00",
                              16);
const Bytes kLineEndAndFrame("\r\n\x00\x00", 4);
const Bytes kTestHeader("\x00\x00\x00\x00\x1B\x40", 6);
const Bytes kFrame("\x00\x00", 2);

// Every printable character of code page 1252, on lines of 32, numbered,
// repeated past 4096 bytes so that the loader reads it in more than one
// piece. The five bytes 1252 leaves undefined are left out: no text holds
// them.
Bytes SampleText() {
    Bytes text = "Tallyroll on Windows: code page 1252\r\n";
    Bytes repertoire;
    for (int b = 0x20; b <= 0xFF; ++b) {
        if (b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
            continue;
        }
        repertoire += char(b);
    }
    for (int round = 1; text.size() <= 5000; ++round) {
        for (std::size_t at = 0; at < repertoire.size(); at += 32) {
            text += std::to_string(round) + ": " + repertoire.substr(at, 32) + "\r\n";
        }
    }
    return text + "Caf\xE9 na\xEFve \x80 5 \x93quoted\x94 \x96 \xC5ngstr\xF6m";
}

bool Write(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out);
}

int WriteResources(const std::string& dir) {
    std::size_t count = 0;
    const RESOURCE_ITEM* items = ProgramResources(&count);
    for (std::size_t i = 0; i < count; ++i) {
        const RESOURCE_ITEM& item = items[i];
        const std::string name = dir + "/" + std::to_string(item.type) + "-" +
                                 std::to_string(item.id) + "-" + std::to_string(item.language) +
                                 ".bin";
        if (!Write(name, Bytes(reinterpret_cast<const char*>(item.data), item.size))) {
            (void)std::fprintf(stderr, "cannot write %s\n", name.c_str());
            return 1;
        }
    }
    return 0;
}

int WriteStreams(const std::string& dir) {
    const Bytes sample = SampleText();
    const Bytes testJob = kLeadIn + kTestHeader + testing_support::kTestText + kFrame;
    const Bytes printExample = kLeadIn + kBlockX2Underline + "AB" + kLineEndAndFrame;
    const Bytes printFile = kLeadIn + kBlockX2Underline + sample + kLineEndAndFrame;
    // COM3: the session prints the example three times and tests three
    // times, so that each job can show its pause whole once (a run whose
    // lead-in the kernel hands over late shows it shortened).
    Bytes com3;
    std::string leadIns;
    for (const auto& [job, bytes] : {std::pair{"Print", printExample}, {"Test", testJob}}) {
        for (int run = 0; run < 3; ++run) {
            leadIns += std::string(job) + " " + std::to_string(com3.size()) + "\n";
            com3 += bytes;
        }
    }
    const bool good = Write(dir + "/sample-1252.txt", sample) && Write(dir + "/com3.bin", com3) &&
                      Write(dir + "/com3.leadins", leadIns) &&
                      Write(dir + "/com4.bin", printFile) &&
                      Write(dir + "/com4.leadins", "Print 0\n");
    if (!good) {
        (void)std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
    }
    return good ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "resources") {
        return WriteResources(argv[2]);
    }
    if (argc == 3 && std::string(argv[1]) == "streams") {
        return WriteStreams(argv[2]);
    }
    (void)std::fputs("usage: tallyroll_wine_expect resources|streams DIR\n", stderr);
    return 2;
}
