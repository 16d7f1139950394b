// Resource and control ids, shared by Dunmoor.rc and the dialog classes.
// Plain #defines only: the resource compiler reads this file too.
#pragma once

// Icon
#define IDR_MAINFRAME 128

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_DUNMOOR_DIALOG 102
#define IDD_DBCOMMANDSETUP 103
#define IDD_DBNAME 130

// String table
#define IDS_ABOUTBOX 101
#define IDS_SERVER_UNREACHABLE 102
#define IDS_CREATE_FAILED 103
#define IDS_INSTALL_QUESTION 104
#define IDS_INSTALL_CAPTION 105
#define IDS_REPLACE_QUESTION 106
#define IDS_DATABASE_KEPT 107
#define IDS_SETTINGS_NOT_SAVED 108

// What a create checks before it changes anything, /check and /?
#define IDS_SCRIPT_NOT_READY 109
#define IDS_KEY_NOT_WRITABLE 110
#define IDS_NAME_REFUSED 111
#define IDS_SCHEMA_HOLDS_TABLES 112
#define IDS_CHECK_WOULD_CREATE 113
#define IDS_CHECK_WOULD_REPLACE 114
#define IDS_CHECK_EXISTS 115
#define IDS_USAGE 116
#define IDS_BATCHES_REFUSED 117
#define IDS_SCRIPT_DAMAGED 118
#define IDS_VALUE_TOO_LONG 119
#define IDS_LEFTOVERS_KEPT 122

// String table: runs refused before they start
#define IDS_ALREADY_RUNNING 120
#define IDS_COMMAND_LINE_TOO_LONG 121
#define IDS_COMMAND_LINE_REFUSED 123

// String table: the unattended patch
#define IDS_PATCH_FAILED 124
#define IDS_PATCH_CHECK_PASSES 131

// String table: an existing database kept, or the program's own unfinished one
#define IDS_REPLACE_UNFINISHED 132
#define IDS_KEEP_QUESTION 133
#define IDS_KEEP_ORACLE_SCHEMA 134
#define IDS_CHECK_WOULD_KEEP 135

// String table: the program's own files (125-129)
#define IDS_PROGRAM_FILES_OPEN 125
#define IDS_LOG_FOLDER_OPEN 126
#define IDS_OPENSSL_FOLDER_OPEN 127
#define IDS_PASSWORD_READABLE 128
#define IDS_LOG_IS_LINK 129

// The About item of the system menus
#define IDM_ABOUTBOX 16

// Controls of the main dialog (102) and the progress dialog (103)
#define IDC_SERVER 1000
#define IDC_LOGIN_ID 1001
#define IDC_PASSWORD 1002
#define IDC_PORT 1003
#define IDC_PROGRESS 1004
#define IDC_SETUP 1005
#define IDC_WINDOWS_AUTH 1006
#define IDC_FINISH 1007
#define IDC_SERVER_AUTH 1008
#define IDC_DB_TYPE 1009
#define IDC_INSTALL 1010
#define IDC_SET_NAME 1013
#define IDC_STATUS_TEXT 1015
#define IDC_DB_NAME 1017

// Controls of the database-name dialog (130)
#define IDC_DEFAULT_NAME 3

// Version resource
#define IDV_VERSION 1
