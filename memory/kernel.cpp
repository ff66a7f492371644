#include "memory/kernel.h"

#include <atomic>

namespace tidewell {
namespace {

std::atomic<const KernelApi*> g_kernel{nullptr};

}  // namespace

const KernelApi& Kernel() noexcept {
    const KernelApi* api = g_kernel.load(std::memory_order_acquire);
    return api ? *api : PlatformKernel();
}

KernelOverride::KernelOverride(const KernelApi& api) noexcept
    : previous_(g_kernel.exchange(&api, std::memory_order_acq_rel)) {}

KernelOverride::~KernelOverride() { g_kernel.store(previous_, std::memory_order_release); }

#ifndef _WIN32
// Off Windows there is no kernel to ask: every call fails, which the snapshot
// and the clean treat like any refused call.
const KernelApi& PlatformKernel() noexcept {
    static const KernelApi api{
        [](uint32_t, void*, uint32_t, uint32_t*) -> NtStatus { return static_cast<NtStatus>(0xC0000002); },
        [](uint32_t, void*, uint32_t) -> NtStatus { return static_cast<NtStatus>(0xC0000002); },
        [](MemoryStatusEx*) { return false; },
    };
    return api;
}
#endif

}  // namespace tidewell
