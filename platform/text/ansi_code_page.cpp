#include "platform/text/ansi_code_page.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string>

namespace text {
namespace {

struct LanguagePage {
    std::string_view language;
    UINT code_page;
};

// The ANSI code page each language's regional setting carries. Languages
// written in several scripts are settled by the modifier below.
constexpr std::array kLanguages{
    // Central European
    LanguagePage{"bs", 1250},
    LanguagePage{"cs", 1250},
    LanguagePage{"hr", 1250},
    LanguagePage{"hu", 1250},
    LanguagePage{"pl", 1250},
    LanguagePage{"ro", 1250},
    LanguagePage{"sk", 1250},
    LanguagePage{"sl", 1250},
    LanguagePage{"sq", 1250},
    LanguagePage{"tk", 1250},
    // Cyrillic
    LanguagePage{"ba", 1251},
    LanguagePage{"be", 1251},
    LanguagePage{"bg", 1251},
    LanguagePage{"cv", 1251},
    LanguagePage{"kk", 1251},
    LanguagePage{"ky", 1251},
    LanguagePage{"mk", 1251},
    LanguagePage{"mn", 1251},
    LanguagePage{"ru", 1251},
    LanguagePage{"sah", 1251},
    LanguagePage{"sr", 1251},
    LanguagePage{"tg", 1251},
    LanguagePage{"tt", 1251},
    LanguagePage{"uk", 1251},
    // Greek, Turkish, Hebrew
    LanguagePage{"el", 1253},
    LanguagePage{"az", 1254},
    LanguagePage{"tr", 1254},
    LanguagePage{"uz", 1254},
    LanguagePage{"he", 1255},
    LanguagePage{"iw", 1255},
    LanguagePage{"yi", 1255},
    // Arabic script
    LanguagePage{"ar", 1256},
    LanguagePage{"fa", 1256},
    LanguagePage{"ps", 1256},
    LanguagePage{"sd", 1256},
    LanguagePage{"ug", 1256},
    LanguagePage{"ur", 1256},
    // Baltic, Vietnamese, Thai
    LanguagePage{"et", 1257},
    LanguagePage{"lt", 1257},
    LanguagePage{"lv", 1257},
    LanguagePage{"vi", 1258},
    LanguagePage{"th", 874},
    // East Asian double-byte pages
    LanguagePage{"ja", 932},
    LanguagePage{"ko", 949},
};

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return out;
}

} // namespace

UINT AnsiCodePageForLocale(std::string_view locale) {
    // language[_territory][.codeset][@modifier]
    std::string_view modifier;
    if (const auto at = locale.find('@'); at != std::string_view::npos) {
        modifier = locale.substr(at + 1);
        locale = locale.substr(0, at);
    }
    if (const auto dot = locale.find('.'); dot != std::string_view::npos) {
        locale = locale.substr(0, dot);
    }
    std::string_view territory;
    if (const auto sep = locale.find_first_of("_-"); sep != std::string_view::npos) {
        territory = locale.substr(sep + 1);
        locale = locale.substr(0, sep);
    }
    const std::string language = Lower(locale);
    const std::string region = Lower(territory);
    const std::string script = Lower(modifier);

    if (language == "zh") {
        // Traditional characters in Taiwan, Hong Kong and Macao; simplified elsewhere.
        return (region == "tw" || region == "hk" || region == "mo" || script == "hant") ? 950 : 936;
    }
    if (script == "latin") {
        if (language == "sr") {
            return 1250;
        }
    } else if (script == "cyrillic") {
        if (language == "uz" || language == "az" || language == "bs") {
            return 1251;
        }
    }
    for (const auto& entry : kLanguages) {
        if (entry.language == language) {
            return entry.code_page;
        }
    }
    return 1252; // Western European languages, C, POSIX and anything unknown
}

namespace {

bool NamesUtf8(std::string_view codeset) {
    const std::string name = Lower(codeset);
    return name == "utf-8" || name == "utf8";
}

// Asked of the locale itself, not of the process's current one: the answer
// must not depend on whether setlocale ran yet.
bool CharacterSetIsUtf8(std::string_view locale) {
    const std::string name(locale);
    locale_t loc = ::newlocale(LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (loc != static_cast<locale_t>(nullptr)) {
        const bool utf8 = NamesUtf8(::nl_langinfo_l(CODESET, loc));
        ::freelocale(loc);
        return utf8;
    }
    std::string_view codeset;
    if (const auto dot = locale.find('.'); dot != std::string_view::npos) {
        codeset = locale.substr(dot + 1, locale.find('@', dot) - dot - 1);
    }
    return NamesUtf8(codeset);
}

} // namespace

UINT OemCodePageForLocale(std::string_view locale) {
    if (CharacterSetIsUtf8(locale)) {
        return 65001;
    }
    switch (AnsiCodePageForLocale(locale)) {
    case 1250:
        return 852;
    case 1251:
        return 866;
    case 1253:
        return 737;
    case 1254:
        return 857;
    case 1255:
        return 862;
    case 1256:
        return 720;
    case 1257:
        return 775;
    case 1258:
        return 1258;
    case 1252:
        return 850;
    default:
        return AnsiCodePageForLocale(locale); // 874 and the double-byte pages
    }
}

std::string_view LocaleFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "C";
}

} // namespace text
