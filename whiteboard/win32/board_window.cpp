#include "whiteboard/win32/board_window.h"

#include <memory>

#include "net/datagram.h"
#include "resources/command_ids.h"
#include "settings/window_modes.h"
#include "platform/win32/pickers.h"
#include "platform/win32/placement.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_guard.h"
#include "whiteboard/board_stroke.h"
#include "whiteboard/stroke_cutter.h"
#include "whiteboard/win32/board_drawing.h"

namespace {

// The one board's window while it is open.
HWND g_board_window = nullptr;

constexpr int kColourCount = 17;  // sixteen swatches and the pen colour indicator

struct Swatch {
    int id;
    COLORREF colour;
};
const Swatch kSwatches[kColourCount - 1] = {
    {1152, RGB(128, 0, 0)},     {1155, RGB(0, 0, 128)},     {1156, RGB(128, 128, 0)}, {1159, RGB(0, 128, 0)},
    {1160, RGB(128, 0, 128)},   {1162, RGB(64, 128, 128)},  {1165, RGB(128, 128, 128)}, {1166, RGB(0, 0, 0)},
    {1153, RGB(255, 0, 0)},     {1154, RGB(0, 0, 255)},     {1157, RGB(255, 255, 0)}, {1158, RGB(0, 255, 0)},
    {1161, RGB(255, 0, 255)},   {1163, RGB(0, 255, 255)},   {1164, RGB(192, 192, 192)}, {1167, RGB(255, 255, 255)},
};

// The open board's own state, kept on its window.
struct Board {
    HWND window = nullptr, canvas = nullptr;
    HDC bitmap_dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    COLORREF colour = RGB(0, 0, 0);
    int width = 1;
    HPEN pen = nullptr;
    HBRUSH brushes[kColourCount] = {};  // by swatch, the indicator last
    HCURSOR pen_cursor = nullptr;
    StrokeCutter cutter;
};

// The canvas's record: which board it draws on.
struct CanvasRecord : SubclassRecord {
    static constexpr wchar_t kProperty[] = L"Mosswick.Canvas";
    Board* board = nullptr;
};

void RemakePen(Board* board) {
    if (board->pen != nullptr) DeleteObject(board->pen);
    board->pen = CreatePen(PS_SOLID, board->width, board->colour);
}

void SetColour(Board* board, COLORREF colour) {
    board->colour = colour;
    RemakePen(board);
    HBRUSH& indicator = board->brushes[kColourCount - 1];
    if (indicator != nullptr) DeleteObject(indicator);
    indicator = CreateSolidBrush(colour);
    InvalidateRect(GetDlgItem(board->window, IDC_BOARD_INDICATOR), nullptr, TRUE);
}

void SetWidth(Board* board, int id) {
    CheckRadioButton(board->window, IDC_BOARD_WIDTH1, IDC_BOARD_WIDTH8, id);
    board->width = id == IDC_BOARD_WIDTH8 ? 8 : id == IDC_BOARD_WIDTH4 ? 4 : 1;
    RemakePen(board);
}

void SendOwnStroke(Board* board, BoardStroke stroke) {
    stroke.red = GetRValue(board->colour);
    stroke.green = GetGValue(board->colour);
    stroke.blue = GetBValue(board->colour);
    stroke.width = static_cast<uint16_t>(board->width);
    SendStroke(stroke);
}

void Repaint(Board* board) { InvalidateRect(board->canvas, nullptr, FALSE); }

void DrawLine(Board* board, CanvasPoint from, CanvasPoint to) {
    HGDIOBJ old = SelectObject(board->bitmap_dc, board->pen);
    MoveToEx(board->bitmap_dc, from.x, from.y, nullptr);
    LineTo(board->bitmap_dc, to.x, to.y);
    SelectObject(board->bitmap_dc, old);
    Repaint(board);
}

void DrawDot(Board* board, CanvasPoint at) {
    if (board->width == 1) {
        SetPixel(board->bitmap_dc, at.x, at.y, board->colour);
        Repaint(board);
    } else {
        DrawLine(board, at, at);
    }
}

void OnCanvasStep(Board* board, StrokeCutter::Outcome outcome) {
    switch (outcome.step) {
        case StrokeCutter::Step::Line: DrawLine(board, outcome.from, outcome.to); return;
        case StrokeCutter::Step::Dot: DrawDot(board, outcome.to); break;
        case StrokeCutter::Step::End: break;
        case StrokeCutter::Step::Nothing: return;
    }
    ReleaseCapture();
    SendOwnStroke(board, board->cutter.stroke());
}

void PaintCanvas(Board* board, HWND canvas) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(canvas, &paint);
    BitBlt(dc, 0, 0, kBoardPixels, kBoardPixels, board->bitmap_dc, 0, 0, SRCCOPY);
    EndPaint(canvas, &paint);
}

LRESULT CanvasMessage(CanvasRecord& record, HWND canvas, UINT message, WPARAM wparam, LPARAM lparam) {
    Board* board = record.board;
    // The mouse position as two unsigned 16-bit values: left of or above the
    // canvas counts as large.
    uint16_t x = LOWORD(lparam), y = HIWORD(lparam);
    switch (message) {
        case WM_SETCURSOR: SetCursor(board->pen_cursor); return TRUE;
        case WM_PAINT: PaintCanvas(board, canvas); return 0;
        case WM_ERASEBKGND: return TRUE;
        case WM_LBUTTONDOWN:
            board->cutter.Begin(x, y);
            SetCapture(canvas);
            return 0;
        case WM_MOUSEMOVE: OnCanvasStep(board, board->cutter.Move(x, y)); return 0;
        case WM_LBUTTONUP: OnCanvasStep(board, board->cutter.Release()); return 0;
        default: return CallPrevious(record, canvas, message, wparam, lparam);
    }
}

bool MakeBitmap(Board* board) {
    HDC canvas_dc = GetDC(board->canvas);
    board->bitmap_dc = CreateCompatibleDC(canvas_dc);
    board->bitmap = CreateCompatibleBitmap(canvas_dc, kBoardPixels, kBoardPixels);
    ReleaseDC(board->canvas, canvas_dc);
    if (board->bitmap_dc == nullptr || board->bitmap == nullptr) return false;
    board->old_bitmap = SelectObject(board->bitmap_dc, board->bitmap);
    FillWhite(board->bitmap_dc);
    return true;
}

void OnInitDialog(HWND dialog, Board* board) {
    board->window = dialog;
    board->canvas = GetDlgItem(dialog, IDC_BOARD_CANVAS);
    auto record = std::make_unique<CanvasRecord>();
    record->board = board;
    SubclassWithRecord<CanvasRecord, CanvasMessage>(board->canvas, std::move(record));
    board->pen_cursor = LoadCursorW(GetModuleHandleW(nullptr), WIDE_NAME(RES_PEN_CUR));
    MakeBitmap(board);
    SetWindowPos(board->canvas, nullptr, 0, 0, kBoardPixels, kBoardPixels, SWP_NOMOVE | SWP_NOZORDER);
    for (int i = 0; i < kColourCount - 1; ++i) board->brushes[i] = CreateSolidBrush(kSwatches[i].colour);
    SetColour(board, RGB(0, 0, 0));
    SetWidth(board, IDC_BOARD_WIDTH1);
    CornerPlacement(dialog, g_modes.window_shown);
}

void Release(Board* board) {
    if (board->bitmap_dc != nullptr) {
        SelectObject(board->bitmap_dc, board->old_bitmap);
        DeleteDC(board->bitmap_dc);
    }
    if (board->bitmap != nullptr) DeleteObject(board->bitmap);
    if (board->pen != nullptr) DeleteObject(board->pen);
    for (HBRUSH brush : board->brushes)
        if (brush != nullptr) DeleteObject(brush);
}

void Clear(Board* board) {
    if (MessageBoxCp932(board->window, "白板をクリアしますか？", "Mosswick - 白板のクリア",
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    BoardStroke clear;
    clear.clear = 1;
    SendOwnStroke(board, clear);  // sent before the own board is cleared
    FillWhite(board->bitmap_dc);
    InvalidateRect(board->canvas, nullptr, FALSE);
}

void ChangeColour(Board* board) {
    COLORREF colour = board->colour;
    if (PickColor(board->window, &colour)) SetColour(board, colour);
}

void OnCommand(Board* board, int id) {
    for (const Swatch& swatch : kSwatches)
        if (swatch.id == id) return SetColour(board, swatch.colour);
    switch (id) {
        case IDC_BOARD_WIDTH1:
        case IDC_BOARD_WIDTH4:
        case IDC_BOARD_WIDTH8: SetWidth(board, id); break;
        case IDC_BOARD_CHANGE: ChangeColour(board); break;
        case IDC_BOARD_CLEAR: Clear(board); break;
        case IDOK:
        case IDCANCEL: DestroyWindow(board->window); break;
        default: break;
    }
}

HBRUSH BrushOf(Board* board, int id) {
    if (id == IDC_BOARD_INDICATOR) return board->brushes[kColourCount - 1];
    for (int i = 0; i < kColourCount - 1; ++i)
        if (kSwatches[i].id == id) return board->brushes[i];
    return nullptr;
}

INT_PTR OnDrawItem(Board* board, const DRAWITEMSTRUCT* item) {
    HBRUSH brush = BrushOf(board, static_cast<int>(item->CtlID));
    if (brush == nullptr) return FALSE;
    FillRect(item->hDC, &item->rcItem, brush);
    return TRUE;
}

void OnReceived(Board* board, const uint8_t* datagram, int length) {
    DrawStrokeOn(board->bitmap_dc, ReadBoardDatagram(datagram, length));
    Repaint(board);
}

INT_PTR BoardProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        OnInitDialog(dialog, reinterpret_cast<Board*>(lparam));  // kept on the window by the guard
        return TRUE;
    }
    Board* board = WindowRecord<Board>(dialog);
    if (board == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND: OnCommand(board, LOWORD(wparam)); return TRUE;
        case WM_DRAWITEM: return OnDrawItem(board, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        case WM_CLOSE: DestroyWindow(dialog); return TRUE;
        case UM_BOARDDATA:
            OnReceived(board, reinterpret_cast<const uint8_t*>(lparam), static_cast<int>(wparam));
            return TRUE;
        case WM_DESTROY:
            Release(board);
            SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
            delete board;
            g_board_window = nullptr;  // the next opening starts white
            return TRUE;
        default: return FALSE;
    }
}

}  // namespace

void OpenWhiteboard(HWND main_window) {
    if (g_board_window != nullptr) return;
    auto board = std::make_unique<Board>();
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), WIDE_NAME(RES_DLG_BOARD), main_window,
                                     GuardedDialog<BoardProcedure>, reinterpret_cast<LPARAM>(board.get()));
    if (window == nullptr) return;
    board.release();  // the window's now; freed when it is destroyed
    g_board_window = window;
}

HWND WhiteboardWindow() { return g_board_window; }

void DeliverToWhiteboard(const uint8_t* datagram, int length) {
    if (g_board_window != nullptr)
        SendMessageW(g_board_window, UM_BOARDDATA, static_cast<WPARAM>(length), reinterpret_cast<LPARAM>(datagram));
}

void CloseWhiteboard() {
    if (g_board_window != nullptr) DestroyWindow(g_board_window);
}
