#include "platform/user32/core/window_class.h"

#include "platform/text/fold_case.h"

#include <map>
#include <string>

namespace user32 {
namespace {

std::u16string Key(std::u16string_view name) {
    std::u16string key;
    key.reserve(name.size());
    for (const char16_t c : name) {
        key += static_cast<char16_t>(text::FoldCase(c));
    }
    return key;
}

std::map<std::u16string, WindowFactory>& Classes() {
    static std::map<std::u16string, WindowFactory> classes;
    return classes;
}

} // namespace

void RegisterWindowClass(std::u16string_view name, WindowFactory make) {
    Classes()[Key(name)] = make;
}

std::unique_ptr<Window> CreateWindowOfClass(std::u16string_view name, DWORD style) {
    const auto it = Classes().find(Key(name));
    if (it == Classes().end() || it->second == nullptr) {
        return nullptr;
    }
    return it->second(style);
}

} // namespace user32
