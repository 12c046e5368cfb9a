#include "platform/user32/controls/control_classes.h"

#include "platform/user32/controls/button.h"
#include "platform/user32/controls/combo_box.h"
#include "platform/user32/controls/combo_list.h"
#include "platform/user32/controls/edit.h"
#include "platform/user32/controls/list_box.h"
#include "platform/user32/controls/static_control.h"
#include "platform/user32/core/window_class.h"

#include <memory>

namespace user32 {
namespace {

template <class Control> std::unique_ptr<Window> Make(DWORD) {
    return std::make_unique<Control>();
}

// One class, three kinds of button, told apart by the style's type.
std::unique_ptr<Window> MakeButton(DWORD style) {
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return std::make_unique<PushButton>();
    case BS_GROUPBOX:
        return std::make_unique<GroupBox>();
    default:
        return std::make_unique<CheckBox>();
    }
}

} // namespace

void RegisterControlClasses() {
    RegisterWindowClass(u"Button", &MakeButton);
    RegisterWindowClass(u"Edit", &Make<Edit>);
    RegisterWindowClass(u"Static", &Make<StaticControl>);
    RegisterWindowClass(u"ListBox", &Make<ListBox>);
    RegisterWindowClass(u"ComboBox", &Make<ComboBox>);
    RegisterWindowClass(u"ComboLBox", &Make<ComboList>);
}

} // namespace user32
