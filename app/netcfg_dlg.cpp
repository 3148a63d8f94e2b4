#include "app/netcfg_dlg.h"

#include "app/templates.h"
#include "protocol/commands.h"
#include "ui/app.h"
#include "ui/ddx.h"

BEGIN_MESSAGE_MAP(CNetCfgDlg, CDialog)
ON_BN_CLICKED(IDC_DEVICE_SCAN, &CNetCfgDlg::OnDeviceScan)
ON_CBN_SELCHANGE(IDC_DEVICE_COMBO, &CNetCfgDlg::OnDeviceSelChange)
ON_CBN_DROPDOWN(IDC_DEVICE_COMBO, &CNetCfgDlg::OnDeviceDropDown)
ON_NOTIFY(IPN_FIELDCHANGED, IDC_ETH_ADDR, &CNetCfgDlg::OnEthFieldChanged)
ON_NOTIFY(IPN_FIELDCHANGED, IDC_ETH_MASK, &CNetCfgDlg::OnEthFieldChanged)
ON_NOTIFY(IPN_FIELDCHANGED, IDC_ETH_GATEWAY, &CNetCfgDlg::OnEthFieldChanged)
ON_NOTIFY(IPN_FIELDCHANGED, IDC_WIFI_ADDR, &CNetCfgDlg::OnWifiFieldChanged)
ON_NOTIFY(IPN_FIELDCHANGED, IDC_WIFI_MASK, &CNetCfgDlg::OnWifiFieldChanged)
ON_NOTIFY(IPN_FIELDCHANGED, IDC_WIFI_GATEWAY, &CNetCfgDlg::OnWifiFieldChanged)
ON_BN_CLICKED(IDC_COUNTRY_SET, &CNetCfgDlg::OnCountrySet)
ON_BN_CLICKED(IDC_SSID_SCAN, &CNetCfgDlg::OnSsidScan)
ON_BN_CLICKED(IDC_ETH_DHCP, &CNetCfgDlg::OnEthDhcp)
ON_BN_CLICKED(IDC_WIFI_DHCP, &CNetCfgDlg::OnWifiDhcp)
ON_BN_CLICKED(IDC_ETH_SET, &CNetCfgDlg::OnEthSet)
ON_BN_CLICKED(IDC_WIFI_SET, &CNetCfgDlg::OnWifiSet)
END_MESSAGE_MAP()

CNetCfgDlg::CNetCfgDlg(CWnd* parent) : CDialog(IDD_NETCFG_DIALOG, parent) {
    if (CWinApp* app = AfxGetApp()) m_icon = app->LoadIcon(IDR_MAINFRAME);
}

CNetCfgDlg::~CNetCfgDlg() = default;

void CNetCfgDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COUNTRY_COMBO, m_countryCombo);
    DDX_Control(pDX, IDC_WIFI_DHCP, m_wifiDhcp);
    DDX_Control(pDX, IDC_ETH_DHCP, m_ethDhcp);
    DDX_Control(pDX, IDC_WIFI_MASK, m_wifiMask);
    DDX_Control(pDX, IDC_WIFI_GATEWAY, m_wifiGateway);
    DDX_Control(pDX, IDC_WIFI_ADDR, m_wifiAddr);
    DDX_Control(pDX, IDC_ETH_MASK, m_ethMask);
    DDX_Control(pDX, IDC_ETH_GATEWAY, m_ethGateway);
    DDX_Control(pDX, IDC_ETH_ADDR, m_ethAddr);
    DDX_Control(pDX, IDC_DEVICE_COMBO, m_deviceCombo);
    DDX_Text(pDX, IDC_SSID, m_ssid);
}

BOOL CNetCfgDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);
    SetWindowText(NETCFG_TITLE);

    BindPanel(m_ethPanel, CMD_SET_ETH_IPCFG, IDC_ETH_SET, m_ethDhcp, m_ethAddr, m_ethMask,
              m_ethGateway);
    BindPanel(m_wifiPanel, CMD_SET_WIFI_IPCFG, IDC_WIFI_SET, m_wifiDhcp, m_wifiAddr, m_wifiMask,
              m_wifiGateway);
    // Until a panel has been read its state means nothing: nothing there may be sent.
    ApplyIpPanelEnables(m_ethPanel);
    ApplyIpPanelEnables(m_wifiPanel);

    RefreshDevices();
    LoadDeviceView();
    UpdateData(FALSE);
    return TRUE;
}

void CNetCfgDlg::BindPanel(IpCfgPanel& panel, int32_t setCommand, int setButton, CButton& dhcp,
                           CIPAddressCtrl& addr, CIPAddressCtrl& mask, CIPAddressCtrl& gateway) {
    panel.setCommand = setCommand;
    panel.setButton = GetDlgItem(setButton);
    panel.dhcpCheck = &dhcp;
    panel.addrCtrl = &addr;
    panel.maskCtrl = &mask;
    panel.gatewayCtrl = &gateway;
}

// The reads of the start-up, in their order; also after the user picks another device.
void CNetCfgDlg::LoadDeviceView() {
    LoadCountryList();
    LoadSsid();
    LoadIpConfig();
    DoDeviceCommand(CMD_GET_WIFI_STATUS);
}

void CNetCfgDlg::ForgetDeviceView() {
    ForgetIpConfig(m_ethPanel);
    ForgetIpConfig(m_wifiPanel);
    ComboReset(m_countryCombo);
    m_countryBlock.reset();
    m_countryText = nullptr;
    m_countryCodes = nullptr;
    m_countryCount = 0;
    m_ssid.clear();
    m_wifiStatus = 0;
    m_apListDlg.Forget();
    UpdateData(FALSE);
}

void CNetCfgDlg::OnOK() {}

// The backends draw the window's icon themselves, minimised or not; only the drag image
// is asked of the dialog.
void CNetCfgDlg::OnPaint() { CDialog::OnPaint(); }

HCURSOR CNetCfgDlg::OnQueryDragIcon() { return m_icon; }
