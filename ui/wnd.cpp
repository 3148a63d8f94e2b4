#include "ui/wnd.h"

#include "ui/app.h"
#include "ui/backend.h"
#include "ui/controls.h"
#include "ui/msgmap.h"

using ui::WindowKind;

CCmdTarget::~CCmdTarget() = default;

const ui::MessageMap* CCmdTarget::GetThisMessageMap() {
    static const ui::MessageMap map{};
    return &map;
}

const ui::MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::~CWnd() = default;

void CWnd::Bind(HWND hwnd, int id, CWnd* owner) {
    m_hWnd = hwnd;
    m_id = id;
    m_pOwner = owner;
}

void CWnd::Unbind() {
    for (auto& [id, item] : m_items) item->Bind(0, id, nullptr);
    Bind(0, m_id, nullptr);
}

CWnd* CWnd::GetDlgItem(int id) {
    ui::Backend* b = ui::GetBackend();
    HWND hwnd = b ? b->GetControl(m_hWnd, id) : 0;
    if (!hwnd) return nullptr;
    std::unique_ptr<CWnd>& item = m_items[id];
    if (!item) item = std::make_unique<CWnd>();
    item->Bind(hwnd, id, this);  // a dialog run again has new controls
    return item.get();
}

void CWnd::SetWindowText(const std::string& text) {
    ui::Backend* b = ui::GetBackend();
    if (!b) return;
    switch (b->Kind(m_hWnd)) {
        case WindowKind::None:
        case WindowKind::ComboDropList:  // a drop-down list has no text of its own
        case WindowKind::ListReport:
            return;
        case WindowKind::IpAddress: {
            int fields[4];
            ui::ParseIpText(text, fields);
            for (int i = 0; i < 4; ++i) b->IpSetField(m_hWnd, i, fields[i]);
            return;
        }
        default:
            b->SetText(m_hWnd, text);
    }
}

std::string CWnd::GetWindowText() const {
    ui::Backend* b = ui::GetBackend();
    if (!b) return {};
    switch (b->Kind(m_hWnd)) {
        case WindowKind::None:
        case WindowKind::ListReport:
            return {};
        case WindowKind::ComboDropList: {
            int sel = b->ComboGetSel(m_hWnd);
            return sel >= 0 && sel < b->ComboCount(m_hWnd) ? b->ComboText(m_hWnd, sel) : "";
        }
        case WindowKind::IpAddress: {
            int fields[4];
            for (int i = 0; i < 4; ++i) fields[i] = b->IpGetField(m_hWnd, i);
            return ui::FormatIpText(fields);
        }
        default:
            return b->GetText(m_hWnd);
    }
}

BOOL CWnd::EnableWindow(BOOL enable) {
    ui::Backend* b = ui::GetBackend();
    if (!b || b->Kind(m_hWnd) == WindowKind::None) return FALSE;
    BOOL wasDisabled = !b->IsEnabled(m_hWnd);
    b->SetEnabled(m_hWnd, enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    ui::Backend* b = ui::GetBackend();
    return b && b->IsEnabled(m_hWnd);
}

BOOL CWnd::ShowWindow(int cmdShow) {
    ui::Backend* b = ui::GetBackend();
    if (!b) return FALSE;
    BOOL wasVisible = b->IsVisible(m_hWnd);
    b->SetVisible(m_hWnd, cmdShow != SW_HIDE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    ui::Backend* b = ui::GetBackend();
    return b && b->IsVisible(m_hWnd);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    ui::Backend* b = ui::GetBackend();
    return b && b->PostToDialog(m_hWnd, message, wParam, lParam);
}

static void ToRect(const ui::Rect& r, LPRECT out) {
    if (out) *out = RECT{r.left, r.top, r.right, r.bottom};
}

void CWnd::GetWindowRect(LPRECT rect) const {
    ui::Backend* b = ui::GetBackend();
    ToRect(b ? b->GetWindowRect(m_hWnd) : ui::Rect{}, rect);
}

void CWnd::GetClientRect(LPRECT rect) const {
    ui::Backend* b = ui::GetBackend();
    ToRect(b ? b->GetClientRect(m_hWnd) : ui::Rect{}, rect);
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags) {
    ui::Backend* b = ui::GetBackend();
    if (!b || b->Kind(m_hWnd) == WindowKind::None) return FALSE;
    ui::Rect r = b->GetWindowRect(m_hWnd);
    if (!(flags & SWP_NOMOVE)) r = {x, y, x + r.Width(), y + r.Height()};
    if (!(flags & SWP_NOSIZE)) r = {r.left, r.top, r.left + cx, r.top + cy};
    b->SetWindowRect(m_hWnd, r);
    return TRUE;
}

CSize CWnd::GetTextExtent(const std::string& text) const {
    ui::Backend* b = ui::GetBackend();
    ui::Size s = b ? b->TextExtent(m_hWnd, text) : ui::Size{};
    return CSize(s.cx, s.cy);
}

BOOL CWnd::IsIconic() const {
    ui::Backend* b = ui::GetBackend();
    return b && b->IsIconic(m_hWnd);
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    ui::Backend* b = ui::GetBackend();
    if (!b) return nullptr;
    HICON previous = ui::IconFromId(b->GetIcon(m_hWnd, bigIcon != FALSE));
    b->SetIcon(m_hWnd, ui::IconId(icon), bigIcon != FALSE);
    return previous;
}

HICON CWnd::GetIcon(BOOL bigIcon) const {
    ui::Backend* b = ui::GetBackend();
    return b ? ui::IconFromId(b->GetIcon(m_hWnd, bigIcon != FALSE)) : nullptr;
}

void CWnd::UpdateWindow() {
    if (ui::Backend* b = ui::GetBackend()) b->RepaintNow(m_hWnd);
}

CWaitCursor::CWaitCursor() {
    if (ui::Backend* b = ui::GetBackend()) b->SetBusyCursor(true);
}

CWaitCursor::~CWaitCursor() {
    if (ui::Backend* b = ui::GetBackend()) b->SetBusyCursor(false);
}

int CWnd::MessageBox(const std::string& text, const char* caption, UINT type) {
    ui::Backend* b = ui::GetBackend();
    if (!b) return 0;
    // A control's box belongs to its dialog.
    HWND owner = b->Kind(m_hWnd) == WindowKind::Dialog ? m_hWnd : m_pOwner ? m_pOwner->m_hWnd : 0;
    return b->ShowMessageBox(owner, text, caption ? caption : AfxGetAppName(), type);
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs) {
    ui::Backend* b = ui::GetBackend();
    return b && id && b->SetTimer(m_hWnd, id, elapseMs) ? id : 0;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    ui::Backend* b = ui::GetBackend();
    return b && b->KillTimer(m_hWnd, id);
}
