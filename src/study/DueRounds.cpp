#include "study/DueRounds.h"

namespace mnemora {

std::optional<uint64_t> RoundsUntilDue(uint32_t runTimes, uint32_t firstDue) {
    constexpr uint64_t kWrap = uint64_t{1} << 32;
    const uint64_t r = runTimes;
    const uint64_t m = firstDue;
    // Rounds before the clock passes 2^32: values r + 2j, rising.
    if (r + 2 < kWrap) {
        const uint64_t j = m > r + 2 ? (m - r + 1) / 2 : 1;
        if (r + 2 * j < kWrap)
            return j;
    }
    // The clock wraps at round w and then rises again from 0 or 1; if it passes 2^32
    // once more without reaching firstDue, the rounds repeat without end.
    const uint64_t w = (kWrap - r + 1) / 2;
    const uint64_t v = r + 2 * w - kWrap;
    const uint64_t more = m > v ? (m - v + 1) / 2 : 0;
    if (v + 2 * more < kWrap)
        return w + more;
    return std::nullopt;
}

} // namespace mnemora
