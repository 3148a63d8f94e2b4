// The wx backend for tests: one toolkit per process (started at first use, ended after
// the last test), and per test a scripted user acted out by the wx driver.
#pragma once

#include <string>
#include <vector>

#include "tests/ui/semantics.h"
#include "ui/wx/scripted_driver.h"
#include "ui/wx/wx_backend.h"

namespace uitest {

ui::wx::WxBackend& SharedWxBackend();

class WxHarness : public Harness {
public:
    WxHarness();
    ui::ScriptedUser& User() override { return m_user; }
    std::vector<std::string> TakeErrors() override;
    const std::vector<std::string>& Log() override { return m_driver.Log(); }
    ui::wx::WxBackend& Backend() { return m_backend; }
    ui::wx::ScriptedDriver& Driver() { return m_driver; }

private:
    ui::wx::WxBackend& m_backend;
    ui::ScriptedUser m_user;
    ui::wx::ScriptedDriver m_driver;
    ui::ScopedBackend m_installed;
};

}  // namespace uitest
