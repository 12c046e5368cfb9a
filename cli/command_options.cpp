#include "cli/command_options.h"

#include <array>
#include <cstddef>

namespace {

using TextView = std::basic_string_view<WCHAR>;

enum class OptionId {
    Com,
    Printer,
    Width,
    Height,
    Underline,
    Direction,
    White,
    Quiet,
    Output,
    Help
};

struct OptionRule {
    WCHAR shortName;
    const WCHAR* longName;
    bool takesValue;
    bool forTest; // test takes only the port and where the bytes go
    OptionId id;
};

constexpr std::array kOptions = {
    OptionRule{TEXT('c'), TEXT("com"), true, true, OptionId::Com},
    OptionRule{TEXT('p'), TEXT("printer"), true, false, OptionId::Printer},
    OptionRule{TEXT('w'), TEXT("width"), true, false, OptionId::Width},
    OptionRule{TEXT('H'), TEXT("height"), true, false, OptionId::Height},
    OptionRule{TEXT('u'), TEXT("underline"), false, false, OptionId::Underline},
    OptionRule{TEXT('d'), TEXT("direction"), false, false, OptionId::Direction},
    OptionRule{TEXT('W'), TEXT("white"), false, false, OptionId::White},
    OptionRule{TEXT('q'), TEXT("quiet"), false, true, OptionId::Quiet},
    OptionRule{TEXT('o'), TEXT("output"), true, true, OptionId::Output},
    OptionRule{TEXT('h'), TEXT("help"), false, true, OptionId::Help},
};

constexpr const WCHAR* kModelNames[] = {TEXT("Qelvo"), TEXT("Rinth"), TEXT("Sovak"), TEXT("Wexol")};

WCHAR Lower(WCHAR c) {
    return c >= TEXT('A') && c <= TEXT('Z') ? static_cast<WCHAR>(c - TEXT('A') + TEXT('a')) : c;
}

bool SameIgnoringCase(TextView a, TextView b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

// A number of one to three digits, nothing else.
std::optional<int> SmallNumber(TextView digits) {
    if (digits.empty() || digits.size() > 3) {
        return std::nullopt;
    }
    int n = 0;
    for (WCHAR c : digits) {
        if (c < TEXT('0') || c > TEXT('9')) {
            return std::nullopt;
        }
        n = n * 10 + (c - TEXT('0'));
    }
    return n;
}

std::optional<int> InRange(std::optional<int> n, int low, int high) {
    if (n && *n >= low && *n <= high) {
        return n;
    }
    return std::nullopt;
}

const OptionRule* FindShort(WCHAR name) {
    for (const OptionRule& option : kOptions) {
        if (option.shortName == name) {
            return &option;
        }
    }
    return nullptr;
}

// A long option may be abbreviated while the abbreviation names only one.
const OptionRule* FindLong(TextView name, bool& ambiguous) {
    const OptionRule* found = nullptr;
    ambiguous = false;
    for (const OptionRule& option : kOptions) {
        const TextView full(option.longName);
        if (full == name) {
            return &option;
        }
        if (!name.empty() && full.starts_with(name)) {
            ambiguous = found != nullptr;
            found = &option;
        }
    }
    return ambiguous ? nullptr : found;
}

class Parser {
public:
    Parser(const std::vector<CommandText>& args, ParsedCommand& result)
        : args_(args), result_(result) {}

    void Run() {
        bool optionsEnded = false;
        for (next_ = 1; next_ < args_.size() && !result_.error;) {
            const CommandText& word = args_[next_++];
            if (optionsEnded || word == TEXT("-") || word.size() < 2 || word[0] != TEXT('-')) {
                TakeOperand(word);
            } else if (word == TEXT("--")) {
                optionsEnded = true;
            } else if (word[1] == TEXT('-')) {
                TakeLong(TextView(word).substr(2));
            } else {
                TakeShorts(TextView(word).substr(1));
            }
        }
    }

private:
    void Fail(const CommandText& message) {
        if (!result_.error) {
            result_.error = message;
        }
    }

    bool Allowed(const OptionRule& option, const CommandText& shown) {
        if (result_.kind == CommandKind::Test && !option.forTest) {
            Fail(TEXT("test takes no option ") + shown);
            return false;
        }
        return true;
    }

    void TakeOperand(const CommandText& word) {
        if (result_.kind == CommandKind::Test) {
            Fail(TEXT("test takes no file: \"") + word + TEXT("\""));
            return;
        }
        result_.choices.files.push_back(word);
    }

    void TakeLong(TextView body) {
        const std::size_t equals = body.find(TEXT('='));
        const TextView name = body.substr(0, equals);
        const CommandText shown = TEXT("--") + CommandText(name);
        bool ambiguous = false;
        const OptionRule* option = FindLong(name, ambiguous);
        if (option == nullptr) {
            Fail((ambiguous ? TEXT("ambiguous option ") : TEXT("unknown option ")) + shown);
            return;
        }
        if (!Allowed(*option, shown)) {
            return;
        }
        if (!option->takesValue) {
            if (equals != TextView::npos) {
                Fail(TEXT("option ") + shown + TEXT(" takes no value"));
                return;
            }
            Apply(*option, CommandText(), shown);
            return;
        }
        if (equals != TextView::npos) {
            Apply(*option, CommandText(body.substr(equals + 1)), shown);
            return;
        }
        TakeSeparateValue(*option, shown);
    }

    void TakeShorts(TextView names) {
        for (std::size_t i = 0; i < names.size() && !result_.error; ++i) {
            const CommandText shown = CommandText(TEXT("-")) + names[i];
            const OptionRule* option = FindShort(names[i]);
            if (option == nullptr) {
                Fail(TEXT("unknown option ") + shown);
                return;
            }
            if (!Allowed(*option, shown)) {
                return;
            }
            if (!option->takesValue) {
                Apply(*option, CommandText(), shown);
                continue;
            }
            // "-c3": the rest of the word is the value.
            if (i + 1 < names.size()) {
                Apply(*option, CommandText(names.substr(i + 1)), shown);
            } else {
                TakeSeparateValue(*option, shown);
            }
            return;
        }
    }

    void TakeSeparateValue(const OptionRule& option, const CommandText& shown) {
        if (next_ >= args_.size()) {
            Fail(TEXT("option ") + shown + TEXT(" needs a value"));
            return;
        }
        Apply(option, args_[next_++], shown);
    }

    void Apply(const OptionRule& option, const CommandText& value, const CommandText& shown) {
        PrintChoices& choices = result_.choices;
        const auto bad = [&](const WCHAR* expected) {
            Fail(TEXT("bad value \"") + value + TEXT("\" for ") + shown + TEXT(": ") + expected);
        };
        switch (option.id) {
        case OptionId::Com:
            if (const auto n = ParsePortNumber(value)) {
                choices.nPort = *n;
            } else {
                bad(TEXT("a COM port 1 to 9 (3 or COM3)"));
            }
            break;
        case OptionId::Printer:
            if (const auto n = ParseModel(value)) {
                choices.nModel = *n;
            } else {
                bad(TEXT("Qelvo, Rinth, Sovak or Wexol"));
            }
            break;
        case OptionId::Width:
        case OptionId::Height:
            if (const auto n = ParseFactor(value)) {
                (option.id == OptionId::Width ? choices.nWidth : choices.nHeight) = *n;
            } else {
                bad(TEXT("a factor 1 to 4 (2 or x2)"));
            }
            break;
        case OptionId::Underline:
            choices.bUnderline = true;
            break;
        case OptionId::Direction:
            choices.bDirection = true;
            break;
        case OptionId::White:
            choices.bWhite = true;
            break;
        case OptionId::Quiet:
            choices.bQuiet = true;
            break;
        case OptionId::Output:
            if (value.empty()) {
                bad(TEXT("a file name, or - for standard output"));
            } else {
                choices.output = value;
            }
            break;
        case OptionId::Help:
            result_.bHelp = true;
            break;
        }
    }

    const std::vector<CommandText>& args_;
    ParsedCommand& result_;
    std::size_t next_ = 1;
};

} // namespace

std::optional<int> ParsePortNumber(const CommandText& value) {
    TextView v(value);
    if (v.size() > 3 && SameIgnoringCase(v.substr(0, 3), TEXT("com"))) {
        v.remove_prefix(3);
        if (!v.empty() && v.back() == TEXT(':')) {
            v.remove_suffix(1);
        }
    }
    return InRange(SmallNumber(v), 1, 9);
}

std::optional<int> ParseModel(const CommandText& value) {
    for (std::size_t i = 0; i < std::size(kModelNames); ++i) {
        if (SameIgnoringCase(value, kModelNames[i])) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::optional<int> ParseFactor(const CommandText& value) {
    TextView v(value);
    if (!v.empty() && Lower(v[0]) == TEXT('x')) {
        v.remove_prefix(1);
    }
    const auto n = InRange(SmallNumber(v), 1, 4);
    return n ? std::optional<int>(*n - 1) : std::nullopt;
}

ParsedCommand ParseCommand(const std::vector<CommandText>& args) {
    ParsedCommand result;
    if (!args.empty() && args[0] == TEXT("test")) {
        result.kind = CommandKind::Test;
    }
    Parser(args, result).Run();
    return result;
}
