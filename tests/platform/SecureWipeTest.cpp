#include <platform/SecureWipe.h>

#include <gtest/gtest.h>

#include <string>

TEST(SecureWipe, ClearsTheWholeCapacityOfAString)
{
    std::string secret(64, 'S');
    secret = "short"; // keeps the buffer, with the older secret bytes behind the new end
    const std::size_t capacity = secret.capacity();
    ASSERT_GE(capacity, 64u);
    const char* buffer = secret.data();
    SecureWipe(secret);
    EXPECT_TRUE(secret.empty());
    ASSERT_EQ(buffer, secret.data());
    EXPECT_EQ(std::string(capacity, '\0'), std::string(buffer, capacity));
}
