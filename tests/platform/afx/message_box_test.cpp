// Message boxes: the application's box carries the application title and is
// owned by the main window while it is up; a window's box is owned by that
// window. Both are modal windows of the window system and return the button
// pressed.
#include "platform/headless/headless_front_end.h"
#include "platform/user32/dialogs/message_box_presenter.h"
#include "tests/platform/afx/test_dialog.h"
#include "tests/platform/afx/test_form.h"
#include "tests/support/message_boxes.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace afx_test {
namespace {

using headless::HeadlessFrontEnd;

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestDialog();
        headless::Screen().reset(80, 24);
        AfxSetModuleFileName(u"/usr/local/bin/tallyroll");
        ::GetDesktopWindow(); // the window system is up and presents the boxes
        previous_ = SetMessageBoxPresenter(nullptr);
        SetMessageBoxPresenter(previous_);
    }
    void TearDown() override {
        recorder_.reset();
        SetMessageBoxPresenter(previous_);
    }
    // Boxes are shown on the screen until a test records them instead.
    void record() { recorder_.emplace(); }
    std::vector<testing_support::RecordedBox> shown() const { return recorder_->Boxes(); }

    MessageBoxPresenter previous_ = nullptr;
    std::optional<testing_support::MessageBoxRecorder> recorder_;
};

TEST_F(MessageBoxTest, TheApplicationBoxIsModalOnTheScreenAndReturnsWhenDismissed) {
    CWinApp app;
    bool shownWithTitle = false;
    headless::Screen().then([&](HeadlessFrontEnd& s) {
        int x = 0, y = 0;
        shownWithTitle = s.find("Could not open file!", x, y) && s.find("tallyroll", x, y);
        s.key(screen::Key::Enter);
    });
    EXPECT_EQ(AfxMessageBox(u"Could not open file!"), IDOK);
    EXPECT_TRUE(shownWithTitle) << headless::Screen().text();
}

TEST_F(MessageBoxTest, TheApplicationTitleIsTheNameGivenElseTheProgramsFileName) {
    record();
    {
        CWinApp app;
        AfxMessageBox(u"one");
    }
    AfxSetModuleFileName(u"C:\\Program Files\\Tallyroll\\tallyroll.exe");
    {
        CWinApp app;
        AfxMessageBox(u"two", MB_OK, 0);
    }
    {
        CWinApp app(u"Roll printer");
        AfxMessageBox(u"three", MB_OKCANCEL);
    }
    const auto boxes = shown();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].caption, u"tallyroll");
    EXPECT_EQ(boxes[1].caption, u"tallyroll");
    EXPECT_EQ(boxes[2].caption, u"Roll printer");
    EXPECT_EQ(boxes[0].type, MB_OK);
    EXPECT_EQ(boxes[2].type, MB_OKCANCEL);
    EXPECT_EQ(boxes[0].owner, nullptr); // no main window
}

TEST_F(MessageBoxTest, BoxesAreOwnedByTheMainWindowOrByTheWindowAsked) {
    record();
    CWinApp app;
    CTestForm form;
    app.m_pMainWnd = &form;
    HWND formWindow = nullptr;
    form.afterInit = [&](CTestForm& f) {
        formWindow = f.m_hWnd;
        AfxMessageBox(u"from the application");
        f.MessageBox(u"Can't Send Data to Printer!", u"Error", MB_OK);
        f.MessageBox(u"untitled");
    };
    form.DoModal();
    AfxMessageBox(u"after the form");

    const auto boxes = shown();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].owner, formWindow);
    EXPECT_EQ(boxes[1].owner, formWindow);
    EXPECT_EQ(boxes[1].caption, u"Error");
    EXPECT_EQ(boxes[1].text, u"Can't Send Data to Printer!");
    EXPECT_EQ(boxes[2].caption, u"tallyroll");
    EXPECT_EQ(boxes[3].owner, nullptr); // the form is gone
}

TEST_F(MessageBoxTest, ABoxFromAHandlerReturnsAndTheDialogGoesOn) {
    CTestForm form;
    int answer = 0;
    headless::Screen().then([&](HeadlessFrontEnd& s) {
        s.key(screen::Key::Enter); // dismisses the box
        answer = form.MessageBox(u"Printer busy", u"Error");
        s.key(screen::Key::Escape); // reaches the form again
    });
    EXPECT_EQ(form.DoModal(), IDCANCEL);
    EXPECT_EQ(answer, IDOK);
}

} // namespace
} // namespace afx_test
