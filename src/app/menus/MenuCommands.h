#pragma once

#include "study/StudyIds.h" // the study commands: show/hide, options, statistics, play modes

namespace mnemora::cmd {

// The remaining command ids of both context menus; every one is sent to the float window.
inline constexpr int kExit = 32775;            // "退出(&Q)"
inline constexpr int kAbout = 32777;           // "关于(&A)"
inline constexpr int kTopMost = 32787;         // "窗口总在最前端(&T)"
inline constexpr int kTextColor = 32792;       // "字体颜色"
inline constexpr int kBackColor = 32795;       // "背景颜色"
inline constexpr int kShowSentence = 32804;    // "显示例句"
inline constexpr int kBackTransparent = 32806; // "背景透明"
inline constexpr int kSpeakWord = 32807;       // "朗读单词"
inline constexpr int kKnowWord = 32808;        // "我认识这个词"
inline constexpr int kUndoKnowWord = 32809;    // "撤销"
inline constexpr int kProgress = 32810;        // "学习进度"

// The window-menu About entry; window-menu ids are compared with their low four bits cleared.
inline constexpr int kSysAbout = 0x0010;
inline constexpr char kSysAboutText[] = "&About Mnemora...";

} // namespace mnemora::cmd
