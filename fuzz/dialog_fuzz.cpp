// The main dialog on the headless backend, against a simulated device whose replies come
// from the input, as far as a user takes it: the start-up (identity labels, country list,
// network name, both IP configurations, status word), optionally a country Set, then the
// SSID scan, its list, a pick and a connect or delete whose end shows the status word's
// message. Every consumer of a parsed reply runs: the labels into the device list, the
// country list into its block, the kept scan reply into the list, the status word into
// its message.
//
// The input: a choice byte (country entry, row, connect or delete, whether to Set the
// country), then one record per request in the order they come: a kind byte, and for the
// chosen status bytes two length bytes and the bytes. Kinds: the device's own answer,
// chosen status bytes (whole, or in pieces), no reply, a stale reply, a bad checksum.
// Past the input's end the device answers for itself, so every flow runs to its end.
#include <cstring>
#include <set>
#include <string>

#include "app/netcfg_app.h"
#include "app/netcfg_dlg.h"
#include "app/resource.h"
#include "app/templates.h"
#include "base/clock.h"
#include "devsim/device.h"
#include "fuzz/fuzz_input.h"
#include "settings/country_record.h"
#include "settings/wifi_text.h"
#include "ui/app.h"
#include "ui/headless/headless_backend.h"
#include "usb/sim/sim_link.h"

namespace {

constexpr size_t kLabelMax = 3 * 128 + 31;  // the label's buffer, without its NUL

class FuzzLink : public SimUsbLink {
public:
    FuzzLink(devsim::Device& device, FuzzInput& in) : m_device(device), m_in(in) {
        Attach(device, "1234", 1);
    }
    // Each request first sets how the device answers it.
    UsbIo Write(UsbHandle handle, const void* buffer, uint32_t* length,
                uint32_t timeoutMs) override {
        const uint8_t kind = m_in.Byte();  // 0 past the end: the device answers
        if (kind % 8 > 4) {
            static const devsim::FaultRule kFaults[] = {devsim::NoReply(), devsim::StaleReply(),
                                                        devsim::BadChecksum()};
            m_device.Inject(kFaults[kind % 8 - 5]);
        } else if (kind % 8 != 0) {
            devsim::FaultRule rule =
                devsim::ReplyPayload(m_in.Bytes(m_in.Word() % (PKT_STATUS_MAX + 1)));
            if (kind % 8 == 4) rule.bytes = 1 + kind / 8;  // in pieces
            m_device.Inject(rule);
        }
        return SimUsbLink::Write(handle, buffer, length, timeoutMs);
    }

private:
    devsim::Device& m_device;
    FuzzInput& m_in;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    [[maybe_unused]] static const bool registered = (RegisterNetCfgTemplates(), true);
    FuzzInput in(data, size);
    const uint8_t choice = in.Byte();
    base::ScopedVirtualClock clock{100000};
    ui::headless::HeadlessBackend backend;
    ui::ScopedBackend scope{backend};
    CNetCfgApp app;
    app.m_appName = "netcfg";
    devsim::Device device;
    FuzzLink link(device, in);
    UsbSetLink(&link);
    CNetCfgDlg dlg;

    auto checkView = [&] {
        const auto* main = backend.FindDialog(IDD_NETCFG_DIALOG);
        for (const std::string& label : main->Control(IDC_DEVICE_COMBO)->entries)
            if (label.size() > kLabelMax || label.rfind("USB001 PID:1234", 0) != 0)
                __builtin_trap();
        const auto& countries = main->Control(IDC_COUNTRY_COMBO)->entries;
        if (static_cast<int32_t>(countries.size()) > dlg.m_countryCount) __builtin_trap();
        for (const std::string& entry : countries)
            if (entry.size() > 1 + COUNTRY_NAME_MAX) __builtin_trap();
        for (int32_t i = 0; i < dlg.m_countryCount; ++i)
            if (std::strlen(dlg.m_countryCodes[i]) > PKT_STATUS_MAX) __builtin_trap();
    };
    ui::ScriptedUser& user = backend.User();
    ui::DialogScript& main = user.OnDialog(IDD_NETCFG_DIALOG).Call(checkView);
    if (choice & 0x20)
        main.Select(IDC_COUNTRY_COMBO, choice & 3).Click(IDC_COUNTRY_SET).Call(checkView);
    main.Click(IDC_SSID_SCAN).Call(checkView).Escape();
    user.OnDialog(IDD_AP_LIST, 0)
        .Call([&] {
            const auto* list = backend.FindDialog(IDD_AP_LIST)->Control(IDC_AP_LIST);
            if (list->rows.size() > SCAN_MAX_ROWS) __builtin_trap();
            for (const auto& column : list->columns)
                if (column.width < 0 || column.width > 10 * SCAN_WIDTH_MAX) __builtin_trap();
        })
        .DoubleClickRow(IDC_AP_LIST, (choice >> 2) & 3)
        .Escape();
    user.OnDialog(IDD_AP_PASSWORD, 0)
        .Type(IDC_PASSWORD, "secret")
        .Click(choice & 0x10 ? IDC_DELETE : IDC_CONNECT)
        .Escape();
    dlg.DoModal();
    UsbSetLink(nullptr);

    // Only the program's own messages; a status message is the one the status word gives.
    static const std::set<std::string> kOthers = {
        "Re-Connecting Failed!!!", "Set Country Code Failed!!!", "SSID name too long!!!"};
    const char* status = WifiStatusMessage(dlg.m_wifiStatus);
    for (const auto& box : user.MessageBoxes())
        if (!kOthers.count(box.text) && (!status || box.text != status)) __builtin_trap();
    return 0;
}
