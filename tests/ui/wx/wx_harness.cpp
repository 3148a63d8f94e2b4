#include "tests/ui/wx/wx_harness.h"

#include <memory>

namespace uitest {
namespace {

std::unique_ptr<ui::wx::WxBackend> g_backend;

// The toolkit ends after the last test, before the program's statics go.
class WxEnvironment : public testing::Environment {
public:
    void TearDown() override { g_backend.reset(); }
};
[[maybe_unused]] testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new WxEnvironment);

}  // namespace

ui::wx::WxBackend& SharedWxBackend() {
    if (!g_backend) {
        static int argc = 1;
        static char name[] = "wx_test";
        static char* argv[] = {name, nullptr};
        g_backend = std::make_unique<ui::wx::WxBackend>(argc, argv);
    }
    return *g_backend;
}

WxHarness::WxHarness()
    : m_backend(SharedWxBackend()), m_driver(m_backend, m_user), m_installed(m_backend) {}

std::vector<std::string> WxHarness::TakeErrors() {
    std::vector<std::string> errors = m_driver.TakeErrors();
    for (std::string& e : m_backend.TakeToolkitErrors()) errors.push_back("toolkit: " + e);
    if (!m_backend.Ready()) errors.push_back("no display: run under with_xvfb.sh");
    return errors;
}

}  // namespace uitest
