#include "SeedCipher.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kFewIterations = 1000;

const SecretBytes kSeed = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};

TEST(SeedCipherTest, OpensWithTheRightPassphraseAndSerialOnly)
{
    const SealedSeed sealed = SeedCipher::Seal(kSeed, "correct horse", "A1", kFewIterations);
    EXPECT_EQ(sealed.iterations, kFewIterations);
    const auto opened = SeedCipher::Open(sealed, "correct horse", "A1");
    ASSERT_TRUE(opened);
    EXPECT_EQ(*opened, kSeed);
    EXPECT_FALSE(SeedCipher::Open(sealed, "correct horsE", "A1"));
    EXPECT_FALSE(SeedCipher::Open(sealed, "", "A1"));
    EXPECT_FALSE(SeedCipher::Open(sealed, "correct horse", "B2")) << "a record moved to another serial";
}

TEST(SeedCipherTest, SealingTwiceUsesFreshSaltAndNonce)
{
    const SealedSeed first = SeedCipher::Seal(kSeed, "pass", "A1", kFewIterations);
    const SealedSeed second = SeedCipher::Seal(kSeed, "pass", "A1", kFewIterations);
    EXPECT_NE(first.salt, second.salt);
    EXPECT_NE(first.nonce, second.nonce);
    EXPECT_NE(first.ciphertext, second.ciphertext);
}

TEST(SeedCipherTest, AnAlteredRecordDoesNotOpen)
{
    const SealedSeed sealed = SeedCipher::Seal(kSeed, "pass", "A1", kFewIterations);
    for (auto SealedSeed::*field : {&SealedSeed::salt, &SealedSeed::nonce, &SealedSeed::ciphertext}) {
        SealedSeed altered = sealed;
        (altered.*field)[0] ^= 1;
        EXPECT_FALSE(SeedCipher::Open(altered, "pass", "A1"));
    }
    SealedSeed otherCount = sealed;
    otherCount.iterations += 1;
    EXPECT_FALSE(SeedCipher::Open(otherCount, "pass", "A1"));
    SealedSeed truncated = sealed;
    truncated.ciphertext.resize(10);
    EXPECT_FALSE(SeedCipher::Open(truncated, "pass", "A1"));
}

} // namespace
