// The one way into the program's window and dialog procedures, and the
// records the windows keep their own state in.
//
// Every window of the program is Unicode: its class is registered, and its
// controls subclassed, with the wide functions, so that no text passes
// through the system's code page (texts are converted with code page 932 in
// platform/win32/wide_text.h).
//
// No C++ exception may unwind through the window system: each procedure is
// entered through a guard that catches whatever its handler throws, makes
// the internal-error report (OP_WINDOW_MESSAGE, the message number as the
// step) and answers the message the way the window would without the
// program: DefWindowProcW for windows of the program's own classes, the
// control's previous procedure for subclassed controls, FALSE for dialogs.
//
// A window's own state lives in a record on the window, never in a file
// global (records a window owns derive from OwnedRecord):
// - Windows of the program's own classes that own their record use
//   GuardedWithRecord<T, Handler>: the creator passes RecordForCreation(record)
//   as CreateWindowExW's lpParam, the window takes the record at WM_NCCREATE
//   and frees it once WM_NCDESTROY has been handled. Each message goes to
//   Handler(T&, ...).
// - Windows whose record outlives them (one on the stack of the thread that
//   runs the window) use Guarded<Handler>: lpParam is kept in the window's
//   user data at WM_NCCREATE, and WindowRecord<T>(window) finds it.
// - Dialogs use GuardedDialog<Handler>: the lParam of DialogBoxParamW or
//   CreateDialogParamW is kept in the user data at WM_INITDIALOG.
// - Controls of other classes (an edit, a list view, a button) that the
//   program gives a procedure of its own use SubclassWithRecord<T, Handler>:
//   the record, which remembers the control's previous procedure, is kept in
//   the window property T::kProperty and freed with the control.
//   ControlRecord<T>(control) keeps a record on a control that needs no
//   procedure of its own, made at the first call.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>

// Operation code of the internal-error report for a message whose handler
// failed.
enum : uint16_t {
    OP_WINDOW_MESSAGE = 0x0030,
};

// The report for a failed message; never throws.
void ReportFailedMessage(UINT message) noexcept;

// The record kept in a window's user data (null when there is none).
template <class T>
T* WindowRecord(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

template <LRESULT (*Handler)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK Guarded(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    try {
        return Handler(window, message, wparam, lparam);
    } catch (...) {
        ReportFailedMessage(message);
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// What every record a window owns has in common: the window may go while one
// of its messages is still being handled (a close arriving in the modal loop
// of a menu or a message box), so the record is freed only once the last
// message under way has returned.
struct OwnedRecord {
    int messages_under_way = 0;
    bool window_gone = false;  // WM_NCDESTROY has been handled
};

namespace window_guard_internal {

// One message to a window that owns `record`: the handler's answer, or the
// fallback's when the handler fails. At WM_NCDESTROY `forget` takes the
// record off the window; it is freed once no message is under way.
template <class T, LRESULT (*Handler)(T&, HWND, UINT, WPARAM, LPARAM), class Fallback, class Forget>
LRESULT Handle(T* record, HWND window, UINT message, WPARAM wparam, LPARAM lparam, Fallback fallback,
               Forget forget) {
    ++record->messages_under_way;
    LRESULT answer = 0;
    try {
        answer = Handler(*record, window, message, wparam, lparam);
    } catch (...) {
        ReportFailedMessage(message);
        answer = fallback();
    }
    if (message == WM_NCDESTROY) {
        forget();
        record->window_gone = true;
    }
    if (--record->messages_under_way == 0 && record->window_gone) delete record;
    return answer;
}

}  // namespace window_guard_internal

// lpParam for a window made with GuardedWithRecord: the window takes the
// record out of `record` at WM_NCCREATE, so a creation that fails before
// that leaves it here, to be freed with `record`.
template <class T>
void* RecordForCreation(std::unique_ptr<T>& record) {
    return &record;
}

// T derives from OwnedRecord. Messages before WM_NCCREATE, or to a window
// made without a record, go to DefWindowProcW.
template <class T, LRESULT (*Handler)(T&, HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK GuardedWithRecord(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    static_assert(std::is_base_of_v<OwnedRecord, T>);
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        if (auto* handed = static_cast<std::unique_ptr<T>*>(creation->lpCreateParams)) {
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handed->release()));
        }
    }
    T* record = WindowRecord<T>(window);
    if (record == nullptr) return DefWindowProcW(window, message, wparam, lparam);
    return window_guard_internal::Handle<T, Handler>(
        record, window, message, wparam, lparam, [&] { return DefWindowProcW(window, message, wparam, lparam); },
        [&] { SetWindowLongPtrW(window, GWLP_USERDATA, 0); });
}

template <INT_PTR (*Handler)(HWND, UINT, WPARAM, LPARAM)>
INT_PTR CALLBACK GuardedDialog(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, GWLP_USERDATA, lparam);
    try {
        return Handler(dialog, message, wparam, lparam);
    } catch (...) {
        ReportFailedMessage(message);
    }
    return FALSE;
}

// What every subclass record has in common. A record type derives from it and
// names its own property, so that a control can carry several records:
//     struct PaneRecord : SubclassRecord {
//         static constexpr wchar_t kProperty[] = L"Mosswick.Pane";
//         ...
//     };
struct SubclassRecord : OwnedRecord {
    WNDPROC previous = nullptr;  // the control's procedure before this one
};

// A message passed on to the control's previous procedure; 0 once the
// control is gone (its class's code may be unloaded by then).
inline LRESULT CallPrevious(const SubclassRecord& record, HWND control, UINT message, WPARAM wparam,
                            LPARAM lparam) {
    if (record.window_gone) return 0;
    return CallWindowProcW(record.previous, control, message, wparam, lparam);
}

template <class T>
T* SubclassRecordOf(HWND control) {
    return static_cast<T*>(static_cast<SubclassRecord*>(GetPropW(control, T::kProperty)));
}

template <class T, LRESULT (*Handler)(T&, HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK GuardedSubclass(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    T* record = SubclassRecordOf<T>(control);
    if (record == nullptr) return DefWindowProcW(control, message, wparam, lparam);  // not once installed
    return window_guard_internal::Handle<T, Handler>(
        record, control, message, wparam, lparam,
        [&] { return CallPrevious(*record, control, message, wparam, lparam); },
        [&] { RemovePropW(control, T::kProperty); });
}

// Gives the control GuardedSubclass<T, Handler> as its procedure, `record`
// on it. Returns the record, now the control's; null when the control has
// a record of this type already or the record could not be kept on it.
template <class T, LRESULT (*Handler)(T&, HWND, UINT, WPARAM, LPARAM)>
T* SubclassWithRecord(HWND control, std::unique_ptr<T> record) {
    if (control == nullptr || record == nullptr || SubclassRecordOf<T>(control) != nullptr) return nullptr;
    record->previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
    SubclassRecord* base = record.get();
    if (!SetPropW(control, T::kProperty, base)) return nullptr;
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GuardedSubclass<T, Handler>));
    return record.release();
}

template <class T>
LRESULT PassEverythingOn(T& record, HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    return CallPrevious(record, control, message, wparam, lparam);
}

// The control's record of type T (default-made at the first call, and freed
// with the control); null for no control, or when none can be kept on it.
template <class T>
T* ControlRecord(HWND control) {
    if (control == nullptr) return nullptr;
    if (T* record = SubclassRecordOf<T>(control)) return record;
    return SubclassWithRecord<T, PassEverythingOn<T>>(control, std::make_unique<T>());
}
