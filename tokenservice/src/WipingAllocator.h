#pragma once

#include <openssl/crypto.h>

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

// An allocator that overwrites memory before giving it back, so a vector holding a seed, a key or
// a passphrase leaves nothing behind, not even after it grew and moved.
template <typename T>
struct WipingAllocator {
    using value_type = T;

    WipingAllocator() = default;
    template <typename U>
    WipingAllocator(const WipingAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t count) { return std::allocator<T>().allocate(count); }
    void deallocate(T* data, std::size_t count) noexcept
    {
        OPENSSL_cleanse(data, count * sizeof(T));
        std::allocator<T>().deallocate(data, count);
    }

    template <typename U>
    bool operator==(const WipingAllocator<U>&) const noexcept
    {
        return true;
    }
};

// Bytes of a secret: a seed, a key, a passphrase or a PIN.
using SecretBytes = std::vector<unsigned char, WipingAllocator<unsigned char>>;

inline std::string_view AsText(const SecretBytes& bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}
