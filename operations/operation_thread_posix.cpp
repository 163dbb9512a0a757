#include <pthread.h>

#include "operations/operation_runner.h"

static void* RunOperationThread(void*) {
    RunOperation();
    return nullptr;
}

int StartWorkerThread() {
    pthread_t thread;
    if (pthread_create(&thread, nullptr, RunOperationThread, nullptr) != 0)
        return 0;
    // Nobody joins the worker.
    pthread_detach(thread);
    return 1;
}
