// Records every message box shown while it lives, in place of showing it, and
// answers each with a chosen button. Boxes shown on any thread are recorded;
// one recorder at a time.
#pragma once

#include "platform/win32/types.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

struct RecordedBox {
    HWND owner;
    std::u16string text;
    std::u16string caption;
    UINT type;
};

class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = 1 /* IDOK */);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<RecordedBox> Boxes() const;
    std::vector<std::u16string> Texts() const;
    std::size_t Count() const;
    void Clear();
    // Runs look on every box as it is shown, before it is answered: for tests
    // of what the program looks like while a box is up.
    void OnShow(std::function<void(const RecordedBox&)> look);
};

} // namespace testing_support
