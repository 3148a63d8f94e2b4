// Message maps: static tables that route a control's notification (code, control id) to
// a member function of the dialog. The entries of the dialog's own class are searched
// first, in order, then those of its base classes; the first entry whose code matches and
// whose id range holds the control runs. A notification with no entry does nothing.
//
//   class CMyDlg : public CDialog {
//       ...
//       void OnScan();
//       void OnDblclkList(NMHDR* pNMHDR, LRESULT* pResult);
//       DECLARE_MESSAGE_MAP()
//   };
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_BN_CLICKED(1002, &CMyDlg::OnScan)
//       ON_NOTIFY(NM_DBLCLK, 1031, &CMyDlg::OnDblclkList)
//   END_MESSAGE_MAP()
//
// Handlers of BN_CLICKED, CBN_SELCHANGE, CBN_DROPDOWN and EN_CHANGE take no arguments (a
// range handler may take the control id); NM_DBLCLK and IPN_FIELDCHANGED handlers take the
// notification header and a result to set. Window messages need no entry: timers go to the
// virtual OnTimer, WM_CLOSE to OnCancel, Enter and Escape to IDOK and IDCANCEL (so an
// ON_BN_CLICKED(IDOK, ...) entry takes Enter), painting to OnPaint. F1 is the command
// ID_HELP: the dialog's map first, then the application object's (ON_COMMAND).
#pragma once

#include <concepts>
#include <cstddef>

#include "ui/wnd.h"

namespace ui {

struct MessageMapEntry {
    UINT code = 0;
    int firstId = 0;
    int lastId = 0;
    // Exactly one of these is set.
    void (CCmdTarget::*onCommand)() = nullptr;
    void (CCmdTarget::*onCommandId)(UINT id) = nullptr;
    void (CCmdTarget::*onNotify)(NMHDR* header, LRESULT* result) = nullptr;
};

struct MessageMap {
    const MessageMap* base = nullptr;  // searched after these entries
    const MessageMapEntry* entries = nullptr;
    size_t count = 0;
};

// The entry builders take member functions of the class whose map is being written (or of
// one of its bases), so a handler of another class does not compile.
template <class Owner, class T>
requires std::derived_from<Owner, T> && std::derived_from<T, CCmdTarget> MessageMapEntry
CommandEntry(UINT code, int first, int last, void (T::*fn)()) {
    return {code, first, last, static_cast<void (CCmdTarget::*)()>(fn), nullptr, nullptr};
}

template <class Owner, class T>
requires std::derived_from<Owner, T> && std::derived_from<T, CCmdTarget> MessageMapEntry
CommandEntry(UINT code, int first, int last, void (T::*fn)(UINT)) {
    return {code, first, last, nullptr, static_cast<void (CCmdTarget::*)(UINT)>(fn), nullptr};
}

template <class Owner, class T>
requires std::derived_from<Owner, T> && std::derived_from<T, CCmdTarget> MessageMapEntry
NotifyEntry(UINT code, int first, int last, void (T::*fn)(NMHDR*, LRESULT*)) {
    return {code,    first,   last,
            nullptr, nullptr, static_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(fn)};
}

// Runs the first entry of `map` (and its bases) for the notification; false when none.
// `header` is what a notify handler receives.
bool DispatchNotification(CCmdTarget& target, const MessageMap* map, UINT code, int id,
                          NMHDR* header);

}  // namespace ui

#define DECLARE_MESSAGE_MAP()                               \
protected:                                                  \
    static const ::ui::MessageMap* GetThisMessageMap();     \
                                                            \
public:                                                     \
    const ::ui::MessageMap* GetMessageMap() const override; \
                                                            \
protected:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                              \
    const ::ui::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const ::ui::MessageMap* theClass::GetThisMessageMap() {                                 \
        using ThisClass [[maybe_unused]] = theClass;                                        \
        using TheBaseClass = baseClass;                                                     \
        static const ::ui::MessageMapEntry entries[] = {
// The empty entry closes the array so that a map may have no entries of its own.
#define END_MESSAGE_MAP()                                                         \
    ::ui::MessageMapEntry {}                                                      \
    }                                                                             \
    ;                                                                             \
    static const ::ui::MessageMap map{TheBaseClass::GetThisMessageMap(), entries, \
                                      sizeof entries / sizeof entries[0] - 1};    \
    return &map;                                                                  \
    }

#define ON_COMMAND(id, fn) ON_CONTROL(0, id, fn)
#define ON_CONTROL(code, id, fn) ::ui::CommandEntry<ThisClass>(code, id, id, fn),
#define ON_CONTROL_RANGE(code, first, last, fn) \
    ::ui::CommandEntry<ThisClass>(code, first, last, fn),
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_NOTIFY(code, id, fn) ::ui::NotifyEntry<ThisClass>(code, id, id, fn),
#define ON_NOTIFY_RANGE(code, first, last, fn) ::ui::NotifyEntry<ThisClass>(code, first, last, fn),
