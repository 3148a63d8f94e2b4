#include "app/netcfg_app.h"

#include "app/netcfg_dlg.h"
#include "app/templates.h"
#include "usb/link.h"

void InstallWriteTimeoutNotice() {
    UsbSetNoticeFn([](const char* text) { AfxMessageBox(text); });
}

CNetCfgApp::CNetCfgApp() = default;

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
