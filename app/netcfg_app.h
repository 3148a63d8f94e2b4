// The application object: runs the main dialog and ends the program when it closes.
#pragma once

#include "ui/app.h"

class CNetCfgApp : public CWinApp {
public:
    CNetCfgApp();
    ~CNetCfgApp() override;
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

// The pipe layer's "Write to USB Timeout" notice, shown as a message box.
void InstallWriteTimeoutNotice();
