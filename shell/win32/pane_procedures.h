// The program's own window procedures for four panes of the main window: the
// input area, the output area, the user area and the send button. They give
// the panes Enter-to-send, the fixed Tab order and the output area's context
// menu; everything else goes to the control's own procedure.
#pragma once
#include <windows.h>

// Installs the four procedures (once the panes exist).
void ReplacePaneProcedures();
// The output area's procedure again, on a new output area.
void ReplaceOutputAreaProcedure();

// The output area's context menu at a screen point: copy the selection, or
// copy it and paste it into the input area. Returns the item chosen (0 for
// none).
int RunOutputContextMenu(HWND output, HWND input, POINT at);
