// The flows that change the device: each sends its change, waits behind the modal wait
// dialog until the device reports completion, then reads back or reports the failure.
#include "app/netcfg_dlg.h"
#include "base/clock.h"
#include "base/fixed_text.h"
#include "protocol/commands.h"
#include "protocol/transact.h"
#include "settings/ip_check.h"

namespace {

IpEntry EntryOf(const CIPAddressCtrl& ctrl) {
    IpEntry e{};
    e.filled = ctrl.GetAddress(e.field[0], e.field[1], e.field[2], e.field[3]);
    return e;
}

}  // namespace

void CNetCfgDlg::RunWait(const std::string& message, int32_t settleMs, int32_t totalMs) {
    m_done = 0;
    m_pollState = 0;
    m_deadline = static_cast<uint32_t>(settleMs);
    WaitRequest request{this, &CNetCfgDlg::PollDone, message, totalMs, CMD_POLL_PERIOD_MS};
    m_waitDlg.SetRequest(request);
    m_waitDlg.DoModal();
    base::Sleep(CMD_WAIT_PAUSE_MS);
}

bool CNetCfgDlg::ChangeAndWait(int32_t cmdId, const std::string& message, int32_t settleMs,
                               int32_t totalMs) {
    DoDeviceCommand(cmdId);
    // A request that never reached the device is not waited for: the poll would report
    // the device's previous change as done, and the read-back would drop the user's edits.
    if (!m_changeSent) return false;
    RunWait(message, settleMs, totalMs);
    return m_done != 0;
}

int32_t CNetCfgDlg::PollDone(void* owner) {
    auto* dlg = static_cast<CNetCfgDlg*>(owner);
    // A tick dispatched by a notice that an exchange shows (the write time-out box) must
    // not start another exchange: let it pass.
    if (CmdInExchange()) return 0;
    switch (dlg->m_pollState) {
        case 0:
            dlg->DoDeviceCommand(CMD_POLL_DONE);
            if (dlg->m_done) {
                dlg->m_deadline = base::GetTickCount() + dlg->m_deadline;
                dlg->m_pollState = 1;
            }
            return 0;
        case 1:
            // Past the deadline, measured as a difference so that it holds across the
            // tick count's wrap.
            return static_cast<int32_t>(base::GetTickCount() - dlg->m_deadline) > 0 ? 1 : 0;
        default:
            return 0;
    }
}

void CNetCfgDlg::OnEthDhcp() { OnDhcpClicked(m_ethPanel); }
void CNetCfgDlg::OnWifiDhcp() { OnDhcpClicked(m_wifiPanel); }
void CNetCfgDlg::OnEthFieldChanged(NMHDR*, LRESULT* pResult) {
    OnIpFieldChanged(m_ethPanel, pResult);
}
void CNetCfgDlg::OnWifiFieldChanged(NMHDR*, LRESULT* pResult) {
    OnIpFieldChanged(m_wifiPanel, pResult);
}
void CNetCfgDlg::OnEthSet() { OnIpSet(m_ethPanel); }
void CNetCfgDlg::OnWifiSet() { OnIpSet(m_wifiPanel); }

void CNetCfgDlg::OnIpSet(IpCfgPanel& panel) {
    // A panel not read from this device has nothing of its own to send.
    if (m_selDevice < 0 || !panel.loaded) return;
    // A static set the device would take but no network could use stays here, with the
    // edits, until the user corrects it. With DHCP off the controls show that set.
    if (panel.pending.dhcp == 0) {
        if (const char* refusal = CheckStaticIpConfig(
                EntryOf(*panel.addrCtrl), EntryOf(*panel.maskCtrl), EntryOf(*panel.gatewayCtrl))) {
            MessageBox(refusal);
            return;
        }
    }
    if (ChangeAndWait(panel.setCommand, "IP Config Setting.....", 0, CMD_WAIT_TOTAL_MS))
        LoadIpConfig();
    else
        MessageBox("IP Config Setting Failed!!!");
}

void CNetCfgDlg::OnCountrySet() {
    if (m_selDevice < 0) return;
    // With no entry selected there is no code text to send.
    if (m_countryCombo.GetCurSel() < 0) return;
    std::string text = m_countryCombo.GetWindowText();
    if (!text.empty() && text[0] == '*') return;  // the device's current country
    if (ChangeAndWait(CMD_SET_COUNTRY, "Country Code Setting......", 0, CMD_WAIT_TOTAL_MS))
        DoDeviceCommand(CMD_GET_COUNTRY_LIST);
    else
        MessageBox("Set Country Code Failed!!!");
}

void CNetCfgDlg::OnSsidScan() {
    if (m_selDevice < 0) return;
    // The scan holds the window for up to 30 s: what a closed window left on it goes first.
    UpdateWindow();
    DoDeviceCommand(CMD_SCAN_WIFI);
    m_apConnect = 0;
    m_apDelete = 0;
    m_apListDlg.DoModal();

    if (m_apConnect) {
        BuildConnectText(m_apConnectText, sizeof m_apConnectText, m_apFlags, m_apName,
                         m_apPassword);
        char message[WIFI_NAME_CAPACITY + 32];
        base::TextFormat(message, sizeof message, "Connect to '%s'......", m_apName);
        if (!ChangeAndWait(CMD_CONNECT_WIFI, message, CMD_CONNECT_SETTLE_MS,
                           CMD_CONNECT_WAIT_TOTAL_MS)) {
            MessageBox("Re-Connecting Failed!!!");
            return;
        }
        DoDeviceCommand(CMD_GET_WIFI_STATUS);
        LoadSsid();
        LoadIpConfig();
        if (const char* failure = WifiStatusMessage(m_wifiStatus)) {
            MessageBox(failure);
            return;
        }
    }
    if (m_apDelete) DoDeviceCommand(CMD_DELETE_PROFILE);
}
