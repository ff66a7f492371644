#pragma once
// The memory snapshot: available and total bytes and the usage percentage of
// physical memory, the page file (commit), this process's address space and the
// system working set (file cache).

#include <cstdint>

namespace tidewell {

struct TMemoryUsage {
    uint64_t AvailPhys;
    uint64_t AvailPage;
    uint64_t AvailVirtual;
    uint64_t AvailWork;
    uint64_t TotalPhys;
    uint64_t TotalPage;
    uint64_t TotalVirtual;
    uint64_t TotalWork;
    float UsagePhys;
    float UsagePage;
    float UsageVirtual;
    float UsageWork;
};

// Used * 100 / Total, or 0 when either is 0.
[[nodiscard]] double UsagePercent(uint64_t used, uint64_t total) noexcept;

// Fills the record from the memory status and the file-cache query of the
// active kernel table. When the file-cache query fails, the three working-set
// fields keep what the caller had in them.
void GetMemoryUsage(TMemoryUsage& usage) noexcept;

}  // namespace tidewell
