#pragma once
// The worker thread: it does the bus traffic that the non-blocking exports only
// request, in passes with a pause after each, and releases the driver's objects
// when it ends.

#include <chrono>

namespace baslink {

// Starts the worker at raised priority. False when its thread cannot be created.
bool StartWorker();

// Asks the worker to end. Without a worker the driver's objects are released here,
// so the stop completes either way.
void StopWorker();

// Waits, for `limit` at most, until the worker has ended and released the driver's
// objects, and then lets its thread go.
void WaitForWorkerEnd(std::chrono::milliseconds limit);

}  // namespace baslink
