#include <windows.h>
#include <gtest/gtest.h>

TEST(Smoke, RunsUnderWine) { EXPECT_NE(GetModuleHandleW(nullptr), nullptr); }
