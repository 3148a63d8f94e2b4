#include "app/templates.h"

using ui::ControlTemplate;
using ui::DialogTemplate;
using ui::WindowKind;

namespace {

constexpr uint32_t kPopupDialog = DialogTemplate::Popup | DialogTemplate::Caption |
                                  DialogTemplate::SysMenu | DialogTemplate::ModalFrame;
constexpr uint32_t kDropList =
    ControlTemplate::Sort | ControlTemplate::VScroll | ControlTemplate::TabStop;

ControlTemplate Static(int id, const char* text, int x, int y, int cx, int cy, uint32_t style = 0) {
    return {id, WindowKind::Static, text, x, y, cx, cy, style};
}
ControlTemplate Button(int id, const char* text, int x, int y, int cx, int cy) {
    return {id, WindowKind::PushButton, text, x, y, cx, cy, ControlTemplate::TabStop};
}
ControlTemplate Check(int id, const char* text, int x, int y, int cx, int cy) {
    return {id, WindowKind::CheckBox, text, x, y, cx, cy, ControlTemplate::TabStop};
}
ControlTemplate Group(int id, const char* text, int x, int y, int cx, int cy) {
    return {id, WindowKind::GroupBox, text, x, y, cx, cy, 0};
}
ControlTemplate Ip(int id, int x, int y) {
    return {id, WindowKind::IpAddress, "", x, y, 100, 15, ControlTemplate::TabStop};
}

}  // namespace

const DialogTemplate& MainDialogTemplate() {
    static const DialogTemplate t = {
        IDD_NETCFG_DIALOG,
        "r7ZedOraZevAror",
        kPopupDialog | DialogTemplate::Visible | DialogTemplate::AppWindow,
        "MS Sans Serif",
        8,
        0,
        0,
        309,
        153,
        {
            Static(IDC_DEVICE_LABEL, "Device:", 9, 10, 27, 8),
            Static(IDC_COUNTRY_LABEL, "Country:", 9, 30, 27, 8),
            Static(IDC_SSID_LABEL, "SSID:", 9, 50, 27, 8),
            {IDC_DEVICE_COMBO, WindowKind::ComboDropList, "", 40, 7, 234, 71, kDropList},
            {IDC_COUNTRY_COMBO, WindowKind::ComboDropList, "", 40, 27, 234, 174, kDropList},
            {IDC_SSID, WindowKind::Edit, "", 40, 47, 234, 13,
             ControlTemplate::ReadOnly | ControlTemplate::Border | ControlTemplate::AutoHScroll |
                 ControlTemplate::TabStop},
            Button(IDC_DEVICE_SCAN, "Scan", 278, 7, 22, 12),
            Button(IDC_COUNTRY_SET, "Set", 278, 27, 22, 12),
            Button(IDC_SSID_SCAN, "Scan", 278, 47, 22, 12),
            Group(IDC_ETH_GROUP, " Ethernet ", 7, 64, 144, 82),
            Group(IDC_WIFI_GROUP, " WiFi ", 157, 64, 144, 82),
            Check(IDC_ETH_DHCP, "DHCP", 14, 78, 34, 10),
            Check(IDC_WIFI_DHCP, "DHCP", 164, 78, 34, 10),
            Button(IDC_ETH_SET, "Set", 120, 75, 22, 12),
            Button(IDC_WIFI_SET, "Set", 270, 75, 22, 12),
            Static(IDC_ETH_ADDR_LABEL, "IP Addr", 14, 97, 27, 8),
            Static(IDC_ETH_MASK_LABEL, "Mask", 14, 113, 24, 8),
            Static(IDC_ETH_GATEWAY_LABEL, "Gateway", 14, 129, 26, 8),
            Static(IDC_WIFI_ADDR_LABEL, "IP Addr", 164, 97, 28, 8),
            Static(IDC_WIFI_MASK_LABEL, "Mask", 164, 113, 27, 8),
            Static(IDC_WIFI_GATEWAY_LABEL, "Gateway", 164, 129, 28, 8),
            Ip(IDC_ETH_ADDR, 44, 93),
            Ip(IDC_ETH_MASK, 44, 109),
            Ip(IDC_ETH_GATEWAY, 44, 125),
            Ip(IDC_WIFI_ADDR, 194, 93),
            Ip(IDC_WIFI_MASK, 194, 109),
            Ip(IDC_WIFI_GATEWAY, 194, 125),
        },
    };
    return t;
}

const DialogTemplate& ApListTemplate() {
    static const DialogTemplate t = {
        IDD_AP_LIST,
        "Dialog",
        kPopupDialog,
        "System",
        10,
        0,
        0,
        362,
        149,
        {{IDC_AP_LIST, WindowKind::ListReport, "", 7, 7, 348, 135,
          ControlTemplate::SingleSel | ControlTemplate::Border | ControlTemplate::TabStop}},
    };
    return t;
}

const DialogTemplate& ApPasswordTemplate() {
    static const DialogTemplate t = {
        IDD_AP_PASSWORD,
        "SSID Password",
        kPopupDialog,
        "System",
        10,
        0,
        0,
        172,
        50,
        {
            Static(IDC_PASSWORD_LABEL, "Password: ", 9, 14, 35, 8),
            {IDC_PASSWORD, WindowKind::Edit, "", 49, 12, 116, 12,
             ControlTemplate::Password | ControlTemplate::AutoHScroll | ControlTemplate::Border |
                 ControlTemplate::TabStop},
            Static(IDC_PASSWORD_MSG, "msg", 13, 13, 152, 11),
            Button(IDC_CONNECT, "Connect", 132, 31, 33, 12),
            Button(IDC_DELETE, "Delete", 93, 32, 34, 11),
        },
    };
    return t;
}

const DialogTemplate& WaitTemplate() {
    // No system menu, so no close box; not visible until its modal run shows it.
    static const DialogTemplate t = {
        IDD_WAIT,
        "Waiting",
        DialogTemplate::Popup | DialogTemplate::Caption | DialogTemplate::ModalFrame,
        "System",
        10,
        0,
        0,
        204,
        32,
        {Static(IDC_WAIT_TEXT, "Waiting.....", 7, 12, 190, 8)},
    };
    return t;
}

void RegisterNetCfgTemplates() {
    ui::RegisterDialogTemplate(MainDialogTemplate());
    ui::RegisterDialogTemplate(ApListTemplate());
    ui::RegisterDialogTemplate(ApPasswordTemplate());
    ui::RegisterDialogTemplate(WaitTemplate());
}
