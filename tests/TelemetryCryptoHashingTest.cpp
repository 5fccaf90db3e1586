#include "Telemetry/Helpers/CryptoHashing.h"

#include <gtest/gtest.h>

namespace vantory {
namespace {

TEST(CryptoHashingTest, GivesLowerCaseHexOfTheDigest)
{
    EXPECT_EQ(CryptoHashing::sha256("abc", ""), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(CryptoHashing::sha256("", ""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(CryptoHashingTest, AppendsTheSalt)
{
    EXPECT_EQ(CryptoHashing::sha256("ab", "c"), CryptoHashing::sha256("abc", ""));
    EXPECT_NE(CryptoHashing::sha256("user", "one"), CryptoHashing::sha256("user", "two"));
    EXPECT_NE(CryptoHashing::sha256("b", "a"), CryptoHashing::sha256("a", "b"));
}

TEST(CryptoHashingTest, HashesTheUtf8Bytes)
{
    // sha256 of the two bytes C3 A9 ("é").
    EXPECT_EQ(CryptoHashing::sha256("\xC3\xA9", ""), CryptoHashing::sha256("\xC3", "\xA9"));
    EXPECT_EQ(CryptoHashing::sha256("\xC3\xA9", "").size(), 64u);
}

} // namespace
} // namespace vantory
