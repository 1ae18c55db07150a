#pragma once

#include <functional>

// What is on the call stack of the user-interface thread: the nested event loops the program
// runs (modal dialogs, message boxes, popup menus, file dialogs), each inside a CModalGate, and
// the handlers of its windows, each inside a CHandlerScope. A window that frees itself, and the
// program's end, wait until neither is on the stack, so no handler or loop ever returns into a
// freed window.

// One nested loop. The loop's owner creates the gate first and runs the loop only when
// MayOpen(); SetClose tells the gate how to end the loop early.
class CModalGate {
public:
    CModalGate();
    ~CModalGate();
    CModalGate(const CModalGate&) = delete;
    CModalGate& operator=(const CModalGate&) = delete;

    // False once the program is ending: the loop must not start and its owner answers Cancel.
    bool MayOpen() const { return m_bMayOpen; }
    // How to end this loop while it runs; called at most once.
    void SetClose(std::function<void()> close) { m_close = std::move(close); }
    // True when the loop was ended by CloseNestedLoops, not by the user.
    bool WasClosed() const { return m_bClosed; }

private:
    friend void CloseNestedLoops();
    void Close();

    std::function<void()> m_close;
    bool m_bMayOpen;
    bool m_bClosed = false;
};

// A handler of one of the program's windows is running.
class CHandlerScope {
public:
    CHandlerScope();
    ~CHandlerScope();
    CHandlerScope(const CHandlerScope&) = delete;
    CHandlerScope& operator=(const CHandlerScope&) = delete;
};

// True when no nested loop and no handler is on the stack.
bool IsUnwound();
// Runs `work` once IsUnwound(): at once when it already is, else when the last loop or handler
// returns. `owner` names the object the work belongs to, for ForgetDeferredWork.
void WhenUnwound(const void* owner, std::function<void()> work);
// Drops the work of `owner` that has not run yet (the owner is going away).
void ForgetDeferredWork(const void* owner);
// Ends every open nested loop, innermost first, and refuses new ones until ReopenNestedLoops.
void CloseNestedLoops();
void ReopenNestedLoops();
