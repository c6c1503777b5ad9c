#pragma once

#include <string>

class SimLoop;

// Runs the loop on a thread of its own while the window thread shows the live view. Either end
// stops the other: closing the window stops the loop, and the loop's end (a signal, a hang-up)
// closes the window. Returns the loop's exit status.
int runSimView(SimLoop& loop, int signalFd, const std::string& title, const char* program);
