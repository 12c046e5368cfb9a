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

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tallyroll_icons RES-ICONS-DIR\n";
        return 2;
    }
    namespace fs = std::filesystem;
    try {
        const fs::path dir = argv[1];
        fs::create_directories(dir / "png");

        icons::WriteBytes(dir / "mainframe.ico",
                          icons::IconFile({
                              icons::EncodeIconImage(icons::DrawSixteenColour(32), 4),
                              icons::EncodeIconImage(icons::DrawSixteenColour(16), 4),
                          }));

        struct Size {
            int pixels;
            int bitCount;
        };
        constexpr Size kLarge[] = {{128, 32}, {64, 32}, {48, 32}, {32, 24}, {16, 32}};
        std::vector<icons::IconImage> images;
        for (const Size& s : kLarge) {
            const icons::Image picture = icons::DrawTrueColour(s.pixels);
            images.push_back(icons::EncodeIconImage(picture, s.bitCount));
            icons::WritePng(dir / "png" / ("tallyroll-" + std::to_string(s.pixels) + ".png"),
                            picture);
        }
        icons::WriteBytes(dir / "tallyroll.ico", icons::IconFile(images));
    } catch (const std::exception& e) {
        std::cerr << "tallyroll_icons: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
