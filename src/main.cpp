#include "app/MnemoraApp.h"

int main(int argc, char** argv) {
    mnemora::CMnemoraApp app;
    return app.Run(argc, argv);
}
