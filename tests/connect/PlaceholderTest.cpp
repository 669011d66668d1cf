#include <gtest/gtest.h>
TEST(Build, RunsUnderWine) { EXPECT_EQ(1 + 1, 2); }
