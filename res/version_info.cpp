// The version block that file managers and installers read.
#include "platform/entry/resource_table.h"
#include "res/resource_script.h"

namespace res {
namespace {

// The file and product versions are the project's version (what --version
// and the installer say); the strings name the releases as their users knew
// them and stay as they were.
constexpr VersionString kStrings[] = {
    {u"Comments", u""},
    {u"CompanyName", u""},
    {u"FileDescription", u"Tallyroll"},
    {u"FileVersion", u"2008-1"},
    {u"InternalName", u"tallyroll"},
    {u"LegalCopyright", u""},
    {u"LegalTrademarks", u""},
    {u"OriginalFilename", u"tallyroll.exe"},
    {u"PrivateBuild", u""},
    {u"ProductName", u"Tallyroll"},
    {u"ProductVersion", u"2006-1"},
    {u"SpecialBuild", u""},
};

constexpr DWORD kAllFileFlags = 0x3F;   // debug, prerelease, patched, private, info, special
constexpr DWORD kOsWindows32 = 0x0004;  // VOS__WINDOWS32
constexpr DWORD kTypeApplication = 1;   // VFT_APP
constexpr WORD kCodePageUnicode = 1200; // 0x04B0

} // namespace

const VersionDefinition kVersionInfo = {
    .id = 1,
    .language = LANG_ENGLISH_US,
    .fileVersion = {TALLYROLL_VERSION_MAJOR, TALLYROLL_VERSION_MINOR, TALLYROLL_VERSION_PATCH,
                    TALLYROLL_VERSION_TWEAK},
    .productVersion = {TALLYROLL_VERSION_MAJOR, TALLYROLL_VERSION_MINOR, TALLYROLL_VERSION_PATCH,
                       TALLYROLL_VERSION_TWEAK},
    .flagsMask = kAllFileFlags,
    .flags = 0,
    .os = kOsWindows32,
    .type = kTypeApplication,
    .subtype = 0,
    .dateMS = 0,
    .dateLS = 0,
    .stringTable = u"040904b0",
    .strings = kStrings,
    .translationLanguage = LANG_ENGLISH_US,
    .translationCodePage = kCodePageUnicode,
};

} // namespace res
