#include "PinEdit.h"

void CPinEdit::OnChar(unsigned character)
{
    constexpr unsigned kBackspace = 8;
    if ((character >= '0' && character <= '9') || character == kBackspace)
        CEdit::OnChar(character);
}
