// The Win32 backend: the shared suite on it.
#include "tests/ui/win32/win32_harness.h"

namespace uitest {
namespace {

std::unique_ptr<Harness> MakeWin32() { return std::make_unique<Win32Harness>(); }

INSTANTIATE_TEST_SUITE_P(Backend, UiSemantics, testing::Values(&MakeWin32),
                         [](const auto&) { return std::string("Win32"); });

}  // namespace
}  // namespace uitest
