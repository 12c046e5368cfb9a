// make_seeds CORPUS-DIR
//
// Writes the seed corpora of the resource, loader and printer fuzz targets:
// the program's own compiled resources, byte for byte, and hand-made inputs
// for the layouts and corners the program's resources do not use. Run at
// development time after a resource changes (target fuzz_seeds); the output
// is committed under tests/fuzz/corpus/.
#include "dialog_template_bytes.h"
#include "platform/afx/dialog_init.h"
#include "platform/entry/program_resources.h"
#include "platform/win32/user.h"
#include "tests/support/bytes.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Icon images past this are cut to their header and first rows: the reader
// looks at the header only, and long seeds slow every run of the fuzzer.
constexpr std::size_t kLongestIcon = 1024;
constexpr std::size_t kIconHead = 256;

using Out = testing_support::ByteWriter;

int written = 0;

void Write(const fs::path& dir, const std::string& name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error((dir / name).string() + ": cannot write");
    }
    std::cout << (dir / name).string() << ": " << bytes.size() << " bytes\n";
    ++written;
}

void WriteProgramResources(const fs::path& root) {
    std::size_t count = 0;
    const RESOURCE_ITEM* items = ProgramResources(&count);
    for (const RESOURCE_ITEM& item : std::span(items, count)) {
        Bytes bytes(item.data, item.data + item.size);
        const std::string id = std::to_string(item.id);
        if (item.type == ResourceTypeNumber(RT_DIALOG)) {
            Write(root / "fuzz_dialog_template", "program_form_" + id, bytes);
        } else if (item.type == ResourceTypeNumber(RT_DLGINIT)) {
            Write(root / "fuzz_list_data", "program_lists_" + id, bytes);
        } else if (item.type == ResourceTypeNumber(RT_GROUP_ICON)) {
            Write(root / "fuzz_icon_group", "program_group_" + id, bytes);
        } else if (item.type == ResourceTypeNumber(RT_ICON)) {
            if (bytes.size() > kLongestIcon) {
                bytes.resize(kIconHead);
                Write(root / "fuzz_icon_group", "program_icon_" + id + "_head", bytes);
            } else {
                Write(root / "fuzz_icon_group", "program_icon_" + id, bytes);
            }
        } else if (item.type == ResourceTypeNumber(RT_VERSION)) {
            Write(root / "fuzz_version_info", "program_version_" + id, bytes);
        }
    }
}

user32::NameOrOrdinal Name(std::u16string_view s) {
    return {false, 0, std::u16string(s)};
}

user32::NameOrOrdinal Ordinal(WORD n) {
    return {true, n, {}};
}

void DialogTemplates(const fs::path& dir) {
    // Classic, with a menu and class by name, a font, and a control of a
    // named class whose text is an ordinal and which carries creation data.
    user32::DialogTemplate classic;
    classic.style = WS_POPUP | WS_CAPTION | DS_SETFONT;
    classic.cx = 120;
    classic.cy = 60;
    classic.menu = Name(u"MENU");
    classic.windowClass = Name(u"MyDialog");
    classic.title = u"Classic";
    classic.pointSize = 8;
    classic.typeface = u"System";
    user32::DialogItemTemplate custom;
    custom.style = WS_CHILD | WS_VISIBLE;
    custom.x = 4;
    custom.y = 4;
    custom.cx = 40;
    custom.cy = 12;
    custom.id = 100;
    custom.windowClass = Name(u"Custom");
    custom.text = Ordinal(7);
    custom.creationData = {1, 2, 3, 4};
    user32::DialogItemTemplate ok;
    ok.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
    ok.x = 60;
    ok.y = 40;
    ok.cx = 40;
    ok.cy = 14;
    ok.id = IDOK;
    ok.windowClass = Ordinal(user32::kClassButton);
    ok.text = Name(u"OK");
    classic.items = {custom, ok};
    Write(dir, "classic_named", fuzz_bytes::EncodeDialogTemplate(classic));

    // Classic without a font, menu by ordinal, one label.
    user32::DialogTemplate plain;
    plain.style = WS_POPUP;
    plain.cx = 80;
    plain.cy = 20;
    plain.menu = Ordinal(3);
    user32::DialogItemTemplate label;
    label.style = WS_CHILD | WS_VISIBLE | SS_LEFT;
    label.cx = 70;
    label.cy = 8;
    label.id = 0xFFFF;
    label.windowClass = Ordinal(user32::kClassStatic);
    label.text = Name(u"Label");
    plain.items = {label};
    Write(dir, "classic_plain", fuzz_bytes::EncodeDialogTemplate(plain));

    // Extended without a font, with help ids, extended styles and data.
    user32::DialogTemplate ex;
    ex.extended = true;
    ex.helpId = 77;
    ex.exStyle = 0x00000100;
    ex.style = WS_POPUP | WS_CAPTION;
    ex.cx = 100;
    ex.cy = 50;
    ex.title = u"Extended";
    user32::DialogItemTemplate edit;
    edit.helpId = 5;
    edit.exStyle = 0x00000200;
    edit.style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
    edit.cx = 90;
    edit.cy = 12;
    edit.id = 0x12345;
    edit.windowClass = Ordinal(user32::kClassEdit);
    edit.text = Name(u"");
    edit.creationData = {9, 8, 7};
    user32::DialogItemTemplate list;
    list.style = WS_CHILD | WS_VISIBLE | WS_VSCROLL;
    list.y = 14;
    list.cx = 90;
    list.cy = 30;
    list.id = 1001;
    list.windowClass = Ordinal(user32::kClassListBox);
    list.text = Name(u"");
    ex.items = {edit, list};
    Write(dir, "extended_data", fuzz_bytes::EncodeDialogTemplate(ex));
}

void ListRecord(Out& out, WORD control, WORD message, const Bytes& data) {
    out.u16(control);
    out.u16(message);
    out.u32(static_cast<std::uint32_t>(data.size()));
    out.bytes.insert(out.bytes.end(), data.begin(), data.end());
}

Bytes Wide(std::u16string_view s) {
    Out out;
    out.str(s);
    return out.bytes;
}

void ListData(const fs::path& dir) {
    // 1000 is the control of the fuzz target's own combo box.
    Out combo;
    ListRecord(combo, 1000, 0x0403, Wide(u"alpha"));
    ListRecord(combo, 7, 0x0403, Wide(u"elsewhere"));
    ListRecord(combo, 1000, 0x0401, {1, 2, 3});
    ListRecord(combo, 1000, 0x0403, Wide(u""));
    ListRecord(combo, 1000, 0x0403, Wide(u"\u4E2D\u6587"));
    combo.u16(0);
    Write(dir, "combo_entries", combo.bytes);

    Write(dir, "empty", {0, 0});

    Out unterminated;
    ListRecord(unterminated, 1000, 0x0403, {'A', 0, 'B', 0});
    unterminated.u16(0);
    Write(dir, "unterminated", unterminated.bytes);
}

void Icons(const fs::path& dir) {
    Out png;
    png.raw("\x89PNG\r\n\x1A\n");
    png.raw(std::string_view("\0\0\0\x0DIHDR", 8));
    png.raw(std::string_view("\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0", 13));
    Write(dir, "png_header", png.bytes);

    // A 256-pixel image (0 in the directory) and a 1-bit one.
    Out group;
    group.u16(0);
    group.u16(1);
    group.u16(2);
    for (int i = 0; i < 2; ++i) {
        group.u8(i == 0 ? 0 : 48);
        group.u8(i == 0 ? 0 : 48);
        group.u8(i == 0 ? 0 : 2);
        group.u8(0);
        group.u16(1);
        group.u16(i == 0 ? 32 : 1);
        group.u32(i == 0 ? 264232 : 424);
        group.u16(static_cast<WORD>(20 + i));
    }
    Write(dir, "group_256", group.bytes);

    Out mono;
    mono.u32(40);
    mono.u32(48);
    mono.u32(96);
    mono.u16(1);
    mono.u16(1);
    mono.bytes.resize(40 + 8, 0);
    Write(dir, "dib_1bit_head", mono.bytes);
}

// A version node: key, value, children, with the length patched at the end.
template <typename Body>
void VersionNode(Out& out, std::u16string_view key, WORD valueLength, WORD type, Body body) {
    out.align4();
    const std::size_t start = out.bytes.size();
    out.u16(0);
    out.u16(valueLength);
    out.u16(type);
    out.str(key);
    out.align4();
    body();
    const auto length = static_cast<WORD>(out.bytes.size() - start);
    out.bytes[start] = static_cast<std::uint8_t>(length);
    out.bytes[start + 1] = static_cast<std::uint8_t>(length >> 8);
}

void VersionBlocks(const fs::path& dir) {
    // No fixed part, two string tables, a text value counted in bytes and
    // two translations.
    Out v;
    VersionNode(v, u"VS_VERSION_INFO", 0, 0, [&] {
        VersionNode(v, u"StringFileInfo", 0, 1, [&] {
            VersionNode(v, u"040904b0", 0, 1, [&] {
                VersionNode(v, u"ProductName", 9, 1, [&] { v.str(u"Tallyroll"); });
                VersionNode(v, u"Comments", 14, 1, [&] { v.str(u"bytes!"); });
            });
            VersionNode(v, u"080403a8", 0, 1, [&] {
                VersionNode(v, u"ProductName", 3, 1, [&] { v.str(u"\u4E2D\u6587"); });
            });
        });
        VersionNode(v, u"VarFileInfo", 0, 1, [&] {
            VersionNode(v, u"Translation", 8, 0, [&] {
                v.u32(0x04B00409);
                v.u32(0x03A80804);
            });
        });
    });
    Write(dir, "two_tables", v.bytes);
}

Bytes Piece(std::initializer_list<int> head, std::string_view body) {
    Bytes out;
    for (int b : head) {
        out.push_back(static_cast<std::uint8_t>(b));
    }
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void AnsiFiles(const fs::path& dir) {
    using namespace std::string_view_literals;
    // Page byte, piece count, piece sizes, then the file.
    Write(
        dir, "western_pieces",
        Piece({0, 3, 5, 1, 7}, "Caf\xE9 na\xEFve \x80 \x81 text\r\nline two\0after a zero\r\n"sv));
    Write(dir, "chinese_pieces",
          Piece({1, 4, 1, 3, 2, 1},
                "\xD6\xD0\xCE\xC4 abc \xB0\x0D\x0A \xD6\0A \xD6\xD0\xD6\xD0x \x81"sv));
    Write(dir, "chinese_whole", Piece({1, 0}, "\xC4\xE3\xBA\xC3\r\n\xCA\xC0\xBD\xE7\r\n"sv));
}

void TextFiles(const fs::path& dir) {
    using namespace std::string_view_literals;
    // Page byte, piece count, piece sizes, then the file: each encoding the
    // loader tells apart, and the ways a guess of UTF-8 turns out wrong.
    Write(dir, "utf8_pieces",
          Piece({0, 3, 2, 5, 1}, "Gr\xC3\xBC\xC3\x9F"
                                 "e \xE4\xB8\xAD\xF0\x9F\x98\x80\0z\r\n"sv));
    Write(dir, "utf8_marked",
          Piece({0, 1, 2}, "\xEF\xBB\xBF"
                           "caf\xC3\xA9\r\n"sv));
    Write(dir, "utf16_little",
          Piece({0, 2, 3, 4}, "\xFF\xFEG\0r\0\xFC\0\x3D\xD8\x00\xDE\0\0\x00\xD8x"sv));
    Write(dir, "utf16_big", Piece({1, 1, 1}, "\xFE\xFF\0a\x4E\x2D\xDC\x00\0\n"sv));
    Write(dir, "western_after_ascii",
          Piece({0, 1, 6}, "plain ascii then Gr\xF6\xDF"
                           "e \x80"sv));
    Write(dir, "western_like_utf8", Piece({0, 2, 3, 4}, "Caf\xC3\xA9 then caf\xE9"sv));
    Write(dir, "chinese_like_utf8", Piece({1, 1, 3}, "\xC4\xA3\xD6\xD0\xCE\xC4\r\n"sv));
    Write(dir, "mark_then_western",
          Piece({0, 1, 1}, "\xEF\xBB\xBF"
                           "abc\xE9"sv));
}

void PrinterStreams(const fs::path& dir) {
    using namespace std::string_view_literals;
    // Mode byte (bit 0: 936; bits 1-2: model none, A, B, C), piece count,
    // piece sizes, then the stream as the program sends it: a format block,
    // then the text with its terminator and one zero more.
    Write(dir, "job_a_1252",
          Piece({2, 2, 3, 10},
                "\0\x1BU\x02\x1BV\x01\x1B-\x01\x1B\x63\0\x1Bi\0Caf\xE9 line\r\nsecond\r\n\0\0"sv));
    Write(dir, "job_b_936",
          Piece({1 | 4, 1, 9},
                "\0\x1D!\x11\x1D!\x11\x1B-\0\x1BV\x02\x1D\x42\x01\xD6\xD0\xCE\xC4\r\n\0\0"sv));
    Write(dir, "job_c_unknown_model",
          Piece({0, 0}, "\0\x1D!\0\x1D!\0\x1B-\0\x1B{\x01\x1D\x42\0a\tb\tc\r\n\0\0"sv));
    Write(dir, "test_page",
          Piece({0, 1, 4},
                "\0\0\0\0\x1B@--Use Help for Printer--\r\n\r\n---Here,Test Ok---\r\n\0\0"sv));
    // What a printer must survive: a prefix alone, unknown commands, values
    // out of range, a lead byte without its trail, an unassigned pair, a
    // format block broken off, and a stream that ends inside a command.
    Write(dir, "broken_936",
          Piece({1, 2, 1, 1},
                "\x1B\x1B\x1Bz\x1BU\x09\x1D!\xFF\xD6\x0A\xA1\x40\x01\x7F\0\x1BU\x01\x1BV"sv));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_seeds CORPUS-DIR\n";
        return 2;
    }
    try {
        const fs::path root = argv[1];
        WriteProgramResources(root);
        DialogTemplates(root / "fuzz_dialog_template");
        ListData(root / "fuzz_list_data");
        Icons(root / "fuzz_icon_group");
        VersionBlocks(root / "fuzz_version_info");
        AnsiFiles(root / "fuzz_ansi_decoder");
        TextFiles(root / "fuzz_text_file_decoder");
        PrinterStreams(root / "fuzz_vprinter_decoder");
    } catch (const std::exception& e) {
        std::cerr << "make_seeds: " << e.what() << "\n";
        return 1;
    }
    std::cout << written << " seeds\n";
    return 0;
}
