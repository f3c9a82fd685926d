#pragma once

#include "store/WordRecord.h"

namespace mnemora {

// Listens to what the study cycle shows and writes. The window attaches the parts that
// react to study events (speech, daily history, ...); each part keeps to its own concern
// and none may change the cycle's state from inside a notification.
class IStudyObserver {
public:
    virtual ~IStudyObserver() = default;

    // The word alone has just appeared. firstPass: this showing raised its counters.
    virtual void OnWordShown(const WordRecord& /*record*/, bool /*firstPass*/) {}
    // Example sentence 1 or 2 of record has just appeared under its meaning.
    virtual void OnSentenceShown(const WordRecord& /*record*/, int /*which*/) {}
    // The counters of the batch have just been written back (end of a batch, change of
    // list, or an orderly end of the run).
    virtual void OnBatchSaved() {}
};

} // namespace mnemora
