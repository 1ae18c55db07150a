#pragma once

#include "TokenServiceCalls.h"

#include <array>
#include <string>

class CComboBox;

// One token as the token service reported it.
struct TokenInfo {
    std::string SerialNumber;
    std::string UserName;
    bool NeedsPassphrase = false;
};

// The tokens at hand, and the token boxes that show them as display lines
// ("serial - user name").
class CTokenList {
public:
    static constexpr int kCapacity = 100;

    CTokenList() { Reset(); }

    void Reset();
    // Takes `count` records in order; beyond the first kCapacity the rest are ignored.
    void Fill(const TOKENRECORD* records, int count);
    void FillTokenCombo(CComboBox& combo) const;
    // Selects the token of `serialNumber` in `combo`; clears the selection when there is none.
    bool SelectInCombo(const std::string& serialNumber, CComboBox& combo) const;
    // The selected token's serial number; empty when nothing is selected.
    std::string GetSelectedSerial(CComboBox& combo) const;
    bool SelectedNeedsPassphrase(CComboBox& combo) const;
    // The display line of the first token whose serial number is exactly `serialNumber`.
    bool FormatDisplayLine(const std::string& serialNumber, std::string& line) const;
    // Splits a display line at its first hyphen, dropping the space on either side.
    static bool SplitDisplayLine(const std::string& line, std::string& serialNumber, std::string& userName);

    int GetCount() const { return m_nCount < 1 ? 0 : m_nCount; }
    const TokenInfo& GetAt(int index) const { return m_entries[static_cast<std::size_t>(index)]; }

private:
    std::array<TokenInfo, kCapacity> m_entries;
    int m_nCount = 0;
};
