// Preloaded into a test to make the two orders that Qt's event queue leaves to chance happen
// every time: a thread other than the window thread that wakes a glib main context sleeps before
// the real wake-up (the window thread, already awake, takes the event without it) or after it
// (the window thread runs the call before the poster has let go of it). MRV508_WAKEUP_DELAY says
// which: "before" or "after".
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <string_view>
#include <thread>
#include <unistd.h>

extern "C" void g_main_context_wakeup(void* context)
{
    using Wakeup = void (*)(void*);
    static const auto realWakeup =
        reinterpret_cast<Wakeup>(dlsym(RTLD_NEXT, "g_main_context_wakeup"));
    static const char* const setting = std::getenv("MRV508_WAKEUP_DELAY");
    const std::string_view when = setting ? setting : "";
    const bool windowThread = gettid() == getpid();
    const auto delay = [] { std::this_thread::sleep_for(std::chrono::milliseconds(30)); };

    if (!windowThread && when == "before")
        delay();
    realWakeup(context);
    if (!windowThread && when == "after")
        delay();
}
