#pragma once

#include <condition_variable>
#include <mutex>

namespace plexor {

// Keeps the worker and the UI thread apart: the worker handles a queue entry
// only inside the gate, and the UI thread holds the gate shut while it
// releases or replaces what the worker uses, or reads what the worker writes.
//
// A hold waits for the entry in progress to finish; from then on the worker
// starts no entry until the last hold ends. A waiting hold has priority over
// the worker's next entry, so a long queue cannot starve the UI thread.
// Holds nest on the UI thread.
class WorkerGate {
public:
    // Worker side: blocks while the UI thread holds or wants the gate.
    void enterEntry();
    void leaveEntry();

    // UI side; use WorkerHold rather than these.
    void hold();
    void release();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool workerInside_ = false;
    int holds_ = 0;
    int holdsWaiting_ = 0;
};

// One side of the gate held for a scope.
template <void (WorkerGate::*enter)(), void (WorkerGate::*leave)()>
class GateScope {
public:
    explicit GateScope(WorkerGate& gate) : gate_(gate) { (gate_.*enter)(); }
    ~GateScope() { (gate_.*leave)(); }
    GateScope(const GateScope&) = delete;
    GateScope& operator=(const GateScope&) = delete;

private:
    WorkerGate& gate_;
};

// The UI thread's way to keep the worker off the model for a scope.
using WorkerHold = GateScope<&WorkerGate::hold, &WorkerGate::release>;
// The worker's side of the gate for one queue entry.
using EntryScope = GateScope<&WorkerGate::enterEntry, &WorkerGate::leaveEntry>;

} // namespace plexor
