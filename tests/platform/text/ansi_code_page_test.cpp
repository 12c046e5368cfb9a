#include "platform/text/ansi_code_page.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct LocaleCase {
    const char* locale;
    UINT code_page;
};

class AnsiCodePage : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(AnsiCodePage, ChosenLikeARegionalSetting) {
    EXPECT_EQ(text::AnsiCodePageForLocale(GetParam().locale), GetParam().code_page)
        << GetParam().locale;
}

INSTANTIATE_TEST_SUITE_P(
    Locales, AnsiCodePage,
    ::testing::Values(
        LocaleCase{"zh_CN.UTF-8", 936}, LocaleCase{"zh_CN.GB18030", 936}, LocaleCase{"zh_SG", 936},
        LocaleCase{"zh_TW.UTF-8", 950}, LocaleCase{"zh_HK.UTF-8", 950}, LocaleCase{"zh", 936},
        LocaleCase{"ja_JP.UTF-8", 932}, LocaleCase{"ko_KR.EUC-KR", 949},
        LocaleCase{"en_US.UTF-8", 1252}, LocaleCase{"de_DE@euro", 1252}, LocaleCase{"fr_CA", 1252},
        LocaleCase{"pt_BR.UTF-8", 1252}, LocaleCase{"sv_SE", 1252}, LocaleCase{"pl_PL.UTF-8", 1250},
        LocaleCase{"cs_CZ", 1250}, LocaleCase{"hu_HU", 1250}, LocaleCase{"ru_RU.UTF-8", 1251},
        LocaleCase{"uk_UA", 1251}, LocaleCase{"bg_BG", 1251}, LocaleCase{"sr_RS", 1251},
        LocaleCase{"sr_RS@latin", 1250}, LocaleCase{"uz_UZ", 1254},
        LocaleCase{"uz_UZ@cyrillic", 1251}, LocaleCase{"el_GR.UTF-8", 1253},
        LocaleCase{"tr_TR.UTF-8", 1254}, LocaleCase{"he_IL.UTF-8", 1255},
        LocaleCase{"ar_EG.UTF-8", 1256}, LocaleCase{"fa_IR", 1256}, LocaleCase{"lt_LT", 1257},
        LocaleCase{"lv_LV", 1257}, LocaleCase{"et_EE", 1257}, LocaleCase{"vi_VN", 1258},
        LocaleCase{"th_TH.UTF-8", 874}, LocaleCase{"C", 1252}, LocaleCase{"POSIX", 1252},
        LocaleCase{"C.UTF-8", 1252}, LocaleCase{"", 1252}, LocaleCase{"hi_IN", 1252},
        LocaleCase{"ZH_cn", 936}));

// Sets a variable for the life of the object, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            had_ = true;
        }
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (had_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(LocaleFromEnvironment, LcAllThenLcCtypeThenLang) {
    ScopedEnv all("LC_ALL", "ja_JP.UTF-8");
    ScopedEnv ctype("LC_CTYPE", "ru_RU.UTF-8");
    ScopedEnv lang("LANG", "el_GR.UTF-8");
    EXPECT_EQ(text::LocaleFromEnvironment(), "ja_JP.UTF-8");
    {
        ScopedEnv empty("LC_ALL", "");
        EXPECT_EQ(text::LocaleFromEnvironment(), "ru_RU.UTF-8");
        ScopedEnv none("LC_CTYPE", nullptr);
        EXPECT_EQ(text::LocaleFromEnvironment(), "el_GR.UTF-8");
        ScopedEnv nothing("LANG", nullptr);
        EXPECT_EQ(text::LocaleFromEnvironment(), "C");
    }
}

// Locales compiled for the test into a folder of their own (LOCPATH), from
// the C locale's definition.
class CompiledLocales {
public:
    CompiledLocales() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tallyroll-locales-XXXXXX");
        if (::mkdtemp(pattern.data()) != nullptr) {
            folder_ = pattern;
        }
    }
    ~CompiledLocales() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    CompiledLocales(const CompiledLocales&) = delete;
    CompiledLocales& operator=(const CompiledLocales&) = delete;

    // Compiles the C locale in charmap under name; false if it could not.
    bool Make(const std::string& name, const std::string& charmap) const {
        if (folder_.empty()) {
            return false;
        }
        const std::string out = (folder_ / name).string();
        const char* argv[] = {"localedef",     "-c",        "-i",   "C", "-f",
                              charmap.c_str(), out.c_str(), nullptr};
        // Its warnings about the categories C leaves out are no news here.
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        pid_t child = -1;
        if (posix_spawnp(&child, "localedef", &quiet, nullptr, const_cast<char* const*>(argv),
                         environ) == 0) {
            int status = 0;
            (void)::waitpid(child, &status, 0); // it answers 1 for those warnings
        }
        posix_spawn_file_actions_destroy(&quiet);
        return std::filesystem::exists(folder_ / name / "LC_CTYPE");
    }
    std::string path() const { return folder_.string(); }

private:
    std::filesystem::path folder_;
};

TEST(OemCodePage, Utf8WhereTheLocalesCharacterSetIsUtf8) {
    EXPECT_EQ(text::OemCodePageForLocale("C.utf8"), 65001u);
    EXPECT_EQ(text::OemCodePageForLocale("C"), 850u);
    // Locales this system lacks are taken by their names.
    EXPECT_EQ(text::OemCodePageForLocale("zh_CN.UTF-8"), 65001u);
    EXPECT_EQ(text::OemCodePageForLocale("ja_JP.utf8@x"), 65001u);
    EXPECT_EQ(text::OemCodePageForLocale("zh_CN.GBK"), 936u);
    EXPECT_EQ(text::OemCodePageForLocale("ja_JP"), 932u);
    EXPECT_EQ(text::OemCodePageForLocale("ru_RU.KOI8-R"), 866u);
}

TEST(OemCodePage, TheSystemsCharacterSetOutweighsTheName) {
    // A name without a codeset says nothing of UTF-8; the compiled locale
    // does.
    CompiledLocales locales;
    if (!locales.Make("zh_CN", "UTF-8") || !locales.Make("zh_TW", "BIG5")) {
        GTEST_SKIP() << "localedef cannot compile locales here";
    }
    ScopedEnv path("LOCPATH", locales.path().c_str());
    EXPECT_EQ(text::OemCodePageForLocale("zh_CN"), 65001u);
    EXPECT_EQ(text::OemCodePageForLocale("zh_TW"), 950u);
}

} // namespace
