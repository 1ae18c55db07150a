#include "NestedLoops.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

struct DeferredWork {
    const void* owner;
    std::function<void()> work;
};

struct StackState {
    int depth = 0;
    bool refusingLoops = false;
    bool runningDeferred = false;
    std::vector<CModalGate*> gates; // innermost last
    std::vector<DeferredWork> deferred;
};

StackState& State()
{
    static StackState state;
    return state;
}

// The work waits for the outermost scope; work that opens a scope of its own does not run the
// queue again from inside.
void RunDeferredWork()
{
    StackState& state = State();
    if (state.runningDeferred)
        return;
    state.runningDeferred = true;
    while (state.depth == 0 && !state.deferred.empty()) {
        std::function<void()> work = std::move(state.deferred.front().work);
        state.deferred.erase(state.deferred.begin());
        work();
    }
    state.runningDeferred = false;
}

void Leave()
{
    if (--State().depth == 0)
        RunDeferredWork();
}

} // namespace

CModalGate::CModalGate() : m_bMayOpen(!State().refusingLoops)
{
    ++State().depth;
    State().gates.push_back(this);
}

CModalGate::~CModalGate()
{
    std::vector<CModalGate*>& gates = State().gates;
    gates.erase(std::remove(gates.begin(), gates.end(), this), gates.end());
    Leave();
}

void CModalGate::Close()
{
    if (m_bClosed)
        return;
    m_bClosed = true;
    if (m_close)
        m_close();
}

CHandlerScope::CHandlerScope()
{
    ++State().depth;
}

CHandlerScope::~CHandlerScope()
{
    Leave();
}

bool IsUnwound()
{
    return State().depth == 0;
}

void WhenUnwound(const void* owner, std::function<void()> work)
{
    State().deferred.push_back({owner, std::move(work)});
    if (IsUnwound())
        RunDeferredWork();
}

void ForgetDeferredWork(const void* owner)
{
    std::vector<DeferredWork>& deferred = State().deferred;
    deferred.erase(std::remove_if(deferred.begin(), deferred.end(),
                                  [owner](const DeferredWork& item) { return item.owner == owner; }),
                   deferred.end());
}

void CloseNestedLoops()
{
    State().refusingLoops = true;
    // By index, innermost first: a gate may go while another one closes.
    const std::vector<CModalGate*>& gates = State().gates;
    for (std::size_t i = gates.size(); i-- > 0;)
        if (i < gates.size())
            gates[i]->Close();
}

void ReopenNestedLoops()
{
    State().refusingLoops = false;
}
