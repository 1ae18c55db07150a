#include "MessageBoxRecorder.h"

MessageBoxRecorder::MessageBoxRecorder()
{
    m_previous = SetMessageBoxResponder([this](const MessageBoxRequest& request) {
        m_boxes.push_back(request);
        if (onShow)
            onShow(request);
        if (!m_answers.empty()) {
            const int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        const unsigned buttons = request.type & MB_TYPEMASK;
        return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDNO : IDOK;
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetMessageBoxResponder(std::move(m_previous));
}

std::vector<std::string> MessageBoxRecorder::Texts() const
{
    std::vector<std::string> texts;
    for (const auto& box : m_boxes)
        texts.push_back(box.text);
    return texts;
}
