// The wxWidgets backend (GTK on Linux): native windows built from the dialog templates,
// with the control semantics of ui/.
//
// - Geometry: dialog units become pixels through the toolkit's own conversion of the
//   dialog's font, which is the desktop's GUI font whatever the template names.
// - Modal runs are wxDialog::ShowModal; message boxes are wx's own message dialog, a
//   wxDialog too (the GTK one runs a loop that code cannot end, and hides its caption).
//   EndModal for a dialog whose loop is not the innermost is held back until the loops
//   above it have returned. A dialog's owner counts as disabled while a modal window of
//   its own runs above it; the modal grab keeps input from it without greying it out.
// - Timers are one-shot wxTimers re-armed before their handler runs: a loop that the
//   handler runs (a message box) fires them again. A handler that overran is re-armed
//   again when it returns, so one tick follows a period later: a tick always due would
//   keep the toolkit from going idle, where posted messages and repaints happen.
// - Posted messages are delivered from the toolkit's idle time by whatever loop runs.
// - Enter and Escape reach the dialog through DialogEvents::OnKeyDown, unless a focused
//   push button takes Enter; the close box becomes WM_CLOSE.
// - Texts are bytes. What the user sees is their UTF-8 reading, or Latin-1 where they are
//   not valid UTF-8 (combo entries also lose their line breaks); what the framework reads
//   back is the very bytes it set, kept beside each text, cell and entry.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/backend.h"

class wxDialog;
class wxEvtHandler;
class wxKeyEvent;
class wxWindow;
class wxString;

namespace ui::wx {

// The picture of icon resource `id`, in XPM form; the program registers its icons before
// it runs a dialog.
void RegisterIcon(int id, const char* const* xpm);

// What it shows: UTF-8, or Latin-1 where the bytes are not valid UTF-8.
wxString Readable(const std::string& bytes);

// A modal window on the stack: a dialog's run, or a message box (dialog 0).
struct ModalFrame {
    Handle dialog = 0;
    Handle owner = 0;
    wxDialog* window = nullptr;
    std::string text;  // a message box's text and caption, as the framework gave them
    std::string caption;
};

class WxBackend : public Backend {
public:
    // Starts the toolkit on the display the environment names; Ready() tells whether
    // there was one. There is one toolkit per process, so one backend at a time.
    WxBackend(int& argc, char** argv);
    ~WxBackend() override;
    WxBackend(const WxBackend&) = delete;
    WxBackend& operator=(const WxBackend&) = delete;

    bool Ready() const { return m_ready; }

    // For drivers and tests: the toolkit window behind a handle and back, the window of a
    // list view's rows (which takes its mouse input), the template a dialog was built
    // from, the modal windows open now (innermost last), and the toolkit's assertion
    // failures since the last call.
    wxWindow* Window(Handle h) const;
    wxWindow* ListRows(Handle list) const;
    Handle HandleOf(const wxWindow* window) const;
    int TemplateId(Handle dialog) const;
    uint32_t TemplateStyle(Handle dialog) const;
    const std::vector<ModalFrame>& ModalStack() const { return m_frames; }
    std::vector<std::string> TakeToolkitErrors();

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
    void RepaintNow(Handle h) override;
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

    struct Control;
    struct Dialog;
    class Timer;

private:
    Dialog* FindDialog(Handle h) const;
    Control* FindControl(Handle h, WindowKind kind = WindowKind::None) const;
    void BuildControl(Dialog& d, const ControlTemplate& t);
    // Gives each control its accessible name (its label) and value (its text).
    void NameControls(Dialog& d);
    void Describe(Control& c);
    void BindNotifications(Control& c);
    void Notify(Handle control, unsigned code, int detail);
    void OnCharHook(Handle dialog, wxKeyEvent& event);
    void MoveFocus(Dialog& d, bool forward);
    void OnEditText(Handle control);
    void FireTimer(Handle dialog, uintptr_t id);
    void Deliver(Handle dialog, unsigned msg, uintptr_t wParam, intptr_t lParam);
    void PopFrame();

    bool m_ready = false;
    int m_busy = 0;
    Handle m_nextHandle = 1;
    std::map<Handle, std::unique_ptr<Dialog>> m_dialogs;
    std::map<Handle, Control*> m_controls;  // owned by their dialogs
    std::vector<ModalFrame> m_frames;
    std::unique_ptr<wxEvtHandler> m_poster;  // carries posted messages to idle time
};

}  // namespace ui::wx
