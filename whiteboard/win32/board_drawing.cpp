#include "whiteboard/win32/board_drawing.h"

#include "whiteboard/board_stroke.h"

void FillWhite(HDC bitmap_dc) { PatBlt(bitmap_dc, 0, 0, kBoardPixels, kBoardPixels, WHITENESS); }

void DrawStrokeOn(HDC bitmap_dc, const BoardStroke& stroke) {
    StrokeDrawing plan = PlanDrawing(stroke);
    COLORREF colour = static_cast<COLORREF>(plan.colour);
    switch (plan.kind) {
        case StrokeDrawing::Kind::Clear: FillWhite(bitmap_dc); break;
        case StrokeDrawing::Kind::Pixel: SetPixel(bitmap_dc, stroke.x[0], stroke.y[0], colour); break;
        case StrokeDrawing::Kind::Lines: {
            HPEN pen = CreatePen(PS_SOLID, plan.width, colour);
            HGDIOBJ old = SelectObject(bitmap_dc, pen);
            MoveToEx(bitmap_dc, stroke.x[0], stroke.y[0], nullptr);
            for (int i = 1; i < stroke.count; ++i) LineTo(bitmap_dc, stroke.x[i], stroke.y[i]);
            SelectObject(bitmap_dc, old);
            DeleteObject(pen);
            break;
        }
        case StrokeDrawing::Kind::Nothing: break;
    }
}
