// The wx backend for tests: one toolkit per process (started at first use, ended after
// the last test, before the program's statics go), and per test a scripted user acted out
// by the wx driver.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/ui/semantics.h"
#include "ui/wx/scripted_driver.h"
#include "ui/wx/wx_backend.h"

namespace uitest {

struct WxToolkit : testing::Environment {
    void TearDown() override { backend.reset(); }
    static ui::wx::WxBackend& Get() {
        static int argc = 1;
        static char name[] = "wx_test";
        static char* argv[] = {name, nullptr};
        if (!backend) backend = std::make_unique<ui::wx::WxBackend>(argc, argv);
        return *backend;
    }
    static inline std::unique_ptr<ui::wx::WxBackend> backend;
};
[[maybe_unused]] inline testing::Environment* const g_wxToolkit =
    testing::AddGlobalTestEnvironment(new WxToolkit);

class WxHarness : public Harness {
public:
    WxHarness()
        : m_backend(WxToolkit::Get()), m_driver(m_backend, m_user), m_installed(m_backend) {}
    ui::ScriptedUser& User() override { return m_user; }
    std::vector<std::string> TakeErrors() override {
        std::vector<std::string> errors = m_driver.TakeErrors();
        for (std::string& e : m_backend.TakeToolkitErrors()) errors.push_back("toolkit: " + e);
        if (!m_backend.Ready()) errors.push_back("no display: run under with_xvfb.sh");
        return errors;
    }
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
