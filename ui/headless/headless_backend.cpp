#include "ui/headless/headless_backend.h"

#include <algorithm>
#include <utility>

#include "base/clock.h"
#include "ui/controls.h"
#include "ui/winconst.h"

namespace ui::headless {
namespace {

// Tick comparisons that survive the 32-bit wrap.
bool Before(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b) < 0; }
bool IsDue(uint32_t due, uint32_t now) { return !Before(now, due); }

int TopFrame(uint32_t style) {
    return kFrameBorder + (style & DialogTemplate::Caption ? kCaptionHeight : 0);
}

bool HasText(WindowKind kind) {
    return kind == WindowKind::Static || kind == WindowKind::Edit ||
           kind == WindowKind::PushButton || kind == WindowKind::CheckBox ||
           kind == WindowKind::GroupBox;
}

bool InRange(int i, size_t n) { return i >= 0 && static_cast<size_t>(i) < n; }

std::string Name(const DialogState& d) { return "dialog " + std::to_string(d.templateId); }

constexpr uint32_t kMinTimerPeriod = 10;
constexpr uint32_t kBusyDispatches = 100000;

}  // namespace

struct HeadlessBackend::Frame {
    Handle dialog = 0;  // 0 for a message box
    uint32_t dismissAt = 0;
    bool dismissed = false;
};

Size DialogState::ClientSize() const {
    int cx = window.Width() - 2 * kFrameBorder;
    int cy = window.Height() - TopFrame(style) - kFrameBorder;
    return {cx > 0 ? cx : 0, cy > 0 ? cy : 0};
}

const ControlState* DialogState::Control(int id) const {
    for (const ControlState& c : controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

const DialogState* HeadlessBackend::FindDialog(int templateId, int nth) const {
    const DialogState* found = nullptr;
    int n = 0;
    for (const auto& d : m_dialogs) {
        if (d->templateId != templateId) continue;
        found = d.get();
        if (++n == nth) return found;
    }
    return nth == 0 ? found : nullptr;
}

const DialogState* HeadlessBackend::FindDialog(Handle dialog) const {
    for (const auto& d : m_dialogs) {
        if (d->handle == dialog) return d.get();
    }
    return nullptr;
}

std::vector<std::string> HeadlessBackend::TakeErrors() { return std::exchange(m_errors, {}); }

void HeadlessBackend::Fault(const std::string& what) {
    m_errors.push_back(what);
    m_log.push_back("error: " + what);
}

void HeadlessBackend::Note(const std::string& what) { m_log.push_back(what); }

DialogState* HeadlessBackend::Dialog(Handle h) {
    auto it = m_handles.find(h);
    return it != m_handles.end() && it->second.second < 0 ? it->second.first : nullptr;
}

ControlState* HeadlessBackend::Control(Handle h, WindowKind kind) {
    auto it = m_handles.find(h);
    if (it == m_handles.end() || it->second.second < 0) return nullptr;
    ControlState& c = it->second.first->controls[it->second.second];
    return kind == WindowKind::None || c.kind == kind ? &c : nullptr;
}

// --- Dialogs and the modal loop ---

Handle HeadlessBackend::CreateDialogWindow(const DialogTemplate& tmpl, Handle owner,
                                           DialogEvents& events) {
    auto d = std::make_unique<DialogState>();
    d->handle = m_nextHandle++;
    d->templateId = tmpl.id;
    d->style = tmpl.style;
    d->owner = Dialog(owner) ? owner : 0;
    d->caption = tmpl.caption;
    int left = tmpl.x * kDluPixels;
    int top = tmpl.y * kDluPixels;
    d->window = {left, top, left + tmpl.cx * kDluPixels + 2 * kFrameBorder,
                 top + tmpl.cy * kDluPixels + TopFrame(tmpl.style) + kFrameBorder};
    d->m_events = &events;
    for (const ControlTemplate& t : tmpl.controls) {
        ControlState& c = d->controls.emplace_back();
        c.handle = m_nextHandle++;
        c.id = t.id;
        c.kind = t.kind;
        c.style = t.style;
        c.rect = {t.x * kDluPixels, t.y * kDluPixels, (t.x + t.cx) * kDluPixels,
                  (t.y + t.cy) * kDluPixels};
        if (HasText(t.kind)) c.text = t.text;
        c.enabled = !(t.style & ControlTemplate::Disabled);
        c.visible = !(t.style & ControlTemplate::Hidden);
    }
    m_handles[d->handle] = {d.get(), -1};
    for (size_t i = 0; i < d->controls.size(); ++i) {
        m_handles[d->controls[i].handle] = {d.get(), static_cast<int>(i)};
    }
    return m_dialogs.emplace_back(std::move(d))->handle;
}

Handle HeadlessBackend::GetControl(Handle dialog, int id) {
    DialogState* d = Dialog(dialog);
    const ControlState* c = d ? d->Control(id) : nullptr;
    return c ? c->handle : 0;
}

int HeadlessBackend::RunModal(Handle dialog) {
    DialogState* d = Dialog(dialog);
    if (!d || d->running) return -1;
    if (d->m_ended) return d->result;  // ended by its OnInitDialog: it never shows
    uint32_t now = base::GetTickCount();
    if (m_frames.empty()) m_outerStart = now;
    d->running = true;
    d->visible = true;
    DialogState* owner = Dialog(d->owner);
    bool disabledOwner = owner && owner->enabled;
    if (disabledOwner) owner->enabled = false;
    if (const std::vector<UserStep>* steps = m_user.DialogOpened(d->templateId)) {
        m_pending[dialog] = Pending{*steps, 0, now};
        Schedule(dialog, now);
    }

    Frame frame{dialog};
    m_frames.push_back(&frame);
    RunLoop(frame);
    m_frames.pop_back();

    d->running = false;
    d->visible = false;
    if (disabledOwner && !owner->destroyed) owner->enabled = true;
    auto left = m_pending.find(dialog);
    if (left != m_pending.end()) {
        Note(Name(*d) + ": closed with " +
             std::to_string(left->second.steps.size() - left->second.next) +
             " scripted step(s) not done");
        m_pending.erase(left);
    }
    return d->result;
}

void HeadlessBackend::EndModal(Handle dialog, int result) {
    if (DialogState* d = Dialog(dialog)) {
        d->m_ended = true;
        d->result = result;
    }
}

void HeadlessBackend::DestroyDialog(Handle dialog) {
    DialogState* d = Dialog(dialog);
    if (!d) return;
    d->destroyed = true;
    d->visible = false;
    d->timers.clear();
    d->m_events = nullptr;
    m_pending.erase(dialog);
    m_handles.erase(dialog);
    for (const ControlState& c : d->controls) m_handles.erase(c.handle);
    // Messages still posted to it are dropped when their turn comes.
}

void HeadlessBackend::EndFrame(Frame& frame) {
    if (frame.dialog) {
        EndModal(frame.dialog, IDCANCEL);
    } else {
        frame.dismissed = true;
    }
}

void HeadlessBackend::RunLoop(Frame& frame) {
    auto done = [&] {
        DialogState* d = Dialog(frame.dialog);
        return frame.dialog ? !d || d->m_ended : frame.dismissed;
    };
    while (!done()) {
        uint32_t now = base::GetTickCount();
        if (now != m_busyTick) {
            m_busyTick = now;
            m_busyCount = 0;
        }
        auto what = [&] { return frame.dialog ? Name(*Dialog(frame.dialog)) : "message box"; };
        if (++m_busyCount > kBusyDispatches) {
            Fault("busy: " + what() + " dispatched without end while no time passed");
            EndFrame(frame);
            break;
        }
        // Posted messages come before input, and input before timers, as on Windows.
        if (DeliverPosted() || RunDueStep(frame) || FireDueTimer()) continue;
        uint32_t due = 0;
        if (!NextDue(frame, due)) {
            Fault("stuck: " + what() + " has nothing left that could end it");
            EndFrame(frame);
            break;
        }
        if (due - m_outerStart > m_timeLimit) {
            Fault("time limit: " + what() + " still open after " + std::to_string(m_timeLimit) +
                  " ms");
            EndFrame(frame);
            break;
        }
        base::Sleep(due - now);
    }
}

bool HeadlessBackend::DeliverPosted() {
    while (!m_posted.empty()) {
        Posted p = m_posted.front();
        m_posted.pop_front();
        DialogState* d = Dialog(p.dialog);
        if (!d) continue;
        d->m_events->OnMessage(p.msg, p.wParam, p.lParam);
        return true;
    }
    return false;
}

bool HeadlessBackend::Schedule(Handle dialog, uint32_t now) {
    auto it = m_pending.find(dialog);
    if (it == m_pending.end()) return false;
    Pending& p = it->second;
    p.due = now;
    bool waited = false;
    while (p.next < p.steps.size() && p.steps[p.next].kind == UserStep::Kind::Wait) {
        p.due += p.steps[p.next++].ms;
        waited = true;
    }
    // A trailing Wait keeps the user there (so the loop is not stuck) until it passes.
    if (p.next == p.steps.size() && !waited) {
        m_pending.erase(it);
        return false;
    }
    return true;
}

bool HeadlessBackend::RunDueStep(Frame& frame) {
    uint32_t now = base::GetTickCount();
    if (!frame.dialog) {
        if (!IsDue(frame.dismissAt, now)) return false;
        frame.dismissed = true;
        return true;
    }
    auto it = m_pending.find(frame.dialog);
    if (it == m_pending.end() || !IsDue(it->second.due, now)) return false;
    if (it->second.next == it->second.steps.size()) {  // the trailing Wait is over
        m_pending.erase(it);
        return true;
    }
    UserStep step = it->second.steps[it->second.next++];  // a copy: the step may open dialogs
    RunStep(*Dialog(frame.dialog), step);
    Schedule(frame.dialog, base::GetTickCount());
    return true;
}

bool HeadlessBackend::FireDueTimer() {
    uint32_t now = base::GetTickCount();
    DialogState* owner = nullptr;
    TimerState* best = nullptr;
    for (const auto& d : m_dialogs) {
        if (d->destroyed) continue;
        for (TimerState& t : d->timers) {
            if (!IsDue(t.due, now)) continue;
            if (!best || Before(t.due, best->due) ||
                (t.due == best->due && t.order < best->order)) {
                best = &t;
                owner = d.get();
            }
        }
    }
    if (!best) return false;
    // Missed ticks collapse into this one; the next stays on the timer's own phase.
    uint32_t late = now - best->due;
    best->due += best->period * (late / best->period + 1);
    TimerState fired = *best;
    owner->m_events->OnTimer(fired.id);
    // A handler that overran would find its tick due again at once and starve whatever
    // else is due; the next one comes a whole period after the handler returned.
    auto same = [&](const TimerState& t) { return t.order == fired.order; };
    auto it = std::find_if(owner->timers.begin(), owner->timers.end(), same);
    now = base::GetTickCount();
    if (it != owner->timers.end() && IsDue(it->due, now)) it->due = now + it->period;
    return true;
}

bool HeadlessBackend::NextDue(const Frame& frame, uint32_t& due) {
    bool any = false;
    auto consider = [&](uint32_t t) {
        if (!any || Before(t, due)) due = t;
        any = true;
    };
    for (const auto& d : m_dialogs) {
        if (d->destroyed) continue;
        for (const TimerState& t : d->timers) consider(t.due);
    }
    if (!frame.dialog) consider(frame.dismissAt);
    auto it = m_pending.find(frame.dialog);
    if (frame.dialog && it != m_pending.end()) consider(it->second.due);
    return any;
}

bool HeadlessBackend::PostToDialog(Handle dialog, unsigned msg, uintptr_t wParam, intptr_t lParam) {
    if (!Dialog(dialog)) return false;
    m_posted.push_back({dialog, msg, wParam, lParam});
    return true;
}

bool HeadlessBackend::SetTimer(Handle dialog, uintptr_t id, unsigned ms) {
    DialogState* d = Dialog(dialog);
    if (!d) return false;
    uint32_t period = std::max<uint32_t>(ms, kMinTimerPeriod);
    TimerState timer{id, period, base::GetTickCount() + period, m_nextTimerOrder++};
    auto same = [id](const TimerState& t) { return t.id == id; };
    auto it = std::find_if(d->timers.begin(), d->timers.end(), same);
    if (it != d->timers.end()) {
        *it = timer;
    } else {
        d->timers.push_back(timer);
    }
    return true;
}

bool HeadlessBackend::KillTimer(Handle dialog, uintptr_t id) {
    DialogState* d = Dialog(dialog);
    if (!d) return false;
    auto it = std::find_if(d->timers.begin(), d->timers.end(),
                           [id](const TimerState& t) { return t.id == id; });
    if (it == d->timers.end()) return false;
    d->timers.erase(it);
    return true;
}

int HeadlessBackend::ShowMessageBox(Handle owner, const std::string& text,
                                    const std::string& caption, unsigned) {
    uint32_t now = base::GetTickCount();
    DialogState* o = Dialog(owner);
    uint32_t wait = m_user.MessageBoxShown(text, caption, now, o ? o->templateId : 0);
    if (wait == 0) return IDOK;
    if (m_frames.empty()) m_outerStart = now;
    bool disabledOwner = o && o->enabled;
    if (disabledOwner) o->enabled = false;
    Frame frame{0, now + wait};
    m_frames.push_back(&frame);
    RunLoop(frame);
    m_frames.pop_back();
    if (disabledOwner && !o->destroyed) o->enabled = true;
    return IDOK;
}

void HeadlessBackend::SetBusyCursor(bool busy) {
    if (!busy && m_busy == 0) {
        m_errors.push_back("busy cursor ended more often than begun");
        return;
    }
    m_busy += busy ? 1 : -1;
}

// --- The scripted user's hands ---

void HeadlessBackend::Notify(DialogState& d, int id, unsigned code, int detail) {
    if (d.m_events) d.m_events->OnNotify(id, code, detail);
}

void HeadlessBackend::RunStep(DialogState& d, const UserStep& step) {
    using K = UserStep::Kind;
    switch (step.kind) {
        case K::Wait:
            return;
        case K::Call:
            if (step.call) step.call();
            return;
        case K::Key:
            if (d.m_events) d.m_events->OnKeyDown(static_cast<unsigned>(step.index));
            return;
        case K::Close:
            if (!(d.style & DialogTemplate::SysMenu)) {
                Note(Name(d) + ": close ignored: no close box");
            } else if (d.m_events) {
                d.m_events->OnMessage(WM_CLOSE, 0, 0);
            }
            return;
        default:
            break;
    }
    std::string what = Name(d) + ": control " + std::to_string(step.id);
    ControlState* c = nullptr;
    for (ControlState& candidate : d.controls) {
        if (candidate.id == step.id) c = &candidate;
    }
    if (!c) return Fault("script: " + what + " does not exist");
    if (!c->enabled || !c->visible) {
        return Note(what + ": ignored: " + (c->enabled ? "hidden" : "disabled"));
    }
    auto expect = [&](WindowKind kind) {
        if (c->kind != kind)
            Fault("script: " + what + " is not the kind of control this step needs");
        return c->kind == kind;
    };
    switch (step.kind) {
        case K::Click:
            if (c->kind == WindowKind::CheckBox) {
                c->check = c->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            } else if (!expect(WindowKind::PushButton)) {
                return;
            }
            return Notify(d, c->id, BN_CLICKED, 0);
        case K::Type:
            if (!expect(WindowKind::Edit)) return;
            if (c->style & ControlTemplate::ReadOnly) return Note(what + ": read-only");
            for (char ch : step.text) {
                if (c->text.size() >= c->limit) return Note(what + ": limit reached");
                c->text += ch;
                Notify(d, c->id, EN_CHANGE, 0);
            }
            return;
        case K::Clear:
            if (!expect(WindowKind::Edit) || c->text.empty()) return;
            if (c->style & ControlTemplate::ReadOnly) return Note(what + ": read-only");
            c->text.clear();
            return Notify(d, c->id, EN_CHANGE, 0);
        case K::SetIp:
        case K::SetIpField: {
            if (!expect(WindowKind::IpAddress)) return;
            std::array<int, 4> fields = c->ip;
            if (step.kind == K::SetIp) {
                ParseIpText(step.text, fields.data());
            } else if (step.index < 0 || step.index > 3) {
                return Fault("script: " + what + " has no field " + std::to_string(step.index));
            } else {
                fields[step.index] = std::clamp(step.value, -1, 255);
            }
            for (int i = 0; i < 4; ++i) {
                if (fields[i] == c->ip[i]) continue;
                c->ip[i] = fields[i];
                Notify(d, c->id, IPN_FIELDCHANGED, i);
            }
            return;
        }
        case K::Select:
            if (!expect(WindowKind::ComboDropList)) return;
            if (step.index < 0 || step.index >= static_cast<int>(c->entries.size())) {
                return Fault("script: " + what + " has no entry " + std::to_string(step.index));
            }
            c->sel = step.index;
            return Notify(d, c->id, CBN_SELCHANGE, 0);
        case K::DropDown:
            if (expect(WindowKind::ComboDropList)) Notify(d, c->id, CBN_DROPDOWN, 0);
            return;
        case K::ClickRow:
        case K::DoubleClickRow:
            if (!expect(WindowKind::ListReport)) return;
            if (step.index < -1 || step.index >= static_cast<int>(c->rows.size())) {
                return Fault("script: " + what + " has no row " + std::to_string(step.index));
            }
            if (step.index >= 0) c->mark = step.index;  // blank space leaves the mark
            if (step.kind == K::DoubleClickRow) Notify(d, c->id, NM_DBLCLK, step.index);
            return;
        default:
            return;
    }
}

// --- Window state ---

WindowKind HeadlessBackend::Kind(Handle h) {
    if (Dialog(h)) return WindowKind::Dialog;
    ControlState* c = Control(h, WindowKind::None);
    return c ? c->kind : WindowKind::None;
}

std::string HeadlessBackend::GetText(Handle h) {
    if (DialogState* d = Dialog(h)) return d->caption;
    ControlState* c = Control(h, WindowKind::None);
    return c && HasText(c->kind) ? c->text : "";
}

void HeadlessBackend::SetText(Handle h, const std::string& text) {
    if (DialogState* d = Dialog(h)) d->caption = text;
    ControlState* c = Control(h, WindowKind::None);
    if (c && HasText(c->kind)) c->text = text;
}

bool HeadlessBackend::IsEnabled(Handle h) {
    if (DialogState* d = Dialog(h)) return d->enabled;
    ControlState* c = Control(h, WindowKind::None);
    return c && c->enabled;
}

void HeadlessBackend::SetEnabled(Handle h, bool enabled) {
    if (DialogState* d = Dialog(h)) d->enabled = enabled;
    if (ControlState* c = Control(h, WindowKind::None)) c->enabled = enabled;
}

bool HeadlessBackend::IsVisible(Handle h) {
    if (DialogState* d = Dialog(h)) return d->visible;
    ControlState* c = Control(h, WindowKind::None);
    return c && c->visible;
}

void HeadlessBackend::SetVisible(Handle h, bool visible) {
    if (DialogState* d = Dialog(h)) d->visible = visible;
    if (ControlState* c = Control(h, WindowKind::None)) c->visible = visible;
}

Rect HeadlessBackend::GetWindowRect(Handle h) {
    if (DialogState* d = Dialog(h)) return d->window;
    auto it = m_handles.find(h);
    if (it == m_handles.end()) return {};
    const DialogState& d = *it->second.first;
    const Rect& r = d.controls[it->second.second].rect;
    int x = d.window.left + kFrameBorder;
    int y = d.window.top + TopFrame(d.style);
    return {x + r.left, y + r.top, x + r.right, y + r.bottom};
}

Rect HeadlessBackend::GetClientRect(Handle h) {
    if (DialogState* d = Dialog(h)) return {0, 0, d->ClientSize().cx, d->ClientSize().cy};
    ControlState* c = Control(h, WindowKind::None);
    return c ? Rect{0, 0, c->rect.Width(), c->rect.Height()} : Rect{};
}

void HeadlessBackend::SetWindowRect(Handle h, const Rect& r) {
    if (DialogState* d = Dialog(h)) d->window = r;
    auto it = m_handles.find(h);
    if (it == m_handles.end() || it->second.second < 0) return;
    Rect screen = GetWindowRect(h);
    ControlState& c = it->second.first->controls[it->second.second];
    int dx = screen.left - c.rect.left;  // where the client area lies on the screen
    int dy = screen.top - c.rect.top;
    c.rect = {r.left - dx, r.top - dy, r.right - dx, r.bottom - dy};
}

Size HeadlessBackend::TextExtent(Handle h, const std::string& text) {
    if (Kind(h) == WindowKind::None) return {};
    return {static_cast<int>(text.size()) * kCharWidth, kLineHeight};
}

bool HeadlessBackend::IsIconic(Handle) { return false; }  // nothing minimises here

void HeadlessBackend::SetIcon(Handle h, int iconId, bool big) {
    if (DialogState* d = Dialog(h)) (big ? d->iconBig : d->iconSmall) = iconId;
}

int HeadlessBackend::GetIcon(Handle h, bool big) {
    DialogState* d = Dialog(h);
    return d ? (big ? d->iconBig : d->iconSmall) : 0;
}

// --- Control primitives ---

int HeadlessBackend::GetCheck(Handle h) {
    ControlState* c = Control(h, WindowKind::CheckBox);
    return c ? c->check : 0;
}

void HeadlessBackend::SetCheck(Handle h, int state) {
    if (ControlState* c = Control(h, WindowKind::CheckBox)) c->check = state;
}

size_t HeadlessBackend::GetEditLimit(Handle h) {
    ControlState* c = Control(h, WindowKind::Edit);
    return c ? c->limit : 0;
}

void HeadlessBackend::SetEditLimit(Handle h, size_t limit) {
    if (ControlState* c = Control(h, WindowKind::Edit)) c->limit = limit;
}

int HeadlessBackend::ComboCount(Handle h) {
    ControlState* c = Control(h, WindowKind::ComboDropList);
    return c ? static_cast<int>(c->entries.size()) : 0;
}

std::string HeadlessBackend::ComboText(Handle h, int index) {
    ControlState* c = Control(h, WindowKind::ComboDropList);
    return c && InRange(index, c->entries.size()) ? c->entries[index] : "";
}

void HeadlessBackend::ComboInsert(Handle h, int index, const std::string& text) {
    ControlState* c = Control(h, WindowKind::ComboDropList);
    if (c && InRange(index, c->entries.size() + 1))
        c->entries.insert(c->entries.begin() + index, text);
}

void HeadlessBackend::ComboDelete(Handle h, int index) {
    ControlState* c = Control(h, WindowKind::ComboDropList);
    if (c && InRange(index, c->entries.size())) c->entries.erase(c->entries.begin() + index);
}

int HeadlessBackend::ComboGetSel(Handle h) {
    ControlState* c = Control(h, WindowKind::ComboDropList);
    return c ? c->sel : -1;
}

void HeadlessBackend::ComboSetSel(Handle h, int index) {
    if (ControlState* c = Control(h, WindowKind::ComboDropList)) c->sel = index;
}

int HeadlessBackend::IpGetField(Handle h, int field) {
    ControlState* c = Control(h, WindowKind::IpAddress);
    return c && field >= 0 && field < 4 ? c->ip[field] : -1;
}

void HeadlessBackend::IpSetField(Handle h, int field, int value) {
    ControlState* c = Control(h, WindowKind::IpAddress);
    if (c && field >= 0 && field < 4) c->ip[field] = std::clamp(value, -1, 255);
}

int HeadlessBackend::ListColumnCount(Handle h) {
    ControlState* c = Control(h, WindowKind::ListReport);
    return c ? static_cast<int>(c->columns.size()) : 0;
}

ListColumn HeadlessBackend::ListGetColumn(Handle h, int col) {
    ControlState* c = Control(h, WindowKind::ListReport);
    return c && InRange(col, c->columns.size()) ? c->columns[col] : ListColumn{};
}

void HeadlessBackend::ListInsertColumn(Handle h, int col, const ListColumn& column) {
    ControlState* c = Control(h, WindowKind::ListReport);
    if (!c || !InRange(col, c->columns.size() + 1)) return;
    c->columns.insert(c->columns.begin() + col, column);
    // Cells belong to their columns, so existing rows get an empty cell at `col`.
    for (auto& row : c->rows) {
        if (row.size() < c->columns.size()) row.insert(row.begin() + col, std::string());
    }
}

int HeadlessBackend::ListItemCount(Handle h) {
    ControlState* c = Control(h, WindowKind::ListReport);
    return c ? static_cast<int>(c->rows.size()) : 0;
}

void HeadlessBackend::ListInsertItem(Handle h, int row, const std::string& text) {
    ControlState* c = Control(h, WindowKind::ListReport);
    if (!c || !InRange(row, c->rows.size() + 1)) return;
    std::vector<std::string> cells(std::max<size_t>(c->columns.size(), 1));
    cells[0] = text;
    c->rows.insert(c->rows.begin() + row, std::move(cells));
}

std::string HeadlessBackend::ListGetItemText(Handle h, int row, int col) {
    ControlState* c = Control(h, WindowKind::ListReport);
    bool ok = c && InRange(row, c->rows.size()) && InRange(col, c->rows[row].size());
    return ok ? c->rows[row][col] : "";
}

void HeadlessBackend::ListSetItemText(Handle h, int row, int col, const std::string& text) {
    ControlState* c = Control(h, WindowKind::ListReport);
    if (c && InRange(row, c->rows.size()) && InRange(col, c->rows[row].size())) {
        c->rows[row][col] = text;
    }
}

void HeadlessBackend::ListDeleteAllItems(Handle h) {
    if (ControlState* c = Control(h, WindowKind::ListReport)) c->rows.clear();
}

uint32_t HeadlessBackend::ListGetExtendedStyle(Handle h) {
    ControlState* c = Control(h, WindowKind::ListReport);
    return c ? c->exStyle : 0;
}

void HeadlessBackend::ListSetExtendedStyle(Handle h, uint32_t style) {
    if (ControlState* c = Control(h, WindowKind::ListReport)) c->exStyle = style;
}

int HeadlessBackend::ListGetSelectionMark(Handle h) {
    ControlState* c = Control(h, WindowKind::ListReport);
    return c ? c->mark : -1;
}

void HeadlessBackend::ListSetSelectionMark(Handle h, int row) {
    if (ControlState* c = Control(h, WindowKind::ListReport)) c->mark = row;
}

}  // namespace ui::headless
