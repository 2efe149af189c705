// Exceptions stopped at the toolkit's edge: the platform calls a window's dispatch from its own
// frames (GTK signal handlers, the Win32 window procedure), which an exception must not unwind.
#pragma once

#include <exception>

namespace kiro::ui {

// Keeps the first exception that reached the edge and ends the message loop, so the program
// leaves its loop and takes its normal error path.
void failLoop(std::exception_ptr error);

// The kept exception, if any, handed over once (then none is kept).
std::exception_ptr takeLoopFailure();

}  // namespace kiro::ui
