#pragma once

// Sections and keys of the settings file; no other key is read or written.
namespace mnemora::keys {

inline constexpr char kVersion[] = "Version";
inline constexpr char kMnemora[] = "Mnemora";
inline constexpr char kDictionary[] = "Dictionary";

inline constexpr char kSoftware[] = "Software";
inline constexpr char kRunTimes[] = "RunTimes";

inline constexpr char kFloatWindow[] = "FloatWindow";
inline constexpr char kFloatWindowLeft[] = "FloatWindowLeft";
inline constexpr char kFloatWindowTop[] = "FloatWindowTop";
inline constexpr char kTopMost[] = "TOPMOST";
inline constexpr char kShowSentence[] = "ShowSentence";
inline constexpr char kTransparent[] = "Transparent";
inline constexpr char kTextR[] = "TextR";
inline constexpr char kTextG[] = "TextG";
inline constexpr char kTextB[] = "TextB";
inline constexpr char kBackGroundR[] = "BackGroundR";
inline constexpr char kBackGroundG[] = "BackGroundG";
inline constexpr char kBackGroundB[] = "BackGroundB";

inline constexpr char kWord[] = "Word";
inline constexpr char kExamStudy[] = "ExamStudy";
inline constexpr char kDBTable[] = "DBTable";
inline constexpr char kWordElapse[] = "WordElapse";
inline constexpr char kWordDelayChnTime[] = "WordDelayChnTime";

inline constexpr char kSpeech[] = "Speech";
inline constexpr char kSpeakWord[] = "SpeakWord";
inline constexpr char kSpeakSentences[] = "SpeakSentences";
inline constexpr char kRate[] = "Rate";
inline constexpr char kVoice[] = "Voice";
inline constexpr char kAway[] = "Away";
inline constexpr char kPauseWhenAway[] = "PauseWhenAway";
inline constexpr char kAwayMinutes[] = "AwayMinutes";
inline constexpr char kHideOnFullScreen[] = "HideOnFullScreen";

} // namespace mnemora::keys
