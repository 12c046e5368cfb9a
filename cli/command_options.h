// What a command asks for: the words after "tallyroll print" or
// "tallyroll test", read the way GNU tools read theirs (short options that
// may be bundled, long ones with "=" or a separate value, options and files
// in any order, "--" ending the options).
#pragma once

#include "platform/win32/types.h"

#include <optional>
#include <string>
#include <vector>

using CommandText = std::basic_string<WCHAR>;

enum class CommandKind { Print, Test };

// The form's choices as the command gives them, with the form's defaults.
struct PrintChoices {
    int nPort = 3;   // 1..9
    int nModel = 0;  // index in the printer list: Qelvo, Rinth, Sovak, Wexol
    int nWidth = 0;  // index in the Width list: 0..3 for x1..x4
    int nHeight = 0; // as nWidth
    bool bUnderline = false;
    bool bDirection = false;
    bool bWhite = false;
    bool bQuiet = false;
    // Where the bytes go instead of the port: a file name, or "-" for
    // standard output.
    std::optional<CommandText> output;
    // The texts to print, one job each; "-" is standard input. Empty: one job
    // from standard input.
    std::vector<CommandText> files;
};

struct ParsedCommand {
    CommandKind kind = CommandKind::Print;
    PrintChoices choices;
    bool bHelp = false;
    // Set when the words are not a valid command: what is wrong, for the user.
    std::optional<CommandText> error;
};

// args[0] is the command's name ("print" or "test").
ParsedCommand ParseCommand(const std::vector<CommandText>& args);

// Each value as the user may write it; nothing when it is not one.
std::optional<int> ParsePortNumber(const CommandText& value); // "3", "COM3", "com3:"
std::optional<int> ParseModel(const CommandText& value);      // "sovak" -> 2
std::optional<int> ParseFactor(const CommandText& value);     // "2", "x2" -> 1
