#include "platform/background_work.h"

namespace {
// Everything runs on the browser's main thread: the step is simply called when it is due.
bool (*backgroundStep)() = nullptr;
}  // namespace

bool StartBackgroundWork(bool (*step)(), int) {
    backgroundStep = step;
    return true;
}

void StopBackgroundWork() { backgroundStep = nullptr; }

void RunDueBackgroundWork() {
    // A step that ends the work may also start the next one; only the same work is forgotten.
    bool (*const step)() = backgroundStep;
    if (step != nullptr && !step() && backgroundStep == step) backgroundStep = nullptr;
}
