// The Win32 backend: dialogs built from in-memory DLGTEMPLATEs made from the dialog
// templates, with the native controls (common controls for the IP address and list view).
//
// - Geometry: the template's dialog units become pixels through the dialog's own font
//   (MapDialogRect); every rectangle the framework sees is in screen pixels.
// - Modal runs are a message loop of ours around a modeless dialog, so EndModal, timers
//   and posted messages behave the same in every loop: a loop ends once its own dialog
//   has ended, whatever loops ran above it; the owner is disabled while it runs. A dialog
//   that neither its template nor code placed shows centred over its owner.
// - Timers are the window's own (SetTimer/WM_TIMER), which fire in any loop of the
//   thread, a message box's included. A handler that ran past its next tick restarts its
//   timer when it returns, so the next tick comes a whole period later.
// - Posted messages wait in a queue of the dialog; a private window message carries each
//   to it, so they keep their order among the window's input and die with the window.
// - Enter, Escape and F1 reach DialogEvents::OnKeyDown before the dialog manager sees
//   them; the close box becomes WM_CLOSE.
// - Texts are bytes. The controls are Unicode ones: they show valid UTF-8 as what it
//   spells and other bytes as Windows-1252, whatever the process's code page; what the
//   framework reads back is the very bytes it set, kept beside each text, cell and entry,
//   until the user changes that text.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/backend.h"

struct HWND__;  // the HWND of <windows.h>, which this header does not include

namespace ui::win32 {

using Hwnd = HWND__*;

// What a control shows for these bytes, as UTF-16: UTF-8 where they are valid UTF-8,
// Windows-1252 where not. Text that the user typed comes back as UTF-8.
std::wstring Readable(const std::string& bytes);
std::string Utf8(const std::wstring& text);

// A modal window on the stack: a dialog's run, or a message box (dialog 0).
struct ModalFrame {
    uint64_t serial = 0;  // tells one window from the next at the same depth
    Handle dialog = 0;
    Handle owner = 0;
    std::string text;  // a message box's text and caption, as the framework gave them
    std::string caption;
};

class Win32Backend : public Backend {
public:
    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    // For drivers and tests: the native window behind a handle and back, the template a
    // dialog was built from, and the modal windows open now (innermost last).
    Hwnd Window(Handle h) const;
    Handle HandleOf(Hwnd window) const;
    int TemplateId(Handle dialog) const;
    uint32_t TemplateStyle(Handle dialog) const;
    const std::vector<ModalFrame>& ModalStack() const { return m_frames; }
    // Handles a message as the modal loop handles what it takes from the queue: the keys
    // the dialog hears first, the edit limit, then the dialog manager and the window.
    void Input(Hwnd target, unsigned msg, uintptr_t wParam, intptr_t lParam);

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
    // The window procedure's way in; not for callers.
    intptr_t HandleMessage(Dialog& d, unsigned msg, uintptr_t wParam, intptr_t lParam);

private:
    Dialog* FindDialog(Handle h) const;
    Control* FindControl(Handle h, WindowKind kind = WindowKind::None) const;
    Hwnd Native(Handle h) const;
    bool PreTranslate(void* msg);
    void Dispatch(void* msg);
    void Notify(Dialog& d, int id, unsigned code, int detail);
    void FireTimer(Dialog& d, uintptr_t id);
    void DeliverPosted(Dialog& d);

    int m_busy = 0;
    int m_quiet = 0;  // >0 while code changes a control: its notifications are not the user's
    Handle m_nextHandle = 1;
    uint64_t m_nextFrame = 1;
    std::map<Handle, std::unique_ptr<Dialog>> m_dialogs;
    std::map<Handle, Control*> m_controls;  // owned by their dialogs
    std::map<Hwnd, Handle> m_byWindow;
    std::vector<ModalFrame> m_frames;
};

}  // namespace ui::win32
