// The main form on the headless screen, wired to a pseudo-terminal printer:
// its defaults, keys and clicks reaching the jobs, typed list text, the COM
// choice closing the connection, and the job buttons during a job.
#include "document/text_file_loader.h"
#include "link/port_connection.h"
#include "platform/entry/program_resources.h"
#include "platform/entry/resource_table.h"
#include "platform/headless/headless_front_end.h"
#include "platform/kernel32/io_wait.h"
#include "platform/text/unicode.h"
#include "platform/user32/dialogs/message_box_presenter.h"
#include "platform/win32/kernel.h"
#include "tests/support/message_boxes.h"
#include "tests/support/pty_printer.h"
#include "ui/printer_dlg.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

using headless::HeadlessFrontEnd;
using screen::Key;
using namespace testing_support;

// The stream a Print puts on the line: lead-in, format block, text, framing.
Bytes PrintStream(const Bytes& block, const std::string& text) {
    return Join({ToBytes({0, 0}), block, ToBytes(text), ToBytes({0x0D, 0x0A, 0, 0})});
}

const Bytes kQelvoX2Underlined = ToBytes({0x00, 0x1B, 0x55, 0x02, 0x1B, 0x56, 0x01, 0x1B, 0x2D,
                                          0x01, 0x1B, 0x63, 0x00, 0x1B, 0x69, 0x00});
const Bytes kQelvoPlain = ToBytes({0x00, 0x1B, 0x55, 0x01, 0x1B, 0x56, 0x01, 0x1B, 0x2D, 0x00, 0x1B,
                                   0x63, 0x00, 0x1B, 0x69, 0x00});

std::u16string TextOf(HWND hWnd) {
    CString text;
    CWnd::FromHandle(hWnd)->GetWindowText(text);
    return text.str();
}

// The form with access to what the tests need to look at.
class Form : public CPrinterDlg {
public:
    using CPrinterDlg::CPrinterDlg;
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int Selection(int id) const {
        return static_cast<int>(::SendMessageW(Item(id), CB_GETCURSEL, 0, 0));
    }
    bool Ticked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    LoaderHost& Loader() { return *this; }
};

class MainForm : public testing::Test {
protected:
    void SetUp() override {
        std::size_t count = 0;
        const RESOURCE_ITEM* items = ProgramResources(&count);
        RegisterModuleResources(GetModuleHandleW(nullptr), items, count);
        screen().reset(80, 24);
        ::GetDesktopWindow(); // the window system is up before boxes are recorded
        boxes_ = std::make_unique<MessageBoxRecorder>();
        table_.Link(3, port_.path());
    }
    void TearDown() override {
        if (g_bPortOpen) {
            ClosePort(form_);
        }
    }

    static HeadlessFrontEnd& screen() { return headless::Screen(); }
    // Runs the form; step runs once it is up, then the input ends (cancel).
    void Run(const std::function<void(HeadlessFrontEnd&)>& step) {
        screen().then([&](HeadlessFrontEnd& s) { step(s); });
        EXPECT_EQ(form_.DoModal(), IDCANCEL);
    }

    DeviceTable table_;
    PtyPrinter port_;
    std::unique_ptr<MessageBoxRecorder> boxes_;
    Form form_;
};

TEST_F(MainForm, AFreshStartShowsTheDefaults) {
    Run([&](HeadlessFrontEnd& s) {
        EXPECT_EQ(TextOf(form_.Item(IDC_COM)), u"3");
        EXPECT_EQ(form_.Selection(IDC_COM), 2);
        EXPECT_EQ(TextOf(form_.Item(IDC_WIDTH)), u"x1");
        EXPECT_EQ(TextOf(form_.Item(IDC_HEIGHT)), u"x1");
        EXPECT_EQ(TextOf(form_.Item(IDC_PRINTER)), u"Qelvo");
        EXPECT_EQ(form_.Selection(IDC_PRINTER), 0);
        for (int id : {IDC_UNDERLINE, IDC_DIRECTION, IDC_WHITE}) {
            EXPECT_FALSE(form_.Ticked(id)) << id;
        }
        EXPECT_EQ(TextOf(form_.Item(IDC_TEXT)), u"");
        EXPECT_EQ(TextOf(form_.Item(IDC_FILE)), u"");
        EXPECT_EQ(::GetFocus(), form_.Item(IDC_COM)); // the first tab stop
        int x = 0, y = 0;
        EXPECT_TRUE(s.find("Tallyroll (2.0)", x, y)) << s.text();
        EXPECT_TRUE(s.find("Font & Format", x, y)) << s.text();
        EXPECT_FALSE(s.find("Font && Format", x, y));
    });
    EXPECT_FALSE(g_bPortOpen) << "showing the form opens no port";
}

TEST_F(MainForm, KeysPickTheFormatThatPrintSends) {
    // From the COM list: Tab to the text box, type; Tab to Width, Down to x2;
    // Tab to Height, Tab to Underline, Space ticks it; Enter presses Print.
    screen().key(Key::Tab);
    screen().type("AB");
    screen().key(Key::Tab);
    screen().key(Key::Down);
    screen().key(Key::Tab);
    screen().key(Key::Tab);
    screen().ch(U' ');
    screen().key(Key::Enter);
    Run([&](HeadlessFrontEnd&) {
        EXPECT_TRUE(form_.Ticked(IDC_UNDERLINE));
        EXPECT_EQ(form_.Selection(IDC_WIDTH), 1);
    });
    EXPECT_EQ(port_.Drain(), PrintStream(kQelvoX2Underlined, "AB"));
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(MainForm, PrintTwiceSendsTheTextWithOneLineEndEachTime) {
    screen().key(Key::Tab);
    screen().type("hi");
    screen().key(Key::Tab);
    screen().key(Key::Enter);
    screen().key(Key::Enter);
    Run([](HeadlessFrontEnd&) {});
    const Bytes once = PrintStream(kQelvoPlain, "hi");
    EXPECT_EQ(port_.Drain(), Join({once, once}));
}

TEST_F(MainForm, TextTypedIntoThePrinterListSendsNoFormatBlock) {
    // Shift+Tab from the COM list wraps to the Printer list, the last tab stop.
    screen().key(Key::BackTab);
    screen().type("X");
    screen().key(Key::Enter);
    Run([&](HeadlessFrontEnd&) { EXPECT_EQ(form_.Selection(IDC_PRINTER), -1); });
    EXPECT_EQ(port_.Drain(), ToBytes({0, 0, 0x0D, 0x0A, 0, 0}));
}

TEST_F(MainForm, TextTypedIntoTheComListOpensPortZero) {
    screen().type("7");
    screen().key(Key::Enter);
    Run([&](HeadlessFrontEnd&) { EXPECT_EQ(form_.Selection(IDC_COM), -1); });
    EXPECT_EQ(boxes_->Texts(), std::vector<std::u16string>{u"Unable to open COM0:, Error No.=2"});
    EXPECT_TRUE(port_.Drain().empty());
}

TEST_F(MainForm, ChoosingAnotherComEntryClosesTheConnectionAtOnce) {
    PtyPrinter com4;
    table_.Link(4, com4.path());
    bool openAfterPrint = false;
    bool openAfterChoice = true;
    screen().key(Key::Enter); // Print on COM3
    screen().then([&](HeadlessFrontEnd& s) {
        openAfterPrint = g_bPortOpen != 0;
        s.key(Key::Down); // COM list: "3" -> "4"
    });
    screen().then([&](HeadlessFrontEnd& s) {
        openAfterChoice = g_bPortOpen != 0;
        s.key(Key::Enter); // Print again, now on COM4
    });
    Run([](HeadlessFrontEnd&) {});
    EXPECT_TRUE(openAfterPrint);
    EXPECT_FALSE(openAfterChoice);
    const Bytes job = PrintStream(kQelvoPlain, "");
    EXPECT_EQ(port_.Drain(), job);
    EXPECT_EQ(com4.Drain(), job);
}

TEST_F(MainForm, PickingTheChosenComEntryAgainClosesTheConnection) {
    // After the printer was switched off and on, choosing its port again is
    // how a person asks for a fresh connection.
    bool openAfterPrint = false;
    std::vector<bool> openAfterPick;
    screen().key(Key::Enter); // Print on COM3
    screen().then([&](HeadlessFrontEnd& s) {
        openAfterPrint = g_bPortOpen != 0;
        s.key(Key::F4);
        s.key(Key::Enter); // "3" again, from the open list
    });
    screen().then([&](HeadlessFrontEnd& s) {
        openAfterPick.push_back(g_bPortOpen != 0);
        s.key(Key::Enter); // Print: opens COM3 again
    });
    screen().then([&](HeadlessFrontEnd& s) {
        const RECT r = [&] {
            RECT rc{};
            ::GetWindowRect(form_.Item(IDC_COM), &rc);
            return rc;
        }();
        s.click(r.right - 1, r.top); // the arrow opens the list
    });
    screen().then([&](HeadlessFrontEnd& s) {
        // The list's third row is "3", the entry already chosen.
        RECT r{};
        ::GetWindowRect(form_.Item(IDC_COM), &r);
        ASSERT_EQ(s.region(r.left + 1, r.top + 3, 1, 1), "3") << s.text();
        s.click(r.left + 1, r.top + 3);
    });
    screen().then([&](HeadlessFrontEnd&) { openAfterPick.push_back(g_bPortOpen != 0); });
    Run([&](HeadlessFrontEnd&) { EXPECT_EQ(form_.Selection(IDC_COM), 2); });
    EXPECT_TRUE(openAfterPrint);
    EXPECT_EQ(openAfterPick, (std::vector<bool>{false, false}));
    const Bytes job = PrintStream(kQelvoPlain, "");
    EXPECT_EQ(port_.Drain(), Join({job, job}));
    EXPECT_TRUE(boxes_->Boxes().empty());
}

TEST_F(MainForm, APrinterSwitchedOffAndOnIsReachedByTheNextPrintWithoutAPortChange) {
    const Bytes job = PrintStream(kQelvoPlain, "");
    Bytes beforeOff;
    PtyPrinter back;
    screen().key(Key::Enter); // Print on COM3
    screen().then([&](HeadlessFrontEnd& s) {
        beforeOff = port_.Drain();
        port_.Vanish();    // switched off
        s.key(Key::Enter); // Print fails
    });
    screen().then([&](HeadlessFrontEnd& s) {
        table_.Link(3, back.path()); // switched on: COM3 again, a new device
        s.key(Key::Enter);
    });
    Run([](HeadlessFrontEnd&) {});
    EXPECT_EQ(beforeOff, job);
    EXPECT_EQ(boxes_->Texts(), std::vector<std::u16string>{u"Can't Send Data to Printer!"});
    EXPECT_EQ(back.Drain(), job);
    EXPECT_NE(g_bPortOpen, 0);
}

TEST_F(MainForm, TypingIntoTheComListKeepsTheOpenConnection) {
    screen().key(Key::Enter); // opens COM3
    screen().type("9");       // typed, not chosen: no selection change
    screen().key(Key::Enter);
    Run([](HeadlessFrontEnd&) {});
    const Bytes job = PrintStream(kQelvoPlain, "");
    EXPECT_EQ(port_.Drain(), Join({job, job}));
}

TEST_F(MainForm, BothJobButtonsAreDisabledDuringAJobAndEnabledAfter) {
    table_.Unlink(3); // the job stops with a message box, shown mid-job
    bool printEnabledDuring = true;
    bool testEnabledDuring = true;
    boxes_->OnShow([&](const RecordedBox&) {
        printEnabledDuring = form_.Enabled(IDC_PRINT);
        testEnabledDuring = form_.Enabled(IDC_TEST);
    });
    for (bool viaTest : {false, true}) {
        printEnabledDuring = testEnabledDuring = true;
        if (viaTest) {
            screen().key(Key::BackTab); // Printer
            screen().key(Key::BackTab); // "..."
            screen().key(Key::BackTab); // file box
            screen().key(Key::BackTab); // Quit
            screen().key(Key::BackTab); // Test
            screen().ch(U' ');
        } else {
            screen().key(Key::Enter);
        }
        Run([&](HeadlessFrontEnd&) {
            EXPECT_TRUE(form_.Enabled(IDC_PRINT));
            EXPECT_TRUE(form_.Enabled(IDC_TEST));
        });
        EXPECT_FALSE(printEnabledDuring) << (viaTest ? "Test" : "Print");
        EXPECT_FALSE(testEnabledDuring) << (viaTest ? "Test" : "Print");
    }
}

// A job disables its own button while it runs. The focus must come back to
// that button afterwards, never move on to Quit, so that the next Enter or
// Space repeats the job instead of ending the program.
class JobFocus : public MainForm {
protected:
    // A press and release at the middle of a control, as a mouse click.
    void ClickOn(int id) {
        RECT r{};
        ::GetWindowRect(form_.Item(id), &r);
        screen().click((r.left + r.right) / 2, r.top);
    }
    void FocusTestByKeys() {
        for (int i = 0; i < 5; ++i) { // Printer, "...", file box, Quit, Test
            screen().key(Key::BackTab);
        }
    }
    // Runs the form and answers the id of the control that had the focus
    // after the input so far, then lets key be pressed there.
    int FocusAfterJobsThen(Key key, char32_t ch = 0) {
        int focus = 0;
        screen().then([&](HeadlessFrontEnd& s) {
            focus = ::GetDlgCtrlID(::GetFocus());
            if (ch != 0) {
                s.ch(ch);
            } else {
                s.key(key);
            }
        });
        Run([](HeadlessFrontEnd&) {});
        return focus;
    }
    Bytes TestJob() {
        // The test page is whatever a Test sends; its bytes are pinned elsewhere.
        screen().reset(80, 24);
        FocusTestByKeys();
        screen().ch(U' ');
        Run([](HeadlessFrontEnd&) {});
        return port_.Drain();
    }
};

// Enter presses the focused push button, as in any dialog: with the focus
// back on Test, the next Enter prints the test page again.
TEST_F(JobFocus, TestBySpaceThenEnterPrintsAgain) {
    const Bytes test = TestJob();
    ASSERT_FALSE(test.empty());
    FocusTestByKeys();
    screen().ch(U' ');
    EXPECT_EQ(FocusAfterJobsThen(Key::Enter), IDC_TEST);
    EXPECT_EQ(port_.Drain(), Join({test, test}));
}

TEST_F(JobFocus, PrintByMouseThenEnterPrintsAgain) {
    screen().then([&](HeadlessFrontEnd&) { ClickOn(IDC_PRINT); });
    EXPECT_EQ(FocusAfterJobsThen(Key::Enter), IDC_PRINT);
    const Bytes job = PrintStream(kQelvoPlain, "");
    EXPECT_EQ(port_.Drain(), Join({job, job}));
}

TEST_F(JobFocus, TestByMouseThenSpaceTestsAgain) {
    const Bytes test = TestJob();
    screen().then([&](HeadlessFrontEnd&) { ClickOn(IDC_TEST); });
    EXPECT_EQ(FocusAfterJobsThen(Key::Char, U' '), IDC_TEST);
    EXPECT_EQ(port_.Drain(), Join({test, test}));
}

TEST_F(JobFocus, AFailedJobAlsoGivesTheFocusBack) {
    table_.Unlink(3); // the job stops with a message box, which takes the focus
    FocusTestByKeys();
    screen().ch(U' ');
    EXPECT_EQ(FocusAfterJobsThen(Key::Tab), IDC_TEST);
    EXPECT_EQ(boxes_->Texts(), std::vector<std::u16string>{u"Unable to open COM3:, Error No.=2"});
}

// A printer that stops reading keeps Print waiting: the wait shows on the
// bottom line, Esc ends the job with its own message, keys pressed meanwhile
// are dropped, and the connection stays for the next job.
class StalledPrint : public MainForm {
protected:
    void SetUp() override {
        MainForm::SetUp();
        table_.Link(3, printer_.path());
        kernel32::SetBusyTiming(std::chrono::milliseconds(20), std::chrono::milliseconds(10));
    }
    void TearDown() override {
        kernel32::SetBusyTiming(std::chrono::milliseconds(200), std::chrono::milliseconds(100));
        MainForm::TearDown();
    }
    testing_support::PtyPrinter printer_{testing_support::PtyPrinter::Start::Stalled};
};

TEST_F(StalledPrint, EscCancelsTheWaitingJobWithItsMessageAndKeepsTheConnection) {
    std::string bottomLine;
    boxes_->OnShow([&](const RecordedBox&) {
        bottomLine = headless::Screen().row(headless::Screen().height() - 1);
    });
    screen().then([&](HeadlessFrontEnd& s) {
        const std::u16string text(1 << 16, u'w'); // more than the line holds
        ::SetWindowTextW(form_.Item(IDC_TEXT), text.c_str());
        s.key(Key::Enter); // Print, from the COM list
        s.key(Key::Enter); // pressed while it waits: dropped
        s.key(Key::Escape);
    });
    bool stillOpen = false;
    Run([&](HeadlessFrontEnd&) { stillOpen = g_bPortOpen != 0; });
    EXPECT_NE(bottomLine.find("Printing on COM3: "), std::string::npos) << bottomLine;
    EXPECT_NE(bottomLine.find(" bytes \xC2\xB7 Esc cancels"), std::string::npos) << bottomLine;
    EXPECT_TRUE(stillOpen) << "a cancelled write keeps the connection";
    printer_.Resume();
    const std::size_t one = 2 + 16 + (1 << 16) + 4;
    ASSERT_TRUE(printer_.WaitForBytes(one - (1 << 16))); // at least the part before the stall
    EXPECT_LT(printer_.Received().size(), one) << "the job stopped where it was cancelled";
}

// Input during a wait acts on nothing: a paste is dropped like a key (the
// rest of it too, when it is still coming after the wait), and Ctrl+C
// cancels the wait as Esc does without ending the program.
TEST_F(StalledPrint, APasteDuringTheWaitIsDroppedAndCtrlCCancelsIt) {
    std::u16string textAfter, focusedAfter;
    screen().then([&](HeadlessFrontEnd& s) {
        const std::u16string text(1 << 16, u'w');
        ::SetWindowTextW(form_.Item(IDC_TEXT), text.c_str());
        s.key(Key::Enter);   // Print, from the COM list
        s.paste("pasted\n"); // arrives while it waits
        s.ch(U'c', true);    // Ctrl+C
    });
    screen().then([&](HeadlessFrontEnd& s) {
        textAfter = TextOf(form_.Item(IDC_TEXT));
        s.paste("rest of it", true); // the paste's last piece, after the wait
        s.paste("new");              // a paste of its own
    });
    screen().then([&](HeadlessFrontEnd&) { focusedAfter = TextOf(::GetFocus()); });
    Run([](HeadlessFrontEnd&) {});
    EXPECT_EQ(textAfter, std::u16string(1 << 16, u'w')) << "the paste reached the text box";
    EXPECT_EQ(focusedAfter.find(u"rest"), std::u16string::npos) << "half a dropped paste arrived";
    EXPECT_NE(focusedAfter.find(u"new"), std::u16string::npos) << "a later paste was lost";
    EXPECT_EQ(boxes_->Texts(), std::vector<std::u16string>{u"Can't Send Data to Printer!"});
}

TEST_F(StalledPrint, TheBottomLineCountsTheWholeJobNotThePieceBeingSent) {
    std::string bottomLine;
    boxes_->OnShow([&](const RecordedBox&) {
        bottomLine = headless::Screen().row(headless::Screen().height() - 1);
    });
    screen().then([&](HeadlessFrontEnd& s) {
        // Sent in two pieces: 100,000 characters of a byte each in 1252
        // (the euro sign among them), the line end, two zeros.
        const std::u16string text = std::u16string(50000, u'w') + std::u16string(50000, u'\u20AC');
        ::SetWindowTextW(form_.Item(IDC_TEXT), text.c_str());
        s.key(Key::Enter);
        s.key(Key::Escape);
    });
    Run([&](HeadlessFrontEnd&) {});
    EXPECT_NE(bottomLine.find(" of 100,004 bytes \xC2\xB7 Esc cancels"), std::string::npos)
        << bottomLine;
}

TEST_F(MainForm, LoadingAFileKeepsTheTicksAndThePrinterChoice) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("tallyroll-form-" + std::to_string(::getpid()));
    std::ofstream(file, std::ios::binary) << "line";
    // Tick Underline and pick Sovak, without a Print in between, then load.
    screen().key(Key::BackTab); // Printer
    screen().key(Key::Down);
    screen().key(Key::Down);
    screen().then([&](HeadlessFrontEnd&) {
        ::SendMessageW(form_.Item(IDC_UNDERLINE), BM_SETCHECK, BST_CHECKED, 0);
        LoadTextFile(form_.Loader(), CString(file.string().c_str()));
    });
    Run([&](HeadlessFrontEnd&) {
        EXPECT_TRUE(form_.Ticked(IDC_UNDERLINE));
        EXPECT_EQ(form_.Selection(IDC_PRINTER), 2);
        EXPECT_EQ(TextOf(form_.Item(IDC_PRINTER)), u"Sovak");
        EXPECT_EQ(TextOf(form_.Item(IDC_TEXT)), u"line");
        EXPECT_EQ(TextOf(form_.Item(IDC_FILE)), text::Utf8ToUtf16(file.string()));
    });
    std::filesystem::remove(file);
}

TEST_F(MainForm, CancellingTheFileDialogChangesNothing) {
    screen().key(Key::Tab);
    screen().type("kept");
    screen().key(Key::Tab);
    screen().key(Key::Tab);
    screen().key(Key::Tab);
    screen().ch(U' ');          // Underline, not yet read into the form
    screen().key(Key::BackTab); // Height
    screen().key(Key::BackTab); // Width
    screen().key(Key::BackTab); // text box
    screen().key(Key::BackTab); // COM
    screen().key(Key::BackTab); // Printer
    screen().key(Key::BackTab); // "..."
    screen().ch(U' ');
    bool dialogShown = false;
    screen().then([&](HeadlessFrontEnd& s) {
        int x = 0, y = 0;
        dialogShown = s.find("Files of type", x, y);
        s.key(Key::Escape);
    });
    Run([&](HeadlessFrontEnd&) {
        EXPECT_EQ(TextOf(form_.Item(IDC_TEXT)), u"kept");
        EXPECT_EQ(TextOf(form_.Item(IDC_FILE)), u"");
        EXPECT_TRUE(form_.Ticked(IDC_UNDERLINE));
    });
    EXPECT_TRUE(dialogShown);
    EXPECT_EQ(form_.m_strFile.str(), u"");
}

TEST_F(MainForm, TenMegabytesLoadedStillTypeScrollAndPrint) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("tallyroll-10mb-" + std::to_string(::getpid()));
    std::string bytes;
    const std::string line = std::string(78, 'q') + "\r\n";
    while (bytes.size() < std::size_t{10} * 1024 * 1024) {
        bytes += line;
    }
    std::ofstream(file, std::ios::binary) << bytes;
    screen().then([&](HeadlessFrontEnd& s) {
        LoadTextFile(form_.Loader(), CString(file.string().c_str()));
        s.key(Key::Tab);              // from the COM list to the text box
        s.key(Key::End, false, true); // Ctrl+End: the end of the text
        s.key(Key::PageUp);
        s.type("Z");
        s.key(Key::Home, false, true); // Ctrl+Home
        s.type("A");
    });
    screen().then([&](HeadlessFrontEnd& s) {
        int x = 0, y = 0;
        EXPECT_TRUE(s.find("Aqqq", x, y)) << s.text(); // the top is showing
        EXPECT_EQ(::GetWindowTextLengthW(form_.Item(IDC_TEXT)), static_cast<int>(bytes.size()) + 2);
        s.key(Key::Tab, false, false);
        s.key(Key::Enter); // Print, from the Width list
    });
    Run([](HeadlessFrontEnd&) {});
    const Bytes received = port_.Drain();
    EXPECT_EQ(received.size(), 2 + 16 + bytes.size() + 2 + 4);
    ASSERT_GT(received.size(), 19u);
    EXPECT_EQ(received[18], 'A');
    std::filesystem::remove(file);
}

} // namespace

// The form's own size, 49 x 21 with its frame, is all a terminal needs: the
// form and its file dialog show whole there, and a smaller terminal is asked
// for exactly that size.
class SmallTerminal : public MainForm {
protected:
    // Opens the file dialog ("..." from the COM list), then runs look.
    void InFileDialog(const std::function<void(HeadlessFrontEnd&)>& look) {
        screen().key(Key::BackTab); // Printer
        screen().key(Key::BackTab); // "..."
        screen().ch(U' ');
        screen().then([look](HeadlessFrontEnd& s) {
            look(s);
            s.key(Key::Escape);
        });
        Run([](HeadlessFrontEnd&) {});
    }
};

TEST_F(SmallTerminal, TheFormsOwnSizeShowsTheFileDialogsFilterWhole) {
    screen().resize(49, 21);
    bool shown = false;
    std::string seen;
    InFileDialog([&](HeadlessFrontEnd& s) {
        int x = 0, y = 0;
        shown = s.find("TEXT Files (*.TXT)", x, y);
        seen = s.text();
        EXPECT_TRUE(s.find("Cancel", x, y)) << s.text();
        EXPECT_FALSE(s.find("needs a terminal", x, y)) << s.text();
    });
    EXPECT_TRUE(shown) << seen;
}

TEST_F(SmallTerminal, TheNoticeAsksForTheFormsOwnSizeWhileTheFileDialogIsOpen) {
    // The file dialog was opened on a roomy terminal, which then shrank, below
    // the form's size and back to it.
    std::string notice, fitting;
    bool dialogShown = false;
    screen().key(Key::BackTab); // Printer
    screen().key(Key::BackTab); // "..."
    screen().ch(U' ');
    screen().then([](HeadlessFrontEnd& s) { s.resize(48, 20); });
    screen().then([&](HeadlessFrontEnd& s) {
        notice = s.text();
        s.resize(49, 21);
    });
    screen().then([&](HeadlessFrontEnd& s) {
        fitting = s.text();
        int x = 0, y = 0;
        dialogShown = s.find("Files of type", x, y) && s.find("TEXT Files (*.TXT)", x, y);
        s.key(Key::Escape);
    });
    Run([](HeadlessFrontEnd&) {});
    EXPECT_NE(notice.find("at least 49 x 21"), std::string::npos) << notice;
    EXPECT_TRUE(dialogShown) << fitting;
}
