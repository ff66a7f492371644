#include "memory/memory_usage.h"

#include "memory/kernel.h"

namespace tidewell {

double UsagePercent(uint64_t used, uint64_t total) noexcept {
    if (used == 0 || total == 0) return 0.0;
    const uint64_t scaled = used * 100u;
    return static_cast<double>(static_cast<long double>(scaled) / static_cast<long double>(total));
}

void GetMemoryUsage(TMemoryUsage& usage) noexcept {
    const KernelApi& kernel = Kernel();

    MemoryStatusEx status{};
    status.dwLength = sizeof(status);
    (void)kernel.GlobalMemoryStatus(&status);  // on failure the zeros give 0 everywhere

    usage.AvailPhys = status.ullAvailPhys;
    usage.AvailPage = status.ullAvailPageFile;
    usage.AvailVirtual = status.ullAvailVirtual;
    usage.TotalPhys = status.ullTotalPhys;
    usage.TotalPage = status.ullTotalPageFile;
    usage.TotalVirtual = status.ullTotalVirtual;
    usage.UsagePhys = static_cast<float>(UsagePercent(usage.TotalPhys - usage.AvailPhys, usage.TotalPhys));
    usage.UsagePage = static_cast<float>(UsagePercent(usage.TotalPage - usage.AvailPage, usage.TotalPage));
    usage.UsageVirtual =
        static_cast<float>(UsagePercent(usage.TotalVirtual - usage.AvailVirtual, usage.TotalVirtual));

    SystemFileCacheInformation cache{};
    if (kernel.QuerySystemInformation(kSystemFileCacheInformation, &cache, sizeof(cache), nullptr) != 0) return;

    // The cache sizes are pointer-sized; the gap is taken in that width.
    usage.AvailWork = static_cast<uint64_t>(cache.PeakSize - cache.CurrentSize);
    usage.TotalWork = static_cast<uint64_t>(cache.PeakSize);
    usage.UsageWork = static_cast<float>(UsagePercent(usage.TotalWork - usage.AvailWork, usage.TotalWork));
}

}  // namespace tidewell
