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

// The settings sheet: the Base page.
#define IDC_BASE_NAME 1006
#define IDC_BASE_IME 1005
#define IDC_BASE_DATE 1007
#define IDC_BASE_TIME 1008
#define IDC_BASE_SAMPLE 1133
#define IDC_BASE_COLOUR 1134
#define IDC_BASE_LOG 1004
#define IDC_BASE_DELETELOG 1109

// The Send/Receive page.
#define IDC_SR_BROADCASTCHECK 1011
#define IDC_SR_PERSONALCHECK 1007
#define IDC_SR_POPUPCHECK 1010
#define IDC_SR_SHOWNLIST 1088
#define IDC_SR_TRAYLIST 1089
#define IDC_SR_YELLOW 1139
#define IDC_SR_GREEN 1140
#define IDC_SR_SKYBLUE 1141
#define IDC_SR_RED 1142

// The Display page: text colour, enforce box, background, sample and font
// of the output, input and user areas, and the screen type.
#define IDC_DISP_OUT_TEXT 1041
#define IDC_DISP_OUT_FORCE 1135
#define IDC_DISP_OUT_BACK 1042
#define IDC_DISP_OUT_SAMPLE 1045
#define IDC_DISP_OUT_FONT 1050
#define IDC_DISP_IN_TEXT 1043
#define IDC_DISP_IN_FORCE 1136
#define IDC_DISP_IN_BACK 1044
#define IDC_DISP_IN_SAMPLE 1046
#define IDC_DISP_IN_FONT 1051
#define IDC_DISP_US_TEXT 1047
#define IDC_DISP_US_FORCE 1137
#define IDC_DISP_US_BACK 1048
#define IDC_DISP_US_SAMPLE 1049
#define IDC_DISP_US_FONT 1052
#define IDC_DISP_TYPE1 1138
#define IDC_DISP_TYPE2 1139

// The Network page.
#define IDC_NET_ADDRESS 1000
#define IDC_NET_ADD 1120
#define IDC_NET_LIST 1118
#define IDC_NET_DELETE 1121
#define IDC_NET_IMPORT 1131
#define IDC_NET_PORT 1001
#define IDC_NET_LOCALBROADCAST 1007
#define IDC_NET_STARTSEND 1008

// The status, machine information and version dialogs.
#define IDC_STATUS_TEXT 1063
#define IDC_INFO_COMPUTER 1039
#define IDC_INFO_LOGIN 1000
#define IDC_INFO_ADDRESS 1001
#define IDC_VERSION_ICON 1028

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
// The shell took no tray icon: it is tried again.
#define IDT_TRAYRETRY 105
// A close waits for the settings sheet or a small dialog to close.
#define IDT_CLOSEMODAL 106

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
#define RES_DLG_BASE "DLG_BASE"
#define RES_DLG_SENDRECV "DLG_SENDRECV"
#define RES_DLG_COLOR "DLG_COLOR"
#define RES_DLG_NETWORK "DLG_NETWORK"
#define RES_DLG_STATUS "DLG_STATUS"
#define RES_DLG_INFO "DLG_INFO"
#define RES_DLG_VERSION "DLG_VERSION"

// The toolbar strip: 13 images of 16 x 16 pixels side by side.
#define TOOLBAR_IMAGE_COUNT 13
#define TOOLBAR_IMAGE_SIZE 16
