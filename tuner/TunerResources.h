#pragma once

// Resource ids of qbsetup. The check boxes of the setup dialog carry the
// dialog control ids of the host table.

#define IDD_SETUP 102
#define IDD_BUSY_WAIT 203
#define IDR_REGISTRY_SCRIPT 202

#define IDC_HELP_BUTTON 1010
#define IDC_BUSY_MESSAGE 1009
#define IDC_WORD_BOX 1000

#define IDS_MESSAGE_CAPTION 27    // "QBSetup"
#define IDS_CLASS_DESCRIPTION 28  // "QuillbarTuner Class"
#define IDS_HOST_BUSY 29          // the busy-wait message, %s twice
#define IDS_CLIPBOARD_WARNING 50
#define IDS_PROGRESS_TITLE 51
#define IDS_OLD_VERSION_ACTIVE 52

#define IDI_MAINICON_NAME "IDI_MAINICON"
