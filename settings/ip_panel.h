// One IP configuration panel of the main dialog (Ethernet or WiFi): the DHCP check box,
// the address, mask and gateway controls and the Set button, and the state behind them.
// The operations here take the panel record and behave the same for both interfaces.
#pragma once

#include <cstdint>

#include "settings/ipcfg_text.h"
#include "ui/controls.h"

struct IpCfgPanel {
    int32_t setCommand = 0;  // the interface's set command
    CWnd* setButton = nullptr;
    CButton* dhcpCheck = nullptr;
    CIPAddressCtrl* addrCtrl = nullptr;
    CIPAddressCtrl* maskCtrl = nullptr;
    CIPAddressCtrl* gatewayCtrl = nullptr;
    int32_t flags = 0;                          // field 1 of the last reply
    char replyText[IPCFG_REPLY_CAPACITY] = {};  // the last reply as received
    char setText[IPCFG_SET_CAPACITY] = {};      // the set command's payload
    IpCfgState device = {};                     // as last read from the device
    IpCfgState pending = {};                    // as edited by the user
    // Nothing was read yet: the state is undefined, so the controls stay disabled and no
    // set text can be sent.
    bool loaded = false;
};

// Takes a reply text: copies it, fills the device state, shows it and applies the enable
// rule. A reply outside the format is refused (false, one diagnostic line) and the panel
// is left exactly as it was.
bool ParseIpConfig(IpCfgPanel& panel, const char* reply);

// Back to "never read": nothing shown, all five controls disabled, nothing to send. For a
// change of device, so that one device's settings can never be sent to another.
void ForgetIpConfig(IpCfgPanel& panel);

// Locked or never read: all five controls disabled. Otherwise the check box is enabled,
// the address controls exactly while DHCP is unchecked, and Set exactly while the edited
// state differs from the device's (both sets count, not only the one shown).
void ApplyIpPanelEnables(IpCfgPanel& panel);

// Shows the pending set of the DHCP state the check box now has.
void ShowPendingSet(IpCfgPanel& panel);

// Reads the shown set back into the pending state and rebuilds the set text.
void ReadIpControls(IpCfgPanel& panel);

// The user toggled DHCP.
void OnDhcpClicked(IpCfgPanel& panel);

// A field of one of the panel's address controls changed.
void OnIpFieldChanged(IpCfgPanel& panel, LRESULT* result);
