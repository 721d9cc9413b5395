#define IDR_POPUP 128
#define ID_OWNER 100
#define ID_ALPHA 201
#define ID_BETA 202
#define ID_DISABLED 300
#define ID_LAST 400
