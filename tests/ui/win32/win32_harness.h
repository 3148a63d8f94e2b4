// The Win32 backend for tests: one backend per process, and per test a scripted user
// acted out by the Win32 driver.
#pragma once

#include <string>
#include <vector>

#include "tests/ui/semantics.h"
#include "ui/win32/scripted_driver.h"
#include "ui/win32/win32_backend.h"

namespace uitest {

inline ui::win32::Win32Backend& SharedWin32Backend() {
    static ui::win32::Win32Backend backend;
    return backend;
}

class Win32Harness : public Harness {
public:
    Win32Harness() : m_driver(SharedWin32Backend(), m_user), m_installed(SharedWin32Backend()) {}
    ui::ScriptedUser& User() override { return m_user; }
    std::vector<std::string> TakeErrors() override { return m_driver.TakeErrors(); }
    const std::vector<std::string>& Log() override { return m_driver.Log(); }

private:
    ui::ScriptedUser m_user;
    ui::win32::ScriptedDriver m_driver;
    ui::ScopedBackend m_installed;
};

}  // namespace uitest
