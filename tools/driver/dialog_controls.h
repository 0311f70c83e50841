// Dialog controls of another process: property-sheet pages, buttons, list
// boxes and combo boxes. Every message is sent with a time limit, so a
// window that has stopped answering fails the step instead of holding the
// driver.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Sends and waits for the answer at most `timeout_ms`. False when no answer
// came in time.
bool SendWithin(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT timeout_ms, LRESULT* result);

// Makes page `index` (from 0) of the property sheet the current one, which
// creates the page's dialog when it was never shown, and returns that
// dialog's window. Null when the sheet refused the page or did not answer.
HWND SelectSheetPage(HWND sheet, int index);

enum class ClickResult { kDone, kPending, kFailed };

// A click on the button (BM_CLICK): it presses, releases and notifies its
// dialog as a mouse click would, and an automatic check box or radio button
// changes its state. kPending when the click has not finished within a few
// seconds, as when it opened a modal window that is still open.
ClickResult ClickButton(HWND button);

// The item texts of a list box, or of a combo box's list, in list order.
// False when the control did not answer.
bool ReadListBoxTexts(HWND list_box, std::vector<std::string>* texts);
bool ReadComboTexts(HWND combo, std::vector<std::string>* texts);

// Selects the item (LB_SETCURSEL or CB_SETCURSEL) and tells the control's
// parent with the selection-change notification, as a user's choice would.
bool SelectListBoxItem(HWND list_box, int index);
bool SelectComboItem(HWND combo, int index);
