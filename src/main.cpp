#include "app/MnemoraApp.h"

#include <cstdio>
#include <cstring>

#ifndef MNEMORA_VERSION
#define MNEMORA_VERSION "0"
#endif

int main(int argc, char** argv) {
    // Answered before anything else runs: no lock, no settings file, no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("mnemora %s\n", MNEMORA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(
                "Usage: mnemora [--help] [--version]\n"
                "A desktop vocabulary trainer: a float window shows English words with their\n"
                "pronunciation, Chinese meaning and example sentences.\n\n"
                "  --help     show this help and exit\n"
                "  --version  show the version and exit\n\n"
                "Settings and word lists live beside the program when its folder is writable\n"
                "and holds db/; otherwise in $XDG_CONFIG_HOME/mnemora and $XDG_DATA_HOME/mnemora/db.\n");
            return 0;
        }
    }
    mnemora::CMnemoraApp app;
    return app.Run(argc, argv);
}
