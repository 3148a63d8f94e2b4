#include "ui/win32/win32_backend.h"

// clang-format off
#include "ui/winconst.h"
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <deque>

#include "ui/win32/win32_template.h"

namespace ui::win32 {
namespace {

// Carries one message of a dialog's posted queue to it.
constexpr UINT kPostedMessage = WM_APP + 0x3A1;
constexpr size_t kDefaultEditLimit = 30000;

std::wstring WindowText(HWND w) {
    int n = GetWindowTextLengthW(w);
    std::wstring text(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(std::max(GetWindowTextW(w, text.data(), n + 1), 0)));
    return text;
}

Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The four field edits of an IP address control, left to right.
std::vector<HWND> IpFields(HWND ip) {
    std::vector<std::pair<LONG, HWND>> fields;
    for (HWND c = GetWindow(ip, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        ::GetWindowRect(c, &r);
        fields.emplace_back(r.left, c);
    }
    std::sort(fields.begin(), fields.end());
    std::vector<HWND> out;
    for (auto& f : fields) out.push_back(f.second);
    return out;
}

// What a one-line control shows: no line breaks, a tab as a space.
std::wstring OneLine(std::wstring text) {
    std::erase_if(text, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
    std::replace_if(
        text.begin(), text.end(), [](wchar_t c) { return c < 0x20; }, L' ');
    return text;
}

// Over the owner, or the screen's work area for none, kept on that area.
void Centre(HWND w, HWND owner) {
    RECT area, self, over;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ::GetWindowRect(w, &self);
    over = area;
    if (owner && IsWindowVisible(owner)) ::GetWindowRect(owner, &over);
    int width = self.right - self.left, height = self.bottom - self.top;
    int x = over.left + (over.right - over.left - width) / 2;
    int y = over.top + (over.bottom - over.top - height) / 2;
    x = std::max<int>(area.left, std::min<int>(x, area.right - width));
    y = std::max<int>(area.top, std::min<int>(y, area.bottom - height));
    SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

struct Win32Backend::Control {
    Handle handle = 0;
    Dialog* dialog = nullptr;
    int id = 0;
    WindowKind kind = WindowKind::None;
    HWND hwnd = nullptr;
    // The bytes last set and what they showed as: while the control still shows that, its
    // text is those bytes.
    std::string bytes;
    std::wstring shown;
    size_t limit = kDefaultEditLimit;
    std::vector<std::string> entries;  // combo
    std::vector<ListColumn> columns;   // list view
    std::vector<std::vector<std::string>> cells;
    uint32_t exStyle = 0;
};

struct Win32Backend::Dialog {
    struct Timer {
        unsigned period = 0;
        uint64_t generation = 0;
    };
    struct Posted {
        unsigned msg;
        uintptr_t wParam;
        intptr_t lParam;
    };

    Win32Backend* backend = nullptr;
    Handle handle = 0;
    Handle owner = 0;
    HWND hwnd = nullptr;
    DialogEvents* events = nullptr;
    int templateId = 0;
    uint32_t style = 0;
    std::string bytes;  // the caption, kept as for a control
    std::wstring shown;
    std::vector<std::unique_ptr<Control>> controls;
    std::map<uintptr_t, Timer> timers;
    std::deque<Posted> posted;
    bool running = false;
    bool ended = false;
    int result = 0;
    int iconBig = 0;
    int iconSmall = 0;
    // Loaded per size and owned: a shared load would hand the small slot the big image.
    HICON iconHandles[2] = {nullptr, nullptr};  // small, big
    bool placed = false;                        // by the template or by code: not centred
};

namespace {

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* d = reinterpret_cast<Win32Backend::Dialog*>(lParam);
        d->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return TRUE;
    }
    auto* d = reinterpret_cast<Win32Backend::Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!d) return FALSE;
    return d->backend->HandleMessage(*d, msg, wParam, lParam);
}

}  // namespace

Win32Backend::Win32Backend() {
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX),
                             ICC_STANDARD_CLASSES | ICC_INTERNET_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
}

Win32Backend::~Win32Backend() {
    while (!m_dialogs.empty()) DestroyDialog(m_dialogs.begin()->first);
}

// --- Lookup ---

Win32Backend::Dialog* Win32Backend::FindDialog(Handle h) const {
    auto it = m_dialogs.find(h);
    return it == m_dialogs.end() || !IsWindow(it->second->hwnd) ? nullptr : it->second.get();
}

Win32Backend::Control* Win32Backend::FindControl(Handle h, WindowKind kind) const {
    auto it = m_controls.find(h);
    if (it == m_controls.end() || !IsWindow(it->second->hwnd)) return nullptr;
    return kind == WindowKind::None || it->second->kind == kind ? it->second : nullptr;
}

Hwnd Win32Backend::Native(Handle h) const {
    if (Dialog* d = FindDialog(h)) return d->hwnd;
    if (Control* c = FindControl(h)) return c->hwnd;
    return nullptr;
}

Hwnd Win32Backend::Window(Handle h) const { return Native(h); }

Handle Win32Backend::HandleOf(Hwnd window) const {
    auto it = m_byWindow.find(window);
    return it == m_byWindow.end() ? 0 : it->second;
}

int Win32Backend::TemplateId(Handle dialog) const {
    Dialog* d = FindDialog(dialog);
    return d ? d->templateId : 0;
}

uint32_t Win32Backend::TemplateStyle(Handle dialog) const {
    Dialog* d = FindDialog(dialog);
    return d ? d->style : 0;
}

// --- Dialogs and the modal loop ---

Handle Win32Backend::CreateDialogWindow(const DialogTemplate& tmpl, Handle owner,
                                        DialogEvents& events) {
    auto d = std::make_unique<Dialog>();
    d->backend = this;
    d->handle = m_nextHandle++;
    d->owner = FindDialog(owner) ? owner : 0;
    d->events = &events;
    d->templateId = tmpl.id;
    d->style = tmpl.style;
    d->bytes = tmpl.caption;
    d->shown = Readable(tmpl.caption);
    d->placed = tmpl.x != 0 || tmpl.y != 0;
    std::vector<uint16_t> words = BuildDialogTemplate(tmpl);
    HWND hwnd = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(words.data()),
        Native(d->owner), DialogProc, reinterpret_cast<LPARAM>(d.get()));
    if (!hwnd) return 0;
    // The controls are the dialog's children in template order.
    HWND child = GetWindow(hwnd, GW_CHILD);
    for (const ControlTemplate& t : tmpl.controls) {
        if (!child) break;
        auto c = std::make_unique<Control>();
        c->handle = m_nextHandle++;
        c->dialog = d.get();
        c->id = t.id;
        c->kind = t.kind;
        c->hwnd = child;
        c->bytes = t.text;
        c->shown = Readable(t.text);
        ++m_quiet;
        SetWindowTextW(child, c->shown.c_str());
        if (t.kind == WindowKind::Edit) SendMessageW(child, EM_LIMITTEXT, c->limit, 0);
        --m_quiet;
        m_controls[c->handle] = c.get();
        m_byWindow[child] = c->handle;
        d->controls.push_back(std::move(c));
        child = GetWindow(child, GW_HWNDNEXT);
    }
    m_byWindow[hwnd] = d->handle;
    Handle h = d->handle;
    m_dialogs[h] = std::move(d);
    return h;
}

Handle Win32Backend::GetControl(Handle dialog, int id) {
    if (Dialog* d = FindDialog(dialog)) {
        for (auto& c : d->controls) {
            if (c->id == id) return c->handle;
        }
    }
    return 0;
}

int Win32Backend::RunModal(Handle dialog) {
    Dialog* d = FindDialog(dialog);
    if (!d || d->running) return -1;
    if (d->ended) return d->result;  // ended by its OnInitDialog: it never shows
    d->running = true;
    HWND hwnd = d->hwnd;
    HWND owner = Native(d->owner);
    bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner) EnableWindow(owner, FALSE);
    m_frames.push_back({m_nextFrame++, dialog, d->owner, {}, {}});
    if (!d->placed) Centre(hwnd, owner);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while ((d = FindDialog(dialog)) && !d->ended) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        Dispatch(&msg);
    }
    m_frames.pop_back();
    // The owner first, so that it takes the activation back.
    if (disabledOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (IsWindow(hwnd)) ShowWindow(hwnd, SW_HIDE);
    d = FindDialog(dialog);
    if (!d) return IDCANCEL;
    d->running = false;
    return d->ended ? d->result : IDCANCEL;
}

void Win32Backend::Dispatch(void* raw) {
    MSG& msg = *static_cast<MSG*>(raw);
    if (PreTranslate(&msg)) return;
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && FindDialog(HandleOf(root)) && IsDialogMessageW(root, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Win32Backend::Input(Hwnd target, unsigned message, uintptr_t wParam, intptr_t lParam) {
    MSG msg{target, message, wParam, lParam, GetTickCount(), {}};
    Dispatch(&msg);
}

bool Win32Backend::PreTranslate(void* raw) {
    MSG& msg = *static_cast<MSG*>(raw);
    if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR) return false;
    if (!msg.hwnd) return false;
    Dialog* d = FindDialog(HandleOf(GetAncestor(msg.hwnd, GA_ROOT)));
    if (!d) return false;
    if (msg.message == WM_CHAR) {
        // The limit counts the bytes the text will have, not the characters it shows.
        Control* c = FindControl(HandleOf(msg.hwnd), WindowKind::Edit);
        if (!c || msg.wParam < 0x20) return false;
        std::wstring text = WindowText(c->hwnd);
        DWORD from = 0, to = 0;
        SendMessageW(c->hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        from = std::min<DWORD>(from, static_cast<DWORD>(text.size()));
        to = std::clamp<DWORD>(to, from, static_cast<DWORD>(text.size()));
        text.replace(from, to - from, 1, static_cast<wchar_t>(msg.wParam));
        if (Utf8(text).size() <= c->limit) return false;
        MessageBeep(MB_OK);
        return true;
    }
    unsigned vk = static_cast<unsigned>(msg.wParam);
    if (vk == VK_RETURN || vk == VK_ESCAPE) {
        // A push button with the focus takes Enter; an open drop-down list takes both keys.
        Control* focus = FindControl(HandleOf(msg.hwnd));
        if (focus && focus->kind == WindowKind::PushButton && vk == VK_RETURN) return false;
        if (focus && focus->kind == WindowKind::ComboDropList &&
            SendMessageW(focus->hwnd, CB_GETDROPPEDSTATE, 0, 0))
            return false;
    }
    return d->events->OnKeyDown(vk);
}

void Win32Backend::EndModal(Handle dialog, int result) {
    if (Dialog* d = FindDialog(dialog)) {
        d->ended = true;
        d->result = result;
        PostMessageW(d->hwnd, WM_NULL, 0, 0);  // wakes its loop if nothing else would
    }
}

void Win32Backend::DestroyDialog(Handle dialog) {
    auto it = m_dialogs.find(dialog);
    if (it == m_dialogs.end()) return;
    std::unique_ptr<Dialog> d = std::move(it->second);
    m_dialogs.erase(it);
    for (auto& c : d->controls) {
        m_controls.erase(c->handle);
        m_byWindow.erase(c->hwnd);
    }
    m_byWindow.erase(d->hwnd);
    if (IsWindow(d->hwnd)) {
        SetWindowLongPtrW(d->hwnd, DWLP_USER, 0);
        // Its timers and its queued carriers go with the window.
        DestroyWindow(d->hwnd);
    }
    for (HICON icon : d->iconHandles)
        if (icon) DestroyIcon(icon);
}

bool Win32Backend::PostToDialog(Handle dialog, unsigned msg, uintptr_t wParam, intptr_t lParam) {
    Dialog* d = FindDialog(dialog);
    if (!d || !PostMessageW(d->hwnd, kPostedMessage, 0, 0)) return false;
    d->posted.push_back({msg, wParam, lParam});
    return true;
}

bool Win32Backend::SetTimer(Handle dialog, uintptr_t id, unsigned ms) {
    Dialog* d = FindDialog(dialog);
    if (!d) return false;
    unsigned period = std::max(ms, 10u);
    if (!::SetTimer(d->hwnd, id, period, nullptr)) return false;
    static uint64_t generation = 0;
    d->timers[id] = {period, ++generation};
    return true;
}

bool Win32Backend::KillTimer(Handle dialog, uintptr_t id) {
    Dialog* d = FindDialog(dialog);
    if (!d || !d->timers.erase(id)) return false;
    ::KillTimer(d->hwnd, id);
    return true;
}

void Win32Backend::FireTimer(Dialog& d, uintptr_t id) {
    auto it = d.timers.find(id);
    if (it == d.timers.end()) return;
    Dialog::Timer timer = it->second;
    Handle h = d.handle;
    DWORD start = GetTickCount();
    d.events->OnTimer(id);
    // A handler that overran its period: the tick the system holds for it now would leave
    // the loop nothing else; the next comes a period from here.
    Dialog* again = FindDialog(h);
    if (!again) return;
    auto now = again->timers.find(id);
    if (now != again->timers.end() && now->second.generation == timer.generation &&
        GetTickCount() - start >= timer.period)
        ::SetTimer(again->hwnd, id, timer.period, nullptr);
}

void Win32Backend::DeliverPosted(Dialog& d) {
    if (d.posted.empty()) return;
    Dialog::Posted p = d.posted.front();
    d.posted.pop_front();
    d.events->OnMessage(p.msg, p.wParam, p.lParam);
}

int Win32Backend::ShowMessageBox(Handle owner, const std::string& text, const std::string& caption,
                                 unsigned type) {
    HWND o = Native(owner);
    HWND root = o ? GetAncestor(o, GA_ROOT) : nullptr;
    m_frames.push_back({m_nextFrame++, 0, HandleOf(root), text, caption});
    std::wstring wcaption = Readable(caption);
    // Without an owner it still holds every window of the program until answered.
    MessageBoxW(root, Readable(text).c_str(), caption.empty() ? nullptr : wcaption.c_str(),
                type | MB_OK | (root ? 0 : MB_TASKMODAL));
    m_frames.pop_back();
    return IDOK;
}

void Win32Backend::SetBusyCursor(bool busy) {
    m_busy = std::max(0, m_busy + (busy ? 1 : -1));
    SetCursor(LoadCursorA(nullptr, m_busy ? IDC_WAIT : IDC_ARROW));
}

void Win32Backend::RepaintNow(Handle h) {
    if (HWND w = Native(h)) RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32Backend::Notify(Dialog& d, int id, unsigned code, int detail) {
    if (m_quiet == 0) d.events->OnNotify(id, code, detail);
}

intptr_t Win32Backend::HandleMessage(Dialog& d, unsigned msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
        case WM_COMMAND: {
            Control* c = FindControl(HandleOf(reinterpret_cast<HWND>(lParam)));
            if (!c) return FALSE;
            unsigned code = HIWORD(wParam);
            bool user = (code == BN_CLICKED &&
                         (c->kind == WindowKind::PushButton || c->kind == WindowKind::CheckBox)) ||
                        (code == EN_CHANGE && c->kind == WindowKind::Edit) ||
                        ((code == CBN_SELCHANGE || code == CBN_DROPDOWN) &&
                         c->kind == WindowKind::ComboDropList);
            if (user) Notify(d, c->id, code, 0);
            return TRUE;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            Control* c = FindControl(HandleOf(header->hwndFrom));
            if (!c) return FALSE;
            if (header->code == NM_DBLCLK && c->kind == WindowKind::ListReport) {
                Notify(d, c->id, NM_DBLCLK, reinterpret_cast<NMITEMACTIVATE*>(lParam)->iItem);
            } else if (header->code == IPN_FIELDCHANGED && c->kind == WindowKind::IpAddress) {
                Notify(d, c->id, IPN_FIELDCHANGED, reinterpret_cast<NMIPADDRESS*>(lParam)->iField);
            }
            return FALSE;
        }
        case WM_CLOSE:
            d.events->OnMessage(WM_CLOSE, 0, 0);
            return TRUE;
        case WM_TIMER:
            FireTimer(d, wParam);
            return TRUE;
        case kPostedMessage:
            DeliverPosted(d);
            return TRUE;
        case WM_SETCURSOR:
            if (m_busy == 0) return FALSE;
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            SetWindowLongPtrW(d.hwnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_QUERYDRAGICON: {
            int id = d.events->OnQueryDragIcon();
            HANDLE icon = id ? LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                          IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED)
                             : nullptr;
            return reinterpret_cast<intptr_t>(icon);
        }
        default:
            return FALSE;
    }
}

// --- Any window ---

WindowKind Win32Backend::Kind(Handle h) {
    if (FindDialog(h)) return WindowKind::Dialog;
    Control* c = FindControl(h);
    return c ? c->kind : WindowKind::None;
}

std::string Win32Backend::GetText(Handle h) {
    std::string* bytes = nullptr;
    std::wstring* shown = nullptr;
    HWND w = nullptr;
    if (Dialog* d = FindDialog(h)) {
        bytes = &d->bytes, shown = &d->shown, w = d->hwnd;
    } else if (Control* c = FindControl(h)) {
        bytes = &c->bytes, shown = &c->shown, w = c->hwnd;
    } else {
        return {};
    }
    std::wstring now = WindowText(w);
    return now == *shown ? *bytes : Utf8(now);
}

void Win32Backend::SetText(Handle h, const std::string& text) {
    HWND w = nullptr;
    if (Dialog* d = FindDialog(h)) {
        d->bytes = text, d->shown = Readable(text), w = d->hwnd;
        SetWindowTextW(w, d->shown.c_str());
    } else if (Control* c = FindControl(h)) {
        c->bytes = text;
        c->shown = c->kind == WindowKind::Edit ? OneLine(Readable(text)) : Readable(text);
        ++m_quiet;
        SetWindowTextW(c->hwnd, c->shown.c_str());
        --m_quiet;
        // What the control keeps may differ (an edit drops what follows a NUL): compare
        // with that from now on.
        c->shown = WindowText(c->hwnd);
    }
}

bool Win32Backend::IsEnabled(Handle h) {
    HWND w = Native(h);
    return w && IsWindowEnabled(w);
}

void Win32Backend::SetEnabled(Handle h, bool enabled) {
    if (HWND w = Native(h)) EnableWindow(w, enabled);
}

bool Win32Backend::IsVisible(Handle h) {
    HWND w = Native(h);
    return w && (GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE);
}

void Win32Backend::SetVisible(Handle h, bool visible) {
    if (HWND w = Native(h)) ShowWindow(w, visible ? SW_SHOW : SW_HIDE);
}

Rect Win32Backend::GetWindowRect(Handle h) {
    RECT r{};
    if (HWND w = Native(h)) ::GetWindowRect(w, &r);
    return ToRect(r);
}

Rect Win32Backend::GetClientRect(Handle h) {
    RECT r{};
    if (HWND w = Native(h)) ::GetClientRect(w, &r);
    return ToRect(r);
}

void Win32Backend::SetWindowRect(Handle h, const Rect& r) {
    HWND w = Native(h);
    if (!w) return;
    if (Dialog* d = FindDialog(h)) {
        RECT now;
        ::GetWindowRect(w, &now);
        d->placed = d->placed || now.left != r.left || now.top != r.top;
    }
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    if (HWND parent = (GetWindowLongW(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr)
        MapWindowPoints(nullptr, parent, corners, 2);
    SetWindowPos(w, nullptr, corners[0].x, corners[0].y, corners[1].x - corners[0].x,
                 corners[1].y - corners[0].y, SWP_NOZORDER | SWP_NOACTIVATE);
}

Size Win32Backend::TextExtent(Handle h, const std::string& text) {
    HWND w = Native(h);
    if (!w) return {};
    HDC dc = GetDC(w);
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(w, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    std::wstring s = Readable(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(w, dc);
    return {size.cx, size.cy};
}

bool Win32Backend::IsIconic(Handle h) {
    HWND w = Native(h);
    return w && ::IsIconic(w);
}

void Win32Backend::SetIcon(Handle h, int iconId, bool big) {
    Dialog* d = FindDialog(h);
    if (!d) return;
    (big ? d->iconBig : d->iconSmall) = iconId;
    // A program without that resource (a test) keeps what the window had.
    int size = GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON);
    auto icon =
        static_cast<HICON>(iconId ? LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId),
                                               IMAGE_ICON, size, size, 0)
                                  : nullptr);
    if (!icon && iconId) return;
    SendMessageW(d->hwnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    HICON& owned = d->iconHandles[big ? 1 : 0];
    if (owned) DestroyIcon(owned);
    owned = icon;
}

int Win32Backend::GetIcon(Handle h, bool big) {
    Dialog* d = FindDialog(h);
    return d ? (big ? d->iconBig : d->iconSmall) : 0;
}

// --- Check boxes ---

int Win32Backend::GetCheck(Handle h) {
    Control* c = FindControl(h, WindowKind::CheckBox);
    return c ? static_cast<int>(SendMessageW(c->hwnd, BM_GETCHECK, 0, 0)) : 0;
}

void Win32Backend::SetCheck(Handle h, int state) {
    if (Control* c = FindControl(h, WindowKind::CheckBox))
        SendMessageW(c->hwnd, BM_SETCHECK, state, 0);
}

// --- Edits ---

size_t Win32Backend::GetEditLimit(Handle h) {
    Control* c = FindControl(h, WindowKind::Edit);
    return c ? c->limit : 0;
}

void Win32Backend::SetEditLimit(Handle h, size_t limit) {
    Control* c = FindControl(h, WindowKind::Edit);
    if (!c) return;
    c->limit = limit;
    // The control counts characters, never more than the bytes; PreTranslate counts bytes.
    SendMessageW(c->hwnd, EM_LIMITTEXT, std::min<size_t>(limit, 0x7FFFFFFE), 0);
}

// --- Drop-down lists ---

int Win32Backend::ComboCount(Handle h) {
    Control* c = FindControl(h, WindowKind::ComboDropList);
    return c ? static_cast<int>(c->entries.size()) : 0;
}

std::string Win32Backend::ComboText(Handle h, int index) {
    Control* c = FindControl(h, WindowKind::ComboDropList);
    return c ? c->entries[static_cast<size_t>(index)] : std::string();
}

void Win32Backend::ComboInsert(Handle h, int index, const std::string& text) {
    Control* c = FindControl(h, WindowKind::ComboDropList);
    if (!c) return;
    std::wstring shown = OneLine(Readable(text));
    SendMessageW(c->hwnd, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(shown.c_str()));
    c->entries.insert(c->entries.begin() + index, text);
}

void Win32Backend::ComboDelete(Handle h, int index) {
    Control* c = FindControl(h, WindowKind::ComboDropList);
    if (!c) return;
    SendMessageW(c->hwnd, CB_DELETESTRING, index, 0);
    c->entries.erase(c->entries.begin() + index);
}

int Win32Backend::ComboGetSel(Handle h) {
    Control* c = FindControl(h, WindowKind::ComboDropList);
    return c ? static_cast<int>(SendMessageW(c->hwnd, CB_GETCURSEL, 0, 0)) : -1;
}

void Win32Backend::ComboSetSel(Handle h, int index) {
    if (Control* c = FindControl(h, WindowKind::ComboDropList))
        SendMessageW(c->hwnd, CB_SETCURSEL, index, 0);
}

// --- IP address controls ---

int Win32Backend::IpGetField(Handle h, int field) {
    Control* c = FindControl(h, WindowKind::IpAddress);
    if (!c) return -1;
    std::vector<HWND> fields = IpFields(c->hwnd);
    if (static_cast<size_t>(field) >= fields.size()) return -1;
    std::wstring text = WindowText(fields[static_cast<size_t>(field)]);
    return text.empty() ? -1 : std::min(_wtoi(text.c_str()), 255);
}

void Win32Backend::IpSetField(Handle h, int field, int value) {
    Control* c = FindControl(h, WindowKind::IpAddress);
    if (!c) return;
    std::vector<HWND> fields = IpFields(c->hwnd);
    if (static_cast<size_t>(field) >= fields.size()) return;
    ++m_quiet;
    SetWindowTextW(fields[static_cast<size_t>(field)],
                   value < 0 ? L"" : std::to_wstring(value).c_str());
    --m_quiet;
}

// --- List views ---

int Win32Backend::ListColumnCount(Handle h) {
    Control* c = FindControl(h, WindowKind::ListReport);
    return c ? static_cast<int>(c->columns.size()) : 0;
}

ListColumn Win32Backend::ListGetColumn(Handle h, int col) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c) return {};
    ListColumn column = c->columns[static_cast<size_t>(col)];
    column.width = static_cast<int>(SendMessageW(c->hwnd, LVM_GETCOLUMNWIDTH, col, 0));
    return column;
}

void Win32Backend::ListInsertColumn(Handle h, int col, const ListColumn& column) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c) return;
    std::wstring heading = Readable(column.heading);
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvc.fmt = column.format;
    lvc.cx = column.width;
    lvc.pszText = heading.data();
    lvc.iSubItem = col;
    SendMessageW(c->hwnd, LVM_INSERTCOLUMNW, col, reinterpret_cast<LPARAM>(&lvc));
    c->columns.insert(c->columns.begin() + col, column);
    for (auto& row : c->cells) {
        if (c->columns.size() > row.size()) row.insert(row.begin() + col, std::string());
    }
}

int Win32Backend::ListItemCount(Handle h) {
    Control* c = FindControl(h, WindowKind::ListReport);
    return c ? static_cast<int>(c->cells.size()) : 0;
}

void Win32Backend::ListInsertItem(Handle h, int row, const std::string& text) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c) return;
    std::wstring shown = OneLine(Readable(text));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = shown.data();
    SendMessageW(c->hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    std::vector<std::string> cells(std::max<size_t>(c->columns.size(), 1));
    cells[0] = text;
    c->cells.insert(c->cells.begin() + row, std::move(cells));
}

std::string Win32Backend::ListGetItemText(Handle h, int row, int col) {
    Control* c = FindControl(h, WindowKind::ListReport);
    return c ? c->cells[static_cast<size_t>(row)][static_cast<size_t>(col)] : std::string();
}

void Win32Backend::ListSetItemText(Handle h, int row, int col, const std::string& text) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c) return;
    std::wstring shown = OneLine(Readable(text));
    LVITEMW item{};
    item.iSubItem = col;
    item.pszText = shown.data();
    SendMessageW(c->hwnd, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    c->cells[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
}

void Win32Backend::ListDeleteAllItems(Handle h) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c) return;
    SendMessageW(c->hwnd, LVM_DELETEALLITEMS, 0, 0);
    c->cells.clear();
}

uint32_t Win32Backend::ListGetExtendedStyle(Handle h) {
    Control* c = FindControl(h, WindowKind::ListReport);
    return c ? c->exStyle : 0;
}

void Win32Backend::ListSetExtendedStyle(Handle h, uint32_t style) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c) return;
    c->exStyle = style;
    SendMessageW(c->hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style);
}

int Win32Backend::ListGetSelectionMark(Handle h) {
    Control* c = FindControl(h, WindowKind::ListReport);
    return c ? static_cast<int>(SendMessageW(c->hwnd, LVM_GETSELECTIONMARK, 0, 0)) : -1;
}

void Win32Backend::ListSetSelectionMark(Handle h, int row) {
    if (Control* c = FindControl(h, WindowKind::ListReport))
        SendMessageW(c->hwnd, LVM_SETSELECTIONMARK, 0, row);
}

}  // namespace ui::win32
