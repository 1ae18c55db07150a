#pragma once

#include <profiles/IComboBoxItems.h>

#include <string>
#include <vector>

// A combo box that records what it was told: "reset" and the added texts, in order.
class RecordingCombo : public IComboBoxItems {
public:
    void ResetContent() override { calls.push_back("reset"); }
    int AddString(const std::string& text) override
    {
        calls.push_back(text);
        return static_cast<int>(calls.size());
    }

    std::vector<std::string> calls;
};
