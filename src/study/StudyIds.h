#pragma once

namespace mnemora {

// The float window's two study timers.
inline constexpr int kWordTimerId = 1124;
inline constexpr int kMeaningTimerId = 1125;

// The menu commands the study cycle handles; the other command ids are the window's.
namespace cmd {
inline constexpr int kFloatWindow = 32772;   // "悬浮窗(&F)": show or hide
inline constexpr int kOptions = 32773;       // "选项设置(&S)"
inline constexpr int kLearningStats = 32797; // "学习状态"
inline constexpr int kAutoPlay = 32801;      // "自动播放"
inline constexpr int kManualPlay = 32802;    // "手动播放"
} // namespace cmd

} // namespace mnemora
