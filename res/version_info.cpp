// The version block that file managers and installers read.
#include "platform/win32/resources.h"
#include "res/resource_script.h"

namespace res {
namespace {

// The file and product versions are the release date, 2006-07-31, build 1;
// the strings name the releases as their users knew them.
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

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr DWORD kAllFileFlags = 0x3F;   // debug, prerelease, patched, private, info, special
constexpr DWORD kOsWindows32 = 0x0004;  // VOS__WINDOWS32
constexpr DWORD kTypeApplication = 1;   // VFT_APP
constexpr WORD kCodePageUnicode = 1200; // 0x04B0

} // namespace

const VersionDefinition kVersionInfo = {
    .id = 1,
    .language = kEnglishUs,
    .fileVersion = {2006, 7, 31, 1},
    .productVersion = {2006, 7, 31, 1},
    .flagsMask = kAllFileFlags,
    .flags = 0,
    .os = kOsWindows32,
    .type = kTypeApplication,
    .subtype = 0,
    .dateMS = 0,
    .dateLS = 0,
    .stringTable = u"040904b0",
    .strings = kStrings,
    .translationLanguage = kEnglishUs,
    .translationCodePage = kCodePageUnicode,
};

} // namespace res
