// The application object and the process-wide calls that reach it.
#pragma once

#include <string>

#include "ui/msgmap.h"
#include "ui/wnd.h"

class CWinApp : public CCmdTarget {
public:
    // An empty name is replaced by the executable's name when the application runs.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // Runs the program; a dialog-based application runs its main dialog here and returns
    // FALSE so that the program ends when the dialog does.
    virtual BOOL InitInstance() { return TRUE; }

    HICON LoadIcon(int resourceId) const { return ui::IconFromId(resourceId); }

    CWnd* m_pMainWnd = nullptr;
    // The caption of every message box that names none.
    std::string m_appName;
    // What the help command shows; an application routes ID_HELP to OnHelp in its map.
    std::string m_helpText;

    // The framework's help handler: the help text in a message box.
    void OnHelp();

    DECLARE_MESSAGE_MAP()
};

// The one application object (the last constructed), or null.
CWinApp* AfxGetApp();
// Its name, "" without one.
const char* AfxGetAppName();

// A message box with no owner window, captioned with the application's name.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
// One with no caption of its own: the backend shows what its platform shows for none.
int AfxMessageBoxNoCaption(const std::string& text, UINT type = MB_OK);

namespace ui {

// "C:\tools\netcfg.exe" and "/usr/bin/netcfg" both give "netcfg".
std::string AppNameFromPath(const std::string& path);

// The executables' entry point, after they installed a backend: names the application
// after argv[0] unless it named itself, and runs InitInstance. Returns the exit status
// (1 when there is no application object).
int RunApplication(int argc, char** argv);

}  // namespace ui
