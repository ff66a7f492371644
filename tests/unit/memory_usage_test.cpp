#include <gtest/gtest.h>

#include <cstring>

#include "memory/kernel.h"
#include "memory/memory_usage.h"

namespace tidewell {
namespace {

TEST(UsagePercent, GuardsZerosAndDividesUnsigned) {
    constexpr uint64_t kGiB = 1ull << 30;
    constexpr uint64_t kTop = 1ull << 63;
    struct Case {
        uint64_t used, total;
        float expected;
    } cases[] = {
        {0, 0, 0.0f},
        {0, 12345, 0.0f},
        {12345, 0, 0.0f},
        {1, 3, 33.33333f},
        {16 * kGiB - 4 * kGiB, 16 * kGiB, 75.0f},
        {100, 100, 100.0f},
        {kTop / 128, kTop, 0.78125f},  // totals at and above 2^63 are not read as negative
        {kTop / 256, ~0ull, 0.1953125f},
        {200, 100, 200.0f},  // never clamped
    };
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(static_cast<float>(UsagePercent(c.used, c.total)), c.expected)
            << "used " << c.used << " total " << c.total;
    }
}

// A kernel that answers with chosen figures and records the file-cache query.
struct ChosenKernel {
    static inline MemoryStatusEx status{};
    static inline bool statusOk = true;
    static inline NtStatus cacheStatus = 0;
    static inline size_t current = 0, peak = 0;
    static inline uint32_t queriedClass = 0, queriedLength = 0;

    static NtStatus Query(uint32_t infoClass, void* buffer, uint32_t length, uint32_t*) {
        queriedClass = infoClass;
        queriedLength = length;
        if (cacheStatus != 0) return cacheStatus;
        auto* info = static_cast<SystemFileCacheInformation*>(buffer);
        info->CurrentSize = current;
        info->PeakSize = peak;
        return 0;
    }
    static NtStatus Set(uint32_t, void*, uint32_t) { return 0; }
    static bool Status(MemoryStatusEx* s) {
        if (!statusOk) return false;
        const uint32_t length = s->dwLength;
        *s = status;
        s->dwLength = length;
        return true;
    }
    static constexpr KernelApi kApi{&Query, &Set, &Status};
};

class GetMemoryUsageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ChosenKernel::status = {};
        ChosenKernel::status.ullTotalPhys = 16ull << 30;
        ChosenKernel::status.ullAvailPhys = 4ull << 30;
        ChosenKernel::status.ullTotalPageFile = 20ull << 30;
        ChosenKernel::status.ullAvailPageFile = 15ull << 30;
        ChosenKernel::status.ullTotalVirtual = 128ull << 40;
        ChosenKernel::status.ullAvailVirtual = 64ull << 40;
        ChosenKernel::statusOk = true;
        ChosenKernel::cacheStatus = 0;
        ChosenKernel::current = 300u << 20;
        ChosenKernel::peak = 400u << 20;
    }
    KernelOverride kernel_{ChosenKernel::kApi};
};

TEST_F(GetMemoryUsageTest, FillsAllTwelveFields) {
    TMemoryUsage u{};
    GetMemoryUsage(u);
    EXPECT_EQ(u.TotalPhys, 16ull << 30);
    EXPECT_EQ(u.AvailPhys, 4ull << 30);
    EXPECT_FLOAT_EQ(u.UsagePhys, 75.0f);
    EXPECT_FLOAT_EQ(u.UsagePage, 25.0f);
    EXPECT_FLOAT_EQ(u.UsageVirtual, 50.0f);
    EXPECT_EQ(u.TotalWork, 400ull << 20);
    EXPECT_EQ(u.AvailWork, 100ull << 20);
    EXPECT_FLOAT_EQ(u.UsageWork, 75.0f);
    EXPECT_EQ(ChosenKernel::queriedClass, 21u);
    EXPECT_EQ(ChosenKernel::queriedLength, sizeof(void*) == 8 ? 64u : 36u);
}

TEST_F(GetMemoryUsageTest, CacheAtItsPeakIsAFullWorkingSet) {
    ChosenKernel::current = ChosenKernel::peak;
    TMemoryUsage u{};
    GetMemoryUsage(u);
    EXPECT_FLOAT_EQ(u.UsageWork, 100.0f);
    EXPECT_EQ(u.AvailWork, 0u);
}

TEST_F(GetMemoryUsageTest, FailingCacheQueryLeavesTheWorkingSetFieldsAlone) {
    ChosenKernel::cacheStatus = static_cast<NtStatus>(0xC0000022);  // access denied
    TMemoryUsage zeroed{};
    GetMemoryUsage(zeroed);
    EXPECT_EQ(zeroed.AvailWork, 0u);
    EXPECT_EQ(zeroed.TotalWork, 0u);
    EXPECT_EQ(zeroed.UsageWork, 0.0f);
    EXPECT_FLOAT_EQ(zeroed.UsagePhys, 75.0f);  // the other eight are filled

    TMemoryUsage previous{};
    previous.AvailWork = 7;
    previous.TotalWork = 9;
    previous.UsageWork = 22.0f;
    GetMemoryUsage(previous);
    EXPECT_EQ(previous.AvailWork, 7u);
    EXPECT_EQ(previous.TotalWork, 9u);
    EXPECT_EQ(previous.UsageWork, 22.0f);
}

TEST_F(GetMemoryUsageTest, FailingStatusGivesZerosNotGarbage) {
    ChosenKernel::statusOk = false;
    TMemoryUsage u;
    std::memset(&u, 0xAB, sizeof(u));
    GetMemoryUsage(u);
    EXPECT_EQ(u.TotalPhys, 0u);
    EXPECT_EQ(u.AvailPage, 0u);
    EXPECT_EQ(u.UsagePhys, 0.0f);
    EXPECT_EQ(u.UsageVirtual, 0.0f);
}

}  // namespace
}  // namespace tidewell
