// CWnd: a window of the framework, a dialog or one of its controls. It holds only the
// backend's handle; the state lives in the backend. A CWnd that is bound to nothing, or
// whose window has been destroyed, does nothing and answers with defaults.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "ui/wintypes.h"

namespace ui {
struct MessageMap;
}

// What routes commands through a message map: every window, and the application object,
// which takes the commands no window handled (the help command).
class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget();
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // The table of notification handlers; see msgmap.h.
    virtual const ui::MessageMap* GetMessageMap() const;

protected:
    static const ui::MessageMap* GetThisMessageMap();
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The backend's window; 0 while unbound or after the dialog ended.
    HWND m_hWnd = 0;
    HWND GetSafeHwnd() const { return m_hWnd; }
    int GetDlgCtrlID() const { return m_id; }

    // A framework-owned CWnd for control `id` of this dialog, or null. The same pointer is
    // returned for the dialog's whole life; it addresses the same control as a wrapper
    // bound with DDX_Control.
    CWnd* GetDlgItem(int id);

    // A drop-down list's text is its selected entry's (empty with none) and setting it does
    // nothing; an IP control's text is its four fields (see CIPAddressCtrl).
    void SetWindowText(const std::string& text);
    void GetWindowText(std::string& text) const { text = GetWindowText(); }
    std::string GetWindowText() const;
    int GetWindowTextLength() const { return static_cast<int>(GetWindowText().size()); }

    // Both return the previous state as Windows does: EnableWindow nonzero when the window
    // was disabled, ShowWindow nonzero when it was visible.
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int cmdShow);
    BOOL IsWindowVisible() const;  // the window's own state, not its ancestors'

    // For a control: its dialog. For a running dialog: the window that owns it.
    CWnd* GetOwner() const { return m_pOwner; }
    CWnd* GetParent() const { return m_pOwner; }

    // Only dialogs take posted messages. A posted WM_CLOSE ends a dialog through OnCancel.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    void GetWindowRect(LPRECT rect) const;  // screen pixels, frame included
    void GetClientRect(LPRECT rect) const;  // always at 0,0
    // Moves and/or sizes the window; z-order and activation are not modelled.
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    // Width and height in pixels of `text` in this window's font.
    CSize GetTextExtent(const std::string& text) const;
    BOOL IsIconic() const;
    HICON SetIcon(HICON icon, BOOL bigIcon);  // returns the previous icon
    HICON GetIcon(BOOL bigIcon) const;

    // Paints the window's due parts now rather than when the loop next goes idle.
    void UpdateWindow();

    // Modal message box with an OK button; a null caption means the application's name.
    // Timers keep firing while it shows.
    int MessageBox(const std::string& text, const char* caption = nullptr, UINT type = MB_OK);

    // Timers of a dialog, with nonzero ids; SetTimer returns the id, 0 on failure. They end with
    // the window.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs);
    BOOL KillTimer(UINT_PTR id);

protected:
    // Binds this object to a window (DDX_Control, GetDlgItem, DoModal).
    void Bind(HWND hwnd, int id, CWnd* owner);
    // Clears the binding of this window and of the CWnds GetDlgItem handed out.
    void Unbind();

    int m_id = 0;
    CWnd* m_pOwner = nullptr;

private:
    friend void DDX_Control(class CDataExchange* pDX, int id, CWnd& control);
    std::map<int, std::unique_ptr<CWnd>> m_items;  // what GetDlgItem handed out
};

// The busy cursor for the object's lifetime, around a call that blocks the windows.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// Icons name a resource of the application; LoadIcon in CWinApp makes them.
namespace ui {
inline HICON IconFromId(int id) { return reinterpret_cast<HICON>(static_cast<uintptr_t>(id)); }
inline int IconId(HICON icon) { return static_cast<int>(reinterpret_cast<uintptr_t>(icon)); }
}  // namespace ui
