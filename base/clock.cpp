#include "base/clock.h"

#include <chrono>
#include <thread>

namespace base {
namespace {

class RealClock : public Clock {
public:
    uint32_t Now() override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<uint32_t>(ms.count());
    }
    void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

RealClock g_realClock;
std::atomic<Clock*> g_clock{&g_realClock};

}  // namespace

uint32_t GetTickCount() { return g_clock.load()->Now(); }

void Sleep(uint32_t ms) { g_clock.load()->Sleep(ms); }

Clock* SetClock(Clock* clock) {
    Clock* previous = g_clock.exchange(clock ? clock : &g_realClock);
    return previous == &g_realClock ? nullptr : previous;
}

}  // namespace base
