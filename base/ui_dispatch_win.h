#pragma once
// Hands steps from worker threads to the user-interface thread and waits for
// them, the way the window's workers report back. No worker touches the
// window's state directly: it runs a step here.

#include <functional>

namespace tidewell {

// Call on the user-interface thread before any worker starts. Creates the
// message-only window that receives the handed steps. A new interface after a
// shutdown starts with the termination flag clear, and the workers of the
// earlier one can no longer hand it anything.
void InstallUiDispatcher();

// The user-interface side is going away: every waiting and every later step is
// dropped (RunOnUiThread answers false). A step already running finishes.
void ShutdownUiDispatcher();

// Runs the step on the user-interface thread and waits until it has run. On the
// user-interface thread itself it runs at once. False when the step was dropped.
bool RunOnUiThread(std::function<void()> step);

// The application's termination flag, read by workers between their waits.
void RequestTermination() noexcept;
[[nodiscard]] bool TerminationRequested() noexcept;

// A worker thread that frees itself; the work runs inside a catch-all.
void StartWorker(std::function<void()> work);

}  // namespace tidewell
