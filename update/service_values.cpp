#include "update/service_values.h"

#include <mutex>

namespace tidewell {
namespace {

// A hold request may still be reading the endpoint on its worker when the
// values are set again (tests start several exchanges in one process).
std::mutex g_mutex;
Text g_endpoint;
int g_offset = 0;

}  // namespace

void SetServiceValues(const Text& endpoint, int layoutOffset) {
    std::lock_guard lock(g_mutex);
    g_endpoint = endpoint;
    g_offset = layoutOffset;
}

Text ServiceEndpoint() {
    std::lock_guard lock(g_mutex);
    return g_endpoint;
}

int ServiceLayoutOffset() {
    std::lock_guard lock(g_mutex);
    return g_offset;
}

}  // namespace tidewell
