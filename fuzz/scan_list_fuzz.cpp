// The network list filled from a scan reply, on the headless backend: whatever the reply,
// the list is filled within its bounds (columns a screen can show, at most 256 rows) or
// the reply is refused and the list shows only its flag column.
#include <string>

#include "app/resource.h"
#include "app/templates.h"
#include "base/clock.h"
#include "fuzz/seeds.h"
#include "settings/ap_dialogs.h"
#include "ui/app.h"
#include "ui/headless/headless_backend.h"

namespace {

std::vector<uint8_t> Scan(int32_t rows, const std::string& text) {
    std::vector<uint8_t> b(16, 0);
    uint32_t words[4] = {static_cast<uint32_t>(rows), 0, static_cast<uint32_t>(text.size()) - 4, 0};
    for (int w = 0; w < 4; ++w)
        for (int i = 0; i < 4; ++i) b[4 * w + i] = static_cast<uint8_t>(words[w] >> (8 * i));
    b.insert(b.end(), text.begin(), text.end());
    return b;
}

// One backend per input: it keeps every dialog it ran for the tests to look at.
struct Harness {
    base::ScopedVirtualClock clock{1000};
    ui::headless::HeadlessBackend backend;
    ui::ScopedBackend scope{backend};
    Harness() {
        // Every opening: look at the filled list, then close it.
        backend.User()
            .OnDialog(IDD_AP_LIST, 0)
            .Call([this] {
                const auto* list = backend.FindDialog(IDD_AP_LIST)->Control(IDC_AP_LIST);
                if (list->rows.size() > SCAN_MAX_ROWS) __builtin_trap();
                for (const auto& column : list->columns)
                    if (column.width < 0 || column.width > 10 * SCAN_WIDTH_MAX) __builtin_trap();
            })
            .Escape();
    }
};

}  // namespace

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    using namespace std::string_literals;
    return {
        Scan(1, "2\0003\0004\0T\0U\0001\0name\0--\0"s),
        Scan(2,
             "6\0002\00032\0004\0004\0004\0004\0a\0b\0c\0d\0e\0f\0"
             "3\0n\0x\0y\0z\0w\0--\0000\0m\0x\0y\0z\0w\0WPA\0"s),
    };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool registered = (RegisterNetCfgTemplates(), true);
    (void)registered;
    Harness harness;
    CApListDlg dlg;
    dlg.Keep(data, size);
    dlg.DoModal();
    return 0;
}
