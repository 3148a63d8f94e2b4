// Acts out a ui::ScriptedUser on the wx backend, on the real clock. When one of the
// backend's dialogs starts its modal run, its steps run one after another, a few
// milliseconds apart plus their waits, while it is the innermost modal window; a message
// box is recorded and answered with OK after its rule's delay (at once without one).
//
// The steps work the toolkit's controls as input does: they change what the user would
// change and send the event the toolkit sends for it (a button's click, a check box's
// toggle, text typed at the end of an edit, a field's digits, a pick from the drop-down
// list, its opening, a row selected and double-clicked, a key, the close box), so the
// backend's own handling of those events is what turns them into notifications.
//
// Faults, in TakeErrors(): a step naming a control that its dialog lacks or one of the
// wrong kind, and a modal run that outlasts the time limit (the windows then end, the
// innermost first, dialogs with IDCANCEL). Steps a user could not do (a disabled or
// hidden control, a read-only edit, typing past the limit, a close box the dialog lacks)
// do nothing and go to Log().
#pragma once

#include <wx/modalhook.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/scripted_user.h"
#include "ui/wx/wx_backend.h"

namespace ui::wx {

class ScriptedDriver : public wxModalDialogHook {
public:
    ScriptedDriver(WxBackend& backend, ScriptedUser& user, uint32_t timeLimitMs = 20000);
    ~ScriptedDriver() override;
    ScriptedDriver(const ScriptedDriver&) = delete;
    ScriptedDriver& operator=(const ScriptedDriver&) = delete;

    std::vector<std::string> TakeErrors();
    const std::vector<std::string>& Log() const { return m_log; }
    void SetTimeLimit(uint32_t ms) { m_timeLimit = ms; }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* dialog) override;

private:
    struct Open {
        wxDialog* window = nullptr;
        Handle dialog = 0;  // 0 for a message box
        std::vector<UserStep> steps;
        size_t next = 0;
        uint32_t due = 0;
        bool busy = false;  // its step is running, or it was told to close
    };
    class Ticker;

    void Tick();
    void Schedule(Open& open, uint32_t now);
    void RunStep(Handle dialog, wxDialog* window, const UserStep& step);
    void RunControlStep(Handle dialog, const UserStep& step);
    void Close(Open& open, int result);
    void Fault(const std::string& what);
    void Note(const std::string& what);

    WxBackend& m_backend;
    ScriptedUser& m_user;
    uint32_t m_timeLimit;
    uint32_t m_outerStart = 0;
    bool m_timedOut = false;
    std::vector<Open> m_open;  // innermost last
    std::unique_ptr<Ticker> m_ticker;
    std::vector<std::string> m_errors;
    std::vector<std::string> m_log;
};

}  // namespace ui::wx
