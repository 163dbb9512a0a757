#pragma once
// Ids of the program's resources and of the dialog's controls, shared by quorvel.rc and the code.
// Plain #defines, because the resource compiler reads this file too.

#define IDD_MAIN_DIALOG 103
#define IDI_QUORVEL 107
#define IDI_QUORVEL_SMALL 108

// The module operations ("模块上操作").
#define IDC_MODULE_ENROLL 1000
#define IDC_MODULE_VERIFY 1001
#define IDC_MODULE_IDENTIFY 1002
#define IDC_SLOT_NUMBER 1003
#define IDC_DELETE_SLOT 1004
#define IDC_ERASE_LIBRARY 1005

// The host operations ("主机上操作").
#define IDC_HOST_ENROLL 1006
#define IDC_HOST_CAPTURE 1007
#define IDC_HOST_COMPARE 1008

#define IDC_STATUS_LINE 1009

// The port and the module settings.
#define IDC_OPEN_PORT 1010
#define IDC_CLOSE_PORT 1011
#define IDC_PORT_NUMBER 1012
#define IDC_BAUD_RATE 1013
#define IDC_CLEAR_PASSWORD 1014
#define IDC_SHOW_IMAGE 1015
#define IDC_MODULE_BAUD_57600 1016
#define IDC_MODULE_BAUD_115200 1017
