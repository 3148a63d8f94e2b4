#include "ui/app.h"

#include "ui/backend.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp(const char* appName) : m_appName(appName ? appName : "") { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

void CWinApp::OnHelp() {
    if (!m_helpText.empty()) AfxMessageBox(m_helpText);
}

CWinApp* AfxGetApp() { return g_app; }

const char* AfxGetAppName() { return g_app ? g_app->m_appName.c_str() : ""; }

int AfxMessageBox(const std::string& text, UINT type) {
    ui::Backend* b = ui::GetBackend();
    return b ? b->ShowMessageBox(0, text, AfxGetAppName(), type) : 0;
}

int AfxMessageBoxNoCaption(const std::string& text, UINT type) {
    ui::Backend* b = ui::GetBackend();
    return b ? b->ShowMessageBox(0, text, std::string(), type) : 0;
}

namespace ui {

std::string AppNameFromPath(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

int RunApplication(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    if (app->m_appName.empty() && argc > 0 && argv[0]) app->m_appName = AppNameFromPath(argv[0]);
    // Dialog-based: whatever InitInstance returns, there is no message loop left to run.
    app->InitInstance();
    return 0;
}

}  // namespace ui
