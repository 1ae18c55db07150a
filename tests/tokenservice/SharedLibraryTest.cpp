#include "TempDir.h"

#include <tokapi.h>

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

// libtokapi.so itself, loaded as the program loads it: only the six calls are visible.
class SharedLibraryTest : public ::testing::Test {
protected:
    SharedLibraryTest() : m_library(::dlopen(TOKAPI_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~SharedLibraryTest() override
    {
        if (m_library != nullptr)
            ::dlclose(m_library);
    }

    template <typename Function>
    Function* Symbol(const char* name)
    {
        return reinterpret_cast<Function*>(::dlsym(m_library, name));
    }

    TempDir m_dir;
    void* m_library;
};

TEST_F(SharedLibraryTest, ExportsTheSixCallsAndNothingOfItsInside)
{
    ASSERT_NE(m_library, nullptr) << ::dlerror();
    for (const char* name : {"OpenTokenService", "CloseTokenService", "EnumToken", "SelectToken",
                             "GetPasscode", "GetTokenError"})
        EXPECT_NE(::dlsym(m_library, name), nullptr) << name;
    // Clock::Now() and DecodeBase32(std::string_view).
    EXPECT_EQ(::dlsym(m_library, "_ZN5Clock3NowEv"), nullptr);
    EXPECT_EQ(::dlsym(m_library, "_Z12DecodeBase32St17basic_string_viewIcSt11char_traitsIcEE"), nullptr);
}

TEST_F(SharedLibraryTest, OpensAnEmptyDatabaseThroughItsExports)
{
    ASSERT_NE(m_library, nullptr) << ::dlerror();
    auto* open = Symbol<decltype(OpenTokenService)>("OpenTokenService");
    auto* enumerate = Symbol<decltype(EnumToken)>("EnumToken");
    auto* close = Symbol<decltype(CloseTokenService)>("CloseTokenService");
    TOKEN_HANDLE handle = 0;
    ASSERT_EQ(open(&handle), 1);
    std::uint32_t count = 5;
    std::uint32_t size = 0;
    enumerate(handle, &count, nullptr, nullptr, &size);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(close(handle), 1);
}

} // namespace
