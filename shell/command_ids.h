// Command ids, child-window ids, private window messages, timer ids and
// resource names. Included by the program, by the .rc files and by the tests,
// so it holds nothing but #define lines (the resource compiler reads it too).
#pragma once

// Commands: menu bar, accelerators, toolbar and the tray/context menu.
#define IDM_SEND 40001
#define IDM_RESTORE 40002
#define IDM_SETTINGS 40003
#define IDM_VERSION 40006
#define IDM_HELPCONTENTS 40007
#define IDM_EXIT 40008
#define IDM_POPUPMODE 40016
#define IDM_PERSONALMODE 40019
#define IDM_MACHINEINFO 40029
#define IDM_SHOWLOG 40030
#define IDM_GOTOTRAY 40035
#define IDM_STATUS 40036
#define IDM_CLEAR 40038
#define IDM_START 40041
#define IDM_CTRLENTER 40042
#define IDM_USERCHECK 40044
#define IDM_END 40045
#define IDM_WHITEBOARD 40046

// The output area's own context menu.
#define IDM_COPY 101
#define IDM_COPYTOINPUT 102

// Child windows of the main window (the tray icon takes 65004).
#define IDC_OUTPUT 65000
#define IDC_INPUT 65001
#define IDC_USERLIST 65002
#define IDC_SEND 65003
#define IDC_TRAYICON 65004
#define IDC_TOOLBAR 65005
#define IDC_STATUSBAR 65006
#define IDC_HOSTIP 65007
#define IDC_HOSTIPLABEL 65008

// The popup message window.
#define IDC_POPUP_LABEL 1026
#define IDC_POPUP_TEXT 1012
#define IDC_POPUP_REPLY 1140
#define IDC_POPUP_SEND 1141

// The whiteboard window.
#define IDC_BOARD_CANVAS 1142
#define IDC_BOARD_WIDTH1 1143
#define IDC_BOARD_WIDTH4 1144
#define IDC_BOARD_WIDTH8 1145
#define IDC_BOARD_CHANGE 1150
#define IDC_BOARD_CLEAR 1151
#define IDC_BOARD_FIRST_SWATCH 1152
#define IDC_BOARD_LAST_SWATCH 1167
#define IDC_BOARD_INDICATOR 1168

// Private window messages.
#define UM_TRAYNOTIFY 64001
#define UM_GOTOTRAY 64002
#define UM_FILLMACHINEINFO 64003
#define UM_SOCKETEVENT 64005
#define UM_BOARDDATA 64007
// The tray arrival notice answered Yes: restore, without taking the foreground.
#define UM_RESTOREQUIETLY 64008

// Timers of the main window.
#define IDT_TRAYBLINK 102
#define IDT_TITLEBLINK 103
#define IDT_RESEND 104

// Resource names.
#define RES_MENU "MENU"
#define RES_ACCEL "ACCEL"
#define RES_TARNICON "TARNICON"
#define RES_ICON_YELLOW "ICON_YELLOW"
#define RES_ICON_GREEN "ICON_GREEN"
#define RES_ICON_SKYBLUE "ICON_SKYBLUE"
#define RES_ICON_RED "ICON_RED"
#define RES_SPLITH_CUR "SPLITH_CUR"
#define RES_SPLITV_CUR "SPLITV_CUR"
#define RES_PEN_CUR "PEN_CUR"
#define RES_TOOLBAR "TOOLBAR"
#define RES_DLG_MSGBOX "DLG_MSGBOX"
#define RES_DLG_BOARD "DLG_BOARD"

// The toolbar strip: 13 images of 16 x 16 pixels side by side.
#define TOOLBAR_IMAGE_COUNT 13
#define TOOLBAR_IMAGE_SIZE 16
