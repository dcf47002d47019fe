#pragma once

// Resources of tlvshell.dll (tlvshell.rc).

// Registration scripts, type "REGISTRY".
#define IDR_WEBPAGEFOLDER 102
#define IDR_SHELLCONTEXTMENU 201

// String table.
#define IDS_PROJNAME 100
#define IDS_LAUNCH_FAILED 1024      // printf format: %i error, %s full path
#define IDS_PROGRAM_NOT_FOUND 1025
#define IDS_MENU_ITEM 1026
#define IDS_MENU_HELP 1027
