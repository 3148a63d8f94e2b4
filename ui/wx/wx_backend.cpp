#include "ui/wx/wx_backend.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dc.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/iconbndl.h>
#include <wx/init.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/odcombo.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/utils.h>

// After msgdlg.h, which declares its base.
#include <wx/generic/msgdlgg.h>

// The accessible names and values go to GTK's own objects of the widgets.
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <cmath>
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
    wxRect place;  // in dialog units, as the template gives it
    bool tabStop = false;
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
    double widen = 1;  // horizontal factor on the dialog units, so every label fits

    wxPoint Pixels(int x, int y) const {
        wxPoint p = window->ConvertDialogToPixels(wxPoint(x, y));
        return {static_cast<int>(std::lround(p.x * widen)), p.y};
    }
    wxSize Pixels(const wxSize& units) const {
        wxSize s = window->ConvertDialogToPixels(units);
        return {static_cast<int>(std::lround(s.x * widen)), s.y};
    }
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
        : wxListCtrl(parent, wxID_ANY, pos, size, style) {
        // The headings repaint on each scroll event, before the view has taken the event's
        // position: after a scroll of several steps they stood a step or two (15 px each)
        // short of their columns. Drawn again afterwards, they follow the rows.
        for (const auto& type :
             {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP,
              wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN,
              wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE}) {
            Bind(type, [this](wxScrollWinEvent& e) {
                if (e.GetOrientation() == wxHORIZONTAL) CallAfter([this] { RefreshHeadings(); });
                e.Skip();
            });
        }
    }
    wxWindow* Rows() const {
        // The rows' window is a plain wxWindow subclass that only the toolkit knows.
        for (wxWindow* child : GetChildren()) {
            if (static_cast<const void*>(child) == static_cast<const void*>(m_mainWin))
                return child;
        }
        return nullptr;
    }

private:
    void RefreshHeadings() {
        for (wxWindow* child : GetChildren()) {
            if (static_cast<const void*>(child) == static_cast<const void*>(m_headerWin))
                child->Refresh();
        }
    }
};

// A drop-down list drawn the way the desktop's others look closed: plain colours with a
// focus mark while it has the focus. The toolkit's own look is a highlight bar, which stays
// on a picked entry after the focus has gone and fills an empty list.
class DropList : public wxOwnerDrawnComboBox {
public:
    DropList(wxWindow* parent, const wxPoint& pos, const wxSize& size)
        : wxOwnerDrawnComboBox(parent, wxID_ANY, "", pos, size, 0, nullptr, wxCB_READONLY) {}
    // The toolkit repaints the control whenever the focus comes or goes.

protected:
    void OnDrawBackground(wxDC& dc, const wxRect& rect, int item, int flags) const override {
        if (!(flags & wxODCB_PAINTING_CONTROL)) {
            return wxOwnerDrawnComboBox::OnDrawBackground(dc, rect, item, flags);
        }
        wxColour back =
            wxSystemSettings::GetColour(IsEnabled() ? wxSYS_COLOUR_WINDOW : wxSYS_COLOUR_BTNFACE);
        dc.SetBrush(back);
        dc.SetPen(back);
        dc.DrawRectangle(rect);
        dc.SetTextForeground(wxSystemSettings::GetColour(IsEnabled() ? wxSYS_COLOUR_WINDOWTEXT
                                                                     : wxSYS_COLOUR_GRAYTEXT));
        if (HasFocus()) {
            wxRendererNative::Get().DrawFocusRect(const_cast<DropList*>(this), dc,
                                                  wxRect(rect).Deflate(1));
        }
    }
};

// A message box at least as wide as its caption, which the toolkit leaves out of its
// measure: the caption shares its bar with the window's buttons.
class MessageBox : public wxGenericMessageDialog {
public:
    MessageBox(wxWindow* parent, const wxString& text, const wxString& caption)
        : wxGenericMessageDialog(parent, text, caption, wxOK | wxCENTRE) {}

protected:
    void AddMessageDialogDetails(wxSizer* sizer) override {
        wxFont title = GetFont().Bold();
        int width = 0;
        int height = 0;
        GetTextExtent(GetTitle(), &width, &height, nullptr, nullptr, &title);
        // Room beside it for three window buttons, each about twice the title's height.
        sizer->Add(width + 3 * 2 * height, 0);
    }
};

AtkObject* Accessible(wxWindow* w) {
    GtkWidget* widget = w ? w->GetHandle() : nullptr;
    return widget ? gtk_widget_get_accessible(widget) : nullptr;
}

// A label's text as a name: without the colon and blanks that end it on screen.
wxString NameOf(const std::string& label) {
    wxString name = Readable(label);
    name.Trim();
    if (name.EndsWith(":")) name.RemoveLast();
    return name.Trim().Trim(false);
}

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
    // Without sizers the toolkit stretches a dialog's only control over the whole client
    // area; with auto layout on and no sizer nothing moves, so it keeps its template place.
    window->SetAutoLayout(true);

    auto d = std::make_unique<Dialog>();
    d->window = window;
    // The desktop font is not the template's: where a label's text needs more room than
    // its template gave it, the whole layout widens, so it keeps its proportions and no
    // label runs into the control beside it.
    for (const ControlTemplate& t : tmpl.controls) {
        if (t.kind != WindowKind::Static || t.text.empty() || t.cx <= 0) continue;
        double room = window->ConvertDialogToPixels(wxSize(t.cx, 0)).x;
        d->widen = std::max(d->widen, window->GetTextExtent(Readable(t.text)).x / room);
    }
    window->SetClientSize(d->Pixels(wxSize(tmpl.cx, tmpl.cy)));

    Handle h = m_nextHandle++;
    d->handle = h;
    d->templateId = tmpl.id;
    d->style = tmpl.style;
    d->owner = ownerDialog ? owner : 0;
    d->events = &events;
    d->caption = tmpl.caption;
    if (tmpl.x || tmpl.y) {
        wxPoint at = d->Pixels(tmpl.x, tmpl.y);
        if (ownerDialog) at = ownerDialog->window->ClientToScreen(at);
        window->Move(at);
        d->placed = true;
    }
    for (const ControlTemplate& t : tmpl.controls) BuildControl(*d, t);
    NameControls(*d);

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
    wxPoint pos = d.Pixels(t.x, t.y);
    wxSize size = d.Pixels(wxSize(t.cx, t.cy));
    auto c = std::make_unique<Control>();
    c->handle = m_nextHandle++;
    c->dialog = d.handle;
    c->id = t.id;
    c->kind = t.kind;
    c->place = wxRect(t.x, t.y, t.cx, t.cy);
    c->tabStop = t.style & ControlTemplate::TabStop;
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
            // A selection left painted would look like a second focus.
            e->Bind(wxEVT_KILL_FOCUS, [e](wxFocusEvent& ev) {
                e->SelectNone();
                ev.Skip();
            });
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
            // As tall as a push button (12 units), the row it shares with one; the
            // template's height is the dropped-down list's, as on Windows.
            int height = parent->ConvertDialogToPixels(wxSize(0, 12)).y;
            auto* combo = new DropList(parent, pos, wxSize(size.x, height));
            combo->SetMinSize(wxSize(-1, height));
            combo->SetSize(size.x, height);
            combo->SetPopupMaxHeight(std::max(size.y - height, 40));
            c->window = combo;
            break;
        }
        case WindowKind::IpAddress:
            c->window = new IpAddressCtrl(parent, pos, size);
            break;
        case WindowKind::ListReport: {
            auto* list = new ReportList(
                parent, pos, size,
                wxLC_REPORT | wxLC_SINGLE_SEL |
                    (t.style & ControlTemplate::Border ? wxBORDER_THEME : wxBORDER_NONE));
            for (wxWindow* w : {static_cast<wxWindow*>(list), list->Rows()}) {
                GtkWidget* widget = w ? w->GetHandle() : nullptr;
                if (!widget || !GTK_IS_SCROLLED_WINDOW(widget)) continue;
                auto* scrolled = GTK_SCROLLED_WINDOW(widget);
                // Scroll bars that show only under the pointer hide that there is more.
                gtk_scrolled_window_set_overlay_scrolling(scrolled, FALSE);
            }
            c->window = list;
            break;
        }
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
            c.window->Bind(wxEVT_COMBOBOX, [this, h](wxCommandEvent&) {
                if (Control* self = FindControl(h)) Describe(*self);
                Notify(h, CBN_SELCHANGE, 0);
            });
            c.window->Bind(wxEVT_COMBOBOX_DROPDOWN,
                           [this, h](wxCommandEvent&) { Notify(h, CBN_DROPDOWN, 0); });
            break;
        case WindowKind::IpAddress:
            static_cast<IpAddressCtrl*>(c.window)->onFieldChanged = [this, h](int field) {
                if (Control* self = FindControl(h)) Describe(*self);
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
    Describe(*c);
    Notify(control, EN_CHANGE, 0);
}

void WxBackend::OnCharHook(Handle dialog, wxKeyEvent& event) {
    int key = event.GetKeyCode();
    unsigned vk = key == WXK_RETURN || key == WXK_NUMPAD_ENTER ? VK_RETURN
                  : key == WXK_ESCAPE                          ? VK_ESCAPE
                  : key == WXK_F1                              ? VK_F1
                                                               : 0;
    Dialog* d = FindDialog(dialog);
    // An open list takes the keys: Escape closes it and nothing more, Enter picks.
    for (size_t i = 0; d && i < d->controls.size(); ++i) {
        const Control& c = *d->controls[i];
        auto* list =
            c.kind == WindowKind::ComboDropList ? static_cast<DropList*>(c.window) : nullptr;
        if (list && list->IsPopupShown()) {
            if (key != WXK_ESCAPE) return event.Skip();
            list->Dismiss();
            return;
        }
    }
    if (d && key == WXK_TAB && !(event.GetModifiers() & ~wxMOD_SHIFT)) {
        return MoveFocus(*d, !event.ShiftDown());
    }
    // Other keys stay with the toolkit (typing, arrows).
    if (!d || !vk || event.HasAnyModifiers()) return event.Skip();
    if (vk == VK_RETURN) {
        Control* from = FindControl(HandleOf(dynamic_cast<wxWindow*>(event.GetEventObject())),
                                    WindowKind::PushButton);
        if (from && from->dialog == dialog) return event.Skip();  // the button takes it
    }
    if (!d->events->OnKeyDown(vk)) event.Skip();
}

// Tab goes through the controls that have a tab stop in the template's order, as the
// system's dialogs do; an IP address control is one stop, its fields reached by typing.
void WxBackend::MoveFocus(Dialog& d, bool forward) {
    int n = static_cast<int>(d.controls.size());
    int at = -1;
    for (wxWindow* w = wxWindow::FindFocus(); w && at < 0; w = w->GetParent()) {
        for (int i = 0; i < n; ++i) {
            if (d.controls[i]->window == w) at = i;
        }
    }
    for (int step = 1; step <= n; ++step) {
        int i = ((at < 0 ? (forward ? -1 : n) : at) + (forward ? step : -step) + 2 * n) % n;
        Control& c = *d.controls[i];
        if (!c.tabStop || !c.window->IsEnabled() || !c.window->IsShown()) continue;
        if (c.kind == WindowKind::IpAddress) {
            static_cast<IpAddressCtrl*>(c.window)->MoveTo(0, true);
        } else {
            c.window->SetFocus();
            if (c.kind == WindowKind::Edit) static_cast<wxTextCtrl*>(c.window)->SelectAll();
        }
        return;
    }
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
    MessageBox box(o ? o->window : nullptr, Readable(text), Readable(caption));
    // The box waits for the user, not for a device.
    int busy = std::exchange(m_busy, 0);
    for (int i = 0; i < busy; ++i) wxEndBusyCursor();
    if (o) ++o->modalAbove;
    m_frames.push_back({0, o ? owner : 0, &box, text, caption});
    box.ShowModal();
    if ((o = FindDialog(owner))) --o->modalAbove;
    PopFrame();
    for (int i = 0; i < busy; ++i) SetBusyCursor(true);
    return IDOK;
}

void WxBackend::SetBusyCursor(bool busy) {
    if (!m_ready || (!busy && m_busy == 0)) return;
    m_busy += busy ? 1 : -1;
    if (busy) {
        wxBeginBusyCursor();
        // The call that follows blocks the loop: the cursor must reach the server now.
        gdk_display_flush(gdk_display_get_default());
    } else {
        wxEndBusyCursor();
    }
}

void WxBackend::RepaintNow(Handle h) {
    wxWindow* w = Window(h);
    if (!w) return;
    // What a window closed over this one exposed is still queued at the server: fetch it,
    // handle only painting (no input, no timers), then paint.
    gdk_display_sync(gdk_display_get_default());
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_UI);
    w->Update();
}

void WxBackend::NameControls(Dialog& d) {
    for (const auto& c : d.controls) {
        AtkObject* atk = Accessible(c->window);
        if (!atk) continue;
        if (c->kind == WindowKind::ComboDropList) atk_object_set_role(atk, ATK_ROLE_COMBO_BOX);
        // A control without text of its own is named by the label to its left on its row.
        if (c->kind != WindowKind::ComboDropList && c->kind != WindowKind::Edit &&
            c->kind != WindowKind::IpAddress && c->kind != WindowKind::ListReport) {
            continue;
        }
        int rowTop = c->place.y;
        int rowBottom = c->place.y + (c->kind == WindowKind::ComboDropList ? 12 : c->place.height);
        const Control* label = nullptr;
        for (const auto& l : d.controls) {
            int middle = l->place.y + l->place.height / 2;
            if (l->kind == WindowKind::Static && l->place.GetRight() < c->place.x &&
                middle >= rowTop && middle < rowBottom && (!label || l->place.x > label->place.x)) {
                label = l.get();
            }
        }
        if (label) atk_object_set_name(atk, NameOf(label->text).utf8_str());
        Describe(*c);
    }
}

void WxBackend::Describe(Control& c) {
    AtkObject* atk = Accessible(c.window);
    if (!atk) return;
    wxString value;
    switch (c.kind) {
        case WindowKind::ComboDropList: {
            int sel = static_cast<DropList*>(c.window)->GetSelection();
            if (sel >= 0 && sel < static_cast<int>(c.entries.size()))
                value = OneLine(c.entries[sel]);
            break;
        }
        case WindowKind::IpAddress: {
            auto* ip = static_cast<IpAddressCtrl*>(c.window);
            for (int i = 0; i < 4; ++i) {
                int v = ip->GetField(i);
                value += wxString(i ? "." : "") + (v < 0 ? wxString() : wxString::Format("%d", v));
            }
            break;
        }
        case WindowKind::Edit:
            value = c.shown;
            break;
        default:
            return;
    }
    // ATK has no text value for a control that is not itself an entry; its description
    // carries the value, and screen readers read it after the name.
    atk_object_set_description(atk, value.utf8_str());
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
            Describe(*c);
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
        // Sized by its client area: GTK keeps a dialog without a resize border at least as
        // large as the client size last set, whatever size the frame is given later.
        wxSize frame = d->window->GetSize() - d->window->GetClientSize();
        d->window->SetClientSize(wxSize(r.Width(), r.Height()) - frame);
        d->window->Move(r.left, r.top);
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
        Describe(*c);
    }
}

void WxBackend::ComboDelete(Handle h, int index) {
    if (Control* c = FindControl(h, WindowKind::ComboDropList)) {
        c->entries.erase(c->entries.begin() + index);
        static_cast<wxOwnerDrawnComboBox*>(c->window)->Delete(index);
        Describe(*c);
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
        Describe(*c);
    }
}

int WxBackend::IpGetField(Handle h, int field) {
    Control* c = FindControl(h, WindowKind::IpAddress);
    return c ? static_cast<IpAddressCtrl*>(c->window)->GetField(field) : -1;
}

void WxBackend::IpSetField(Handle h, int field, int value) {
    if (Control* c = FindControl(h, WindowKind::IpAddress)) {
        static_cast<IpAddressCtrl*>(c->window)->SetField(field, std::clamp(value, -1, 255));
        Describe(*c);
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
