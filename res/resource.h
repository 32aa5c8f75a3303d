/* Resource ids of the program: dialog templates, icon and controls. Plain #defines so
   that a resource compiler can read this file as well as C++. String ids live in
   strings.def. */
#pragma once

#define IDD_MAIN 102
#define IDI_APP 128
#define IDD_TRANSFER 129

/* Main window (template 102). */
#define IDC_EXIT 1 /* the dialog's OK button: Exit */
#define IDC_MODEL 1000
#define IDC_SEND 1001
#define IDC_RECEIVE 1002
#define IDC_MODEL_LABEL 1003
#define IDC_RECEIVE_TEXT 1004
#define IDC_SEND_TEXT 1005
#define IDC_VERSION 1006
#define IDC_HELP_BUTTON 1007
#define IDC_COPYRIGHT 1008

/* Transfer window (template 129). */
#define IDC_STATUS 1007
#define IDC_PROGRESS 1008

#define IDC_NONE (-1) /* group boxes: no id */
