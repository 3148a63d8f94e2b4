// The main dialog: the device list, the country list, the joined network, the two IP
// panels, and the flows that change them. It is the program's only top-level window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/wait_dlg.h"
#include "protocol/packet.h"
#include "settings/ap_dialogs.h"
#include "settings/ip_panel.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "usb/device_table.h"

inline constexpr char NETCFG_TITLE[] = "Quillo R7 USB Net Config Tool  V1.01-02";

// Reply areas hold the largest status a reply carries and one byte more, so that a text
// sent without its terminator still ends at the payload's end.
inline constexpr size_t NETCFG_REPLY_CAPACITY = PKT_STATUS_MAX + 1;

class CNetCfgDlg : public CDialog, public CApChoiceOwner {
public:
    explicit CNetCfgDlg(CWnd* parent = nullptr);
    ~CNetCfgDlg() override;

    BOOL OnInitDialog() override;

    // Device list.
    // Rebuilds the list from a new walk and selects the previously selected device again
    // when its label came back; otherwise the first. Points the exchanges at the selected
    // device. Returns true when the selected device is another one than before: another
    // interface, not only another label (an identity query that failed changes that).
    bool RefreshDevices();
    void OnDeviceScan();
    void OnDeviceDropDown();
    void OnDeviceSelChange();

    // The one entry point for device commands after the refresh.
    bool DoDeviceCommand(int32_t cmdId);
    bool LoadSsid();
    bool LoadIpConfig();
    bool LoadCountryList();
    bool ParseCountryList(const uint8_t* reply, size_t n);
    bool KeepScanReply(const uint8_t* reply, size_t n);

    // The modal wait after a change; afterwards m_done tells whether the device reported
    // completion.
    void RunWait(const std::string& message, int32_t settleMs, int32_t totalMs);
    static int32_t PollDone(void* owner);
    // Sends change cmdId and runs the wait; true when the device reported completion.
    bool ChangeAndWait(int32_t cmdId, const std::string& message, int32_t settleMs,
                       int32_t totalMs);

    // Feature handlers.
    void OnEthDhcp();
    void OnWifiDhcp();
    void OnEthFieldChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnWifiFieldChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEthSet();
    void OnWifiSet();
    void OnIpSet(IpCfgPanel& panel);
    void OnCountrySet();
    void OnSsidScan();

    void TakeApChoice(uint8_t connect, uint8_t del, int32_t rowFlags, const char* name,
                      const char* password) override;

    CComboBox m_countryCombo;
    CButton m_wifiDhcp;
    CButton m_ethDhcp;
    CIPAddressCtrl m_wifiMask;
    CIPAddressCtrl m_wifiGateway;
    CIPAddressCtrl m_wifiAddr;
    CIPAddressCtrl m_ethMask;
    CIPAddressCtrl m_ethGateway;
    CIPAddressCtrl m_ethAddr;
    CComboBox m_deviceCombo;
    std::string m_ssid;
    uint8_t m_apConnect = 0;
    uint8_t m_apDelete = 0;
    int32_t m_apFlags = 0;
    char m_apName[WIFI_NAME_CAPACITY] = {};
    char m_apPassword[64] = {};
    char m_apConnectText[WIFI_CONNECT_CAPACITY] = {};
    int32_t m_pollState = 0;
    uint8_t m_done = 0;
    bool m_changeSent = false;  // the last change command's request was written
    uint32_t m_wifiStatus = 0;
    uint32_t m_deadline = 0;
    CWaitDlg m_waitDlg;
    HICON m_icon = nullptr;
    int32_t m_selDevice = -1;
    std::string m_selDeviceLabel;
    char m_idReply[NETCFG_REPLY_CAPACITY] = {};
    char m_reply[NETCFG_REPLY_CAPACITY] = {};
    IpCfgPanel m_ethPanel;
    IpCfgPanel m_wifiPanel;
    std::unique_ptr<char[]> m_countryBlock;
    char* m_countryText = nullptr;
    char** m_countryCodes = nullptr;
    CApListDlg m_apListDlg;

    // The device index behind each list position: equal labels share one entry, so a
    // position is not always the index.
    int32_t m_listDevice[USB_MAX_DEVICES] = {};
    // The interface path of each device of the last walk, and of the selected one.
    std::string m_devicePath[USB_MAX_DEVICES];
    std::string m_selDevicePath;
    int32_t m_countryCount = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Enter does nothing here: it would end the program and drop unsent edits. Escape and
    // the close box still end it.
    void OnOK() override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;

    DECLARE_MESSAGE_MAP()

private:
    // Reads everything the window shows from the selected device.
    void LoadDeviceView();
    // Forgets everything shown of the device that was addressed: panels not read, no
    // country list, no SSID, no kept scan. Nothing of one device can then reach another.
    void ForgetDeviceView();
    // The addressed device changed (picked, another one selected by a refresh, or gone).
    void SwitchDeviceView();
    void BindPanel(IpCfgPanel& panel, int32_t setCommand, int setButton, CButton& dhcp,
                   CIPAddressCtrl& addr, CIPAddressCtrl& mask, CIPAddressCtrl& gateway);
    void SelectListPosition(int position);
    // Device `device`'s list label, asked with the busy cursor up.
    std::string LabelOf(int32_t device);
};

// Appends text after removing every entry equal to it (ignoring case), leaving no entry
// selected; an empty text changes nothing.
void ComboAddUnique(CComboBox& combo, const std::string& text);
void ComboReset(CComboBox& combo);
