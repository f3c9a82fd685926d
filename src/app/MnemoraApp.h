#pragma once

namespace mnemora {

// Installs Qt's own Chinese texts (buttons, the font and colour dialogs), whatever the
// system's language; false, with one line on stderr, when they are not installed.
bool InstallQtTranslations();

// The program: builds the application object, runs the float window for the whole run
// and makes every end of the run but a crash save the study counters.
class CMnemoraApp final {
public:
    int Run(int& argc, char** argv);
};

} // namespace mnemora
