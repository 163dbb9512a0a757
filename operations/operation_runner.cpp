#include "operations/operation_runner.h"

#include "operations/operation_flows.h"

std::atomic<int> pendingKind{NoOperation};
std::atomic<bool> workerThread{false};

void StartOperation(OperationKind kind) {
    if (workerThread.load())
        return;
    pendingKind = kind;
    // The mark is in place before the worker exists, so a worker that ends at once still leaves
    // the runner idle behind it.
    workerThread = true;
    if (!StartWorkerThread())
        workerThread = false;
}

void RunOperation() {
    RunFlow(static_cast<OperationKind>(pendingKind.load()));
    workerThread = false;
}
