#include "tests/ui/win32/win32_harness.h"

namespace uitest {

ui::win32::Win32Backend& SharedWin32Backend() {
    static ui::win32::Win32Backend backend;
    return backend;
}

Win32Harness::Win32Harness()
    : m_backend(SharedWin32Backend()), m_driver(m_backend, m_user), m_installed(m_backend) {}

}  // namespace uitest
