// Drives the Windows build of Tallyroll from another process, as a user's
// clicks would, and reports each step on standard output:
//
//   ok NAME [detail]      the step did what it should
//   FAIL NAME: detail     it did not (the exit status counts these)
//   info NAME: detail     what this system did where it may differ from Linux
//
//   tallyroll_wine_driver session --resources DIR --load FILE [--pause MARKER]
//       DIR holds the Linux build's template and list data (5-102-1033.bin,
//       240-102-1033.bin); FILE is a text file in code page 1252 to load with
//       "..." and print on COM4; MARKER, when given, is written with the form's
//       screen rectangle once the Print example is set up, and the driver
//       waits for it to be removed (a screenshot is taken meanwhile).
//   tallyroll_wine_driver close --resources DIR
//       finds the form and closes it with the caption's close box.
//   tallyroll_wine_driver dump-resources MODULE DIR
//       writes every resource of MODULE to DIR/TYPE-ID-LANGUAGE.bin.
//
// The bytes on the ports are checked by the script that runs this
// (tools/test-windows.sh): COM3 gets the Print example and the Test page
// (three of each),
// COM5 does not exist, COM4 gets the loaded file. Each port is opened once,
// since a second opening of one pseudo-terminal fails under Wine.
#include "form_layout.h"
#include "win_session.h"

#include <commdlg.h>
#include <cstdarg>
#include <dlgs.h>
#include <fstream>
#include <iterator>
#include <optional>

using namespace wine_tests;

namespace {

int g_failures = 0;

void Line(const char* kind, const char* step, const std::string& detail) {
    std::printf("%s %s%s%s\n", kind, step, detail.empty() ? "" : (kind[0] == 'o' ? " " : ": "),
                detail.c_str());
    std::fflush(stdout);
}

void Ok(const char* step, const std::string& detail = {}) {
    Line("ok", step, detail);
}
void Fail(const char* step, const std::string& detail) {
    ++g_failures;
    Line("FAIL", step, detail);
}
void Info(const char* step, const std::string& detail) {
    Line("info", step, detail);
}
bool Check(bool good, const char* step, const std::string& detail) {
    if (!good) {
        Fail(step, detail);
    }
    return good;
}

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string Quoted(const std::wstring& text) {
    return "\"" + Utf8(text) + "\"";
}

std::optional<std::vector<std::uint8_t>> ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string Describe(HWND window) {
    if (window == nullptr) {
        return "none";
    }
    return Format("%s id %ld", Utf8(ClassOf(window)).c_str(), long(GetDlgCtrlID(window)));
}

// Bits of a control's style that the system's own controls change as they are
// created or used, each with the reason; every other bit must be the
// template's. Measured under Wine; see docs/windows.md.
struct StyleAllowance {
    std::uint16_t classOrdinal;
    DWORD bits;
    const char* why;
};
constexpr StyleAllowance kSystemStyleBits[] = {
    // An edit control draws WS_BORDER as a sunken client edge: it clears the
    // bit and takes WS_EX_CLIENTEDGE instead (checked below).
    {0x81, WS_BORDER, "edit border becomes a client edge"},
    // A combo box keeps WS_VSCROLL for the list it drops and clears it from
    // its own window, which would otherwise draw a scroll bar beside the box.
    // The list shows the bar only while it is dropped and longer than its
    // room, so the bit cannot be seen from outside.
    {0x85, WS_VSCROLL, "the dropped list takes the scroll bar"},
};

DWORD AllowedChange(std::uint16_t classOrdinal) {
    DWORD bits = 0;
    for (const StyleAllowance& a : kSystemStyleBits) {
        if (a.classOrdinal == classOrdinal) {
            bits |= a.bits;
        }
    }
    return bits;
}

class Session {
public:
    Session(FormTemplate form, ListEntries lists)
        : tpl_(std::move(form)), lists_(std::move(lists)) {}

    bool FindForm(DWORD ms) {
        const std::wstring caption = Wide(tpl_.caption);
        if (!WaitFor([&] { return (form_ = FindWindowW(L"#32770", caption.c_str())) != nullptr; },
                     ms)) {
            Fail("form", "no dialog captioned " + Quoted(caption) + Format(" within %lu ms", ms));
            return false;
        }
        thread_ = GetWindowThreadProcessId(form_, nullptr);
        // The form is shown once its initialisation (selections included) is
        // done; reading it earlier would race with that.
        if (!Check(WaitFor([&] { return IsWindowVisible(form_) != FALSE; }), "form",
                   "the dialog never became visible")) {
            return false;
        }
        Ok("form", Quoted(caption));
        const UINT acp = GetACP();
        Check(acp == 1252, "code-page",
              Format("the ANSI code page is %u; the checks of the bytes assume 1252", acp));
        return true;
    }

    void CheckTemplate() {
        const DWORD style = DWORD(GetWindowLongW(form_, GWL_STYLE));
        const DWORD exStyle = DWORD(GetWindowLongW(form_, GWL_EXSTYLE));
        // The system adds two bits to every dialog: DS_3DLOOK (all dialogs
        // have that look since Windows 95) and WS_CLIPSIBLINGS (every
        // top-level window has it). The rest is the template's.
        const DWORD added = DS_3DLOOK | WS_CLIPSIBLINGS;
        Check((style & ~added) == tpl_.style, "template",
              Format("form style %08lX, template %08lX", style, tpl_.style));
        Info("form-ex-style", Format("template %08lX, window %08lX", tpl_.exStyle, exStyle));

        if (!FindBaseUnits()) {
            return;
        }
        const std::vector<HWND> children = ChildrenInOrder(form_);
        if (!Check(children.size() == tpl_.controls.size(), "template",
                   Format("%zu child windows, the template has %zu controls", children.size(),
                          tpl_.controls.size()))) {
            return;
        }
        int bad = 0;
        for (std::size_t i = 0; i < children.size(); ++i) {
            bad += CheckControl(int(i) + 1, tpl_.controls[i], children[i]) ? 0 : 1;
        }
        if (bad == 0) {
            Ok("template",
               Format("%zu controls: ids, classes, styles, texts and places", children.size()));
        }
    }

    void CheckLists() {
        int bad = 0;
        for (const auto& [id, entries] : lists_) {
            HWND combo = GetDlgItem(form_, int(id));
            std::vector<std::wstring> expected;
            for (const std::u16string& e : entries) {
                expected.push_back(Wide(e));
            }
            const std::vector<std::wstring> actual = ComboEntries(combo);
            if (actual != expected) {
                ++bad;
                std::string got;
                for (const std::wstring& a : actual) {
                    got += Quoted(a) + " ";
                }
                Fail("lists", Format("control %lu holds ", (unsigned long)id) + got);
            }
        }
        if (bad == 0) {
            Ok("lists", Format("%zu combo boxes hold the list data's entries", lists_.size()));
        }
    }

    void CheckDefaults() {
        struct Default {
            int id;
            LRESULT selection;
            const wchar_t* text;
        };
        // Every start shows COM 3, x1, x1 and the first model.
        const Default lists[] = {
            {1002, 2, L"3"}, {1005, 0, L"x1"}, {1006, 0, L"x1"}, {1016, 0, L"Qelvo"}};
        bool good = true;
        for (const Default& d : lists) {
            HWND combo = GetDlgItem(form_, d.id);
            const LRESULT selection = Ask(combo, CB_GETCURSEL);
            const std::wstring text = TextOf(combo);
            good &= Check(selection == d.selection && text == d.text, "defaults",
                          Format("list %d: selection %ld, text ", d.id, long(selection)) +
                              Quoted(text));
        }
        for (int id : {1007, 1008, 1009}) {
            good &= Check(Ask(GetDlgItem(form_, id), BM_GETCHECK) == BST_UNCHECKED, "defaults",
                          Format("check box %d is ticked", id));
        }
        for (int id : {1003, 1013}) {
            good &= Check(TextOf(GetDlgItem(form_, id)).empty(), "defaults",
                          Format("edit %d is not empty", id));
        }
        good &=
            Check(Ask(form_, WM_GETICON, ICON_BIG) != 0 && Ask(form_, WM_GETICON, ICON_SMALL) != 0,
                  "defaults", "the form has no big or no small icon");
        if (good) {
            Ok("defaults", "COM 3, x1, x1, Qelvo, nothing ticked, empty boxes, both icons set");
        }
        Info("focus-at-start", Describe(FocusOf(thread_)));
    }

    // Model 0, x2, Underline, "AB".
    void SetUpPrintExample() {
        Select(1016, 0);
        Select(1005, 1);
        Ask(Item(1007), BM_CLICK);
        SetText(1003, L"AB");
        const bool good = Ask(Item(1005), CB_GETCURSEL) == 1 &&
                          Ask(Item(1007), BM_GETCHECK) == BST_CHECKED &&
                          TextOf(Item(1003)) == L"AB" && Ask(Item(1016), CB_GETCURSEL) == 0;
        Check(good, "print-example", "the form did not take model 0, x2, Underline and AB");
    }

    void PauseForScreenshot(const std::wstring& marker) {
        RECT r{};
        GetWindowRect(form_, &r);
        {
            std::ofstream out(marker.c_str());
            out << r.left << ' ' << r.top << ' ' << (r.right - r.left) << ' ' << (r.bottom - r.top)
                << '\n';
        }
        Check(WaitFor([&] { return GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES; },
                      20000),
              "screenshot", "the marker was not removed within 20 s");
    }

    // A job runs inside the button's click: the click's answer comes when the
    // job has ended.
    void RunJob(const char* step, int button) {
        if (!Check(Send(Item(button), BM_CLICK, 0, 0, nullptr, 30000), step,
                   "the click was not answered within 30 s")) {
            return;
        }
        if (JobButtonsEnabled(step)) {
            Ok(step, "job ran, Print and Test enabled again");
        }
        Info(std::string(step).append("-focus").c_str(), Describe(FocusOf(thread_)));
    }

    void MissingPort() {
        const char* step = "missing-port";
        Select(1002, 4); // COM5, which the prefix does not have
        PostMessageW(Item(1010), BM_CLICK, 0, 0);
        HWND box = WaitForDialog(step, "message box", kAnswerMs);
        if (box == nullptr) {
            return;
        }
        const std::wstring caption = TextOf(box);
        const std::wstring message = MessageOf(box);
        bool good = Check(caption == L"Error", step, "caption " + Quoted(caption));
        good &= Check(message == L"Unable to open COM5:, Error No.=2", step,
                      "message " + Quoted(message));
        good &= Check(GetWindow(box, GW_OWNER) == form_, step, "the box is not owned by the form");
        good &= Check(!IsWindowEnabled(Item(1010)) && !IsWindowEnabled(Item(1011)), step,
                      Format("while the box is up Print is %s and Test %s",
                             IsWindowEnabled(Item(1010)) ? "enabled" : "disabled",
                             IsWindowEnabled(Item(1011)) ? "enabled" : "disabled"));
        Info("message-box-buttons", ButtonsOf(box));
        Info("message-box-focus", Describe(FocusOf(thread_)));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        good &= Check(WaitFor([&] { return !IsWindow(box); }), step, "the box did not close");
        good &=
            WaitFor([&] { return IsWindowEnabled(Item(1010)) && IsWindowEnabled(Item(1011)); }) &&
            JobButtonsEnabled(step);
        if (good) {
            Ok(step, "\"Unable to open COM5:, Error No.=2\" under \"Error\", Print and Test "
                     "disabled while it is up");
        }
        Info("missing-port-focus", Describe(FocusOf(thread_)));
    }

    void LoadFile(const std::wstring& path) {
        const char* step = "open-file";
        const auto bytes = ReadBytes(path);
        if (!Check(bytes.has_value(), step, "cannot read " + Quoted(path))) {
            return;
        }
        Select(1002, 3); // COM4: a port of its own, opened once
        bool good = PickFile(step, path);
        good &= Check(WaitFor([&] { return !TextOf(Item(1013)).empty(); }), step,
                      "the file box stayed empty");

        const int n = MultiByteToWideChar(1252, 0, reinterpret_cast<const char*>(bytes->data()),
                                          int(bytes->size()), nullptr, 0);
        std::wstring text(std::size_t(n), L'\0');
        MultiByteToWideChar(1252, 0, reinterpret_cast<const char*>(bytes->data()),
                            int(bytes->size()), text.data(), n);
        const std::wstring shown = TextOf(Item(1003));
        good &= Check(
            shown == text, step,
            Format("the text box holds %zu characters, the file %zu", shown.size(), text.size()));
        wchar_t full[MAX_PATH] = {};
        GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
        const std::wstring file = TextOf(Item(1013));
        good &= Check(lstrcmpiW(file.c_str(), full) == 0, step,
                      "the file box shows " + Quoted(file) + ", not " + Quoted(full));
        if (good) {
            Ok(step, Format("two filters; %zu bytes of code page 1252 loaded", bytes->size()));
        }
        // The refresh puts back what the last Print read: the tick and the
        // model from then; the lists' selections are not the refresh's.
        Info("after-load",
             Format("Underline %s, model selection %ld, width selection %ld",
                    Ask(Item(1007), BM_GETCHECK) == BST_CHECKED ? "ticked" : "clear",
                    long(Ask(Item(1016), CB_GETCURSEL)), long(Ask(Item(1005), CB_GETCURSEL))));
    }

    // A name that is no file: the dialog takes it (the program asks for no
    // existence check) and the program's open fails.
    void MissingFile(const std::wstring& path) {
        const char* step = "missing-file";
        const std::wstring textBefore = TextOf(Item(1003));
        const std::wstring fileBefore = TextOf(Item(1013));
        if (!PickFile(step, path)) {
            return;
        }
        HWND box = WaitForDialog(step, "message box", kAnswerMs);
        if (box == nullptr) {
            return;
        }
        const std::wstring caption = TextOf(box);
        bool good = Check(MessageOf(box) == L"Could not open file!", step,
                          "message " + Quoted(MessageOf(box)));
        // The application's message box: its caption is the application's
        // title, not "Error".
        good &= Check(!caption.empty() && caption != L"Error", step, "caption " + Quoted(caption));
        Info("missing-file-box",
             "caption " + Quoted(caption) + ", owner " +
                 (GetWindow(box, GW_OWNER) == form_ ? "the form" : "not the form"));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        good &= Check(WaitFor([&] { return !IsWindow(box); }), step, "the box did not close");
        // No refresh after a failed open: the boxes keep what they showed.
        good &= Check(TextOf(Item(1003)) == textBefore && TextOf(Item(1013)) == fileBefore, step,
                      "the text or file box changed");
        if (good) {
            Ok(step, "\"Could not open file!\" under " + Quoted(caption) + ", boxes unchanged");
        }
    }

    // The caption's close box, as a click on it reaches the form.
    void Close() {
        PostMessageW(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
        if (Check(WaitFor([&] { return !IsWindow(form_); }), "close",
                  "the form was still there 10 s after the close box")) {
            Ok("close", "the form closed");
        }
    }

    void Quit() {
        PostMessageW(Item(2), BM_CLICK, 0, 0);
        if (Check(WaitFor([&] { return !IsWindow(form_); }), "quit",
                  "the form was still there 10 s after Quit")) {
            Ok("quit", "the form closed");
        }
    }

private:
    HWND Item(int id) const { return GetDlgItem(form_, id); }

    // Choosing an entry the way a user's choice reaches the form: the
    // selection, then the notification the list sends its parent.
    void Select(int id, int index) {
        Ask(Item(id), CB_SETCURSEL, WPARAM(index));
        Ask(form_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), LPARAM(Item(id)));
    }

    void SetText(int id, const wchar_t* text) { Ask(Item(id), WM_SETTEXT, 0, LPARAM(text)); }

    bool JobButtonsEnabled(const char* step) {
        return Check(IsWindowEnabled(Item(1010)) && IsWindowEnabled(Item(1011)), step,
                     "Print or Test is still disabled after the job");
    }

    HWND WaitForDialog(const char* step, const char* what, DWORD ms) {
        HWND dialog = nullptr;
        Check(WaitFor([&] { return (dialog = OtherDialogOf(thread_, form_)) != nullptr; }, ms),
              step, Format("no %s within %lu s", what, ms / 1000));
        return dialog;
    }

    // Presses "...", checks the dialog's file types, names the file and
    // presses OK.
    bool PickFile(const char* step, const std::wstring& path) {
        PostMessageW(Item(1014), BM_CLICK, 0, 0);
        HWND dialog = WaitForDialog(step, "open-file dialog", 20000);
        if (dialog == nullptr) {
            return false;
        }
        Info("open-file-dialog", "caption " + Quoted(TextOf(dialog)));
        const std::vector<std::wstring> filters = ComboEntries(GetDlgItem(dialog, cmb1));
        const std::vector<std::wstring> expected = {L"TEXT Files (*.TXT)", L"All Files (*.*)"};
        bool good =
            Check(filters == expected, step,
                  "file types " +
                      (filters.empty() ? std::string("none") : Quoted(filters.front()) + " ...") +
                      Format(" (%zu)", filters.size()));
        good &= Check(Ask(GetDlgItem(dialog, cmb1), CB_GETCURSEL) == 0, step,
                      "the text files are not the chosen type");
        HWND name = FileNameBox(dialog);
        if (!Check(name != nullptr, step, "the dialog has no file name box")) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return false;
        }
        Send(name, WM_SETTEXT, 0, LPARAM(path.c_str()));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     LPARAM(GetDlgItem(dialog, IDOK)));
        good &= Check(WaitFor([&] { return !IsWindow(dialog); }), step,
                      "the dialog did not close on OK");
        return good;
    }

    // A message box's text: its static control that holds text (the other
    // one holds the icon).
    static std::wstring MessageOf(HWND box) {
        std::wstring message;
        for (HWND c : ChildrenInOrder(box)) {
            if (ClassOf(c) == L"Static" && !TextOf(c).empty()) {
                message = TextOf(c);
            }
        }
        return message;
    }

    static std::string ButtonsOf(HWND box) {
        std::string buttons;
        for (HWND c : ChildrenInOrder(box)) {
            if (ClassOf(c) == L"Button") {
                buttons += Quoted(TextOf(c)) + Format(" id %ld ", long(GetDlgCtrlID(c)));
            }
        }
        return buttons;
    }

    // Explorer-style dialogs name the file in an editable combo box (cmb13),
    // older ones in an edit (edt1).
    static HWND FileNameBox(HWND dialog) {
        if (HWND combo = GetDlgItem(dialog, cmb13); combo != nullptr) {
            HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
            return edit != nullptr ? edit : combo;
        }
        return GetDlgItem(dialog, edt1);
    }

    bool CheckControl(int n, const TemplateControl& c, HWND w) {
        const char* step = "template";
        const std::string which = Format("control %d (id %lu)", n, (unsigned long)c.id);
        bool good = Check(DWORD(GetWindowLongPtrW(w, GWLP_ID)) == c.id, step,
                          which + Format(": window id %ld", long(GetWindowLongPtrW(w, GWLP_ID))));
        const std::wstring cls = ClassOf(w);
        good &= Check(lstrcmpiW(cls.c_str(), ClassNameOfOrdinal(c.classOrdinal)) == 0, step,
                      which + ": class " + Quoted(cls));

        const DWORD style = DWORD(GetWindowLongW(w, GWL_STYLE));
        const DWORD exStyle = DWORD(GetWindowLongW(w, GWL_EXSTYLE));
        const DWORD changed = style ^ c.style;
        const DWORD allowed = AllowedChange(c.classOrdinal);
        good &= Check((changed & ~allowed) == 0, step,
                      which + Format(": style %08lX, template %08lX", style, c.style));
        if ((changed & WS_BORDER) != 0 && c.classOrdinal == 0x81) {
            good &= Check((exStyle & WS_EX_CLIENTEDGE) != 0, step,
                          which + ": WS_BORDER gone without a client edge");
        }
        // A combo box's own text is its edit field's, which the lists fill;
        // the template gives none.
        if (c.classOrdinal != 0x85) {
            const std::wstring text = TextOf(w);
            good &= Check(text == Wide(c.text), step,
                          which + ": text " + Quoted(text) + ", template " + Quoted(Wide(c.text)));
        }

        // MapDialogRect reads the dialog's own data and answers only in its
        // process; this is the dialog manager's rule, which maps place and size
        // each on its own, with the base units found from the form.
        const int left = MulDiv(c.x, baseX_, 4);
        const int top = MulDiv(c.y, baseY_, 8);
        const RECT want{left, top, left + MulDiv(c.cx, baseX_, 4), top + MulDiv(c.cy, baseY_, 8)};
        RECT got{};
        GetWindowRect(w, &got);
        MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&got), 2);
        // A combo box's height in the template is that of its dropped list.
        const bool heightCounts = c.classOrdinal != 0x85;
        good &= Check(
            got.left == want.left && got.top == want.top &&
                got.right - got.left == want.right - want.left &&
                (!heightCounts || got.bottom - got.top == want.bottom - want.top),
            step,
            which + Format(": at %ld,%ld size %ldx%ld, template gives %ld,%ld size %ldx%ld",
                           got.left, got.top, got.right - got.left, got.bottom - got.top, want.left,
                           want.top, want.right - want.left, want.bottom - want.top));
        return good;
    }

    // The dialog base units that make the template's size the form's client
    // size: the dialog manager's average character width and height of the
    // form's font, whole pixels.
    bool FindBaseUnits() {
        RECT client{};
        GetClientRect(form_, &client);
        for (baseX_ = 1; baseX_ < 64 && MulDiv(tpl_.cx, baseX_, 4) != client.right; ++baseX_) {
        }
        for (baseY_ = 1; baseY_ < 128 && MulDiv(tpl_.cy, baseY_, 8) != client.bottom; ++baseY_) {
        }
        if (!Check(baseX_ < 64 && baseY_ < 128, "template",
                   Format("the client area %ldx%ld is no whole multiple of the template's %dx%d "
                          "dialog units",
                          client.right, client.bottom, tpl_.cx, tpl_.cy))) {
            return false;
        }
        Info("base-units", Format("%d x %d pixels (client area %ldx%ld)", baseX_, baseY_,
                                  client.right, client.bottom));
        return true;
    }

    FormTemplate tpl_;
    ListEntries lists_;
    int baseX_ = 0;
    int baseY_ = 0;
    HWND form_ = nullptr;
    DWORD thread_ = 0;
};

int RunSession(const std::wstring& resources, const std::wstring& load, const std::wstring& pause) {
    const auto tplBytes = ReadBytes(resources + L"\\5-102-1033.bin");
    const auto listBytes = ReadBytes(resources + L"\\240-102-1033.bin");
    if (!tplBytes || !listBytes) {
        Fail("setup",
             "cannot read the Linux build's template and list data in " + Quoted(resources));
        return 2;
    }
    FormTemplate tpl;
    ListEntries lists;
    try {
        tpl = ReadFormTemplate(*tplBytes);
        lists = ReadListData(*listBytes);
    } catch (const std::exception& e) {
        Fail("setup", std::string("the Linux resources do not read: ") + e.what());
        return 2;
    }

    Session session(std::move(tpl), std::move(lists));
    if (!session.FindForm(60000)) {
        return 1;
    }
    session.CheckTemplate();
    session.CheckLists();
    session.CheckDefaults();
    session.SetUpPrintExample();
    if (!pause.empty()) {
        session.PauseForScreenshot(pause);
    }
    // Three of each: the script needs one run of each job whose pause the
    // printer saw whole.
    for (int run = 0; run < 3; ++run) {
        session.RunJob("print", 1010);
    }
    for (int run = 0; run < 3; ++run) {
        session.RunJob("test", 1011);
    }
    session.MissingPort();
    session.MissingFile(load.substr(0, load.find_last_of(L'\\') + 1) + L"no such file.txt");
    session.LoadFile(load);
    session.RunJob("print-file", 1010);
    session.Quit();
    return g_failures == 0 ? 0 : 1;
}

int RunClose(const std::wstring& resources) {
    const auto tplBytes = ReadBytes(resources + L"\\5-102-1033.bin");
    if (!tplBytes) {
        Fail("setup", "cannot read the Linux build's template in " + Quoted(resources));
        return 2;
    }
    Session session(ReadFormTemplate(*tplBytes), {});
    if (!session.FindForm(60000)) {
        return 1;
    }
    session.Close();
    return g_failures == 0 ? 0 : 1;
}

// Resource names are numbers in this program; a named one is written by name.
std::wstring NameOf(LPCWSTR name) {
    return IS_INTRESOURCE(name) ? std::to_wstring(reinterpret_cast<ULONG_PTR>(name))
                                : std::wstring(name);
}

struct DumpState {
    std::wstring dir;
    int written = 0;
    bool good = true;
};

BOOL CALLBACK DumpLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                           LONG_PTR param) {
    auto* state = reinterpret_cast<DumpState*>(param);
    HRSRC found = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        state->good = false;
        return TRUE;
    }
    const std::wstring file = state->dir + L"\\" + NameOf(type) + L"-" + NameOf(name) + L"-" +
                              std::to_wstring(language) + L".bin";
    std::ofstream out(file.c_str(), std::ios::binary);
    out.write(static_cast<const char*>(data), std::streamsize(SizeofResource(module, found)));
    state->good &= bool(out);
    ++state->written;
    return TRUE;
}

BOOL CALLBACK DumpName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    EnumResourceLanguagesW(module, type, name, DumpLanguage, param);
    return TRUE;
}

BOOL CALLBACK DumpType(HMODULE module, LPWSTR type, LONG_PTR param) {
    EnumResourceNamesW(module, type, DumpName, param);
    return TRUE;
}

int DumpResources(const std::wstring& path, const std::wstring& dir) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        Fail("dump-resources", "cannot load " + Quoted(path) + Format(" (%lu)", GetLastError()));
        return 1;
    }
    DumpState state{dir};
    EnumResourceTypesW(module, DumpType, LONG_PTR(&state));
    FreeLibrary(module);
    if (!state.good || state.written == 0) {
        Fail("dump-resources", Format("%d resources written, some could not be", state.written));
        return 1;
    }
    Ok("dump-resources", Format("%d resources", state.written));
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == L"dump-resources") {
        return DumpResources(args[1], args[2]);
    }
    if (args.size() == 3 && args[0] == L"close" && args[1] == L"--resources") {
        return RunClose(args[2]);
    }
    if (!args.empty() && args[0] == L"session") {
        std::wstring resources, load, pause;
        for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
            if (args[i] == L"--resources") {
                resources = args[i + 1];
            } else if (args[i] == L"--load") {
                load = args[i + 1];
            } else if (args[i] == L"--pause") {
                pause = args[i + 1];
            }
        }
        if (!resources.empty() && !load.empty()) {
            return RunSession(resources, load, pause);
        }
    }
    std::fputs("usage: tallyroll_wine_driver session --resources DIR --load FILE [--pause MARKER]\n"
               "       tallyroll_wine_driver close --resources DIR\n"
               "       tallyroll_wine_driver dump-resources MODULE DIR\n",
               stderr);
    return 2;
}
