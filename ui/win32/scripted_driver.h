// Acts out a ui::ScriptedUser on the Win32 backend, on the real clock. A thread timer
// ticks in whatever loop runs (ours, or a message box's): when one of the backend's
// dialogs starts its modal run, its steps run one after another, a few milliseconds apart
// plus their waits, while it is the innermost modal window; a message box is found among
// the thread's windows, recorded (its text and caption as shown) and answered with OK
// after its rule's delay (at once without one).
//
// The steps work the native controls as input does: a button's click (BM_CLICK), typed
// characters (WM_CHAR, through the loop's own handling, so the edit limit holds), an IP
// field's digits with the field notification the control sends, a pick from the
// drop-down list with its selection notification, the list opened (CB_SHOWDROPDOWN), a
// row selected and double-clicked (WM_LBUTTONDBLCLK on the row, or below the last one), a
// key, the close box (SC_CLOSE).
//
// Faults, in TakeErrors(): a step naming a control that its dialog lacks or one of the
// wrong kind, a message box that does not show what was asked, and a modal run that
// outlasts the time limit (the windows then end, the innermost first, dialogs with
// IDCANCEL). Steps a user could not do (a disabled or hidden control, a read-only edit,
// typing past the limit, a close box the dialog lacks) do nothing and go to Log().
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/scripted_user.h"
#include "ui/win32/win32_backend.h"

namespace ui::win32 {

class ScriptedDriver {
public:
    // One driver at a time per process: its timer has no window to carry it.
    ScriptedDriver(Win32Backend& backend, ScriptedUser& user, uint32_t timeLimitMs = 20000);
    ~ScriptedDriver();
    ScriptedDriver(const ScriptedDriver&) = delete;
    ScriptedDriver& operator=(const ScriptedDriver&) = delete;

    std::vector<std::string> TakeErrors();
    const std::vector<std::string>& Log() const { return m_log; }
    void SetTimeLimit(uint32_t ms) { m_timeLimit = ms; }

    void Tick();  // for the timer

private:
    struct Open {
        uint64_t serial = 0;  // the backend's modal frame
        Handle dialog = 0;    // 0 for a message box
        Hwnd box = nullptr;
        std::vector<UserStep> steps;
        size_t next = 0;
        uint32_t due = 0;
        bool busy = false;  // its step is running, or it was told to close
    };

    void Sync(uint32_t now);
    bool OpenBox(Open& open, const ModalFrame& frame, uint32_t now);
    void Schedule(Open& open, uint32_t now);
    void RunStep(Handle dialog, const UserStep& step);
    void RunControlStep(Handle dialog, const UserStep& step);
    void Close(Open& open, int result);
    void Fault(const std::string& what);
    void Note(const std::string& what);

    Win32Backend& m_backend;
    ScriptedUser& m_user;
    uint32_t m_timeLimit;
    uintptr_t m_timer = 0;
    uint32_t m_outerStart = 0;
    bool m_timedOut = false;
    std::vector<Open> m_open;  // innermost last
    std::vector<std::string> m_errors;
    std::vector<std::string> m_log;
};

}  // namespace ui::win32
