#include "ui/wx/wx_backend.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/iconbndl.h>
#include <wx/init.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/odcombo.h>
#include <wx/settings.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

// After msgdlg.h, which declares its base.
#include <wx/generic/msgdlgg.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "ui/winconst.h"
#include "ui/wx/ip_ctrl.h"

namespace ui::wx {

struct WxBackend::Control {
    Handle handle = 0;
    Handle dialog = 0;
    int id = 0;
    WindowKind kind = WindowKind::Static;
    wxWindow* window = nullptr;
    // The bytes of a label or an edit's text as last set from code or typed, and for an
    // edit what it showed then: while it still shows that, the bytes are its text.
    std::string text;
    wxString shown;
    size_t limit = 30000;
    int templateWidth = 0;
    std::vector<std::string> entries;  // combo
    std::vector<ListColumn> columns;   // list view; the widths live in the toolkit
    std::vector<std::vector<std::string>> rows;
    int mark = -1;
    uint32_t exStyle = 0;
};

class WxBackend::Timer : public wxTimer {
public:
    Timer(WxBackend& backend, Handle dialog, uintptr_t id)
        : m_backend(backend), m_dialog(dialog), m_id(id) {}
    void Arm(unsigned period) {
        m_period = std::chrono::milliseconds(period);
        Restart();
    }
    void Kill() {
        Stop();
        m_killed = true;
    }
    bool Firing() const { return m_firing > 0; }
    void Notify() override {
        // Re-armed first: a loop that the handler runs dispatches the next tick.
        Restart();
        ++m_firing;
        m_backend.FireTimer(m_dialog, m_id);
        --m_firing;
        // A handler that overran would find its tick due again at once, and a tick always
        // due keeps the toolkit from ever going idle: no posted message, no repaint. So the
        // next one comes a whole period after the handler returned.
        if (!m_killed && Clock::now() >= m_due) Restart();
    }

private:
    using Clock = std::chrono::steady_clock;
    void Restart() {
        m_due = Clock::now() + m_period;
        StartOnce(static_cast<int>(m_period.count()));
    }

    WxBackend& m_backend;
    Handle m_dialog;
    uintptr_t m_id;
    std::chrono::milliseconds m_period{0};
    Clock::time_point m_due;
    int m_firing = 0;
    bool m_killed = false;
};

struct WxBackend::Dialog {
    Handle handle = 0;
    int templateId = 0;
    uint32_t style = 0;
    Handle owner = 0;
    wxDialog* window = nullptr;
    DialogEvents* events = nullptr;
    std::string caption;
    std::vector<std::unique_ptr<Control>> controls;
    std::map<uintptr_t, std::unique_ptr<Timer>> timers;
    std::vector<std::unique_ptr<Timer>> killed;  // stopped while their handler ran
    int modalAbove = 0;                          // modal windows of its own open above it
    bool running = false;
    bool ended = false;
    bool exiting = false;  // the toolkit's loop was told to end
    bool placed = false;   // moved by the template or by code: not centred
    int result = 0;
    int iconBig = 0;
    int iconSmall = 0;
};

namespace {

constexpr unsigned kMinTimerPeriod = 10;

std::map<int, const char* const*>& Icons() {
    static std::map<int, const char* const*> icons;
    return icons;
}

std::vector<std::string>& ToolkitErrors() {
    static std::vector<std::string> errors;
    return errors;
}

std::string Bytes(const wxString& s) {
    wxScopedCharBuffer utf8 = s.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

// A failed assertion of the toolkit is a fault of ours; it is recorded instead of
// stopping the program with the toolkit's own dialog.
void RecordAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ToolkitErrors().push_back(
        Bytes(wxString::Format("%s:%d %s: %s %s", file, line, func, cond, msg)));
}

// One line as a single-line control shows it: line breaks at the end go (device labels
// end in one), other control characters become blanks.
wxString OneLine(const std::string& bytes) {
    wxString s = Readable(bytes);
    while (!s.empty() && (s.Last() == '\n' || s.Last() == '\r')) s.RemoveLast();
    for (auto it = s.begin(); it != s.end(); ++it) {
        if (*it < ' ') *it = ' ';
    }
    return s;
}

wxListColumnFormat ListFormat(int format) {
    if (format == LVCFMT_CENTER) return wxLIST_FORMAT_CENTRE;
    return format == LVCFMT_RIGHT ? wxLIST_FORMAT_RIGHT : wxLIST_FORMAT_LEFT;
}

Rect ToRect(const wxPoint& p, const wxSize& s) { return {p.x, p.y, p.x + s.x, p.y + s.y}; }

// Where a dialog's client area starts on the screen. The toolkit can only tell while the
// dialog shows; before that the frame is taken to be as wide on every side but the top.
wxPoint ClientOrigin(const wxWindow& dialog) {
    if (dialog.IsShownOnScreen()) return dialog.ClientToScreen(wxPoint(0, 0));
    wxSize frame = dialog.GetSize() - dialog.GetClientSize();
    return dialog.GetPosition() + wxPoint(frame.x / 2, frame.y - frame.x / 2);
}

bool HasText(WindowKind kind) {
    return kind == WindowKind::Static || kind == WindowKind::Edit ||
           kind == WindowKind::PushButton || kind == WindowKind::CheckBox ||
           kind == WindowKind::GroupBox;
}

// The desktop font is not the one the template was drawn for, so a label gets at least
// the width of its text.
void FitLabel(wxStaticText& label, int templateWidth) {
    int needed = label.GetTextExtent(label.GetLabelText()).x;
    label.SetSize(std::max(templateWidth, needed), label.GetSize().y);
}

// wxGTK's list view is the generic one; its rows are a child window of their own, which
// is where double-clicks arrive.
class ReportList : public wxListCtrl {
public:
    ReportList(wxWindow* parent, const wxPoint& pos, const wxSize& size, long style)
        : wxListCtrl(parent, wxID_ANY, pos, size, style) {}
    wxWindow* Rows() const {
        // The rows' window is a plain wxWindow subclass that only the toolkit knows.
        for (wxWindow* child : GetChildren()) {
            if (static_cast<const void*>(child) == static_cast<const void*>(m_mainWin))
                return child;
        }
        return nullptr;
    }
};

}  // namespace

void RegisterIcon(int id, const char* const* xpm) { Icons()[id] = xpm; }

wxString Readable(const std::string& bytes) {
    wxString s = wxString::FromUTF8(bytes.data(), bytes.size());
    if (s.empty() && !bytes.empty()) s = wxString(bytes.data(), wxConvISO8859_1, bytes.size());
    return s;
}

WxBackend::WxBackend(int& argc, char** argv) : m_poster(std::make_unique<wxEvtHandler>()) {
    wxApp::SetInstance(new wxApp);
    m_ready = wxEntryStart(argc, argv);
    if (!m_ready) return;
    // The program ends when its main dialog's run returns, not when windows go.
    wxTheApp->SetExitOnFrameDelete(false);
    wxSetAssertHandler(&RecordAssert);
    // Toolkit messages go to standard error rather than into dialogs of their own.
    delete wxLog::SetActiveTarget(new wxLogStderr);
}

WxBackend::~WxBackend() {
    while (!m_dialogs.empty()) DestroyDialog(m_dialogs.begin()->first);
    m_poster.reset();
    if (m_ready) wxEntryCleanup();
}

std::vector<std::string> WxBackend::TakeToolkitErrors() {
    return std::exchange(ToolkitErrors(), {});
}

WxBackend::Dialog* WxBackend::FindDialog(Handle h) const {
    auto it = m_dialogs.find(h);
    return it == m_dialogs.end() ? nullptr : it->second.get();
}

WxBackend::Control* WxBackend::FindControl(Handle h, WindowKind kind) const {
    auto it = m_controls.find(h);
    if (it == m_controls.end()) return nullptr;
    return kind == WindowKind::None || it->second->kind == kind ? it->second : nullptr;
}

wxWindow* WxBackend::Window(Handle h) const {
    if (Dialog* d = FindDialog(h)) return d->window;
    Control* c = FindControl(h);
    return c ? c->window : nullptr;
}

wxWindow* WxBackend::ListRows(Handle list) const {
    Control* c = FindControl(list, WindowKind::ListReport);
    return c ? static_cast<ReportList*>(c->window)->Rows() : nullptr;
}

Handle WxBackend::HandleOf(const wxWindow* window) const {
    if (!window) return 0;
    for (const auto& [h, d] : m_dialogs) {
        if (d->window == window) return h;
    }
    for (const auto& [h, c] : m_controls) {
        if (c->window == window) return h;
    }
    return 0;
}

int WxBackend::TemplateId(Handle dialog) const {
    Dialog* d = FindDialog(dialog);
    return d ? d->templateId : 0;
}

uint32_t WxBackend::TemplateStyle(Handle dialog) const {
    Dialog* d = FindDialog(dialog);
    return d ? d->style : 0;
}

// --- Building ---

Handle WxBackend::CreateDialogWindow(const DialogTemplate& tmpl, Handle owner,
                                     DialogEvents& events) {
    if (!m_ready) return 0;
    Dialog* ownerDialog = FindDialog(owner);
    long style = 0;
    if (tmpl.style & DialogTemplate::Caption) style |= wxCAPTION;
    if (tmpl.style & DialogTemplate::SysMenu) style |= wxSYSTEM_MENU | wxCLOSE_BOX;
    auto* window = new wxDialog(ownerDialog ? ownerDialog->window : nullptr, wxID_ANY,
                                Readable(tmpl.caption), wxDefaultPosition, wxDefaultSize, style);
    // Every template font is the desktop's: its dialog units then fit the desktop's
    // controls, and the layout keeps its proportions.
    window->SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    window->SetEscapeId(wxID_NONE);
    window->SetClientSize(window->ConvertDialogToPixels(wxSize(tmpl.cx, tmpl.cy)));

    auto d = std::make_unique<Dialog>();
    Handle h = m_nextHandle++;
    d->handle = h;
    d->templateId = tmpl.id;
    d->style = tmpl.style;
    d->owner = ownerDialog ? owner : 0;
    d->window = window;
    d->events = &events;
    d->caption = tmpl.caption;
    if (tmpl.x || tmpl.y) {
        wxPoint at = window->ConvertDialogToPixels(wxPoint(tmpl.x, tmpl.y));
        if (ownerDialog) at = ownerDialog->window->ClientToScreen(at);
        window->Move(at);
        d->placed = true;
    }
    for (const ControlTemplate& t : tmpl.controls) BuildControl(*d, t);

    window->Bind(wxEVT_CHAR_HOOK, [this, h](wxKeyEvent& e) { OnCharHook(h, e); });
    window->Bind(wxEVT_CLOSE_WINDOW, [this, h](wxCloseEvent& e) {
        if (e.CanVeto()) e.Veto();
        Dialog* self = FindDialog(h);
        if (self && (self->style & DialogTemplate::SysMenu)) {
            self->events->OnMessage(WM_CLOSE, 0, 0);
        }
    });
    m_dialogs[h] = std::move(d);
    return h;
}

void WxBackend::BuildControl(Dialog& d, const ControlTemplate& t) {
    wxDialog* parent = d.window;
    wxPoint pos = parent->ConvertDialogToPixels(wxPoint(t.x, t.y));
    wxSize size = parent->ConvertDialogToPixels(wxSize(t.cx, t.cy));
    auto c = std::make_unique<Control>();
    c->handle = m_nextHandle++;
    c->dialog = d.handle;
    c->id = t.id;
    c->kind = t.kind;
    if (HasText(t.kind)) c->text = t.text;
    wxString label = Readable(t.text);
    switch (t.kind) {
        case WindowKind::Static: {
            auto* s = new wxStaticText(parent, wxID_ANY, "", pos, size, wxST_NO_AUTORESIZE);
            s->SetLabelText(label);  // literally: a '&' in device text is no mnemonic
            FitLabel(*s, size.x);
            c->templateWidth = size.x;
            c->window = s;
            break;
        }
        case WindowKind::Edit: {
            long style = t.style & ControlTemplate::Border ? 0 : wxBORDER_NONE;
            if (t.style & ControlTemplate::Password) style |= wxTE_PASSWORD;
            if (t.style & ControlTemplate::ReadOnly) style |= wxTE_READONLY;
            auto* e = new wxTextCtrl(parent, wxID_ANY, "", pos, size, style);
            if (t.style & ControlTemplate::ReadOnly) {
                e->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
            }
            c->shown = OneLine(t.text);
            e->ChangeValue(c->shown);
            c->window = e;
            break;
        }
        case WindowKind::PushButton:
            c->window = new wxButton(parent, wxID_ANY, label, pos, size);
            break;
        case WindowKind::CheckBox:
            c->window = new wxCheckBox(parent, wxID_ANY, label, pos, size);
            break;
        case WindowKind::GroupBox:
            c->window = new wxStaticBox(parent, wxID_ANY, label, pos, size);
            break;
        case WindowKind::ComboDropList: {
            // wx's own drop-down list: it reports its opening before the list shows, so a
            // handler can still fill it (GTK's native one tells only afterwards).
            auto* combo = new wxOwnerDrawnComboBox(parent, wxID_ANY, "", pos, wxSize(size.x, -1), 0,
                                                   nullptr, wxCB_READONLY);
            // The template's height is the dropped-down list's, as on Windows.
            combo->SetPopupMaxHeight(std::max(size.y - combo->GetSize().y, 40));
            c->window = combo;
            break;
        }
        case WindowKind::IpAddress:
            c->window = new IpAddressCtrl(parent, pos, size);
            break;
        case WindowKind::ListReport:
            c->window = new ReportList(
                parent, pos, size,
                wxLC_REPORT | wxLC_SINGLE_SEL |
                    (t.style & ControlTemplate::Border ? wxBORDER_THEME : wxBORDER_NONE));
            break;
        default:
            return;
    }
    if (t.style & ControlTemplate::Hidden) c->window->Hide();
    if (t.style & ControlTemplate::Disabled) c->window->Disable();
    m_controls[c->handle] = c.get();
    BindNotifications(*c);
    d.controls.push_back(std::move(c));
}

void WxBackend::BindNotifications(Control& c) {
    Handle h = c.handle;
    switch (c.kind) {
        case WindowKind::PushButton:
            c.window->Bind(wxEVT_BUTTON, [this, h](wxCommandEvent&) { Notify(h, BN_CLICKED, 0); });
            break;
        case WindowKind::CheckBox:
            c.window->Bind(wxEVT_CHECKBOX,
                           [this, h](wxCommandEvent&) { Notify(h, BN_CLICKED, 0); });
            break;
        case WindowKind::Edit:
            c.window->Bind(wxEVT_TEXT, [this, h](wxCommandEvent&) { OnEditText(h); });
            break;
        case WindowKind::ComboDropList:
            c.window->Bind(wxEVT_COMBOBOX,
                           [this, h](wxCommandEvent&) { Notify(h, CBN_SELCHANGE, 0); });
            c.window->Bind(wxEVT_COMBOBOX_DROPDOWN,
                           [this, h](wxCommandEvent&) { Notify(h, CBN_DROPDOWN, 0); });
            break;
        case WindowKind::IpAddress:
            static_cast<IpAddressCtrl*>(c.window)->onFieldChanged = [this, h](int field) {
                Notify(h, IPN_FIELDCHANGED, field);
            };
            break;
        case WindowKind::ListReport: {
            auto* list = static_cast<ReportList*>(c.window);
            // The selection mark is the row the user picked last, by mouse or keyboard.
            list->Bind(wxEVT_LIST_ITEM_SELECTED, [this, h](wxListEvent& e) {
                if (Control* self = FindControl(h)) self->mark = static_cast<int>(e.GetIndex());
                e.Skip();
            });
            list->Rows()->Bind(wxEVT_LEFT_DCLICK, [this, h](wxMouseEvent& e) {
                Control* self = FindControl(h);
                if (!self) return;
                int flags = 0;
                long row = static_cast<ReportList*>(self->window)->HitTest(e.GetPosition(), flags);
                if (row != wxNOT_FOUND) self->mark = static_cast<int>(row);
                Notify(h, NM_DBLCLK, row == wxNOT_FOUND ? -1 : static_cast<int>(row));
            });
            break;
        }
        default:
            break;
    }
}

void WxBackend::Notify(Handle control, unsigned code, int detail) {
    Control* c = FindControl(control);
    Dialog* d = c ? FindDialog(c->dialog) : nullptr;
    if (d) d->events->OnNotify(c->id, code, detail);
}

void WxBackend::OnEditText(Handle control) {
    Control* c = FindControl(control, WindowKind::Edit);
    if (!c) return;
    auto* edit = static_cast<wxTextCtrl*>(c->window);
    wxString now = edit->GetValue();
    std::string bytes = Bytes(now);
    // The limit counts bytes and only stops growth: text set from code may be longer,
    // and the user may still shorten it.
    if (bytes.size() > c->limit && bytes.size() > c->text.size()) {
        long grown = static_cast<long>(now.length()) - static_cast<long>(c->shown.length());
        long caret = edit->GetInsertionPoint();
        edit->ChangeValue(c->shown);
        edit->SetInsertionPoint(std::max(0L, caret - grown));
        return;
    }
    c->shown = now;
    c->text = std::move(bytes);
    Notify(control, EN_CHANGE, 0);
}

void WxBackend::OnCharHook(Handle dialog, wxKeyEvent& event) {
    int key = event.GetKeyCode();
    unsigned vk = key == WXK_RETURN || key == WXK_NUMPAD_ENTER ? VK_RETURN
                  : key == WXK_ESCAPE                          ? VK_ESCAPE
                  : key == WXK_F1                              ? VK_F1
                                                               : 0;
    Dialog* d = FindDialog(dialog);
    // Other keys stay with the toolkit (typing, Tab, arrows).
    if (!d || !vk || event.HasAnyModifiers()) return event.Skip();
    if (vk == VK_RETURN) {
        Control* from = FindControl(HandleOf(dynamic_cast<wxWindow*>(event.GetEventObject())),
                                    WindowKind::PushButton);
        if (from && from->dialog == dialog) return event.Skip();  // the button takes it
    }
    if (!d->events->OnKeyDown(vk)) event.Skip();
}

Handle WxBackend::GetControl(Handle dialog, int id) {
    Dialog* d = FindDialog(dialog);
    if (!d) return 0;
    for (const auto& c : d->controls) {
        if (c->id == id) return c->handle;
    }
    return 0;
}

// --- The modal loop ---

int WxBackend::RunModal(Handle dialog) {
    Dialog* d = FindDialog(dialog);
    if (!d || d->running) return -1;
    if (d->ended) return d->result;  // ended by its OnInitDialog: it never shows
    d->running = true;
    if (!d->placed) d->window->CentreOnParent();
    if (Dialog* owner = FindDialog(d->owner)) ++owner->modalAbove;
    m_frames.push_back({dialog, d->owner, d->window, {}, {}});
    d->window->ShowModal();
    d->running = false;
    if (!d->ended) {  // ended by the toolkit itself, which counts as a cancel
        d->ended = true;
        d->result = IDCANCEL;
    }
    if (Dialog* owner = FindDialog(d->owner)) --owner->modalAbove;
    PopFrame();
    return d->result;
}

void WxBackend::EndModal(Handle dialog, int result) {
    Dialog* d = FindDialog(dialog);
    if (!d) return;
    d->result = result;
    d->ended = true;
    // The toolkit can only end the innermost loop; one further down ends when the loops
    // above it have returned (PopFrame).
    if (d->running && !d->exiting && m_frames.back().dialog == dialog) {
        d->exiting = true;
        d->window->EndModal(result);
    }
}

void WxBackend::PopFrame() {
    m_frames.pop_back();
    if (m_frames.empty() || !m_frames.back().dialog) return;
    Dialog* below = FindDialog(m_frames.back().dialog);
    if (below && below->ended && !below->exiting) {
        below->exiting = true;
        below->window->EndModal(below->result);
    }
}

void WxBackend::DestroyDialog(Handle dialog) {
    auto it = m_dialogs.find(dialog);
    if (it == m_dialogs.end()) return;
    Dialog& d = *it->second;
    d.timers.clear();
    d.killed.clear();
    for (const auto& c : d.controls) m_controls.erase(c->handle);
    wxDialog* window = d.window;
    m_dialogs.erase(it);
    // Messages still posted to it find no dialog when their turn comes.
    window->Destroy();
}

bool WxBackend::PostToDialog(Handle dialog, unsigned msg, uintptr_t wParam, intptr_t lParam) {
    if (!FindDialog(dialog)) return false;
    m_poster->CallAfter(
        [this, dialog, msg, wParam, lParam] { Deliver(dialog, msg, wParam, lParam); });
    return true;
}

void WxBackend::Deliver(Handle dialog, unsigned msg, uintptr_t wParam, intptr_t lParam) {
    if (Dialog* d = FindDialog(dialog)) d->events->OnMessage(msg, wParam, lParam);
}

bool WxBackend::SetTimer(Handle dialog, uintptr_t id, unsigned ms) {
    Dialog* d = FindDialog(dialog);
    if (!d) return false;
    std::unique_ptr<Timer>& timer = d->timers[id];
    if (!timer) timer = std::make_unique<Timer>(*this, dialog, id);
    timer->Arm(std::max(ms, kMinTimerPeriod));
    return true;
}

bool WxBackend::KillTimer(Handle dialog, uintptr_t id) {
    Dialog* d = FindDialog(dialog);
    if (!d) return false;
    auto it = d->timers.find(id);
    if (it == d->timers.end()) return false;
    it->second->Kill();
    // A timer that kills itself from its handler is still on the stack.
    if (it->second->Firing()) d->killed.push_back(std::move(it->second));
    d->timers.erase(it);
    return true;
}

void WxBackend::FireTimer(Handle dialog, uintptr_t id) {
    if (Dialog* d = FindDialog(dialog)) d->events->OnTimer(id);
}

int WxBackend::ShowMessageBox(Handle owner, const std::string& text, const std::string& caption,
                              unsigned) {
    if (!m_ready) return IDOK;
    Dialog* o = FindDialog(owner);
    wxGenericMessageDialog box(o ? o->window : nullptr, Readable(text), Readable(caption),
                               wxOK | wxCENTRE);
    if (o) ++o->modalAbove;
    m_frames.push_back({0, o ? owner : 0, &box, text, caption});
    box.ShowModal();
    if ((o = FindDialog(owner))) --o->modalAbove;
    PopFrame();
    return IDOK;
}

// --- Any window ---

WindowKind WxBackend::Kind(Handle h) {
    if (FindDialog(h)) return WindowKind::Dialog;
    Control* c = FindControl(h);
    return c ? c->kind : WindowKind::None;
}

std::string WxBackend::GetText(Handle h) {
    if (Dialog* d = FindDialog(h)) return d->caption;
    Control* c = FindControl(h);
    if (!c || !HasText(c->kind)) return {};
    if (c->kind == WindowKind::Edit) {
        wxString now = static_cast<wxTextCtrl*>(c->window)->GetValue();
        if (now != c->shown) return Bytes(now);
    }
    return c->text;
}

void WxBackend::SetText(Handle h, const std::string& text) {
    if (Dialog* d = FindDialog(h)) {
        d->caption = text;
        d->window->SetTitle(Readable(text));
        return;
    }
    Control* c = FindControl(h);
    if (!c || !HasText(c->kind)) return;
    c->text = text;
    switch (c->kind) {
        case WindowKind::Static: {
            auto* label = static_cast<wxStaticText*>(c->window);
            label->SetLabelText(Readable(text));
            FitLabel(*label, c->templateWidth);
            break;
        }
        case WindowKind::Edit:
            c->shown = OneLine(text);
            static_cast<wxTextCtrl*>(c->window)->ChangeValue(c->shown);
            break;
        default:
            c->window->SetLabel(Readable(text));
            break;
    }
}

bool WxBackend::IsEnabled(Handle h) {
    if (Dialog* d = FindDialog(h)) return d->window->IsThisEnabled() && d->modalAbove == 0;
    Control* c = FindControl(h);
    return c && c->window->IsThisEnabled();
}

void WxBackend::SetEnabled(Handle h, bool enabled) {
    if (wxWindow* w = Window(h)) w->Enable(enabled);
}

bool WxBackend::IsVisible(Handle h) {
    wxWindow* w = Window(h);
    return w && w->IsShown();
}

void WxBackend::SetVisible(Handle h, bool visible) {
    if (wxWindow* w = Window(h)) w->Show(visible);
}

Rect WxBackend::GetWindowRect(Handle h) {
    if (Dialog* d = FindDialog(h)) return ToRect(d->window->GetPosition(), d->window->GetSize());
    Control* c = FindControl(h);
    if (!c) return {};
    return ToRect(ClientOrigin(*c->window->GetParent()) + c->window->GetPosition(),
                  c->window->GetSize());
}

Rect WxBackend::GetClientRect(Handle h) {
    wxWindow* w = Window(h);
    return w ? ToRect(wxPoint(0, 0), w->GetClientSize()) : Rect{};
}

void WxBackend::SetWindowRect(Handle h, const Rect& r) {
    if (Dialog* d = FindDialog(h)) {
        if (d->window->GetPosition() != wxPoint(r.left, r.top)) d->placed = true;
        d->window->SetSize(r.left, r.top, r.Width(), r.Height(), wxSIZE_ALLOW_MINUS_ONE);
        return;
    }
    Control* c = FindControl(h);
    if (!c) return;
    wxPoint at = wxPoint(r.left, r.top) - ClientOrigin(*c->window->GetParent());
    c->window->SetSize(at.x, at.y, r.Width(), r.Height(), wxSIZE_ALLOW_MINUS_ONE);
}

Size WxBackend::TextExtent(Handle h, const std::string& text) {
    wxWindow* w = Window(h);
    if (!w) return {};
    wxSize s = w->GetTextExtent(Readable(text));
    return {s.x, s.y};
}

bool WxBackend::IsIconic(Handle h) {
    Dialog* d = FindDialog(h);
    return d && d->window->IsIconized();
}

void WxBackend::SetIcon(Handle h, int iconId, bool big) {
    Dialog* d = FindDialog(h);
    if (!d) return;
    (big ? d->iconBig : d->iconSmall) = iconId;
    wxIconBundle icons;
    for (int id : {d->iconBig, d->iconSmall}) {
        auto it = Icons().find(id);
        if (it != Icons().end()) icons.AddIcon(wxIcon(it->second));
    }
    d->window->SetIcons(icons);
}

int WxBackend::GetIcon(Handle h, bool big) {
    Dialog* d = FindDialog(h);
    return d ? (big ? d->iconBig : d->iconSmall) : 0;
}

// --- Control primitives ---

int WxBackend::GetCheck(Handle h) {
    Control* c = FindControl(h, WindowKind::CheckBox);
    return c && static_cast<wxCheckBox*>(c->window)->GetValue() ? BST_CHECKED : BST_UNCHECKED;
}

void WxBackend::SetCheck(Handle h, int state) {
    if (Control* c = FindControl(h, WindowKind::CheckBox)) {
        static_cast<wxCheckBox*>(c->window)->SetValue(state == BST_CHECKED);
    }
}

size_t WxBackend::GetEditLimit(Handle h) {
    Control* c = FindControl(h, WindowKind::Edit);
    return c ? c->limit : 0;
}

void WxBackend::SetEditLimit(Handle h, size_t limit) {
    if (Control* c = FindControl(h, WindowKind::Edit)) c->limit = limit;
}

int WxBackend::ComboCount(Handle h) {
    Control* c = FindControl(h, WindowKind::ComboDropList);
    return c ? static_cast<int>(c->entries.size()) : 0;
}

std::string WxBackend::ComboText(Handle h, int index) {
    Control* c = FindControl(h, WindowKind::ComboDropList);
    return c ? c->entries[index] : "";
}

void WxBackend::ComboInsert(Handle h, int index, const std::string& text) {
    if (Control* c = FindControl(h, WindowKind::ComboDropList)) {
        c->entries.insert(c->entries.begin() + index, text);
        static_cast<wxOwnerDrawnComboBox*>(c->window)->Insert(OneLine(text), index);
    }
}

void WxBackend::ComboDelete(Handle h, int index) {
    if (Control* c = FindControl(h, WindowKind::ComboDropList)) {
        c->entries.erase(c->entries.begin() + index);
        static_cast<wxOwnerDrawnComboBox*>(c->window)->Delete(index);
    }
}

int WxBackend::ComboGetSel(Handle h) {
    Control* c = FindControl(h, WindowKind::ComboDropList);
    return c ? static_cast<wxOwnerDrawnComboBox*>(c->window)->GetSelection() : -1;
}

void WxBackend::ComboSetSel(Handle h, int index) {
    if (Control* c = FindControl(h, WindowKind::ComboDropList)) {
        static_cast<wxOwnerDrawnComboBox*>(c->window)->SetSelection(index < 0 ? wxNOT_FOUND
                                                                              : index);
    }
}

int WxBackend::IpGetField(Handle h, int field) {
    Control* c = FindControl(h, WindowKind::IpAddress);
    return c ? static_cast<IpAddressCtrl*>(c->window)->GetField(field) : -1;
}

void WxBackend::IpSetField(Handle h, int field, int value) {
    if (Control* c = FindControl(h, WindowKind::IpAddress)) {
        static_cast<IpAddressCtrl*>(c->window)->SetField(field, std::clamp(value, -1, 255));
    }
}

int WxBackend::ListColumnCount(Handle h) {
    Control* c = FindControl(h, WindowKind::ListReport);
    return c ? static_cast<int>(c->columns.size()) : 0;
}

ListColumn WxBackend::ListGetColumn(Handle h, int col) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c) return {};
    ListColumn column = c->columns[col];
    column.width = static_cast<wxListCtrl*>(c->window)->GetColumnWidth(col);  // may be dragged
    return column;
}

void WxBackend::ListInsertColumn(Handle h, int col, const ListColumn& column) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c) return;
    auto* list = static_cast<wxListCtrl*>(c->window);
    c->columns.insert(c->columns.begin() + col, column);
    list->InsertColumn(col, Readable(column.heading), ListFormat(column.format), column.width);
    if (c->rows.empty()) return;
    // Cells belong to their columns; the rows are shown again from their bytes.
    for (auto& row : c->rows) {
        if (row.size() < c->columns.size()) row.insert(row.begin() + col, std::string());
    }
    list->DeleteAllItems();
    for (size_t r = 0; r < c->rows.size(); ++r) {
        list->InsertItem(static_cast<long>(r), OneLine(c->rows[r][0]));
        for (size_t k = 1; k < c->rows[r].size(); ++k) {
            list->SetItem(static_cast<long>(r), static_cast<int>(k), OneLine(c->rows[r][k]));
        }
    }
}

int WxBackend::ListItemCount(Handle h) {
    Control* c = FindControl(h, WindowKind::ListReport);
    return c ? static_cast<int>(c->rows.size()) : 0;
}

void WxBackend::ListInsertItem(Handle h, int row, const std::string& text) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c) return;
    std::vector<std::string> cells(std::max<size_t>(c->columns.size(), 1));
    cells[0] = text;
    c->rows.insert(c->rows.begin() + row, std::move(cells));
    // Report view shows rows only under columns; ListInsertColumn shows them later.
    if (!c->columns.empty()) static_cast<wxListCtrl*>(c->window)->InsertItem(row, OneLine(text));
}

std::string WxBackend::ListGetItemText(Handle h, int row, int col) {
    Control* c = FindControl(h, WindowKind::ListReport);
    return c ? c->rows[row][col] : "";
}

void WxBackend::ListSetItemText(Handle h, int row, int col, const std::string& text) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c || static_cast<size_t>(col) >= c->rows[row].size()) return;
    c->rows[row][col] = text;
    if (!c->columns.empty()) static_cast<wxListCtrl*>(c->window)->SetItem(row, col, OneLine(text));
}

void WxBackend::ListDeleteAllItems(Handle h) {
    if (Control* c = FindControl(h, WindowKind::ListReport)) {
        c->rows.clear();
        static_cast<wxListCtrl*>(c->window)->DeleteAllItems();
    }
}

uint32_t WxBackend::ListGetExtendedStyle(Handle h) {
    Control* c = FindControl(h, WindowKind::ListReport);
    return c ? c->exStyle : 0;
}

void WxBackend::ListSetExtendedStyle(Handle h, uint32_t style) {
    Control* c = FindControl(h, WindowKind::ListReport);
    if (!c) return;
    c->exStyle = style;
    // The generic list always selects whole rows; grid lines are its rules.
    auto* list = static_cast<wxListCtrl*>(c->window);
    bool grid = style & LVS_EX_GRIDLINES;
    list->SetSingleStyle(wxLC_HRULES, grid);
    list->SetSingleStyle(wxLC_VRULES, grid);
}

int WxBackend::ListGetSelectionMark(Handle h) {
    Control* c = FindControl(h, WindowKind::ListReport);
    return c ? c->mark : -1;
}

void WxBackend::ListSetSelectionMark(Handle h, int row) {
    if (Control* c = FindControl(h, WindowKind::ListReport)) c->mark = row;
}

}  // namespace ui::wx
