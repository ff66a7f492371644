#pragma once
// The seam between the memory engine and the operating system. The snapshot and
// the clean call the kernel only through this table, so tests can record every
// call or make a query fail; on Windows the table points at ntdll and kernel32.

#include <cstddef>
#include <cstdint>

namespace tidewell {

// Mirrors MEMORYSTATUSEX (64 bytes).
struct MemoryStatusEx {
    uint32_t dwLength;
    uint32_t dwMemoryLoad;
    uint64_t ullTotalPhys;
    uint64_t ullAvailPhys;
    uint64_t ullTotalPageFile;
    uint64_t ullAvailPageFile;
    uint64_t ullTotalVirtual;
    uint64_t ullAvailVirtual;
    uint64_t ullAvailExtendedVirtual;
};
static_assert(sizeof(MemoryStatusEx) == 64);

// Mirrors SYSTEM_FILECACHE_INFORMATION: its size fields are pointer-sized, so a
// 64-bit process passes 64 bytes.
struct SystemFileCacheInformation {
    size_t CurrentSize;
    size_t PeakSize;
    uint32_t PageFaultCount;
    size_t MinimumWorkingSet;
    size_t MaximumWorkingSet;
    size_t CurrentSizeIncludingTransitionInPages;
    size_t PeakSizeIncludingTransitionInPages;
    uint32_t TransitionRePurposeCount;
    uint32_t Flags;
};
static_assert(sizeof(void*) != 8 || sizeof(SystemFileCacheInformation) == 64);

enum SystemInformationClass : uint32_t {
    kSystemFileCacheInformation = 21,
    kSystemMemoryListInformation = 80,
    kSystemCombinePhysicalMemoryInformation = 130,
};

enum MemoryListCommand : uint32_t {
    kMemoryEmptyWorkingSets = 2,
    kMemoryFlushModifiedList = 3,
    kMemoryPurgeStandbyList = 4,
    kMemoryPurgeLowPriorityStandbyList = 5,
};

using NtStatus = int32_t;

struct KernelApi {
    // NtQuerySystemInformation / NtSetSystemInformation.
    NtStatus (*QuerySystemInformation)(uint32_t infoClass, void* buffer, uint32_t length, uint32_t* returnLength);
    NtStatus (*SetSystemInformation)(uint32_t infoClass, void* buffer, uint32_t length);
    // GlobalMemoryStatusEx.
    bool (*GlobalMemoryStatus)(MemoryStatusEx* status);
};

// The table in use. Starts as the platform's own (on Windows), or as one whose
// calls all fail (elsewhere); tests swap it with KernelOverride.
[[nodiscard]] const KernelApi& Kernel() noexcept;
[[nodiscard]] const KernelApi& PlatformKernel() noexcept;

// Replaces the kernel table for its lifetime and puts the previous one back.
class KernelOverride {
public:
    explicit KernelOverride(const KernelApi& api) noexcept;
    ~KernelOverride();
    KernelOverride(const KernelOverride&) = delete;
    KernelOverride& operator=(const KernelOverride&) = delete;

private:
    const KernelApi* previous_;
};

}  // namespace tidewell
