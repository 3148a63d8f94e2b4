// DoDeviceCommand: the one entry point for device commands, with each command's payload,
// reply destination, time-out and consumer.
#include <cstring>

#include "app/netcfg_dlg.h"
#include "base/fixed_text.h"
#include "protocol/commands.h"
#include "protocol/transact.h"
#include "settings/country_record.h"

namespace {

uint32_t SendText(int32_t cmdId, const char* text, bool* sent) {
    return CmdTransact(cmdId, nullptr, static_cast<uint32_t>(std::strlen(text)) + 1, text,
                       CMD_TIMEOUT_MS, sent);
}

}  // namespace

bool CNetCfgDlg::DoDeviceCommand(int32_t cmdId) {
    // Every exchange holds the window until the device answers or the time-out passes.
    CWaitCursor busy;
    switch (cmdId) {
        case CMD_GET_ETH_IPCFG:
        case CMD_GET_WIFI_IPCFG:
        case CMD_GET_COUNTRY_LIST:
        case CMD_SCAN_WIFI:
        case CMD_GET_SSID:
        case CMD_GET_WIFI_STATUS: {
            int32_t timeout = cmdId == CMD_SCAN_WIFI ? CMD_SCAN_TIMEOUT_MS : CMD_TIMEOUT_MS;
            uint32_t n = CmdTransact(cmdId, m_reply, 0, nullptr, timeout);
            if (n == 0) return false;
            m_reply[n] = '\0';  // a text sent without its terminator ends with the payload
            const auto* bytes = reinterpret_cast<const uint8_t*>(m_reply);
            // A reply outside its format is refused by its consumer like a failed read.
            switch (cmdId) {
                case CMD_GET_ETH_IPCFG:
                    return ParseIpConfig(m_ethPanel, m_reply);
                case CMD_GET_WIFI_IPCFG:
                    return ParseIpConfig(m_wifiPanel, m_reply);
                case CMD_GET_COUNTRY_LIST:
                    return ParseCountryList(bytes, n);
                case CMD_SCAN_WIFI:
                    return KeepScanReply(bytes, n);
                case CMD_GET_SSID:
                    m_ssid = m_reply;
                    return true;
                default:
                    ParseWifiStatus(m_reply, &m_wifiStatus);
                    return true;
            }
        }
        case CMD_SET_ETH_IPCFG:
            return SendText(cmdId, m_ethPanel.setText, &m_changeSent) != 0;
        case CMD_SET_WIFI_IPCFG:
            return SendText(cmdId, m_wifiPanel.setText, &m_changeSent) != 0;
        case CMD_SET_COUNTRY: {
            int sel = m_countryCombo.GetCurSel();
            m_changeSent = false;
            if (sel < 0 || sel >= m_countryCount) return false;  // no entry: nothing to send
            return SendText(cmdId, m_countryCodes[sel], &m_changeSent) != 0;
        }
        case CMD_CONNECT_WIFI:
            return SendText(cmdId, m_apConnectText, &m_changeSent) != 0;
        case CMD_DELETE_PROFILE:
            return SendText(cmdId, m_apName, &m_changeSent) != 0;
        case CMD_POLL_DONE: {
            uint8_t status[PKT_STATUS_MAX];
            if (CmdTransact(cmdId, status, 0, nullptr, CMD_TIMEOUT_MS) == 0) return false;
            m_done = status[0];
            return true;
        }
        default:
            return true;
    }
}

bool CNetCfgDlg::LoadSsid() {
    if (m_selDevice < 0) return false;
    bool ok = DoDeviceCommand(CMD_GET_SSID);
    UpdateData(FALSE);
    return ok;
}

bool CNetCfgDlg::LoadIpConfig() {
    if (m_selDevice < 0) return false;
    if (!DoDeviceCommand(CMD_GET_ETH_IPCFG)) return false;
    return DoDeviceCommand(CMD_GET_WIFI_IPCFG);
}

bool CNetCfgDlg::LoadCountryList() {
    if (m_selDevice < 0) return false;
    return DoDeviceCommand(CMD_GET_COUNTRY_LIST);
}

bool CNetCfgDlg::ParseCountryList(const uint8_t* reply, size_t n) {
    CountryRecord record;
    if (!ParseCountryRecord(reply, n, &record)) return false;

    // One block: the code table, then the code texts back to back.
    size_t count = record.entries.size();
    size_t tableBytes = count * sizeof(char*);
    m_countryBlock = std::make_unique<char[]>(tableBytes + record.codeBytes);
    m_countryCodes = reinterpret_cast<char**>(m_countryBlock.get());
    m_countryText = m_countryBlock.get() + tableBytes;
    m_countryCount = static_cast<int32_t>(count);

    ComboReset(m_countryCombo);
    char* write = m_countryText;
    for (size_t i = 0; i < count; ++i) {
        size_t len = std::strlen(record.entries[i].code) + 1;
        std::memcpy(write, record.entries[i].code, len);  // codeBytes counted each of them
        m_countryCodes[i] = write;
        write += len;
        ComboAddUnique(m_countryCombo, CountryEntryText(record, i));
    }
    m_countryCombo.SetCurSel(record.current);
    return true;
}

bool CNetCfgDlg::KeepScanReply(const uint8_t* reply, size_t n) {
    return m_apListDlg.Keep(reply, n);
}

void CNetCfgDlg::TakeApChoice(uint8_t connect, uint8_t del, int32_t rowFlags, const char* name,
                              const char* password) {
    m_apConnect = connect;
    m_apDelete = del;
    m_apFlags = rowFlags;
    base::TextCopy(m_apName, name);
    base::TextCopy(m_apPassword, password);
}
