#include "settings/SettingsFile.h"

#include "platform/DataLocation.h"
#include "settings/IniProfile.h"
#include "settings/SettingsKeys.h"

namespace mnemora {
namespace {

QString& PathSlot() {
    static QString path;
    return path;
}
bool& PathBuilt() {
    static bool built = false;
    return built;
}

// A component outside 0..255 reads as its default.
uint32_t Component(const char* key, uint32_t defaultValue) {
    const uint32_t v = ReadProfileInt(keys::kFloatWindow, key, defaultValue);
    return static_cast<int32_t>(v) < 0 || static_cast<int32_t>(v) > 255 ? defaultValue : v;
}

// The keys of a colour's three components in [FloatWindow].
struct ColorKeys {
    const char* red;
    const char* green;
    const char* blue;
};
constexpr ColorKeys kTextColor{keys::kTextR, keys::kTextG, keys::kTextB};
constexpr ColorKeys kBackgroundColor{keys::kBackGroundR, keys::kBackGroundG, keys::kBackGroundB};

bool WriteColor(const ColorKeys& color, uint8_t red, uint8_t green, uint8_t blue) {
    const bool r = WriteProfileUInt(keys::kFloatWindow, color.red, red);
    const bool g = WriteProfileUInt(keys::kFloatWindow, color.green, green);
    const bool b = WriteProfileUInt(keys::kFloatWindow, color.blue, blue);
    return r && g && b;
}

uint32_t ReadColor(const ColorKeys& color, uint32_t red, uint32_t green, uint32_t blue) {
    return Component(color.red, red) + Component(color.green, green) * 256u +
           Component(color.blue, blue) * 65536u;
}

} // namespace

QString SettingsPathFor(const QString& programFilePath) {
    if (programFilePath.isEmpty())
        return QString();
    const qsizetype slash = programFilePath.lastIndexOf(u'/');
    const qsizetype dot = programFilePath.lastIndexOf(u'.');
    // Only a dot inside the file name, and not its first character, starts an extension.
    if (dot > slash + 1)
        return programFilePath.left(dot + 1) + QStringLiteral("ini");
    return programFilePath + QStringLiteral(".ini");
}

const QString& GetSettingsPath() {
    if (!PathBuilt()) {
        PathSlot() = CurrentDataLocation().settingsPath;
        PathBuilt() = true;
    }
    return PathSlot();
}

void OverrideSettingsPath(const QString& path) {
    PathSlot() = path;
    PathBuilt() = true;
}

uint32_t ReadProfileInt(const char* section, const char* key, uint32_t defaultValue) {
    return ini::ParseProfileInt(ini::ReadValue(GetSettingsPath(), section, key), defaultValue);
}

bool WriteProfileUInt(const char* section, const char* key, uint32_t value) {
    return ini::WriteValue(GetSettingsPath(), section, key, QByteArray::number(value));
}

bool WriteRunTimes(uint32_t value) {
    return WriteProfileUInt(keys::kSoftware, keys::kRunTimes, value);
}

uint32_t ReadRunTimes() {
    return ReadProfileInt(keys::kSoftware, keys::kRunTimes, 0);
}

bool WriteFloatWindowPos(int32_t left, int32_t top) {
    const bool x = WriteProfileUInt(keys::kFloatWindow, keys::kFloatWindowLeft, static_cast<uint32_t>(left));
    const bool y = WriteProfileUInt(keys::kFloatWindow, keys::kFloatWindowTop, static_cast<uint32_t>(top));
    return x && y;
}

bool WriteTopMost(int flag) {
    return WriteProfileUInt(keys::kFloatWindow, keys::kTopMost, flag != 0 ? 1 : 0);
}

bool WriteShowSentence(int flag) {
    return WriteProfileUInt(keys::kFloatWindow, keys::kShowSentence, flag != 0 ? 1 : 0);
}

bool ReadTopMost() {
    return ReadProfileInt(keys::kFloatWindow, keys::kTopMost, 1) == 1;
}

bool ReadShowSentence() {
    return ReadProfileInt(keys::kFloatWindow, keys::kShowSentence, 1) == 1;
}

uint32_t ReadTransparent() {
    const auto alpha = static_cast<int32_t>(ReadProfileInt(keys::kFloatWindow, keys::kTransparent, 240));
    return alpha <= 10 || alpha > 255 ? 240u : static_cast<uint32_t>(alpha);
}

bool WriteTransparent(uint32_t alpha) {
    return WriteProfileUInt(keys::kFloatWindow, keys::kTransparent, alpha);
}

bool WriteTextColor(uint8_t red, uint8_t green, uint8_t blue) {
    return WriteColor(kTextColor, red, green, blue);
}

uint32_t ReadTextColor() {
    return ReadColor(kTextColor, 0, 0, 0);
}

bool WriteBackgroundColor(uint8_t red, uint8_t green, uint8_t blue) {
    return WriteColor(kBackgroundColor, red, green, blue);
}

uint32_t ReadBackgroundColor() {
    return ReadColor(kBackgroundColor, 221, 243, 255);
}

bool WriteWordList(uint32_t category, uint32_t index) {
    const bool c = WriteProfileUInt(keys::kWord, keys::kExamStudy, category);
    const bool i = WriteProfileUInt(keys::kWord, keys::kDBTable, index);
    return c && i;
}

int ReadExamStudy() {
    return ReadProfileInt(keys::kWord, keys::kExamStudy, 0) == 1 ? 1 : 0;
}

int ReadWordListIndex() {
    const uint32_t limit = ReadExamStudy() == 1 ? 4u : 8u;
    const uint32_t index = ReadProfileInt(keys::kWord, keys::kDBTable, 0);
    return index < limit ? static_cast<int>(index) : 0;
}

WordTimings ReadWordTimings() {
    uint32_t elapse = ReadProfileInt(keys::kWord, keys::kWordElapse, 8);
    if (elapse == 0 || elapse > 86400)
        elapse = 8;
    const uint32_t wordPeriod = elapse * 1000u;
    uint32_t meaningDelay = ReadProfileInt(keys::kWord, keys::kWordDelayChnTime, 4) * 1000u;
    if (meaningDelay >= wordPeriod)
        meaningDelay = wordPeriod / 2;
    return {wordPeriod, meaningDelay};
}

} // namespace mnemora
