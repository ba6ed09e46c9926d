#ifndef DUVARIN_RESOURCE_H
#define DUVARIN_RESOURCE_H
/* Resource and control ids, shared by the resource script and the code.
   Plain defines only: windres reads this file too. */

#define IDB_SPRITES          101 /* 240x240 sheet of the three page buttons */
#define IDB_BACKGROUND       102 /* 700x500 window background */
#define IDI_APPLICATION_ICON 104
#define IDD_ABOUT            106
#define IDB_ABOUT            111 /* 97x127 About picture */
#define IDC_ABOUT_CLOSE      1003
#define IDR_SHORTCUTS        120 /* accelerator table of the main window */

/* Commands of the keyboard shortcuts. They come as WM_COMMAND with
   notification code 1 and no control. */
#define IDM_NEXT_PAGE     700
#define IDM_PREVIOUS_PAGE 701
#define IDM_PAGE_CONVERT  711 /* IDM_PAGE_CONVERT + page - 1 */
#define IDM_PAGE_SETTINGS 712
#define IDM_PAGE_UPDATE   713
#define IDM_ABOUT         720

/* Convert page: field k has id IDC_FIELD_FIRST + k */
#define IDC_FIELD_FIRST 200
#define IDC_FIELD_LAST  223
#define IDC_GROUP_COMBO 600

/* Settings page */
#define IDC_GROUP_NAME    300
#define IDC_MEMBER_NAME   301
#define IDC_COEFFICIENT_A 302
#define IDC_COEFFICIENT_B 303
#define IDC_GROUP_LIST    400
#define IDC_MEMBER_LIST   404
#define IDC_GROUP_ADD     500 /* editor button k has id 500 + 4k */
#define IDC_GROUP_DELETE  504
#define IDC_GROUP_UP      508
#define IDC_GROUP_DOWN    512
#define IDC_MEMBER_ADD    516
#define IDC_MEMBER_DELETE 520
#define IDC_MEMBER_UP     524
#define IDC_MEMBER_DOWN   528
#define IDC_GROUP_RENAME  532
#define IDC_MEMBER_CHANGE 536
#define IDC_SAVE          540

/* Update page */
#define IDC_DOWNLOAD_LIST 610
#define IDC_DOWNLOAD      620

#endif
