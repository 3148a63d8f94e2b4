// The scripted user of the tests: what they do when a dialog opens or a message box
// shows, written as data so that every backend's test driver can act it out (the headless
// backend on virtual time; a desktop backend by injecting events). The product never uses
// it.
//
//   user.OnDialog(130).Type(1034, "secret").Wait(200).Click(1036);  // first opening
//   user.OnDialog(129, 2).DoubleClickRow(1031, 0);                    // second opening
//   user.OnMessageBox("Device not found!!!", 1000);  // press OK after a second
//
// A dialog's steps run one after another while that dialog is the active window (no
// dialog or message box of its own is open above it); Wait puts time between them.
// Message boxes without a matching rule are dismissed at once. Every box is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ui {

struct UserStep {
    enum class Kind {
        Wait,            // ms
        Click,           // id: push button, or a check box (toggles it)
        Type,            // id, text: appended byte by byte, EN_CHANGE each; stops at the limit
        Clear,           // id: empties an edit (one EN_CHANGE when it held text)
        SetIp,           // id, text: dotted text; IPN_FIELDCHANGED per changed field
        SetIpField,      // id, index = field, value (-1 = blank)
        Select,          // id, index: picks a drop-down entry, CBN_SELCHANGE
        DropDown,        // id: opens a drop-down list, CBN_DROPDOWN
        ClickRow,        // id, index = row (-1 = blank space): sets the selection mark
        DoubleClickRow,  // the same, then NM_DBLCLK
        Key,             // index = virtual key (VK_RETURN, VK_ESCAPE)
        Close,           // the close box; needs the system menu style
        Call,            // runs `call` (a test looking at the dialog while it is open)
    };
    Kind kind = Kind::Wait;
    int id = 0;
    int index = 0;
    int value = 0;
    std::string text{};
    uint32_t ms = 0;
    std::function<void()> call{};
};

class DialogScript {
public:
    DialogScript(int templateId, int nth) : m_templateId(templateId), m_nth(nth) {}

    DialogScript& Wait(uint32_t ms);
    DialogScript& Click(int id);
    DialogScript& Type(int id, std::string text);
    DialogScript& Clear(int id);
    DialogScript& SetIp(int id, std::string dotted);
    DialogScript& SetIpField(int id, int field, int value);
    DialogScript& Select(int id, int index);
    DialogScript& DropDown(int id);
    DialogScript& ClickRow(int id, int row);
    DialogScript& DoubleClickRow(int id, int row);
    DialogScript& Key(unsigned vk);
    DialogScript& Enter();
    DialogScript& Escape();
    DialogScript& Close();
    DialogScript& Call(std::function<void()> fn);

    int TemplateId() const { return m_templateId; }
    int Nth() const { return m_nth; }
    const std::vector<UserStep>& Steps() const { return m_steps; }

private:
    friend class ScriptedUser;
    DialogScript& Add(UserStep step);
    int m_templateId;
    int m_nth;  // 0: every opening
    bool m_used = false;
    std::vector<UserStep> m_steps;
};

struct ShownMessageBox {
    std::string text{};
    std::string caption;
    uint32_t tick = 0;      // when it showed
    int ownerTemplate = 0;  // template id of the owning dialog, 0 for none
    bool scripted = false;  // a rule dismissed it (else it went at once)
};

class ScriptedUser {
public:
    // What to do at the nth opening (from 1) of the dialog with that template id; nth 0
    // means at every opening that no rule for its number claims.
    DialogScript& OnDialog(int templateId, int nth = 1);
    // Press OK on the next box with exactly this text ("" = any) after `afterMs`.
    void OnMessageBox(std::string text, uint32_t afterMs = 0);

    const std::vector<ShownMessageBox>& MessageBoxes() const { return m_boxes; }
    // Rules that never matched, described for a failure message.
    std::vector<std::string> Unused() const;

    // --- For the backend's driver ---
    // A dialog's modal loop starts: counts the opening, returns its steps (null for none).
    const std::vector<UserStep>* DialogOpened(int templateId);
    // A message box shows: records it and returns how long the user waits before OK.
    uint32_t MessageBoxShown(const std::string& text, const std::string& caption, uint32_t tick,
                             int ownerTemplate);

private:
    struct BoxRule {
        std::string text;
        uint32_t afterMs;
        bool used;
    };
    std::deque<DialogScript> m_dialogs;  // deque: references handed out stay valid
    std::vector<BoxRule> m_boxRules;
    std::vector<std::pair<int, int>> m_openings;  // template id, times opened
    std::vector<ShownMessageBox> m_boxes;
};

}  // namespace ui
