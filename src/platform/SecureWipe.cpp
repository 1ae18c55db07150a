#include "SecureWipe.h"

#include <cstring>

void SecureWipe(void* data, std::size_t size)
{
    ::explicit_bzero(data, size);
}

void SecureWipe(std::string& text)
{
    // The whole capacity: a shorter text may have left older secret bytes behind its end.
    text.resize(text.capacity());
    SecureWipe(text.data(), text.size());
    text.clear();
}
