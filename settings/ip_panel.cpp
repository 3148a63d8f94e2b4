#include "settings/ip_panel.h"

#include "base/fixed_text.h"

namespace {

bool Checked(const IpCfgPanel& panel) { return panel.dhcpCheck->GetCheck() == BST_CHECKED; }

}  // namespace

bool ParseIpConfig(IpCfgPanel& panel, const char* reply) {
    IpCfgState device = panel.device;
    int32_t flags = panel.flags;
    if (!ParseIpConfigText(reply, &flags, &device)) return false;

    base::TextCopy(panel.replyText, reply);
    panel.flags = flags;
    panel.device = device;
    panel.pending = device;
    panel.loaded = true;
    panel.dhcpCheck->SetCheck(device.dhcp ? BST_CHECKED : BST_UNCHECKED);
    const IpAddrSet& shown = device.sets[device.dhcp];
    panel.addrCtrl->SetWindowText(shown.addr);
    panel.maskCtrl->SetWindowText(shown.mask);
    panel.gatewayCtrl->SetWindowText(shown.gateway);
    ApplyIpPanelEnables(panel);
    return true;
}

void ForgetIpConfig(IpCfgPanel& panel) {
    // The state goes too: a reply with empty fields keeps what the panel held, and that
    // must not be another device's addresses.
    panel.loaded = false;
    panel.flags = 0;
    panel.device = panel.pending = IpCfgState{};
    panel.dhcpCheck->SetCheck(BST_UNCHECKED);
    for (CIPAddressCtrl* ctrl : {panel.addrCtrl, panel.maskCtrl, panel.gatewayCtrl})
        ctrl->ClearAddress();
    ApplyIpPanelEnables(panel);
}

void ApplyIpPanelEnables(IpCfgPanel& panel) {
    bool usable = panel.loaded && !(panel.flags & IPCFG_LOCKED);
    bool staticShown = usable && !Checked(panel);
    panel.dhcpCheck->EnableWindow(usable);
    panel.addrCtrl->EnableWindow(staticShown);
    panel.maskCtrl->EnableWindow(staticShown);
    panel.gatewayCtrl->EnableWindow(staticShown);
    panel.setButton->EnableWindow(usable && !(panel.pending == panel.device));
}

void ShowPendingSet(IpCfgPanel& panel) {
    panel.pending.dhcp = Checked(panel) ? 1 : 0;
    const IpAddrSet& shown = panel.pending.sets[panel.pending.dhcp];
    panel.addrCtrl->SetWindowText(shown.addr);
    panel.maskCtrl->SetWindowText(shown.mask);
    panel.gatewayCtrl->SetWindowText(shown.gateway);
}

void ReadIpControls(IpCfgPanel& panel) {
    panel.pending.dhcp = Checked(panel) ? 1 : 0;
    IpAddrSet& set = panel.pending.sets[panel.pending.dhcp];
    base::TextCopy(set.addr, panel.addrCtrl->GetWindowText().c_str());
    base::TextCopy(set.mask, panel.maskCtrl->GetWindowText().c_str());
    base::TextCopy(set.gateway, panel.gatewayCtrl->GetWindowText().c_str());
    BuildIpSetText(panel.setText, panel.pending.dhcp, set);
}

void OnDhcpClicked(IpCfgPanel& panel) {
    ShowPendingSet(panel);
    ApplyIpPanelEnables(panel);
    ReadIpControls(panel);
}

void OnIpFieldChanged(IpCfgPanel& panel, LRESULT* result) {
    ReadIpControls(panel);
    ApplyIpPanelEnables(panel);
    *result = 0;
}
