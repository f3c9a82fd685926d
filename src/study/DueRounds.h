#pragma once

#include <cstdint>
#include <optional>

namespace mnemora {

// After a whole walk of a table has found nothing due at clock value R, every further
// round (one empty-batch increase, then one increase at the wrap) walks at R + 2j,
// modulo 2^32. Returns the first j >= 1 at which that value reaches firstDue (the
// smallest toShowTime among the unlearnt rows), or nothing when it never does: the
// values keep R's parity, so a clock of even parity never reaches 0xFFFFFFFF.
std::optional<uint64_t> RoundsUntilDue(uint32_t runTimes, uint32_t firstDue);

} // namespace mnemora
