#include "frame/text.h"

#include <gtest/gtest.h>

TEST(Text, AbsentEqualsEmpty) { EXPECT_EQ(frame::Compare(frame::FromC(nullptr), ""), 0); }
