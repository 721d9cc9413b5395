#define IDD_FORM 100
#define IDC_STATIC (-1)
#define IDC_FIRST 1001
#define IDC_DISABLED 1002
#define IDC_NAME 1003
#define IDC_CHECK 1004
#define IDC_ONE 1005
#define IDC_TWO 1006
