// The whole stack in a real terminal: a dialog from a template, run by the
// class framework on the window system, shown by the terminal front end. It
// writes how the dialog ended and what the form read to the --result file.
#include "platform/text/unicode.h"
#include "tests/platform/afx/test_dialog.h"
#include "tests/platform/afx/test_form.h"

#include <cstring>
#include <fstream>
#include <unistd.h>

int main(int argc, char** argv) {
    const char* resultPath = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--pid-file") == 0) {
            std::ofstream(argv[i + 1]) << getpid() << '\n';
        }
        if (std::strcmp(argv[i], "--result") == 0) {
            resultPath = argv[i + 1];
        }
    }
    afx_test::RegisterTestDialog();
    CWinApp app;
    afx_test::CTestForm form;
    app.m_pMainWnd = &form;
    form.m_strModel = u"Rinth";

    const INT_PTR ended = form.DoModal();
    if (resultPath != nullptr) {
        std::ofstream(resultPath) << (ended == IDOK       ? "IDOK"
                                      : ended == IDCANCEL ? "IDCANCEL"
                                                          : "?")
                                  << " name=" << text::Utf16ToUtf8(form.m_strName.str())
                                  << " underline=" << form.m_bUnderline
                                  << " model=" << text::Utf16ToUtf8(form.m_strModel.str())
                                  << " go=" << form.goClicks << '\n';
    }
    return 0;
}
