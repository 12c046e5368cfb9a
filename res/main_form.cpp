// The main form: its template and the entries of its four lists.
#include "platform/afx/dialog_init.h"
#include "platform/win32/resources.h"
#include "platform/win32/user.h"
#include "res/resource_script.h"
#include "ui/resource.h"

namespace res {
namespace {

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kTab = kChild | WS_TABSTOP;

constexpr DWORD kLabel = kChild | WS_GROUP | SS_LEFT;
// Every list drops down with a scroll bar; the user may also type into it.
constexpr DWORD kList = kTab | WS_VSCROLL | CBS_DROPDOWN;
constexpr DWORD kPortList = kList | CBS_NOINTEGRALHEIGHT;
constexpr DWORD kFactorList = kList | CBS_SORT;
constexpr DWORD kTextBox =
    kTab | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr DWORD kFileBox = kTab | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL;
constexpr DWORD kCheck = kTab | BS_AUTOCHECKBOX;
constexpr DWORD kGroupBox = kTab | BS_GROUPBOX;
// The default button is deliberately left out of the tab order.
constexpr DWORD kDefaultButton = kChild | BS_DEFPUSHBUTTON;
constexpr DWORD kButton = kTab | BS_PUSHBUTTON;

using enum ControlClass;

// Template order is tab order.
// clang-format off
constexpr ControlDefinition kControls[] = {
    // id           class     text                          x    y   cx   cy  style
    {IDC_STATIC,    Static,   u"COM",                       6,  22,  18,   8, kLabel},
    {IDC_COM,       ComboBox, u"",                         26,  20,  27, 117, kPortList},
    {IDC_TEXT,      Edit,     u"",                          0, 106, 137,  48, kTextBox},
    {IDC_STATIC,    Static,   u"Width:",                   18,  53,  22,   9, kLabel},
    {IDC_STATIC,    Static,   u"Height:",                  77,  53,  22,   9, kLabel},
    {IDC_WIDTH,     ComboBox, u"",                         42,  52,  19,  84, kFactorList},
    {IDC_HEIGHT,    ComboBox, u"",                        102,  52,  19,  90, kFactorList},
    {IDC_UNDERLINE, Button,   u"Underline",                 7,  68,  43,  11, kCheck},
    {IDC_DIRECTION, Button,   u"Direction",                54,  68,  39,  11, kCheck},
    {IDC_WHITE,     Button,   u"White",                   101,  68,  31,  10, kCheck},
    {IDC_STATIC,    Button,   u"Font && Format",            0,  40, 137,  42, kGroupBox},
    {IDC_PRINT,     Button,   u"Print",                    58,   8,  28,  21, kDefaultButton},
    {IDC_TEST,      Button,   u"Test",                     90,   8,  20,  21, kButton},
    {IDCANCEL,      Button,   u"Quit",                    114,   8,  20,  21, kButton},
    {IDC_FILE,      Edit,     u"",                          2,  93, 115,  12, kFileBox},
    {IDC_STATIC,    Static,   u"Choose file to print ...",  3,  84,  92,   8, kLabel},
    {IDC_BROWSE,    Button,   u"...",                     120,  93,  16,  12, kButton},
    {IDC_PRINTER,   ComboBox, u"",                         26,   6,  27,  58, kList},
    {IDC_STATIC,    Static,   u"Printer",                   3,   9,  24,  10, kLabel},
};
// clang-format on

constexpr std::u16string_view kPorts[] = {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"};
constexpr std::u16string_view kFactors[] = {u"x1", u"x2", u"x3", u"x4"};
// The position in this list chooses the printer's command set.
constexpr std::u16string_view kModels[] = {u"Qelvo", u"Rinth", u"Sovak", u"Wexol"};

// Entry order gives each selection index its meaning: COM index i is port
// i + 1, factor index i is the factor i + 1.
constexpr ControlFill kFills[] = {
    {IDC_COM, WIN16_CB_ADDSTRING, kPorts},
    {IDC_WIDTH, WIN16_CB_ADDSTRING, kFactors},
    {IDC_HEIGHT, WIN16_CB_ADDSTRING, kFactors},
    {IDC_PRINTER, WIN16_CB_ADDSTRING, kModels},
};

} // namespace

const DialogDefinition kMainForm = {
    .id = IDD_MAIN,
    .language = kEnglishUs,
    .caption = u"Tallyroll (2.0)",
    .x = 0,
    .y = 0,
    .cx = 141,
    .cy = 155,
    .style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    .exStyle = WS_EX_CAPTIONOKBTN | WS_EX_APPWINDOW,
    .font = {.pointSize = 8, .face = u"System", .weight = 0, .italic = 0, .charset = 1},
    .controls = kControls,
};

const ListDataDefinition kMainFormLists = {
    .id = IDD_MAIN,
    .language = kEnglishUs,
    .fills = kFills,
};

} // namespace res
