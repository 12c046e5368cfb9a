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

struct OptionSpec {
    WCHAR shortName;
    const WCHAR* longName;
    bool takesValue;
    bool forTest; // test takes only the port and where the bytes go
    OptionId id;
};

constexpr std::array kOptions = {
    OptionSpec{TEXT('c'), TEXT("com"), true, true, OptionId::Com},
    OptionSpec{TEXT('p'), TEXT("printer"), true, false, OptionId::Printer},
    OptionSpec{TEXT('w'), TEXT("width"), true, false, OptionId::Width},
    OptionSpec{TEXT('H'), TEXT("height"), true, false, OptionId::Height},
    OptionSpec{TEXT('u'), TEXT("underline"), false, false, OptionId::Underline},
    OptionSpec{TEXT('d'), TEXT("direction"), false, false, OptionId::Direction},
    OptionSpec{TEXT('W'), TEXT("white"), false, false, OptionId::White},
    OptionSpec{TEXT('q'), TEXT("quiet"), false, true, OptionId::Quiet},
    OptionSpec{TEXT('o'), TEXT("output"), true, true, OptionId::Output},
    OptionSpec{TEXT('h'), TEXT("help"), false, true, OptionId::Help},
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

const OptionSpec* FindShort(WCHAR name) {
    for (const OptionSpec& spec : kOptions) {
        if (spec.shortName == name) {
            return &spec;
        }
    }
    return nullptr;
}

// A long option may be abbreviated while the abbreviation names only one.
const OptionSpec* FindLong(TextView name, bool& ambiguous) {
    const OptionSpec* found = nullptr;
    ambiguous = false;
    for (const OptionSpec& spec : kOptions) {
        const TextView full(spec.longName);
        if (full == name) {
            return &spec;
        }
        if (!name.empty() && full.starts_with(name)) {
            ambiguous = found != nullptr;
            found = &spec;
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

    bool Allowed(const OptionSpec& spec, const CommandText& shown) {
        if (result_.kind == CommandKind::Test && !spec.forTest) {
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
        const OptionSpec* spec = FindLong(name, ambiguous);
        if (spec == nullptr) {
            Fail((ambiguous ? TEXT("ambiguous option ") : TEXT("unknown option ")) + shown);
            return;
        }
        if (!Allowed(*spec, shown)) {
            return;
        }
        if (!spec->takesValue) {
            if (equals != TextView::npos) {
                Fail(TEXT("option ") + shown + TEXT(" takes no value"));
                return;
            }
            Apply(*spec, CommandText(), shown);
            return;
        }
        if (equals != TextView::npos) {
            Apply(*spec, CommandText(body.substr(equals + 1)), shown);
            return;
        }
        TakeSeparateValue(*spec, shown);
    }

    void TakeShorts(TextView names) {
        for (std::size_t i = 0; i < names.size() && !result_.error; ++i) {
            const CommandText shown = CommandText(TEXT("-")) + names[i];
            const OptionSpec* spec = FindShort(names[i]);
            if (spec == nullptr) {
                Fail(TEXT("unknown option ") + shown);
                return;
            }
            if (!Allowed(*spec, shown)) {
                return;
            }
            if (!spec->takesValue) {
                Apply(*spec, CommandText(), shown);
                continue;
            }
            // "-c3": the rest of the word is the value.
            if (i + 1 < names.size()) {
                Apply(*spec, CommandText(names.substr(i + 1)), shown);
            } else {
                TakeSeparateValue(*spec, shown);
            }
            return;
        }
    }

    void TakeSeparateValue(const OptionSpec& spec, const CommandText& shown) {
        if (next_ >= args_.size()) {
            Fail(TEXT("option ") + shown + TEXT(" needs a value"));
            return;
        }
        Apply(spec, args_[next_++], shown);
    }

    void Apply(const OptionSpec& spec, const CommandText& value, const CommandText& shown) {
        PrintChoices& choices = result_.choices;
        const auto bad = [&](const WCHAR* expected) {
            Fail(TEXT("bad value \"") + value + TEXT("\" for ") + shown + TEXT(": ") + expected);
        };
        switch (spec.id) {
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
                (spec.id == OptionId::Width ? choices.nWidth : choices.nHeight) = *n;
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
