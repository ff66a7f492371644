#include "memory/clean_memory.h"

#include <cstdint>
#include <initializer_list>

#include "memory/kernel.h"

namespace tidewell {

void CleanMemory() noexcept {
    const KernelApi& kernel = Kernel();

    // Minimum and maximum of all ones ask the kernel to trim the cache as far as it can.
    SystemFileCacheInformation cache{};
    cache.MinimumWorkingSet = static_cast<size_t>(-1);
    cache.MaximumWorkingSet = static_cast<size_t>(-1);
    (void)kernel.SetSystemInformation(kSystemFileCacheInformation, &cache, sizeof(cache));

    for (uint32_t command : {kMemoryEmptyWorkingSets, kMemoryPurgeLowPriorityStandbyList, kMemoryPurgeStandbyList,
                             kMemoryFlushModifiedList}) {
        uint32_t buffer = command;
        (void)kernel.SetSystemInformation(kSystemMemoryListInformation, &buffer, sizeof(buffer));
    }

    unsigned char combine[24] = {};
    (void)kernel.SetSystemInformation(kSystemCombinePhysicalMemoryInformation, combine, sizeof(combine));
}

}  // namespace tidewell
