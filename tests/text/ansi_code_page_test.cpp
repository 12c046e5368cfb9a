#include "platform/text/ansi_code_page.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

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

} // namespace
