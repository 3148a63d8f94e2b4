// The one clock of the program: a millisecond tick count that wraps at 2^32, and a sleep.
// The programs run on real time; tests install a VirtualClock so that a two-minute wait
// runs in microseconds and lands on exact tick values.
#pragma once

#include <atomic>
#include <cstdint>

namespace base {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t Now() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

// Milliseconds since some fixed point, modulo 2^32.
uint32_t GetTickCount();
void Sleep(uint32_t ms);

// Installs the clock used by GetTickCount and Sleep; nullptr restores real time.
// Returns the clock that was installed before.
Clock* SetClock(Clock* clock);

// Time that moves only when someone sleeps or the test advances it.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(uint32_t start = 0) : m_now(start) {}
    uint32_t Now() override { return m_now.load(); }
    void Sleep(uint32_t ms) override { m_now.fetch_add(ms); }
    void Advance(uint32_t ms) { m_now.fetch_add(ms); }
    void Set(uint32_t now) { m_now.store(now); }

private:
    std::atomic<uint32_t> m_now;
};

// Installs a virtual clock for the lifetime of the object.
class ScopedVirtualClock : public VirtualClock {
public:
    explicit ScopedVirtualClock(uint32_t start = 0) : VirtualClock(start) {
        m_previous = SetClock(this);
    }
    ~ScopedVirtualClock() override { SetClock(m_previous); }
    ScopedVirtualClock(const ScopedVirtualClock&) = delete;
    ScopedVirtualClock& operator=(const ScopedVirtualClock&) = delete;

private:
    Clock* m_previous = nullptr;
};

}  // namespace base
