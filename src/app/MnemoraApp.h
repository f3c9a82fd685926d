#pragma once

namespace mnemora {

// The program: builds the application object, runs the float window for the whole run
// and makes every end of the run but a crash save the study counters.
class CMnemoraApp final {
public:
    int Run(int& argc, char** argv);
};

} // namespace mnemora
