#include <windows.h>

#include "memory/kernel.h"

namespace tidewell {
namespace {

using NtQueryFn = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
using NtSetFn = LONG(NTAPI*)(ULONG, PVOID, ULONG);

constexpr NtStatus kStatusProcedureNotFound = static_cast<NtStatus>(0xC000007A);

// ntdll's system-information calls are not in the import libraries' documented
// set; resolve them once at run time.
template <typename Fn>
Fn Resolve(const char* name) {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, name))) : nullptr;
}

NtStatus Query(uint32_t infoClass, void* buffer, uint32_t length, uint32_t* returnLength) {
    static const auto fn = Resolve<NtQueryFn>("NtQuerySystemInformation");
    if (!fn) return kStatusProcedureNotFound;
    ULONG returned = 0;
    const LONG status = fn(infoClass, buffer, length, returnLength ? &returned : nullptr);
    if (returnLength) *returnLength = returned;
    return status;
}

NtStatus Set(uint32_t infoClass, void* buffer, uint32_t length) {
    static const auto fn = Resolve<NtSetFn>("NtSetSystemInformation");
    return fn ? fn(infoClass, buffer, length) : kStatusProcedureNotFound;
}

bool MemoryStatus(MemoryStatusEx* status) {
    static_assert(sizeof(MEMORYSTATUSEX) == sizeof(MemoryStatusEx));
    return ::GlobalMemoryStatusEx(reinterpret_cast<MEMORYSTATUSEX*>(status)) != FALSE;
}

}  // namespace

const KernelApi& PlatformKernel() noexcept {
    static const KernelApi api{&Query, &Set, &MemoryStatus};
    return api;
}

}  // namespace tidewell
