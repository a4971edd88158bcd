#pragma once
// Resource ids of tavsetup: strings, dialog templates, controls, icon.
// Plain #defines so that the resource compiler and the C++ code share one list.

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_TAVSETUP_DIALOG 102
#define IDD_SERID_DIALOG 129
#define IDD_VCOM_DIALOG 130
#define IDD_BIDI_DIALOG 131

// Icon of the main window.
#define IDR_MAINFRAME 128

// System-menu command of the about box.
#define IDM_ABOUTBOX 0x0010

// Strings.
#define IDS_ABOUTBOX 101
#define IDS_MULTIPLE_PRINTERS 102
#define IDS_RECEIVING 103
#define IDS_SERIAL_AUTO 104
#define IDS_SERIAL_MANUAL 105
#define IDS_APPLY 106
#define IDS_SERIAL_UNDEFINED 107
#define IDS_REFRESH 108
#define IDS_CLOSE 109
#define IDS_CANCEL 110
#define IDS_CURRENT_SETTING 111
#define IDS_APP_TITLE 112
#define IDS_PRINTER_UNDETECTED 113
#define IDS_INVALID_DATA 114
#define IDS_INFO_NOT_RECEIVED 115
#define IDS_RESPONSE_LABEL 116
#define IDS_NOT_RECEIVE 117
#define IDS_RECEIVE 118
#define IDS_NEED_VCOM_DRIVER 120
#define IDS_DRIVER_TYPE_LABEL 121
#define IDS_PRINTER_DRIVER 122
#define IDS_VCOM_DRIVER 123
#define IDS_SWITCHING_DRIVER 124
#define IDS_COMM_ERROR 125
#define IDS_NEEDS_32BIT 126
#define IDS_SWITCHING_RESPONSE 127
#define IDS_CHANGING_SERIAL 128
#define IDS_SERID_TITLE 140
#define IDS_VCOM_TITLE 141
#define IDS_BIDI_TITLE 142
#define IDS_TAB_DRIVER_TYPE 143
#define IDS_TAB_PRINTER_RESPONSE 144
#define IDS_TAB_SERIAL 145

// Main window (template 102).
#define IDC_TAB 1000

// About box (template 100).
#define IDC_VERSION_TEXT 1003

// Serial number page (template 129).
#define IDC_SERID_AUTO 1001
#define IDC_SERID_MANUAL 1002
#define IDC_SERID_EDIT 1004
#define IDC_SERID_TITLE 1006
#define IDC_SERID_LABEL 1007
#define IDC_SERID_GROUP 1008
#define IDC_SERID_REFRESH 1009
#define IDC_SERID_APPLY 1010
#define IDC_SERID_UNDEFINED 1011
#define IDC_SERID_VALUE 1012

// Driver type page (template 130).
#define IDC_VCOM_APPLY 1005
#define IDC_VCOM_TITLE 1007
#define IDC_VCOM_LABEL 1008
#define IDC_VCOM_VALUE 1009
#define IDC_VCOM_GROUP 1011
#define IDC_VCOM_REFRESH 1012
#define IDC_VCOM_PRINTER_DRIVER 1024
#define IDC_VCOM_SERIAL_DRIVER 1025

// Printer response page (template 131).
#define IDC_BIDI_TITLE 1014
#define IDC_BIDI_GROUP 1015
#define IDC_BIDI_LABEL 1016
#define IDC_BIDI_NOT_RECEIVE 1017
#define IDC_BIDI_RECEIVE 1018
#define IDC_BIDI_APPLY 1019
#define IDC_BIDI_VALUE 1020
#define IDC_BIDI_REFRESH 1023
