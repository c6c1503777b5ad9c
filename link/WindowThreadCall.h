#pragma once

#include <functional>

// Runs `call` later on the window thread; for the reader thread, which must never touch a window
// itself. Returns at once.
void PostToWindowThread(std::function<void()> call);
