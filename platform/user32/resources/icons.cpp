#include "platform/user32/resources/icons.h"

#include "platform/user32/resources/module_resources.h"
#include "platform/win32/user.h"

#include <cstdint>
#include <map>

namespace {

// Icon handles are tagged numbers, never addresses, so that a stale or
// foreign handle is recognised.
constexpr std::uintptr_t kIconTag = std::uintptr_t(2) << 28;

struct Icons {
    std::map<std::uintptr_t, std::vector<user32::IconImage>> loaded;
    std::uintptr_t next = 1;
};

Icons& Table() {
    static Icons icons;
    return icons;
}

} // namespace

namespace user32 {

const std::vector<IconImage>* IconImages(HICON icon) {
    auto& t = Table().loaded;
    const auto it = t.find(reinterpret_cast<std::uintptr_t>(icon));
    return it == t.end() ? nullptr : &it->second;
}

} // namespace user32

HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    if (lpIconName == nullptr || !IS_INTRESOURCE(lpIconName) || hInstance == nullptr) {
        return nullptr; // the system's stock icons do not exist here
    }
    const auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpIconName));
    const auto group = user32::ResourceBytes(hInstance, RT_GROUP_ICON, id);
    if (!group) {
        return nullptr;
    }
    const auto entries = user32::ReadIconGroup(*group);
    if (!entries || entries->empty()) {
        return nullptr;
    }
    std::vector<user32::IconImage> images;
    for (const auto& e : entries.value()) {
        const auto bytes = user32::ResourceBytes(hInstance, RT_ICON, e.imageId);
        if (!bytes) {
            return nullptr;
        }
        const auto image = user32::ReadIconImage(*bytes);
        if (!image) {
            return nullptr;
        }
        images.push_back(image.value());
    }
    Icons& t = Table();
    const std::uintptr_t handle = kIconTag | (t.next++ & 0x0FFFFFFF);
    t.loaded[handle] = std::move(images);
    return reinterpret_cast<HICON>(handle);
}

BOOL DestroyIcon(HICON hIcon) {
    return Table().loaded.erase(reinterpret_cast<std::uintptr_t>(hIcon)) > 0 ? TRUE : FALSE;
}
