#include "app/netcfg_app.h"

#include "app/netcfg_dlg.h"
#include "app/templates.h"
#include "usb/link.h"

void InstallWriteTimeoutNotice() {
    // The pipe layer's notice has no caption of its own: the platform shows its default.
    UsbSetNoticeFn([](const char* text) { AfxMessageBoxNoCaption(text); });
}

BEGIN_MESSAGE_MAP(CNetCfgApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CNetCfgApp::CNetCfgApp() {
    m_helpText = std::string(NETCFG_TITLE) +
                 "\n\n"
                 "Device: pick the device to configure; Scan looks for devices again.\n"
                 "Country: pick the country the device is used in and press Set.\n"
                 "SSID: Scan lists the networks the device sees; double-click one to join "
                 "it or to delete its stored profile.\n"
                 "Ethernet, WiFi: clear DHCP to enter a static address, mask and gateway, "
                 "then press Set.";
}

CNetCfgApp::~CNetCfgApp() = default;

BOOL CNetCfgApp::InitInstance() {
    RegisterNetCfgTemplates();
    InstallWriteTimeoutNotice();
    CNetCfgDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog was the program: end it rather than run a message loop of our own.
    return FALSE;
}
