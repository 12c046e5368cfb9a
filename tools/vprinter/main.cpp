#include "tools/vprinter/options.h"
#include "tools/vprinter/serve_port.h"
#include "tools/vprinter/tcp_listener.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv) {
    (void)std::setlocale(LC_ALL, ""); // an unknown locale leaves the C one, which serves
    std::string error;
    auto options = vprinter::parse_options(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!options) {
        std::cerr << "tallyroll-vprinter: " << error << "\n\n" << vprinter::usage_text();
        return 2;
    }
    if (options->help) {
        std::cout << vprinter::usage_text();
        return 0;
    }
    if (options->version) {
        std::cout << "tallyroll-vprinter " << TALLYROLL_VERSION << '\n';
        return 0;
    }
    if (!options->decode.empty()) {
        return vprinter::decode_file(*options);
    }
    return options->tcp.empty() ? vprinter::serve_port(*options) : vprinter::serve_tcp(*options);
}
