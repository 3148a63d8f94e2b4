// What a backend provides to the dialog framework: native dialogs built from templates, a
// modal loop, timers, posted messages, message boxes, geometry and text measurement, and
// a few primitives per control kind. The control semantics that features rely on (combo
// search and selection, list selection mark, IP text, edit limits, DDX) are written once
// on top of these in the framework; a backend only stores and shows state.
//
// Rules every backend keeps:
// - Every function accepts any handle, including 0 and handles of destroyed windows, and
//   then does nothing and returns false, 0, an empty text or WindowKind::None.
// - Indices passed to the control primitives have been checked by the framework against
//   the counts the backend reported, so a primitive may assume they are in range.
// - Setting state from code never notifies. Notifications (DialogEvents::OnNotify) report
//   what the user did: a click, a typed character, a field change, a selection.
// - Everything runs on one thread; timers and posted messages are dispatched by whatever
//   modal loop is innermost, for every open dialog, and a message box runs such a loop too.
//   So a timer handler that opens a message box can be entered again by its own timer.
// - Missed ticks do not pile up: a timer that comes late fires once. One whose handler ran
//   past its next tick fires next a whole period after the handler returned, so a slow
//   handler leaves the loop time for the other timers, posted messages and painting.
//
// The interface uses only plain C++ types (plus winconst.h values), so a Win32 backend can
// include <windows.h> in its own files. For the same reason no member is named like a
// Win32 macro (CreateDialog, PostMessage, MessageBox, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/dialog_template.h"
#include "ui/handle.h"

namespace ui {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size&) const = default;
};

struct ListColumn {
    std::string heading;
    int format = 0;  // LVCFMT_*
    int width = 0;   // pixels
};

// How a backend reports to the dialog that owns a native window. The framework's CDialog
// implements it; a backend calls it only while the dialog exists.
class DialogEvents {
public:
    // The user acted on control `id`: code is BN_CLICKED, EN_CHANGE, CBN_SELCHANGE,
    // CBN_DROPDOWN, IPN_FIELDCHANGED (detail = field index 0..3) or NM_DBLCLK (detail =
    // row, -1 on blank space). A check box has already toggled when BN_CLICKED arrives.
    virtual void OnNotify(int id, unsigned code, int detail) = 0;
    // A key went down in the dialog and no push button took it. Returns true when the
    // framework used it (Enter, Escape and F1 always are); the backend then drops the key.
    virtual bool OnKeyDown(unsigned vk) = 0;
    // A posted message arrives, or WM_CLOSE from the close box.
    virtual void OnMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) = 0;
    virtual void OnTimer(uintptr_t id) = 0;
    // For backends that paint the window themselves (the minimised icon); optional.
    virtual void OnPaint() = 0;
    virtual int OnQueryDragIcon() = 0;  // icon id, 0 for none

protected:
    ~DialogEvents() = default;
};

class Backend {
public:
    virtual ~Backend() = default;

    // --- Dialogs and the modal loop ---
    // Builds the window and all controls of the template, hidden, owned by `owner` (0 for
    // none). Returns 0 when it cannot.
    virtual Handle CreateDialogWindow(const DialogTemplate& tmpl, Handle owner,
                                      DialogEvents& events) = 0;
    // The control of that dialog with that id, 0 when there is none.
    virtual Handle GetControl(Handle dialog, int id) = 0;
    // Shows the dialog, disables its owner, and dispatches events until EndModal is
    // called for it; then hides it, enables the owner again and returns EndModal's value.
    // Returns at once when EndModal came before the loop started.
    virtual int RunModal(Handle dialog) = 0;
    // Ends the dialog's modal run once control is back in its own loop; a loop nested
    // above it keeps running until it ends itself.
    virtual void EndModal(Handle dialog, int result) = 0;
    // Destroys the window, its controls, its timers and the messages posted to it.
    virtual void DestroyDialog(Handle dialog) = 0;

    // Queues a message for the dialog's DialogEvents::OnMessage; only dialogs take them.
    virtual bool PostToDialog(Handle dialog, unsigned msg, uintptr_t wParam, intptr_t lParam) = 0;
    // Starts or restarts timer `id` of the dialog with a period in milliseconds (at least
    // 10; smaller values are raised to it). The timers end with the window.
    virtual bool SetTimer(Handle dialog, uintptr_t id, unsigned ms) = 0;
    virtual bool KillTimer(Handle dialog, uintptr_t id) = 0;
    // A modal message box with an OK button; timers and posted messages keep being
    // dispatched while it shows. `owner` may be 0. An empty caption is none: the box shows
    // what the platform shows for a box without one. Returns IDOK.
    virtual int ShowMessageBox(Handle owner, const std::string& text, const std::string& caption,
                               unsigned type) = 0;
    // The busy cursor over every window of the program while a call blocks them; calls
    // nest, and a message box shown meanwhile has the ordinary cursor.
    virtual void SetBusyCursor(bool busy) = 0;
    // Paints what of the window is due now (a window closed over it), before a call that
    // blocks the loop for long.
    virtual void RepaintNow(Handle h) = 0;

    // --- Any window ---
    virtual WindowKind Kind(Handle h) = 0;
    // The caption of a dialog, the text of a static, edit, button or group box. The
    // framework derives the text of combo boxes and IP controls itself.
    virtual std::string GetText(Handle h) = 0;
    virtual void SetText(Handle h, const std::string& text) = 0;
    virtual bool IsEnabled(Handle h) = 0;
    virtual void SetEnabled(Handle h, bool enabled) = 0;
    // The window's own visible state, not its ancestors'.
    virtual bool IsVisible(Handle h) = 0;
    virtual void SetVisible(Handle h, bool visible) = 0;
    // In screen pixels; for a dialog it includes the frame.
    virtual Rect GetWindowRect(Handle h) = 0;
    // The client area, always at 0,0.
    virtual Rect GetClientRect(Handle h) = 0;
    // Moves and sizes the window (screen pixels, frame included).
    virtual void SetWindowRect(Handle h, const Rect& r) = 0;
    // Extent in pixels of `text` drawn in the window's font.
    virtual Size TextExtent(Handle h, const std::string& text) = 0;
    virtual bool IsIconic(Handle h) = 0;
    // Icons are named by resource id (0 = none); big is the title/task icon.
    virtual void SetIcon(Handle h, int iconId, bool big) = 0;
    virtual int GetIcon(Handle h, bool big) = 0;

    // --- Check boxes ---
    virtual int GetCheck(Handle h) = 0;
    virtual void SetCheck(Handle h, int state) = 0;

    // --- Edits: the most bytes the user can type in; text set from code may be longer ---
    virtual size_t GetEditLimit(Handle h) = 0;
    virtual void SetEditLimit(Handle h, size_t limit) = 0;

    // --- Drop-down lists: entries by position, selection -1 for none ---
    virtual int ComboCount(Handle h) = 0;
    virtual std::string ComboText(Handle h, int index) = 0;
    virtual void ComboInsert(Handle h, int index, const std::string& text) = 0;  // 0..count
    virtual void ComboDelete(Handle h, int index) = 0;
    virtual int ComboGetSel(Handle h) = 0;
    virtual void ComboSetSel(Handle h, int index) = 0;

    // --- IP address controls: four fields, each 0..255 or -1 for blank ---
    virtual int IpGetField(Handle h, int field) = 0;
    virtual void IpSetField(Handle h, int field, int value) = 0;

    // --- List views in report mode ---
    virtual int ListColumnCount(Handle h) = 0;
    virtual ListColumn ListGetColumn(Handle h, int col) = 0;
    virtual void ListInsertColumn(Handle h, int col, const ListColumn& column) = 0;  // 0..count
    virtual int ListItemCount(Handle h) = 0;
    virtual void ListInsertItem(Handle h, int row, const std::string& text) = 0;  // 0..count
    virtual std::string ListGetItemText(Handle h, int row, int col) = 0;
    virtual void ListSetItemText(Handle h, int row, int col, const std::string& text) = 0;
    virtual void ListDeleteAllItems(Handle h) = 0;
    virtual uint32_t ListGetExtendedStyle(Handle h) = 0;
    virtual void ListSetExtendedStyle(Handle h, uint32_t style) = 0;
    // The row the user clicked last (-1 for none); the framework keeps it on the same row
    // across insertions and clears it when the rows go.
    virtual int ListGetSelectionMark(Handle h) = 0;
    virtual void ListSetSelectionMark(Handle h, int row) = 0;
};

// The backend the framework talks to; the entry point installs one before the
// application runs. SetBackend returns the one installed before.
Backend* GetBackend();
Backend* SetBackend(Backend* backend);

// Installs a backend for the lifetime of the object.
class ScopedBackend {
public:
    explicit ScopedBackend(Backend& backend) : m_previous(SetBackend(&backend)) {}
    ~ScopedBackend() { SetBackend(m_previous); }
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;

private:
    Backend* m_previous;
};

}  // namespace ui
