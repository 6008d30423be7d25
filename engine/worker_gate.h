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
//
// The worker computes a live frame in steps, each inside the gate too, but
// a frame writes nothing the UI thread reads: it conflicts only with holds
// that release or replace what it uses. A read hold, which only keeps the
// worker from writing the picture while the UI thread reads it (a refresh),
// neither waits for a frame nor stops one.
class WorkerGate {
public:
    // Worker side: block while the UI thread holds or wants the gate (for
    // a frame's step, while it holds or wants it to replace something).
    void enterEntry();
    void leaveEntry();
    void enterFrame();
    void leaveFrame();

    // UI side; use WorkerHold and WorkerReadHold rather than these.
    void hold() { take(true); }
    void release() { give(true); }
    void holdReads() { take(false); }
    void releaseReads() { give(false); }

private:
    template <class Open>
    void enter(bool& inside, Open&& open);
    void leave(bool& inside);
    void take(bool replaces);
    void give(bool replaces);

    std::mutex mutex_;
    std::condition_variable changed_;
    bool workerInside_ = false;
    bool frameInside_ = false;
    int holds_ = 0;        // of either kind, nested
    int replacing_ = 0;    // of them, those that replace
    int holdsWaiting_ = 0; // of either kind
    int replacingWaiting_ = 0;
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

// The UI thread's way to keep the worker off the picture and the grid for a
// scope: no entry, no step of a frame.
using WorkerHold = GateScope<&WorkerGate::hold, &WorkerGate::release>;
// The UI thread's way to read what the worker writes: no entry meanwhile.
using WorkerReadHold = GateScope<&WorkerGate::holdReads, &WorkerGate::releaseReads>;
// The worker's side of the gate for one queue entry, and for one step of a
// live frame.
using EntryScope = GateScope<&WorkerGate::enterEntry, &WorkerGate::leaveEntry>;
using FrameScope = GateScope<&WorkerGate::enterFrame, &WorkerGate::leaveFrame>;

} // namespace plexor
