#pragma once
// Runs one finger operation at a time on a background thread.
#include <atomic>

enum OperationKind : int {
    NoOperation = 0,
    HostEnroll = 1,
    HostCapture = 2,
    ModuleEnroll = 3,
    ModuleVerify = 4,
    ModuleIdentify = 5,
};

// The kind the next worker runs: written before the worker starts, read once by it.
extern std::atomic<int> pendingKind;
// The busy mark: set before the worker can run, cleared as the worker's very last act.
extern std::atomic<bool> workerThread;

// Starts kind on a new worker thread; while a worker runs, the request is dropped without a trace.
// A thread that cannot be created leaves the runner idle.
void StartOperation(OperationKind kind);

// The worker's body: runs the flow of pendingKind, then clears the busy mark.
void RunOperation();

// The platform's thread start: 1 when a thread running RunOperation was created.
int StartWorkerThread();
