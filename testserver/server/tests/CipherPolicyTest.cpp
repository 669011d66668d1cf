// Cipher names and the policy that picks what each A0 reply announces.
#include "CipherPolicy.h"
#include <gtest/gtest.h>

using namespace tovisrv;

TEST(CipherChoice, ParsesTheNamesOfEverySessionCipher)
{
    const struct { const char* name; int algo, mode, bits; } rows[] = {
        {"seed-128-ofb", 1, 3, 128}, {"seed-cfb", 1, 4, 128}, {"seed-256-ofb", 1, 3, 256},
        {"aria-128-ofb", 2, 3, 128}, {"aria-192-cfb", 2, 4, 192}, {"aria-256-ofb", 2, 3, 256},
        {"aria-128-ecb", 2, 1, 128}, {"seed-128-cbc", 1, 2, 128},
    };
    for (const auto& row : rows) {
        CipherChoice desc;
        ASSERT_TRUE(CipherChoice::Parse(row.name, desc)) << row.name;
        EXPECT_EQ(desc, (CipherChoice{row.algo, row.mode, row.bits})) << row.name;
    }
}

TEST(CipherChoice, RejectsUnknownNames)
{
    for (const char* name : {"", "aria-ofb", "aria-100-ofb", "des-128-ofb", "seed-128-xts", "seed-128-ofbx"}) {
        CipherChoice desc;
        EXPECT_FALSE(CipherChoice::Parse(name, desc)) << name;
    }
}

TEST(CipherChoice, NamesRoundTrip)
{
    for (const CipherChoice& desc : CipherChoice::SessionSpecs()) {
        CipherChoice parsed;
        ASSERT_TRUE(CipherChoice::Parse(desc.Name(), parsed)) << desc.Name();
        EXPECT_EQ(parsed, desc);
    }
    EXPECT_EQ((CipherChoice{3, 1, 128}).Name(), "raw-3-1-128");
}

TEST(CipherPolicy, RotatesThroughEverySessionCipherByDefault)
{
    CCipherPolicy policy;
    const std::vector<CipherChoice> all = CipherChoice::SessionSpecs();
    ASSERT_EQ(all.size(), 8u);
    for (size_t round = 0; round < 2; ++round)
        for (const CipherChoice& expected : all)
            EXPECT_EQ(policy.Next(), expected) << "round " << round << ": " << expected.Name();
}

TEST(CipherPolicy, KeepsAFixedCipher)
{
    CCipherPolicy policy;
    std::string error;
    ASSERT_TRUE(policy.Parse("fixed aria-192-cfb", error)) << error;
    EXPECT_EQ(policy.Next(), (CipherChoice{2, 4, 192}));
    EXPECT_EQ(policy.Next(), (CipherChoice{2, 4, 192}));
    ASSERT_TRUE(policy.Parse("seed-128-cfb", error)) << error;
    EXPECT_EQ(policy.Next(), (CipherChoice{1, 4, 128}));
    EXPECT_EQ(policy.Text(), "fixed seed-128-cfb");
}

TEST(CipherPolicy, RotatesOverANamedList)
{
    CCipherPolicy policy;
    std::string error;
    ASSERT_TRUE(policy.Parse("rotate aria-256-cfb,seed-128-ofb", error)) << error;
    EXPECT_EQ(policy.Next().Name(), "aria-256-cfb");
    EXPECT_EQ(policy.Next().Name(), "seed-128-ofb");
    EXPECT_EQ(policy.Next().Name(), "aria-256-cfb");
    EXPECT_EQ(policy.Text(), "rotate aria-256-cfb,seed-128-ofb");
}

TEST(CipherPolicy, AnnouncesRawDigitsForRefusalTests)
{
    CCipherPolicy policy;
    std::string error;
    ASSERT_TRUE(policy.Parse("raw 1 1 128", error)) << error;
    EXPECT_EQ(policy.Next(), (CipherChoice{1, 1, 128}));
    EXPECT_EQ(policy.Text(), "raw 1 1 128");
}

TEST(CipherPolicy, KeepsItsPolicyWhenGivenNonsense)
{
    CCipherPolicy policy;
    std::string error;
    ASSERT_TRUE(policy.Parse("fixed seed-128-ofb", error));
    for (const char* text : {"", "rotate nope", "raw 1 1", "raw 10 1 128", "raw 1 1 12", "fixed", "seed-128-ofb x"})
        EXPECT_FALSE(policy.Parse(text, error)) << text;
    EXPECT_EQ(policy.Text(), "fixed seed-128-ofb");
}
