// The test backend: in-memory windows with the framework's control semantics, a modal loop
// on the shared clock (base::GetTickCount / base::Sleep, virtual in tests), and a scripted
// user (ui::ScriptedUser) who acts when a dialog opens or a message box shows.
//
// Geometry, fixed so that arithmetic on it is testable:
// - a dialog unit is 2 pixels both ways (a font whose average character is 8 by 16);
// - a dialog's window rectangle starts at the template's x, y; its client area is the
//   template's cx by cy; the frame adds 4 pixels on the left, right and bottom and 4 + 24
//   (border and caption bar) on top; without the caption style, 4 on top;
// - a control's rectangle is the template's, relative to the client area;
// - every byte of text is 8 pixels wide and a line is 16 pixels high, in every window.
//
// The modal loop repeats, until its dialog has ended: deliver the oldest posted message;
// else run the active window's due scripted step (or dismiss its message box when due);
// else fire the earliest due timer of any open dialog (ties in the order the timers were
// set); else sleep until the next of these is due. A timer that fires late fires once and
// keeps its phase (its next tick is the first multiple of its period after now); one whose
// handler ran past its next tick next fires a period after the handler returned.
//
// Guards, each recorded in Errors(); a test fixture checks that none is left at its end:
// - stuck: nothing is pending that could ever end the loop (no posted message, no timer of
//   any open dialog, no scripted step of the active window); the dialog ends with IDCANCEL;
// - time limit: the outermost loop ran longer than TimeLimit() of virtual time (one hour
//   unless set); the dialog ends with IDCANCEL (and so do the loops around it);
// - busy: 100000 dispatches without the clock moving;
// - script faults: a step names a control the dialog lacks or one of the wrong kind.
// Steps the real user could not do (on a disabled or hidden control, into a read-only
// edit, past an edit's limit, a close box the dialog lacks) do nothing and go to Log().
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/scripted_user.h"

namespace ui::headless {

constexpr int kDluPixels = 2;
constexpr int kFrameBorder = 4;
constexpr int kCaptionHeight = 24;
constexpr int kCharWidth = 8;
constexpr int kLineHeight = 16;
constexpr size_t kDefaultEditLimit = 30000;

struct ControlState {
    Handle handle = 0;
    int id = 0;
    WindowKind kind = WindowKind::Static;
    uint32_t style = 0;  // ControlTemplate::Style
    Rect rect;           // pixels, relative to the client area
    std::string text;
    bool enabled = true;
    bool visible = true;
    int check = 0;
    size_t limit = kDefaultEditLimit;
    std::vector<std::string> entries;  // combo
    int sel = -1;
    std::array<int, 4> ip{-1, -1, -1, -1};
    std::vector<ListColumn> columns;             // list view
    std::vector<std::vector<std::string>> rows;  // each row as wide as the columns (min 1)
    int mark = -1;
    uint32_t exStyle = 0;
};

struct TimerState {
    uintptr_t id = 0;
    uint32_t period = 0;
    uint32_t due = 0;
    uint64_t order = 0;  // when it was set, to break ties
};

// A dialog as the tests can read it; kept after the window is destroyed, with its last
// state, so a test can look at a dialog that has closed.
struct DialogState {
    Handle handle = 0;
    int templateId = 0;
    uint32_t style = 0;  // DialogTemplate::Style
    Handle owner = 0;
    std::string caption;
    bool enabled = true;
    bool visible = false;
    bool running = false;  // its modal loop is on the stack
    bool destroyed = false;
    int result = 0;  // the EndModal value
    Rect window;     // screen pixels, frame included
    int iconBig = 0;
    int iconSmall = 0;
    std::vector<TimerState> timers;
    std::vector<ControlState> controls;

    Size ClientSize() const;
    const ControlState* Control(int id) const;

private:
    friend class HeadlessBackend;
    DialogEvents* m_events = nullptr;
    bool m_ended = false;
};

class HeadlessBackend : public Backend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    ScriptedUser& User() { return m_user; }
    const std::vector<ShownMessageBox>& MessageBoxes() const { return m_user.MessageBoxes(); }

    // The nth dialog (from 1) built from that template, or the latest with nth 0; null if
    // there is none. Closed dialogs stay readable.
    const DialogState* FindDialog(int templateId, int nth = 0) const;
    const DialogState* FindDialog(Handle dialog) const;

    const std::vector<std::string>& Errors() const { return m_errors; }
    std::vector<std::string> TakeErrors();
    const std::vector<std::string>& Log() const { return m_log; }
    uint32_t TimeLimit() const { return m_timeLimit; }
    int BusyDepth() const { return m_busy; }
    void SetTimeLimit(uint32_t ms) { m_timeLimit = ms; }

    // Backend
    Handle CreateDialogWindow(const DialogTemplate& tmpl, Handle owner,
                              DialogEvents& events) override;
    Handle GetControl(Handle dialog, int id) override;
    int RunModal(Handle dialog) override;
    void EndModal(Handle dialog, int result) override;
    void DestroyDialog(Handle dialog) override;
    bool PostToDialog(Handle dialog, unsigned msg, uintptr_t wParam, intptr_t lParam) override;
    bool SetTimer(Handle dialog, uintptr_t id, unsigned ms) override;
    bool KillTimer(Handle dialog, uintptr_t id) override;
    int ShowMessageBox(Handle owner, const std::string& text, const std::string& caption,
                       unsigned type) override;
    void SetBusyCursor(bool busy) override;
    void RepaintNow(Handle) override {}  // nothing is painted here
    WindowKind Kind(Handle h) override;
    std::string GetText(Handle h) override;
    void SetText(Handle h, const std::string& text) override;
    bool IsEnabled(Handle h) override;
    void SetEnabled(Handle h, bool enabled) override;
    bool IsVisible(Handle h) override;
    void SetVisible(Handle h, bool visible) override;
    Rect GetWindowRect(Handle h) override;
    Rect GetClientRect(Handle h) override;
    void SetWindowRect(Handle h, const Rect& r) override;
    Size TextExtent(Handle h, const std::string& text) override;
    bool IsIconic(Handle h) override;
    void SetIcon(Handle h, int iconId, bool big) override;
    int GetIcon(Handle h, bool big) override;
    int GetCheck(Handle h) override;
    void SetCheck(Handle h, int state) override;
    size_t GetEditLimit(Handle h) override;
    void SetEditLimit(Handle h, size_t limit) override;
    int ComboCount(Handle h) override;
    std::string ComboText(Handle h, int index) override;
    void ComboInsert(Handle h, int index, const std::string& text) override;
    void ComboDelete(Handle h, int index) override;
    int ComboGetSel(Handle h) override;
    void ComboSetSel(Handle h, int index) override;
    int IpGetField(Handle h, int field) override;
    void IpSetField(Handle h, int field, int value) override;
    int ListColumnCount(Handle h) override;
    ListColumn ListGetColumn(Handle h, int col) override;
    void ListInsertColumn(Handle h, int col, const ListColumn& column) override;
    int ListItemCount(Handle h) override;
    void ListInsertItem(Handle h, int row, const std::string& text) override;
    std::string ListGetItemText(Handle h, int row, int col) override;
    void ListSetItemText(Handle h, int row, int col, const std::string& text) override;
    void ListDeleteAllItems(Handle h) override;
    uint32_t ListGetExtendedStyle(Handle h) override;
    void ListSetExtendedStyle(Handle h, uint32_t style) override;
    int ListGetSelectionMark(Handle h) override;
    void ListSetSelectionMark(Handle h, int row) override;

private:
    struct Frame;     // one modal loop on the stack: a dialog's or a message box's
    struct Pending {  // the scripted steps of an open dialog
        std::vector<UserStep> steps;
        size_t next = 0;
        uint32_t due = 0;
    };
    struct Posted {
        Handle dialog;
        unsigned msg;
        uintptr_t wParam;
        intptr_t lParam;
    };

    DialogState* Dialog(Handle h);
    ControlState* Control(Handle h, WindowKind kind);
    void RunLoop(Frame& frame);
    bool DeliverPosted();
    bool RunDueStep(Frame& frame);
    bool FireDueTimer();
    bool NextDue(const Frame& frame, uint32_t& due);
    bool Schedule(Handle dialog, uint32_t now);
    void EndFrame(Frame& frame);
    void RunStep(DialogState& d, const UserStep& step);
    void Notify(DialogState& d, int id, unsigned code, int detail);
    void Fault(const std::string& what);
    void Note(const std::string& what);

    ScriptedUser m_user;
    std::deque<std::unique_ptr<DialogState>> m_dialogs;        // every dialog ever built
    std::map<Handle, std::pair<DialogState*, int>> m_handles;  // control index, -1: dialog
    std::deque<Posted> m_posted;
    std::map<Handle, Pending> m_pending;  // by dialog
    std::vector<Frame*> m_frames;
    Handle m_nextHandle = 1;
    uint64_t m_nextTimerOrder = 0;
    uint32_t m_outerStart = 0;
    uint32_t m_timeLimit = 3600 * 1000;
    int m_busy = 0;
    uint32_t m_busyTick = 0;
    uint32_t m_busyCount = 0;
    std::vector<std::string> m_errors;
    std::vector<std::string> m_log;
};

}  // namespace ui::headless
