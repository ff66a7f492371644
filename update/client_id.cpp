#include "update/client_id.h"

namespace tidewell {
namespace {

void AppendHex(Text& out, uint32_t value, int digits) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xF]);
}

void AppendTwoDigits(Text& out, int value) {
    out.push_back(static_cast<char16_t>(u'0' + value / 10 % 10));
    out.push_back(static_cast<char16_t>(u'0' + value % 10));
}

}  // namespace

Text MakeClientId(const RandomDraw& draw, const LocalClock& now) {
    Text id;
    id.reserve(kClientIdLength);
    AppendHex(id, draw(kClientIdWideMax), 8);
    const CivilTime date = now();
    AppendTwoDigits(id, date.year % 100);
    AppendTwoDigits(id, date.month);
    AppendTwoDigits(id, date.day);
    AppendHex(id, draw(kClientIdNarrowMax), 4);
    const CivilTime time = now();
    AppendTwoDigits(id, time.hour);
    AppendTwoDigits(id, time.minute);
    AppendTwoDigits(id, time.second);
    AppendHex(id, draw(kClientIdWideMax), 8);
    return id;
}

ClientIdRandom::ClientIdRandom(uint64_t seed) : engine_(seed) {}

uint32_t ClientIdRandom::Draw(uint32_t maxInclusive) {
    std::lock_guard lock(mutex_);
    return std::uniform_int_distribution<uint32_t>(0, maxInclusive)(engine_);
}

}  // namespace tidewell
