#include "TokenList.h"

#include <framework/ComboBox.h>

#include <algorithm>
#include <cstring>

namespace {

// A record's text field, up to its NUL or the end of the field.
template <std::size_t N>
std::string FieldText(const char (&field)[N])
{
    return std::string(field, ::strnlen(field, N));
}

bool NeedsPassphrase(const std::string& passphraseType)
{
    return passphraseType == "PASSWORD" || passphraseType == "NPASSWORD";
}

} // namespace

void CTokenList::Reset()
{
    for (TokenInfo& entry : m_entries)
        entry = TokenInfo{};
}

void CTokenList::Fill(const TOKENRECORD* records, int count)
{
    if (count < 1) {
        m_nCount = count;
        return;
    }
    const int kept = std::min(count, kCapacity);
    for (int i = 0; i < kept; ++i) {
        TokenInfo& entry = m_entries[static_cast<std::size_t>(i)];
        entry.SerialNumber = FieldText(records[i].szSerialNumber);
        entry.UserName = FieldText(records[i].szUserName);
        entry.NeedsPassphrase = NeedsPassphrase(FieldText(records[i].szPassphraseType));
    }
    m_nCount = kept;
}

bool CTokenList::FormatDisplayLine(const std::string& serialNumber, std::string& line) const
{
    line.clear();
    for (int i = 0; i < GetCount(); ++i) {
        if (GetAt(i).SerialNumber == serialNumber) {
            line = serialNumber + " - " + GetAt(i).UserName;
            return true;
        }
    }
    return false;
}

void CTokenList::FillTokenCombo(CComboBox& combo) const
{
    std::string line;
    for (int i = 0; i < GetCount(); ++i) {
        FormatDisplayLine(GetAt(i).SerialNumber, line);
        combo.AddString(line);
    }
}

bool CTokenList::SelectInCombo(const std::string& serialNumber, CComboBox& combo) const
{
    // Serial numbers are exact, as the token library keeps them: "ab12" and "AB12" are two tokens.
    std::string line;
    if (FormatDisplayLine(serialNumber, line)) {
        for (int i = 0; i < combo.GetCount(); ++i) {
            if (combo.GetLBText(i) == line) {
                combo.SetCurSel(i);
                return true;
            }
        }
    }
    combo.SetCurSel(-1);
    return false;
}

bool CTokenList::SplitDisplayLine(const std::string& line, std::string& serialNumber, std::string& userName)
{
    const std::size_t hyphen = line.find('-');
    if (hyphen == std::string::npos)
        return false;
    serialNumber = line.substr(0, hyphen == 0 ? 0 : hyphen - 1);
    userName = hyphen + 1 < line.size() ? line.substr(hyphen + 2) : std::string();
    return true;
}

std::string CTokenList::GetSelectedSerial(CComboBox& combo) const
{
    const int selected = combo.GetCurSel();
    if (selected < 0)
        return {};
    std::string serialNumber;
    std::string userName;
    return SplitDisplayLine(combo.GetLBText(selected), serialNumber, userName) ? serialNumber : std::string();
}

bool CTokenList::SelectedNeedsPassphrase(CComboBox& combo) const
{
    const std::string selected = GetSelectedSerial(combo);
    for (int i = 0; i < GetCount(); ++i)
        if (GetAt(i).SerialNumber == selected)
            return GetAt(i).NeedsPassphrase;
    return false;
}
