// tallyroll_icons RES-ICONS-DIR
//
// Draws the program's icons and writes them where the build embeds them:
//   mainframe.ico       32 and 16 pixels in 16 colours (icon group 128)
//   tallyroll.ico       128, 64, 48 and 16 pixels in 32 bits, 32 in 24 bits
//                       (icon group 136)
//   png/tallyroll-N.png every size of tallyroll.ico, for desktop icon themes
// The output is committed; run this after changing the picture.
#include "tools/icons/icon_encoder.h"
#include "tools/icons/picture.h"

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

int main(int argc, char** argv) {
    constexpr const char* kUsage = "usage: tallyroll_icons RES-ICONS-DIR\n";
    const std::string_view arg = argc == 2 ? argv[1] : "";
    if (arg == "--help" || arg == "-h") {
        std::cout << kUsage;
        return std::cout.flush() ? 0 : 1;
    }
    // An option is never the folder: "--hlep" must not become one.
    if (argc != 2 || arg.starts_with('-')) {
        std::cerr << "tallyroll_icons: "
                  << (argc != 2 ? "one folder is needed"
                                : "unexpected argument '" + std::string(arg) + "'")
                  << "\n"
                  << kUsage;
        return 2;
    }
    namespace fs = std::filesystem;
    try {
        const fs::path dir = argv[1];
        fs::create_directories(dir / "png");

        icons::write_bytes(dir / "mainframe.ico",
                           icons::icon_file({
                               icons::encode_icon_image(icons::draw_sixteen_colour(32), 4),
                               icons::encode_icon_image(icons::draw_sixteen_colour(16), 4),
                           }));

        struct Size {
            int pixels;
            int bit_count;
        };
        constexpr Size kLarge[] = {{128, 32}, {64, 32}, {48, 32}, {32, 24}, {16, 32}};
        std::vector<icons::IconImage> images;
        for (const Size& s : kLarge) {
            const icons::Image picture = icons::draw_true_colour(s.pixels);
            images.push_back(icons::encode_icon_image(picture, s.bit_count));
            icons::write_png(dir / "png" / ("tallyroll-" + std::to_string(s.pixels) + ".png"),
                             picture);
        }
        icons::write_bytes(dir / "tallyroll.ico", icons::icon_file(images));
    } catch (const std::exception& e) {
        std::cerr << "tallyroll_icons: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
