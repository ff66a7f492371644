// What one status tick costs beside the two system queries it is built around.
//
// The tick's own work (snapshot arithmetic, three formatted lines, the bar, the
// policy decision and the control updates) runs against an in-memory kernel, so
// no system call is timed in it. The baseline is the closest Linux counterpart
// of the tick's two queries: one read of /proc/meminfo (GlobalMemoryStatusEx)
// and one sysinfo() call (the file-cache query). Both are measured in this run
// and only their ratio is meant to be compared between runs.
//
//   status_tick_bench [--iterations=N]

#include <fcntl.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "app/frm_tidewell.h"
#include "app/status_format.h"
#include "memory/kernel.h"
#include "tests/unit/fake_host.h"

namespace {

using Clock = std::chrono::steady_clock;

// A fixed machine: 16 GiB with 11.3 GiB in use, a busy page file, a file cache
// below its peak. The answers cost no system call.
const tidewell::KernelApi kInMemoryKernel{
    [](uint32_t infoClass, void* buffer, uint32_t length, uint32_t*) -> tidewell::NtStatus {
        if (infoClass != tidewell::kSystemFileCacheInformation ||
            length != sizeof(tidewell::SystemFileCacheInformation)) {
            return static_cast<tidewell::NtStatus>(0xC0000003);
        }
        auto* cache = static_cast<tidewell::SystemFileCacheInformation*>(buffer);
        cache->CurrentSize = 1'234'567'890;
        cache->PeakSize = 2'345'678'901;
        return 0;
    },
    [](uint32_t, void*, uint32_t) -> tidewell::NtStatus { return 0; },
    [](tidewell::MemoryStatusEx* status) {
        status->ullTotalPhys = 17'179'869'184;
        status->ullAvailPhys = 5'012'345'678;
        status->ullTotalPageFile = 25'769'803'776;
        status->ullAvailPageFile = 9'876'543'210;
        status->ullTotalVirtual = 140'737'488'224'256;
        status->ullAvailVirtual = 140'000'000'000'000;
        return true;
    },
};

// Keeps the baseline's results alive so the calls are not optimised away.
volatile uint64_t g_sink = 0;

void QueryLikeTheTick() {
    char buffer[4096];
    const int fd = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        const ssize_t n = ::read(fd, buffer, sizeof(buffer));
        ::close(fd);
        if (n > 0) g_sink = g_sink + static_cast<uint64_t>(buffer[n / 2]);
    }
    struct sysinfo info {};
    if (::sysinfo(&info) == 0) g_sink = g_sink + info.bufferram;
}

template <typename F>
double MedianNanoseconds(int iterations, int rounds, F&& work) {
    std::vector<double> perCall;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        for (int i = 0; i < iterations; ++i) work();
        const std::chrono::duration<double, std::nano> elapsed = Clock::now() - start;
        perCall.push_back(elapsed.count() / iterations);
    }
    std::sort(perCall.begin(), perCall.end());
    return perCall[perCall.size() / 2];
}

int ParseIterations(int argc, char** argv) {
    constexpr std::string_view kFlag = "--iterations=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with(kFlag)) return std::max(1, std::atoi(argv[i] + kFlag.size()));
    }
    return 20000;
}

}  // namespace

int main(int argc, char** argv) {
    const int iterations = ParseIterations(argc, argv);
    constexpr int kRounds = 7;

    tidewell::testing::FakeHost host;
    tidewell::TFrmTidewell form(host);
    form.FmtPhysStatus = tidewell::kPhysStatusSourceFormat;
    // Every rule of the policy is evaluated: all four options on, none reached,
    // and the last clean long enough ago that only the limits decide.
    form.ChkUsagePhys->SetChecked(true);
    form.ChkUsagePage->SetChecked(true);
    form.ChkUsageWork->SetChecked(true);
    form.ChkMinute->SetChecked(true);
    form.EditUsagePhys->SetItemIndex(6);
    form.EditUsagePage->SetItemIndex(6);
    form.EditUsageWork->SetItemIndex(6);
    form.EditMinute->SetItemIndex(6);
    form.NextTime = host.now - 600.0 / 86400.0;

    double tickNs = 0;
    {
        tidewell::KernelOverride kernel(kInMemoryKernel);
        form.TmrStatusTimer(form.TmrStatus);  // warm-up
        tickNs = MedianNanoseconds(iterations, kRounds, [&] { form.TmrStatusTimer(form.TmrStatus); });
    }
    QueryLikeTheTick();  // warm-up
    const double baselineNs = MedianNanoseconds(iterations, kRounds, QueryLikeTheTick);

    if (form.IsRunning() || !host.workers.empty()) {
        std::fprintf(stderr, "the tick started a clean; the measurement would include it\n");
        return 1;
    }

    std::printf("status tick benchmark, %d iterations x %d rounds (median round)\n", iterations, kRounds);
    std::printf("baseline: one read of /proc/meminfo + one sysinfo() call, the Linux counterparts of the tick's\n"
                "          GlobalMemoryStatusEx and file-cache query\n");
    std::printf("tick's own work (snapshot arithmetic, 3 lines, bar, policy, control updates) / baseline = %.3f\n",
                tickNs / baselineNs);
    std::printf("last physical line: %s\n", tidewell::TextToUtf8(form.LblPhysStatus->Caption()).c_str());
#if defined(__SANITIZE_ADDRESS__)
    std::printf("note: built with AddressSanitizer, which slows the tick's own code far more than the system calls;\n"
                "      compare ratios from builds without it\n");
#endif
    return 0;
}
