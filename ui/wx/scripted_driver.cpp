#include "ui/wx/scripted_driver.h"

#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/event.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/odcombo.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <algorithm>
#include <utility>

#include "base/clock.h"
#include "ui/controls.h"
#include "ui/winconst.h"
#include "ui/wx/ip_ctrl.h"

namespace ui::wx {
namespace {

using K = UserStep::Kind;

// Long enough for a window to be shown and drawn, short enough for quick tests.
constexpr uint32_t kFirstStepMs = 30;
constexpr uint32_t kStepGapMs = 5;
constexpr int kTickMs = 5;

bool IsDue(uint32_t due, uint32_t now) { return static_cast<int32_t>(now - due) >= 0; }

std::string Name(int templateId) { return "dialog " + std::to_string(templateId); }

}  // namespace

// Re-armed before it works, like the backend's timers: a step that opens a nested window
// runs inside this tick, and the nested window's steps need ticks of their own.
class ScriptedDriver::Ticker : public wxTimer {
public:
    explicit Ticker(ScriptedDriver& driver) : m_driver(driver) {}
    void Notify() override {
        StartOnce(kTickMs);
        m_driver.Tick();
    }

private:
    ScriptedDriver& m_driver;
};

ScriptedDriver::ScriptedDriver(WxBackend& backend, ScriptedUser& user, uint32_t timeLimitMs)
    : m_backend(backend),
      m_user(user),
      m_timeLimit(timeLimitMs),
      m_ticker(std::make_unique<Ticker>(*this)) {
    Register();
}

ScriptedDriver::~ScriptedDriver() { Unregister(); }

std::vector<std::string> ScriptedDriver::TakeErrors() { return std::exchange(m_errors, {}); }

void ScriptedDriver::Fault(const std::string& what) {
    m_errors.push_back(what);
    m_log.push_back("error: " + what);
}

void ScriptedDriver::Note(const std::string& what) { m_log.push_back(what); }

int ScriptedDriver::Enter(wxDialog* dialog) {
    const std::vector<ModalFrame>& frames = m_backend.ModalStack();
    if (frames.empty() || frames.back().window != dialog) return wxID_NONE;  // not the app's
    // A message dialog's ShowModal passes the hook, and so does the wxDialog one it calls.
    for (const Open& o : m_open) {
        if (o.window == dialog) return wxID_NONE;
    }
    const ModalFrame& frame = frames.back();
    uint32_t now = base::GetTickCount();
    if (m_open.empty()) {
        m_outerStart = now;
        m_timedOut = false;
    }
    Open open;
    open.window = dialog;
    open.dialog = frame.dialog;
    if (frame.dialog) {
        if (const auto* steps = m_user.DialogOpened(m_backend.TemplateId(frame.dialog))) {
            open.steps = *steps;
        }
        Schedule(open, now + kFirstStepMs);
    } else {
        // What the box shows must be what the framework asked for.
        auto* box = dynamic_cast<wxMessageDialogBase*>(dialog);
        if (!box || box->GetMessage() != Readable(frame.text) ||
            dialog->GetTitle() != Readable(frame.caption)) {
            Fault("message box \"" + frame.text + "\" does not show its text and caption");
        }
        open.due = now + m_user.MessageBoxShown(frame.text, frame.caption, now,
                                                m_backend.TemplateId(frame.owner));
    }
    m_open.push_back(std::move(open));
    if (!m_ticker->IsRunning()) m_ticker->StartOnce(kTickMs);
    return wxID_NONE;
}

void ScriptedDriver::Exit(wxDialog* dialog) {
    auto it = std::find_if(m_open.rbegin(), m_open.rend(),
                           [dialog](const Open& o) { return o.window == dialog; });
    if (it == m_open.rend()) return;
    if (it->next < it->steps.size()) {
        Note(Name(m_backend.TemplateId(it->dialog)) + ": closed with " +
             std::to_string(it->steps.size() - it->next) + " scripted step(s) not done");
    }
    m_open.erase(std::next(it).base());
    if (m_open.empty()) m_ticker->Stop();
}

void ScriptedDriver::Schedule(Open& open, uint32_t now) {
    open.due = now;
    while (open.next < open.steps.size() && open.steps[open.next].kind == K::Wait) {
        open.due += open.steps[open.next++].ms;
    }
}

void ScriptedDriver::Close(Open& open, int result) {
    open.busy = true;
    if (open.dialog) {
        m_backend.EndModal(open.dialog, result);
    } else {
        open.window->EndModal(wxID_OK);
    }
}

void ScriptedDriver::Tick() {
    if (m_open.empty()) return;
    uint32_t now = base::GetTickCount();
    Open& top = m_open.back();
    if (top.busy) return;
    if (!m_timedOut && now - m_outerStart > m_timeLimit) {
        m_timedOut = true;
        const Open& outer = m_open.front();
        Fault("time limit: " +
              (outer.dialog ? Name(m_backend.TemplateId(outer.dialog)) : "message box") +
              " still open after " + std::to_string(m_timeLimit) + " ms");
    }
    // After the time limit every window goes, the innermost first, one per tick.
    if (m_timedOut) return Close(top, IDCANCEL);
    if (!IsDue(top.due, now)) return;
    if (!top.dialog) return Close(top, IDOK);
    if (top.next >= top.steps.size()) return;

    // The step may open windows above this one, so `top` is found again afterwards.
    UserStep step = top.steps[top.next++];
    wxDialog* window = top.window;
    Handle dialog = top.dialog;
    top.busy = true;
    RunStep(dialog, window, step);
    auto it = std::find_if(m_open.begin(), m_open.end(),
                           [window](const Open& o) { return o.window == window; });
    if (it == m_open.end()) return;
    it->busy = false;
    if (!m_timedOut) Schedule(*it, base::GetTickCount() + kStepGapMs);
}

void ScriptedDriver::RunStep(Handle dialog, wxDialog* window, const UserStep& step) {
    switch (step.kind) {
        case K::Wait:
            return;
        case K::Call:
            if (step.call) step.call();
            return;
        case K::Key: {
            // The user presses the key with no push button focused.
            wxKeyEvent key(wxEVT_CHAR_HOOK);
            key.m_keyCode = step.index;  // VK_RETURN and VK_ESCAPE are the toolkit's codes too
            key.SetEventObject(window);
            window->HandleWindowEvent(key);
            return;
        }
        case K::Close:
            if (!(m_backend.TemplateStyle(dialog) & DialogTemplate::SysMenu)) {
                return Note(Name(m_backend.TemplateId(dialog)) + ": close ignored: no close box");
            }
            window->Close();  // what the window manager's close button does
            return;
        default:
            return RunControlStep(dialog, step);
    }
}

void ScriptedDriver::RunControlStep(Handle dialog, const UserStep& step) {
    std::string what = Name(m_backend.TemplateId(dialog)) + ": control " + std::to_string(step.id);
    Handle control = m_backend.GetControl(dialog, step.id);
    if (!control) return Fault("script: " + what + " does not exist");
    wxWindow* w = m_backend.Window(control);
    if (!w->IsThisEnabled() || !w->IsShown()) {
        return Note(what + ": ignored: " + (w->IsThisEnabled() ? "hidden" : "disabled"));
    }
    WindowKind kind = m_backend.Kind(control);
    auto expect = [&](WindowKind wanted) {
        if (kind != wanted)
            Fault("script: " + what + " is not the kind of control this step needs");
        return kind == wanted;
    };
    auto send = [w](wxEventType type, int value) {
        wxCommandEvent e(type, w->GetId());
        e.SetEventObject(w);
        e.SetInt(value);
        w->HandleWindowEvent(e);
    };
    switch (step.kind) {
        case K::Click:
            if (kind == WindowKind::CheckBox) {
                auto* check = static_cast<wxCheckBox*>(w);
                check->SetValue(!check->GetValue());
                return send(wxEVT_CHECKBOX, check->GetValue());
            }
            if (expect(WindowKind::PushButton)) send(wxEVT_BUTTON, 0);
            return;
        case K::Type: {
            if (!expect(WindowKind::Edit)) return;
            auto* edit = static_cast<wxTextCtrl*>(w);
            if (!edit->IsEditable()) return Note(what + ": read-only");
            for (wxUniChar c : Readable(step.text)) {
                wxString before = edit->GetValue();
                edit->SetInsertionPointEnd();
                edit->WriteText(wxString(c));
                if (edit->GetValue() == before) return Note(what + ": limit reached");
            }
            return;
        }
        case K::Clear: {
            if (!expect(WindowKind::Edit)) return;
            auto* edit = static_cast<wxTextCtrl*>(w);
            if (!edit->IsEditable()) return Note(what + ": read-only");
            if (!edit->IsEmpty()) edit->Clear();
            return;
        }
        case K::SetIp:
        case K::SetIpField: {
            if (!expect(WindowKind::IpAddress)) return;
            auto* ip = static_cast<IpAddressCtrl*>(w);
            int fields[4];
            for (int i = 0; i < 4; ++i) fields[i] = ip->GetField(i);
            if (step.kind == K::SetIp) {
                ParseIpText(step.text, fields);
            } else if (step.index < 0 || step.index > 3) {
                return Fault("script: " + what + " has no field " + std::to_string(step.index));
            } else {
                fields[step.index] = std::clamp(step.value, -1, 255);
            }
            // The user retypes each field that changes; the control reports it.
            for (int i = 0; i < 4; ++i) {
                if (fields[i] == ip->GetField(i)) continue;
                ip->Field(i)->SetValue(fields[i] < 0 ? wxString()
                                                     : wxString::Format("%d", fields[i]));
            }
            return;
        }
        case K::Select: {
            if (!expect(WindowKind::ComboDropList)) return;
            auto* combo = static_cast<wxOwnerDrawnComboBox*>(w);
            if (step.index < 0 || step.index >= static_cast<int>(combo->GetCount())) {
                return Fault("script: " + what + " has no entry " + std::to_string(step.index));
            }
            combo->SetSelection(step.index);
            return send(wxEVT_COMBOBOX, step.index);
        }
        case K::DropDown: {
            if (!expect(WindowKind::ComboDropList)) return;
            // What a click on its button does; the list is closed again at once.
            auto* combo = static_cast<wxOwnerDrawnComboBox*>(w);
            combo->Popup();
            if (combo->IsPopupShown()) combo->Dismiss();
            return;
        }
        case K::ClickRow:
        case K::DoubleClickRow: {
            if (!expect(WindowKind::ListReport)) return;
            auto* list = static_cast<wxListCtrl*>(w);
            int count = list->GetItemCount();
            if (step.index < -1 || step.index >= count) {
                return Fault("script: " + what + " has no row " + std::to_string(step.index));
            }
            if (step.index >= 0) {
                long state = wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED;
                list->SetItemState(step.index, state, state);
            }
            if (step.kind == K::ClickRow) return;
            // The double-click lands inside the row, or one row below the last one.
            wxRect row(0, 0, 0, 0);
            if (count > 0) list->GetItemRect(step.index >= 0 ? step.index : count - 1, row);
            wxPoint at(row.x + 2, row.y + row.height / 2 + (step.index >= 0 ? 0 : row.height));
            wxWindow* rows = m_backend.ListRows(control);
            at = rows->ScreenToClient(list->ClientToScreen(at));  // below the column headings
            wxMouseEvent click(wxEVT_LEFT_DCLICK);
            click.SetPosition(at);
            click.SetEventObject(rows);
            rows->HandleWindowEvent(click);
            return;
        }
        default:
            return;
    }
}

}  // namespace ui::wx
