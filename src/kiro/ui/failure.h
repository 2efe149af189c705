// Exceptions stopped at the toolkit's edge: the platform calls a window's dispatch from its own
// frames (GTK signal handlers, the Win32 window procedure), which an exception must not unwind.
#pragma once

#include <exception>
#include <functional>

namespace kiro::ui {

// Keeps the first exception that reached the edge and ends the message loop, so the program
// leaves its loop and takes its normal error path.
void failLoop(std::exception_ptr error);

// Runs a task that the platform calls back (a task posted to the UI thread); an exception it
// lets escape goes to failLoop.
void runGuarded(const std::function<void()>& task);

// The kept exception, if any, handed over once (then none is kept).
std::exception_ptr takeLoopFailure();

}  // namespace kiro::ui
