#include "RunSteps.h"

namespace {

RunStepObserver& Observer()
{
    static RunStepObserver observer;
    return observer;
}

} // namespace

RunStepObserver SetRunStepObserver(RunStepObserver observer)
{
    std::swap(Observer(), observer);
    return observer;
}

void ReachRunStep(RunStep step)
{
    if (Observer())
        Observer()(step);
}
