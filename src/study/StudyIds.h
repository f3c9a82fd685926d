#pragma once

namespace mnemora {

// The float window's two study timers.
inline constexpr int kWordTimerId = 1124;
inline constexpr int kMeaningTimerId = 1125;

} // namespace mnemora
