#pragma once

#include <QString>
#include <cstdint>

namespace mnemora {

// The settings file beside the program. Nothing is cached: every read goes to the file
// and every change is written at once, key by key, as "%u" text. Writers return true
// when the value reached the file; most callers may ignore it.

// Settings path for a program file: the file name's extension replaced by "ini", or
// ".ini" appended when the file name has none. Dots in folder names do not count.
QString SettingsPathFor(const QString& programFilePath);

// The settings path of this process, built on the first call and kept.
const QString& GetSettingsPath();
// Pins the settings path (tests, tools); later GetSettingsPath calls return it.
void OverrideSettingsPath(const QString& path);

// The stored 32-bit value of a key, or defaultValue when file, section or key is absent.
uint32_t ReadProfileInt(const char* section, const char* key, uint32_t defaultValue);
// Writes value as unsigned decimal text.
bool WriteProfileUInt(const char* section, const char* key, uint32_t value);

bool WriteRunTimes(uint32_t value);
uint32_t ReadRunTimes();
bool WriteFloatWindowPos(int32_t left, int32_t top);
bool WriteTopMost(int flag);
bool WriteShowSentence(int flag);
bool ReadTopMost();
bool ReadShowSentence();
// Opacity 0..255; 10 or less, or above 255, reads as 240.
uint32_t ReadTransparent();
bool WriteTransparent(uint32_t alpha);

// Colour values pack red + green * 256 + blue * 65536.
bool WriteTextColor(uint8_t red, uint8_t green, uint8_t blue);
uint32_t ReadTextColor();
bool WriteBackgroundColor(uint8_t red, uint8_t green, uint8_t blue);
uint32_t ReadBackgroundColor();

bool WriteWordList(uint32_t category, uint32_t index);
// The category of the selected list: 1 only for a stored 1, else 0.
int ReadExamStudy();
// The list index within the category read from ExamStudy; out-of-range values give 0.
int ReadWordListIndex();

// The playback timings in milliseconds, with the repair rules applied.
struct WordTimings {
    uint32_t wordPeriod;
    uint32_t meaningDelay;
};
WordTimings ReadWordTimings();

} // namespace mnemora
