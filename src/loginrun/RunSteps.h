#pragma once

#include <functional>

// The moments of a run after which a crash leaves the disk in another state. A test stops a run
// at one of them (with a real SIGKILL, in a process of its own) to see that the next start
// undoes what the run left.
enum class RunStep {
    Recorded,   // the journal holds the run, nothing has moved yet
    MovedAside, // the user's text is under the backup name
    Written,    // a rewrite's new file holds the passcodes, not yet in the script's place
    Replaced,   // the script holds the passcodes
    MovedBack,  // the user's text is back, the journal not yet told
};

using RunStepObserver = std::function<void(RunStep)>;

// Calls `observer` at every step from now on; returns the observer it replaces.
RunStepObserver SetRunStepObserver(RunStepObserver observer);
void ReachRunStep(RunStep step);
