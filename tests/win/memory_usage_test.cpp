// The snapshot against the real system under Wine.

#include <windows.h>
#include <gtest/gtest.h>

#include "memory/kernel.h"
#include "memory/memory_usage.h"

namespace tidewell {
namespace {

TEST(MemoryUsageOnWindows, AgreesWithGlobalMemoryStatusEx) {
    TMemoryUsage usage{};
    GetMemoryUsage(usage);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    ASSERT_TRUE(::GlobalMemoryStatusEx(&status));
    // Totals do not move; available figures move a little between the two reads.
    EXPECT_EQ(usage.TotalPhys, status.ullTotalPhys);
    EXPECT_EQ(usage.TotalPage, status.ullTotalPageFile);
    EXPECT_EQ(usage.TotalVirtual, status.ullTotalVirtual);
    EXPECT_NEAR(static_cast<double>(usage.AvailPhys), static_cast<double>(status.ullAvailPhys), 256.0 * (1 << 20));
    EXPECT_GT(usage.UsagePhys, 0.0f);
    EXPECT_LE(usage.UsagePhys, 100.0f);
    const double expected = UsagePercent(status.ullTotalPhys - status.ullAvailPhys, status.ullTotalPhys);
    EXPECT_NEAR(usage.UsagePhys, expected, 2.0);
}

TEST(MemoryUsageOnWindows, TheRealFileCacheQueryIsAskedWithThe64BitLayout) {
    // Wine answers class 21 with success and zeros, so the working-set line reads 0.
    SystemFileCacheInformation info{};
    const NtStatus status = PlatformKernel().QuerySystemInformation(kSystemFileCacheInformation, &info,
                                                                      sizeof(info), nullptr);
    EXPECT_EQ(sizeof(info), 64u);
    TMemoryUsage usage{};
    GetMemoryUsage(usage);
    if (status == 0) {
        EXPECT_EQ(usage.TotalWork, info.PeakSize);
        EXPECT_EQ(usage.AvailWork, info.PeakSize - info.CurrentSize);
    } else {
        EXPECT_EQ(usage.TotalWork, 0u);
        EXPECT_EQ(usage.UsageWork, 0.0f);
    }
}

// The real memory status with a file-cache query that fails.
struct FailingCacheKernel {
    static constexpr KernelApi kApi{
        [](uint32_t, void*, uint32_t, uint32_t*) -> NtStatus { return static_cast<NtStatus>(0xC0000022); },
        [](uint32_t infoClass, void* buffer, uint32_t length) -> NtStatus {
            return PlatformKernel().SetSystemInformation(infoClass, buffer, length);
        },
        [](MemoryStatusEx* status) { return PlatformKernel().GlobalMemoryStatus(status); },
    };
};

TEST(MemoryUsageOnWindows, AFailingCacheQueryLeavesAZeroedRecordsWorkingSetAtZero) {
    KernelOverride kernel(FailingCacheKernel::kApi);
    TMemoryUsage usage{};
    GetMemoryUsage(usage);
    EXPECT_EQ(usage.AvailWork, 0u);
    EXPECT_EQ(usage.TotalWork, 0u);
    EXPECT_EQ(usage.UsageWork, 0.0f);
    EXPECT_GT(usage.TotalPhys, 0u);
    EXPECT_GT(usage.TotalPage, 0u);
    EXPECT_GT(usage.TotalVirtual, 0u);
    EXPECT_GT(usage.UsagePhys, 0.0f);
}

}  // namespace
}  // namespace tidewell
