#pragma once

#include <framework/MessageBox.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Records every message box for the duration of a test and answers them: with the queued
// answers in order, then with IDOK (IDNO for a Yes/No question).
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    // Called as each box appears, while the code that shows it waits: to see the state then.
    std::function<void(const MessageBoxRequest&)> onShow;
    const std::vector<MessageBoxRequest>& Boxes() const { return m_boxes; }
    // The texts in the order they were shown.
    std::vector<std::string> Texts() const;

private:
    std::vector<MessageBoxRequest> m_boxes;
    std::deque<int> m_answers;
    MessageBoxResponder m_previous;
};
