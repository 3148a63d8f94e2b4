// The application object and the process-wide calls that reach it.
#pragma once

#include <string>

#include "ui/wnd.h"

class CWinApp {
public:
    // An empty name is replaced by the executable's name when the application runs.
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the program; a dialog-based application runs its main dialog here and returns
    // FALSE so that the program ends when the dialog does.
    virtual BOOL InitInstance() { return TRUE; }

    HICON LoadIcon(int resourceId) const { return ui::IconFromId(resourceId); }

    CWnd* m_pMainWnd = nullptr;
    // The caption of every message box that names none.
    std::string m_appName;
};

// The one application object (the last constructed), or null.
CWinApp* AfxGetApp();
// Its name, "" without one.
const char* AfxGetAppName();

// A message box with no owner window, captioned with the application's name.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);

namespace ui {

// "C:\tools\netcfg.exe" and "/usr/bin/netcfg" both give "netcfg".
std::string AppNameFromPath(const std::string& path);

// The executables' entry point, after they installed a backend: names the application
// after argv[0] unless it named itself, and runs InitInstance. Returns the exit status
// (1 when there is no application object).
int RunApplication(int argc, char** argv);

}  // namespace ui
