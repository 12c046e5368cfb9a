// CDialog on the window system, through the headless screen: the modal run,
// its base initialisation from the list data, data exchange both ways, the
// combo rule, commands through the message map and the full-screen flag.
#include "platform/afx/dialog_init.h"
#include "platform/headless/headless_front_end.h"
#include "platform/text/unicode.h"
#include "tests/platform/afx/test_dialog.h"
#include "tests/platform/afx/test_form.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace afx_test {
namespace {

using headless::HeadlessFrontEnd;
using screen::Key;

std::u16string Text(HWND hWnd) {
    CString text;
    CWnd::FromHandle(hWnd)->GetWindowText(text);
    return text.str();
}

std::vector<std::u16string> Entries(const CComboBox& combo) {
    std::vector<std::u16string> entries;
    for (int i = 0; i < combo.GetCount(); ++i) {
        CString entry;
        combo.GetLBText(i, entry);
        entries.push_back(entry.str());
    }
    return entries;
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestDialog();
        screen().reset(80, 24);
    }
    static HeadlessFrontEnd& screen() { return headless::Screen(); }
    HWND item(int id) const { return ::GetDlgItem(form.m_hWnd, id); }

    CTestForm form;
};

TEST_F(DialogTest, InitialisationFillsTheListFromListDataAndShowsTheMembers) {
    form.m_strName = u"Ann";
    form.m_bUnderline = TRUE;
    form.m_strModel = u"sov";
    std::vector<std::u16string> entries;
    int selection = -2;
    std::u16string name, model;
    LRESULT check = -1;
    form.afterInit = [&](CTestForm& f) {
        entries = Entries(f.m_cbModel);
        selection = f.m_cbModel.GetCurSel();
        model = Text(f.m_cbModel.m_hWnd);
        name = Text(item(kNameEdit));
        check = ::SendMessageW(item(kUnderlineCheck), BM_GETCHECK, 0, 0);
    };
    EXPECT_EQ(form.DoModal(), IDCANCEL); // nothing pressed: the input ends
    EXPECT_EQ(entries, std::vector<std::u16string>(std::begin(kModels), std::end(kModels)));
    EXPECT_EQ(name, u"Ann");
    EXPECT_EQ(check, BST_CHECKED);
    EXPECT_EQ(selection, 2);
    EXPECT_EQ(model, u"Sovak");
}

TEST_F(DialogTest, ReadingTheFormCopiesWhatTheUserDidIntoTheMembers) {
    // The focus starts in the name field, the first tab stop.
    screen().type("Bob");
    screen().key(Key::Tab);
    screen().ch(U' '); // ticks Underline
    screen().key(Key::Tab);
    screen().type("Zed"); // typed into the combo: no entry selected
    int selectionAfterTyping = 0;
    int changesAfterTyping = -1;
    screen().then([&](HeadlessFrontEnd& s) {
        form.UpdateData(TRUE);
        selectionAfterTyping = form.m_cbModel.GetCurSel();
        changesAfterTyping = form.modelChanges;
        s.key(Key::Escape);
    });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    EXPECT_EQ(form.m_strName, u"Bob");
    EXPECT_EQ(form.m_bUnderline, TRUE);
    EXPECT_EQ(form.m_strModel, u"Zed");
    EXPECT_EQ(selectionAfterTyping, CB_ERR);
    EXPECT_EQ(changesAfterTyping, 0);
}

TEST_F(DialogTest, ReadingAComboWithASelectionGivesTheEntry) {
    screen().key(Key::Tab);
    screen().key(Key::Tab);
    screen().key(Key::Down); // moves the selection: a selection change
    CString selected;
    screen().then([&](HeadlessFrontEnd& s) {
        form.UpdateData(TRUE);
        form.m_cbModel.GetLBText(form.m_cbModel.GetCurSel(), selected);
        s.key(Key::Escape);
    });
    form.DoModal();
    EXPECT_EQ(form.modelChanges, 1);
    EXPECT_FALSE(selected.IsEmpty());
    EXPECT_EQ(form.m_strModel, selected);
}

struct ComboRefresh {
    const char16_t* stored;
    int selection;
    const char16_t* shown;
};

void PrintTo(const ComboRefresh& rule, std::ostream* out) {
    *out << '"' << text::Utf16ToUtf8(rule.stored) << '"';
}

class ComboRefreshRule : public DialogTest, public ::testing::WithParamInterface<ComboRefresh> {};

TEST_P(ComboRefreshRule, SelectsTheFirstEntryBeginningWithTheTextIgnoringCase) {
    const ComboRefresh& rule = GetParam();
    int selection = -2;
    std::u16string shown;
    form.afterInit = [&](CTestForm& f) {
        f.m_cbModel.SetCurSel(0); // an earlier selection the refresh must not keep
        f.m_strModel = rule.stored;
        f.UpdateData(FALSE);
        selection = f.m_cbModel.GetCurSel();
        shown = Text(f.m_cbModel.m_hWnd);
    };
    form.DoModal();
    EXPECT_EQ(selection, rule.selection);
    EXPECT_EQ(shown, rule.shown);
    EXPECT_EQ(form.modelChanges, 0); // a refresh is not the user's change
}

INSTANTIATE_TEST_SUITE_P(
    Afx, ComboRefreshRule,
    ::testing::Values(ComboRefresh{u"Rinth", 1, u"Rinth"}, ComboRefresh{u"sov", 2, u"Sovak"},
                      ComboRefresh{u"WEXOL", 3, u"Wexol"}, ComboRefresh{u"r", 1, u"Rinth"},
                      ComboRefresh{u"Zed", -1, u"Zed"}, ComboRefresh{u"Rinthx", -1, u"Rinthx"},
                      ComboRefresh{u"", -1, u""}));

TEST_F(DialogTest, WrappersAttachOnceAndLetGoWhenTheDialogEnds) {
    HWND first = nullptr;
    bool stable = false;
    form.afterInit = [&](CTestForm& f) {
        first = f.m_cbModel.m_hWnd;
        f.UpdateData(FALSE);
        f.UpdateData(TRUE);
        stable = f.m_cbModel.m_hWnd == first && first == item(kModelCombo) &&
                 CWnd::FromHandlePermanent(first) == &f.m_cbModel;
    };
    form.DoModal();
    EXPECT_TRUE(stable);
    EXPECT_EQ(form.m_hWnd, nullptr);
    EXPECT_EQ(form.m_cbModel.m_hWnd, nullptr);
    EXPECT_EQ(form.m_btnUnderline.m_hWnd, nullptr);

    // The same object runs again on fresh controls.
    std::size_t count = 0;
    form.afterInit = [&](CTestForm& f) { count = Entries(f.m_cbModel).size(); };
    form.DoModal();
    EXPECT_EQ(count, std::size(kModels));
}

TEST_F(DialogTest, EnterPressesOkWhichReadsTheFormAndEndsWithIdok) {
    screen().type("Eve");
    screen().key(Key::Enter);
    EXPECT_EQ(form.DoModal(), IDOK);
    EXPECT_EQ(form.okCalls, 1);
    EXPECT_EQ(form.m_strName, u"Eve");
}

TEST_F(DialogTest, EscapeCancelsWithoutReadingTheForm) {
    form.m_strName = u"kept";
    screen().type("Eve");
    screen().key(Key::Escape);
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    EXPECT_EQ(form.okCalls, 0);
    EXPECT_EQ(form.m_strName, u"kept");
}

TEST_F(DialogTest, CommandOneFromTheCaptionIsOk) {
    screen().then([&](HeadlessFrontEnd&) {
        ::SendMessageW(form.m_hWnd, WM_COMMAND, MAKELONG(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(form.DoModal(), IDOK);
    EXPECT_EQ(form.okCalls, 1);
}

TEST_F(DialogTest, AClickOnAButtonReachesItsHandlerAndTheRunGoesOn) {
    screen().then([&](HeadlessFrontEnd& s) {
        int x = 0, y = 0;
        ASSERT_TRUE(s.find("Go", x, y)) << s.text();
        s.click(x, y);
    });
    screen().then([&](HeadlessFrontEnd& s) {
        EXPECT_TRUE(::IsWindow(form.m_hWnd)); // still running
        s.key(Key::Escape);
    });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    EXPECT_EQ(form.goClicks, 1);
}

TEST_F(DialogTest, FullScreenFlagStretchesTheDialogUnlessCleared) {
    RECT screenRect{}, stretched{}, kept{};
    ::GetWindowRect(::GetDesktopWindow(), &screenRect);

    form.keepTemplateSize = false;
    screen().then([&](HeadlessFrontEnd&) { ::GetWindowRect(form.m_hWnd, &stretched); });
    form.DoModal();
    EXPECT_EQ(stretched.right - stretched.left, screenRect.right - screenRect.left);
    EXPECT_EQ(stretched.bottom - stretched.top, screenRect.bottom - screenRect.top);

    CTestForm keeps;
    screen().then([&](HeadlessFrontEnd&) { ::GetWindowRect(keeps.m_hWnd, &kept); });
    keeps.DoModal();
    EXPECT_LT(kept.right - kept.left, screenRect.right - screenRect.left);
    EXPECT_LT(kept.bottom - kept.top, screenRect.bottom - screenRect.top);
}

TEST_F(DialogTest, CenterWindowCentresOnTheDesktop) {
    RECT placed{};
    form.afterInit = [&](CTestForm& f) {
        ::MoveWindow(f.m_hWnd, 0, 0, 30, 10, TRUE);
        f.CenterWindow();
        ::GetWindowRect(f.m_hWnd, &placed);
    };
    form.DoModal();
    EXPECT_EQ(placed.left, (80 - 30) / 2);
    EXPECT_EQ(placed.top, (24 - 10) / 2);
    EXPECT_EQ(placed.right - placed.left, 30);
}

TEST_F(DialogTest, BrokenListDataFillsWhatIsWholeAndNeverReadsPastTheEnd) {
    // Two whole records, then one that claims more bytes than there are.
    const BYTE data[] = {12, 0, 0x03, 0x04, 4,   0, 0, 0, 'A', 0, 0, 0,
                         12, 0, 0x03, 0x04, 4,   0, 0, 0, 'B', 0, 0, 0,
                         12, 0, 0x03, 0x04, 200, 0, 0, 0, 'C', 0};
    BOOL whole = TRUE;
    std::vector<std::u16string> entries;
    form.afterInit = [&](CTestForm& f) {
        f.m_cbModel.ResetContent();
        whole = AfxReplayDlgInit(f.m_hWnd, data);
        entries = Entries(f.m_cbModel);
    };
    form.DoModal();
    EXPECT_FALSE(whole);
    EXPECT_EQ(entries, (std::vector<std::u16string>{u"A", u"B"}));
}

} // namespace
} // namespace afx_test
