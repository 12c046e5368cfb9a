#include "message_boxes.h"

#include "platform/user32/dialogs/message_box_presenter.h"

#include <mutex>
#include <utility>

namespace testing_support {

namespace {

std::mutex g_mutex;
std::vector<RecordedBox> g_boxes;
int g_answer = 1;
MessageBoxPresenter g_previous = nullptr;
std::function<void(const RecordedBox&)> g_look;

int Record(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    RecordedBox box{owner, text != nullptr ? text : u"", caption != nullptr ? caption : u"", type};
    std::function<void(const RecordedBox&)> look;
    int answer = 0;
    {
        std::lock_guard lock(g_mutex);
        g_boxes.push_back(box);
        look = g_look;
        answer = g_answer;
    }
    if (look) {
        look(box);
    }
    return answer;
}

} // namespace

MessageBoxRecorder::MessageBoxRecorder(int answer) {
    std::lock_guard lock(g_mutex);
    g_boxes.clear();
    g_answer = answer;
    g_previous = SetMessageBoxPresenter(&Record);
}

MessageBoxRecorder::~MessageBoxRecorder() {
    SetMessageBoxPresenter(g_previous);
    std::lock_guard lock(g_mutex);
    g_look = nullptr;
}

void MessageBoxRecorder::OnShow(std::function<void(const RecordedBox&)> look) {
    std::lock_guard lock(g_mutex);
    g_look = std::move(look);
}

std::vector<RecordedBox> MessageBoxRecorder::Boxes() const {
    std::lock_guard lock(g_mutex);
    return g_boxes;
}

std::vector<std::u16string> MessageBoxRecorder::Texts() const {
    std::vector<std::u16string> texts;
    for (const RecordedBox& box : Boxes()) {
        texts.push_back(box.text);
    }
    return texts;
}

std::size_t MessageBoxRecorder::Count() const {
    std::lock_guard lock(g_mutex);
    return g_boxes.size();
}

void MessageBoxRecorder::Clear() {
    std::lock_guard lock(g_mutex);
    g_boxes.clear();
}

} // namespace testing_support
