// Message maps: a command reaches the most derived handler for its control
// and notification code, falls back along the chain of base maps, and OK and
// cancel end up in the dialog's virtual OnOK and OnCancel.
#include "platform/afx/framework.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace afx_test {
namespace {

std::vector<std::string> g_calls;

class CPanel : public CWnd {
protected:
    afx_msg void OnApply() { g_calls.emplace_back("panel apply"); }
    afx_msg void OnReset() { g_calls.emplace_back("panel reset"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPanel, CWnd)
ON_BN_CLICKED(100, OnApply)
ON_BN_CLICKED(101, OnReset)
END_MESSAGE_MAP()

class CFancyPanel : public CPanel {
protected:
    afx_msg void OnFancyApply() { g_calls.emplace_back("fancy apply"); }
    afx_msg void OnPicked() { g_calls.emplace_back("picked"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFancyPanel, CPanel)
ON_BN_CLICKED(100, OnFancyApply)
ON_CBN_SELCHANGE(100, OnPicked)
END_MESSAGE_MAP()

// A dialog with a map of its own that handles neither OK nor cancel.
class CQuietDialog : public CDialog {
protected:
    void OnOK() override { g_calls.emplace_back("ok"); }
    void OnCancel() override { g_calls.emplace_back("cancel"); }
    afx_msg void OnHelp() { g_calls.emplace_back("help"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CQuietDialog, CDialog)
ON_BN_CLICKED(9, OnHelp)
END_MESSAGE_MAP()

WPARAM Command(WORD id, WORD code) {
    return MAKELONG(id, code);
}

class MessageMap : public ::testing::Test {
protected:
    void SetUp() override { g_calls.clear(); }
};

struct Route {
    WORD id;
    WORD code;
    bool handled;
    const char* handler;
};

class FancyPanelRoutes : public MessageMap, public ::testing::WithParamInterface<Route> {};

TEST_P(FancyPanelRoutes, ReachTheMostDerivedHandlerOrNone) {
    const Route& route = GetParam();
    CFancyPanel panel;
    EXPECT_EQ(panel.OnCommand(Command(route.id, route.code), 0), route.handled ? TRUE : FALSE);
    if (route.handled) {
        EXPECT_EQ(g_calls, std::vector<std::string>{route.handler});
    } else {
        EXPECT_TRUE(g_calls.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Afx, FancyPanelRoutes,
    ::testing::Values(Route{100, BN_CLICKED, true, "fancy apply"}, // shadows the base entry
                      Route{101, BN_CLICKED, true, "panel reset"}, // from the base map
                      Route{100, CBN_SELCHANGE, true, "picked"},   // same control, other code
                      Route{101, CBN_SELCHANGE, false, nullptr},
                      Route{999, BN_CLICKED, false, nullptr}));

TEST_F(MessageMap, TheBaseClassAloneKeepsItsOwnHandlers) {
    CPanel panel;
    EXPECT_TRUE(panel.OnCommand(Command(100, BN_CLICKED), 0));
    EXPECT_EQ(g_calls, std::vector<std::string>{"panel apply"});
}

TEST_F(MessageMap, OkAndCancelFallBackToTheDialogsVirtualHandlers) {
    CQuietDialog dialog;
    EXPECT_TRUE(dialog.OnCommand(Command(IDOK, BN_CLICKED), 0));
    EXPECT_TRUE(dialog.OnCommand(Command(IDCANCEL, BN_CLICKED), 0));
    EXPECT_TRUE(dialog.OnCommand(Command(9, BN_CLICKED), 0));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"ok", "cancel", "help"}));
}

TEST_F(MessageMap, EachMapNamesItsBaseClassMapDownToTheRoot) {
    EXPECT_EQ(CFancyPanel::messageMap.pBaseMap, &CPanel::messageMap);
    EXPECT_EQ(CPanel::messageMap.pBaseMap, &CWnd::messageMap);
    EXPECT_EQ(CQuietDialog::messageMap.pBaseMap, &CDialog::messageMap);
    EXPECT_EQ(CDialog::messageMap.pBaseMap, &CWnd::messageMap);
    EXPECT_EQ(CWinApp::messageMap.pBaseMap, &CCmdTarget::messageMap);
    EXPECT_EQ(CCmdTarget::messageMap.pBaseMap, nullptr);
    // Looked up through the object, the map is its most derived class's.
    CFancyPanel panel;
    CWnd& asWindow = panel;
    EXPECT_EQ(asWindow.GetMessageMap(), &CFancyPanel::messageMap);
}

} // namespace
} // namespace afx_test
