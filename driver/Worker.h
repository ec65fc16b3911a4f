#pragma once
// The worker thread: it does the bus traffic that the non-blocking exports only
// request, in passes with a pause after each while there is work, and releases the
// driver's objects when it ends.

namespace baslink {

// Starts the worker at raised priority. False when its thread cannot be created.
bool StartWorker();

// Announces work for the worker's passes (an active point module, a queued write, a block to
// cache): a worker that had nothing left to do resumes its passes at once. Whoever adds such
// work calls it, after the work is in place.
void WakeWorker();

// Asks the worker to end. Without a worker the driver's objects are released here,
// so the stop completes either way.
void StopWorker();

// Waits until the worker has ended and released the driver's objects, and joins its
// thread, so that no thread of the library runs once its code is unloaded. The worker
// ends within its current step once stopped: every exchange ends by its reply time.
// A caller that holds SeccionCritica cannot wait (the worker needs the lock to finish):
// the worker is then left to end on its own, which is safe only when the process is
// ending. Unloading the library from inside one of its own calls is not supported: the
// calling thread would return into unloaded code itself.
void WaitForWorkerEnd();

}  // namespace baslink
