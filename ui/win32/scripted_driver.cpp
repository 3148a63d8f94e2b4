#include "ui/win32/scripted_driver.h"

// clang-format off
#include "ui/winconst.h"
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <utility>

namespace ui {
// Of ui/controls.h, whose Windows-like names this file cannot include beside <windows.h>.
void ParseIpText(const std::string& text, int fields[4]);
}  // namespace ui

namespace ui::win32 {
namespace {

using K = UserStep::Kind;

// Long enough for a window to be shown and drawn, short enough for quick tests.
constexpr uint32_t kFirstStepMs = 30;
constexpr uint32_t kStepGapMs = 5;
constexpr UINT kTickMs = 5;
constexpr int kMessageBoxTextId = 0xFFFF;

ScriptedDriver* g_driver = nullptr;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_driver) g_driver->Tick();
}

bool IsDue(uint32_t due, uint32_t now) { return static_cast<int32_t>(now - due) >= 0; }

std::string Name(int templateId) { return "dialog " + std::to_string(templateId); }

std::wstring TextOf(HWND w) {
    wchar_t buffer[1024];
    int n = GetWindowTextW(w, buffer, 1024);
    return std::wstring(buffer, static_cast<size_t>(std::max(n, 0)));
}

struct BoxSearch {
    std::vector<HWND> known;
    HWND found = nullptr;
};

// A message box of this thread: the system's dialog class, not one of ours, not yet taken.
BOOL CALLBACK FindBox(HWND w, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    wchar_t cls[16];
    GetClassNameW(w, cls, 16);
    if (std::wstring(cls) != L"#32770" || !IsWindowVisible(w) || !GetDlgItem(w, IDOK) ||
        !GetDlgItem(w, kMessageBoxTextId))
        return TRUE;
    if (std::find(search->known.begin(), search->known.end(), w) != search->known.end())
        return TRUE;
    search->found = w;
    return TRUE;
}

}  // namespace

ScriptedDriver::ScriptedDriver(Win32Backend& backend, ScriptedUser& user, uint32_t timeLimitMs)
    : m_backend(backend), m_user(user), m_timeLimit(timeLimitMs) {
    g_driver = this;
    m_timer = ::SetTimer(nullptr, 0, kTickMs, OnTick);
}

ScriptedDriver::~ScriptedDriver() {
    ::KillTimer(nullptr, m_timer);
    if (g_driver == this) g_driver = nullptr;
}

std::vector<std::string> ScriptedDriver::TakeErrors() { return std::exchange(m_errors, {}); }

void ScriptedDriver::Fault(const std::string& what) {
    m_errors.push_back(what);
    m_log.push_back("error: " + what);
}

void ScriptedDriver::Note(const std::string& what) { m_log.push_back(what); }

// Follows the backend's modal stack: windows gone are forgotten, new ones are taken on.
void ScriptedDriver::Sync(uint32_t now) {
    const std::vector<ModalFrame>& frames = m_backend.ModalStack();
    size_t same = 0;
    while (same < m_open.size() && same < frames.size() &&
           m_open[same].serial == frames[same].serial)
        ++same;
    for (size_t i = same; i < m_open.size(); ++i) {
        const Open& o = m_open[i];
        if (o.next < o.steps.size()) {
            Note(Name(m_backend.TemplateId(o.dialog)) + ": closed with " +
                 std::to_string(o.steps.size() - o.next) + " scripted step(s) not done");
        }
    }
    m_open.resize(same);
    for (size_t i = same; i < frames.size(); ++i) {
        const ModalFrame& frame = frames[i];
        if (m_open.empty()) {
            m_outerStart = now;
            m_timedOut = false;
        }
        Open open;
        open.serial = frame.serial;
        open.dialog = frame.dialog;
        if (frame.dialog) {
            if (const auto* steps = m_user.DialogOpened(m_backend.TemplateId(frame.dialog)))
                open.steps = *steps;
            Schedule(open, now + kFirstStepMs);
        } else if (!OpenBox(open, frame, now)) {
            return;  // not on screen yet: the next tick looks again
        }
        m_open.push_back(std::move(open));
    }
}

bool ScriptedDriver::OpenBox(Open& open, const ModalFrame& frame, uint32_t now) {
    BoxSearch search;
    for (const Open& o : m_open) search.known.push_back(o.box);
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    open.box = search.found;
    // What the box shows must be what the framework asked for; a box without a caption
    // shows the system's.
    std::wstring caption = frame.caption.empty() ? L"Error" : Readable(frame.caption);
    if (TextOf(GetDlgItem(open.box, kMessageBoxTextId)) != Readable(frame.text) ||
        TextOf(open.box) != caption) {
        Fault("message box \"" + frame.text + "\" does not show its text and caption");
    }
    open.due = now + m_user.MessageBoxShown(frame.text, frame.caption, now,
                                            m_backend.TemplateId(frame.owner));
    return true;
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
        // What the OK button sends when it is pressed.
        PostMessageW(open.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(open.box, IDOK)));
    }
}

void ScriptedDriver::Tick() {
    uint32_t now = GetTickCount();
    Sync(now);
    if (m_open.empty()) return;
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
    uint64_t serial = top.serial;
    Handle dialog = top.dialog;
    top.busy = true;
    RunStep(dialog, step);
    auto it = std::find_if(m_open.begin(), m_open.end(),
                           [serial](const Open& o) { return o.serial == serial; });
    if (it == m_open.end()) return;
    it->busy = false;
    if (!m_timedOut) Schedule(*it, GetTickCount() + kStepGapMs);
}

void ScriptedDriver::RunStep(Handle dialog, const UserStep& step) {
    HWND window = m_backend.Window(dialog);
    switch (step.kind) {
        case K::Wait:
            return;
        case K::Call:
            if (step.call) step.call();
            return;
        case K::Key:
            // The user presses the key with no push button focused.
            return m_backend.Input(window, WM_KEYDOWN, static_cast<WPARAM>(step.index), 1);
        case K::Close:
            if (!(m_backend.TemplateStyle(dialog) & DialogTemplate::SysMenu)) {
                return Note(Name(m_backend.TemplateId(dialog)) + ": close ignored: no close box");
            }
            SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            return;
        default:
            return RunControlStep(dialog, step);
    }
}

void ScriptedDriver::RunControlStep(Handle dialog, const UserStep& step) {
    std::string what = Name(m_backend.TemplateId(dialog)) + ": control " + std::to_string(step.id);
    Handle control = m_backend.GetControl(dialog, step.id);
    if (!control) return Fault("script: " + what + " does not exist");
    HWND w = m_backend.Window(control);
    HWND parent = m_backend.Window(dialog);
    if (!IsWindowEnabled(w) || !(GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE)) {
        return Note(what + ": ignored: " + (IsWindowEnabled(w) ? "hidden" : "disabled"));
    }
    WindowKind kind = m_backend.Kind(control);
    auto expect = [&](WindowKind wanted) {
        if (kind != wanted)
            Fault("script: " + what + " is not the kind of control this step needs");
        return kind == wanted;
    };
    // A notification as the control sends it to its dialog.
    auto command = [&](unsigned code) {
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(step.id, code), reinterpret_cast<LPARAM>(w));
    };
    switch (step.kind) {
        case K::Click:
            if (kind == WindowKind::CheckBox || expect(WindowKind::PushButton))
                SendMessageW(w, BM_CLICK, 0, 0);
            return;
        case K::Type:
        case K::Clear: {
            if (!expect(WindowKind::Edit)) return;
            if (GetWindowLongW(w, GWL_STYLE) & ES_READONLY) return Note(what + ": read-only");
            SetFocus(w);
            if (step.kind == K::Clear) {
                if (GetWindowTextLengthW(w) == 0) return;
                SendMessageW(w, EM_SETSEL, 0, -1);
                return m_backend.Input(w, WM_CHAR, VK_BACK, 1);
            }
            for (wchar_t c : Readable(step.text)) {
                std::wstring before = TextOf(w);
                int end = GetWindowTextLengthW(w);
                SendMessageW(w, EM_SETSEL, end, end);
                m_backend.Input(w, WM_CHAR, c, 1);
                if (TextOf(w) == before) return Note(what + ": limit reached");
            }
            return;
        }
        case K::SetIp:
        case K::SetIpField: {
            if (!expect(WindowKind::IpAddress)) return;
            int fields[4], now[4];
            for (int i = 0; i < 4; ++i) fields[i] = now[i] = m_backend.IpGetField(control, i);
            if (step.kind == K::SetIp) {
                ParseIpText(step.text, fields);
            } else if (step.index < 0 || step.index > 3) {
                return Fault("script: " + what + " has no field " + std::to_string(step.index));
            } else {
                fields[step.index] = std::clamp(step.value, -1, 255);
            }
            // The user retypes each field that changes; the control reports it as it
            // leaves the field.
            HWND field = GetWindow(w, GW_CHILD);
            std::vector<std::pair<LONG, HWND>> edits;
            for (; field; field = GetWindow(field, GW_HWNDNEXT)) {
                RECT r;
                GetWindowRect(field, &r);
                edits.emplace_back(r.left, field);
            }
            std::sort(edits.begin(), edits.end());
            for (int i = 0; i < 4 && i < static_cast<int>(edits.size()); ++i) {
                if (fields[i] == now[i]) continue;
                SetWindowTextW(edits[i].second,
                               fields[i] < 0 ? L"" : std::to_wstring(fields[i]).c_str());
                NMIPADDRESS nm{};
                nm.hdr = {w, static_cast<UINT_PTR>(step.id), static_cast<UINT>(IPN_FIELDCHANGED)};
                nm.iField = i;
                nm.iValue = fields[i] < 0 ? 0 : fields[i];
                SendMessageW(parent, WM_NOTIFY, step.id, reinterpret_cast<LPARAM>(&nm));
            }
            return;
        }
        case K::Select: {
            if (!expect(WindowKind::ComboDropList)) return;
            if (step.index < 0 || step.index >= m_backend.ComboCount(control)) {
                return Fault("script: " + what + " has no entry " + std::to_string(step.index));
            }
            SendMessageW(w, CB_SETCURSEL, step.index, 0);
            return command(CBN_SELCHANGE);
        }
        case K::DropDown:
            if (!expect(WindowKind::ComboDropList)) return;
            // What a click on its button does; the list is closed again at once.
            SendMessageW(w, CB_SHOWDROPDOWN, TRUE, 0);
            SendMessageW(w, CB_SHOWDROPDOWN, FALSE, 0);
            return;
        case K::ClickRow:
        case K::DoubleClickRow: {
            if (!expect(WindowKind::ListReport)) return;
            int count = m_backend.ListItemCount(control);
            if (step.index < -1 || step.index >= count) {
                return Fault("script: " + what + " has no row " + std::to_string(step.index));
            }
            if (step.index >= 0) {
                LVITEMW state{};
                state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendMessageW(w, LVM_SETITEMSTATE, step.index, reinterpret_cast<LPARAM>(&state));
                SendMessageW(w, LVM_SETSELECTIONMARK, 0, step.index);
            }
            if (step.kind == K::ClickRow) return;
            // The double-click lands inside the row, or one row below the last one.
            RECT row{0, 0, 0, 0};
            row.left = LVIR_BOUNDS;
            if (count > 0) {
                SendMessageW(w, LVM_GETITEMRECT, step.index >= 0 ? step.index : count - 1,
                             reinterpret_cast<LPARAM>(&row));
            }
            int height = row.bottom - row.top;
            POINT at{row.left + 2, row.top + height / 2 + (step.index >= 0 ? 0 : height)};
            if (count == 0) at = {2, 40};
            SendMessageW(w, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
            SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
            return;
        }
        default:
            return;
    }
}

}  // namespace ui::win32
