// tallyroll_rescompile ICON-DIR OUTPUT.cpp|OUTPUT.res [DEPFILE]
//
// Compiles the resource descriptions it is built with (res/*.cpp) and the
// icon files they name into C++ source for the program, or, for an output
// named *.res, into a Win32 resource file with the same bytes. The optional depfile
// lists the icon files read, so that the build reruns this step when one of
// them changes.
#include "platform/afx/dialog_init.h"
#include "platform/win32/resources.h"
#include "res/compiler/icon_file.h"
#include "res/compiler/layouts.h"
#include "res/compiler/res_file_emitter.h"
#include "res/compiler/source_emitter.h"
#include "res/resource_script.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The number a predefined type (RT_DIALOG, ...) stands for in a table.
WORD TypeNumber(LPCWSTR type) {
    return static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type));
}

std::string Describe(const char* what, WORD id, WORD language) {
    return std::string(what) + " " + std::to_string(id) + ", language " + std::to_string(language);
}

std::vector<res::CompiledResource> Compile(const fs::path& iconDir, std::vector<fs::path>& read) {
    using namespace res;
    std::vector<CompiledResource> out;

    const DialogDefinition& form = kMainForm;
    out.push_back({TypeNumber(RT_DIALOG), form.id, form.language,
                   Describe("Form template", form.id, form.language), LayOutDialog(form)});
    const ListDataDefinition& lists = kMainFormLists;
    out.push_back({TypeNumber(RT_DLGINIT), lists.id, lists.language,
                   Describe("List data", lists.id, lists.language), LayOutListData(lists)});

    // Icon resource ids are private to the groups that name them; number
    // them through all groups so that none collide.
    WORD nextIconId = 1;
    for (const IconGroupDefinition& group : kIconGroups) {
        const fs::path file = iconDir / group.file;
        read.push_back(file);
        const std::vector<IconImage> images = ReadIconFile(file);
        out.push_back(
            {TypeNumber(RT_GROUP_ICON), group.id, group.language,
             Describe("Icon group", group.id, group.language) + ", from " + std::string(group.file),
             LayOutIconGroup(images, nextIconId)});
        for (const IconImage& image : images) {
            const int side = image.width == 0 ? 256 : image.width;
            out.push_back({TypeNumber(RT_ICON), nextIconId, group.language,
                           Describe("Icon", nextIconId, group.language) + ": " +
                               std::to_string(side) + " x " + std::to_string(side) + ", " +
                               std::to_string(image.bitCount) + " bits per pixel",
                           image.bytes});
            ++nextIconId;
        }
    }

    const VersionDefinition& version = kVersionInfo;
    out.push_back({TypeNumber(RT_VERSION), version.id, version.language,
                   Describe("Version block", version.id, version.language),
                   LayOutVersion(version)});
    return out;
}

bool WantsResourceFile(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return extension == ".res";
}

void WriteFile(const fs::path& path, const std::string& text) {
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        throw std::runtime_error(path.string() + ": cannot write");
    }
}

// Make syntax: spaces in paths are escaped with a backslash.
std::string DepfilePath(const fs::path& path) {
    std::string escaped;
    for (char c : path.string()) {
        if (c == ' ') {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

} // namespace

int main(int argc, char** argv) {
    constexpr const char* kUsage =
        "usage: tallyroll_rescompile ICON-DIR OUTPUT.cpp|OUTPUT.res [DEPFILE]\n";
    // No file name of the build starts with "-": such an argument is an
    // option, and the only one is the question what the arguments are.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return std::cout.flush() ? 0 : 1;
        }
        if (arg.starts_with('-')) {
            std::cerr << "tallyroll_rescompile: unexpected argument '" << arg << "'\n" << kUsage;
            return 2;
        }
    }
    if (argc != 3 && argc != 4) {
        std::cerr << "tallyroll_rescompile: " << (argc < 3 ? "too few" : "too many")
                  << " arguments\n"
                  << kUsage;
        return 2;
    }
    try {
        const fs::path output = argv[2];
        std::vector<fs::path> read;
        const auto resources = Compile(argv[1], read);
        if (WantsResourceFile(output)) {
            const std::vector<std::uint8_t> bytes = res::EmitResourceFile(resources);
            WriteFile(output, std::string(bytes.begin(), bytes.end()));
        } else {
            WriteFile(output, res::EmitResourceSource(resources));
        }
        if (argc == 4) {
            std::string deps = DepfilePath(output);
            deps += ':';
            for (const fs::path& file : read) {
                deps += ' ';
                deps += DepfilePath(file);
            }
            deps += '\n';
            WriteFile(argv[3], deps);
        }
    } catch (const std::exception& e) {
        std::cerr << "tallyroll_rescompile: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
