// The main window's children: output, input and user areas, send button,
// toolbar with the host IP box, status bar and the two splitter bars; their
// creation and their layout.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <string>

#include "net/presence.h"
#include "platform/win32/byte_limit.h"
#include "platform/win32/wide_text.h"
#include "settings/settings.h"
#include "resources/command_ids.h"
#include "shell/pane_layout.h"
#include "platform/win32/byte_limit.h"
#include "shell/win32/input_area.h"
#include "shell/win32/main_window.h"
#include "shell/win32/output_area.h"
#include "shell/win32/pane_procedures.h"
#include "shell/win32/split_bars.h"

namespace {

constexpr int kToolbarButtonCount = 17;
constexpr int kHostIpLimit = 15;

TBBUTTON Button(int image, int command) {
    TBBUTTON b = {};
    b.iBitmap = image;
    b.idCommand = command;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = TBSTYLE_BUTTON;
    return b;
}

TBBUTTON Separator() {
    TBBUTTON b = {};
    b.fsStyle = TBSTYLE_SEP;
    return b;
}

// A Unicode child window; its text is given in CP932.
HWND CreateChild(HWND parent, DWORD ex_style, const wchar_t* window_class, const char* text, DWORD style,
                 int id) {
    return CreateWindowExW(ex_style, window_class, WideFromCp932(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0,
                           0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_main.instance,
                           nullptr);
}

HWND CreateToolbar(HWND parent) {
    const TBBUTTON buttons[kToolbarButtonCount] = {
        Separator(),
        Button(12, IDM_START), Button(1, IDM_END), Button(0, IDM_USERCHECK),
        Separator(),
        Button(2, IDM_PERSONALMODE), Button(5, IDM_POPUPMODE),
        Separator(),
        Button(11, IDM_WHITEBOARD), Button(8, IDM_STATUS), Button(10, IDM_MACHINEINFO),
        Button(7, IDM_SHOWLOG), Button(3, IDM_CLEAR),
        Separator(),
        Button(6, IDM_SETTINGS), Button(9, IDM_GOTOTRAY),
        Separator(),
    };
    return CreateToolbarEx(parent, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, IDC_TOOLBAR, TOOLBAR_IMAGE_COUNT,
                           nullptr, reinterpret_cast<UINT_PTR>(g_main.toolbar_bitmap), buttons,
                           kToolbarButtonCount, 0, 0, TOOLBAR_IMAGE_SIZE, TOOLBAR_IMAGE_SIZE,
                           sizeof(TBBUTTON));
}

// The width and height the toolbar's buttons take; (293, 22) when the
// library cannot say.
SIZE ToolbarExtent() {
    SIZE size = {293, 22};
    if (!g_main.new_common_controls) return size;
    SIZE asked = {};
    if (SendMessageW(g_main.toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&asked)) && asked.cx > 0 &&
        asked.cy > 0)
        size = asked;
    return size;
}

// The label and the box sit on the toolbar, right of its buttons. The box
// takes as many CP932 bytes as the settings and the wire keep.
void CreateHostIpBox(SIZE extent) {
    g_main.host_ip_label = CreateWindowExW(
        0, L"STATIC", WideFromCp932("H.IP：").c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | SS_CENTERIMAGE,
        extent.cx + 5, 2, 37, extent.cy, g_main.toolbar,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HOSTIPLABEL)), g_main.instance, nullptr);
    g_main.host_ip = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                     extent.cx + 42, 2, 110, extent.cy, g_main.toolbar,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HOSTIP)),
                                     g_main.instance, nullptr);
    LimitEditToCp932Bytes(g_main.host_ip, kHostIpLimit);
}

void SetFont(HWND window, void* font) {
    HFONT object = font != nullptr ? static_cast<HFONT>(font) : g_main.default_font_object;
    if (window != nullptr) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(object), TRUE);
}

void InsertColumn(HWND list, int index, const char* heading, int width) {
    std::wstring text = WideFromCp932(heading);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void SetUpUserArea() {
    HWND list = g_main.user_list;
    if (list == nullptr) return;
    LRESULT ex_style = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ex_style | LVS_EX_FULLROWSELECT);
    SetFont(list, g_settings.pane_font_object[PANE_USER]);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(g_main.user_images));
    InsertColumn(list, 0, "名前", 80);
    InsertColumn(list, 1, "状態", 50);
    InsertColumn(list, 2, "IPｱﾄﾞﾚｽ", 80);
}

void SetStatusParts() {
    RECT r;
    GetClientRect(g_main.status_bar, &r);
    auto edges = StatusPartEdges(r.right - r.left);
    int parts[4] = {edges[0], edges[1], edges[2], edges[3]};
    SendMessageW(g_main.status_bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(parts));
}

void Defer(HDWP* batch, HWND window, const PaneRect& r) {
    if (window == nullptr || *batch == nullptr) return;
    // Sizes below zero count as zero.
    *batch = DeferWindowPos(*batch, window, nullptr, r.x, r.y, std::max(0, r.width), std::max(0, r.height),
                            SWP_NOZORDER | SWP_NOACTIVATE);
}

// An emptied output area is a new window: the handle and the area's own
// procedure go to it. Every way of emptying the area (the clear command, the
// overflow) comes through here, so the handle is always the area's.
void OnOutputAreaRenewed(HWND area) {
    g_main.output = area;
    ReplaceOutputAreaProcedure();
}

int ClientHeight(HWND window) {
    RECT r = {};
    if (window != nullptr) GetClientRect(window, &r);
    return r.bottom - r.top;
}

}  // namespace

// The host IP box's text for the start sequence.
std::string HostIpBoxText() { return WindowTextCp932(g_main.host_ip, kHostIpLimit); }

void ShowStatusPart(int part, const char* text) {
    if (g_main.status_bar == nullptr || part < 0 || part >= kStatusParts) return;
    SendMessageW(g_main.status_bar, SB_SETTEXTW, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(WideFromCp932(text).c_str()));
}

bool CreateChildWindows(HWND window) {
    g_main.output = CreateOutputArea(window, IDC_OUTPUT, g_main.instance);
    g_main.input = CreateChild(window, WS_EX_CLIENTEDGE, L"EDIT", "",
                               WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL, IDC_INPUT);
    g_main.user_list = CreateChild(window, WS_EX_CLIENTEDGE, WC_LISTVIEWW, "",
                                   WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, IDC_USERLIST);
    g_main.send_button = CreateChild(window, WS_EX_CLIENTEDGE, L"BUTTON", "送信",
                                     WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER, IDC_SEND);
    g_main.status_bar =
        CreateStatusWindowW(WS_CHILD | WS_VISIBLE | CCS_BOTTOM | SBARS_SIZEGRIP, L"", window, IDC_STATUSBAR);
    g_main.toolbar = CreateToolbar(window);

    if (g_main.toolbar != nullptr) CreateHostIpBox(ToolbarExtent());

    SetFont(g_main.output, g_settings.pane_font_object[PANE_OUTPUT]);
    SetFont(g_main.input, g_settings.pane_font_object[PANE_INPUT]);
    SetFont(g_main.user_list, g_settings.pane_font_object[PANE_USER]);
    SetFont(g_main.send_button, nullptr);
    SetFont(g_main.host_ip, nullptr);
    SetFont(g_main.host_ip_label, nullptr);

    SetOutputAreaLimit(g_main.output);
    SetOutputAreaRenewal(g_main.output, OnOutputAreaRenewed);
    // What is typed goes on the wire as CP932: the area takes no more than a
    // message carries.
    LimitEditToCp932Bytes(g_main.input, kInputTextMax);
    SetUpUserArea();
    if (g_main.status_bar != nullptr) {
        SetStatusParts();
        ShowStatusPart(1, "全員");
    }
    if (g_main.new_common_controls && g_main.toolbar != nullptr) {
        SetWindowLongPtrW(g_main.toolbar, GWL_STYLE, GetWindowLongPtrW(g_main.toolbar, GWL_STYLE) | TBSTYLE_FLAT);
    }
    CreateSplitBars(window);
    ReplacePaneProcedures();
    return true;
}

void LayOutChildren(int width, int height) {
    SplitPositions pos{g_settings.Split1_Pos, g_settings.Split2_Pos, g_settings.Split3_Pos};
    const bool type2 = UserAreaTypeII(g_settings);
    PaneLayout l = LayOutPanes(width, height, ClientHeight(g_main.toolbar), ClientHeight(g_main.status_bar),
                               type2, &pos);
    g_settings.Split1_Pos = pos.first;
    g_settings.Split2_Pos = pos.type1;
    g_settings.Split3_Pos = pos.type2;

    HDWP batch = BeginDeferWindowPos(8);
    Defer(&batch, g_main.toolbar, l.toolbar);
    Defer(&batch, g_main.output, l.output);
    Defer(&batch, SplitBarWindow(SplitBar::First), l.first_bar);
    Defer(&batch, g_main.input, l.input);
    Defer(&batch, g_main.send_button, l.send_button);
    Defer(&batch, SplitBarWindow(SplitBar::Second), l.second_bar);
    Defer(&batch, g_main.user_list, l.user_area);
    Defer(&batch, g_main.status_bar, l.status_bar);
    if (batch != nullptr) EndDeferWindowPos(batch);
    if (g_main.status_bar != nullptr) SetStatusParts();
}

void DestroyOutputArea() {
    if (g_main.output == nullptr) return;
    DestroyWindow(g_main.output);
    g_main.output = nullptr;
}

HBRUSH InputAreaColors(HDC dc) {
    if (g_main.input_brush_dirty || g_main.input_brush == nullptr) {
        if (g_main.input_brush != nullptr) DeleteObject(g_main.input_brush);
        g_main.input_brush = CreateSolidBrush(g_settings.InArea_BackColor);
        g_main.input_brush_dirty = false;
    }
    bool forced = InAreaTextColorForceOn(g_settings);
    SetTextColor(dc, forced ? g_settings.InArea_TextColor : g_settings.Msg_TextColor);
    SetBkColor(dc, g_settings.InArea_BackColor);
    return g_main.input_brush;
}
