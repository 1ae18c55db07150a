#include "MultiByte.h"

#include <climits>
#include <clocale>
#include <cwchar>
#include <cwctype>
#include <locale.h>

namespace {

// Texts are UTF-8 whatever the user's locale says, so convert under C.UTF-8 explicitly.
locale_t Utf8Locale()
{
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return locale;
}

class ScopedLocale {
public:
    explicit ScopedLocale(locale_t locale) : m_previous(::uselocale(locale)) {}
    ~ScopedLocale() { ::uselocale(m_previous); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    locale_t m_previous;
};

} // namespace

std::string UpperCaseMultiByte(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    const ScopedLocale scoped(Utf8Locale());
    std::mbstate_t inState{};
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned char byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) {
            result.push_back(static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte));
            ++pos;
            continue;
        }
        wchar_t wide = 0;
        const std::size_t used = std::mbrtowc(&wide, text.data() + pos, text.size() - pos, &inState);
        if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2) || used == 0) {
            inState = std::mbstate_t{};
            result.push_back(text[pos]);
            ++pos;
            continue;
        }
        char encoded[MB_LEN_MAX];
        std::mbstate_t outState{};
        const std::size_t length = std::wcrtomb(encoded, static_cast<wchar_t>(std::towupper(wide)), &outState);
        if (length == static_cast<std::size_t>(-1))
            result.append(text.data() + pos, used);
        else
            result.append(encoded, length);
        pos += used;
    }
    return result;
}
