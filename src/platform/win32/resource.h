// Resource ids of the program's cursor, logo and dialog templates (shared by
// glimmora.rc and the code). Plain #defines: the resource compiler reads this.
#pragma once

#define IDD_ABOUT_BOX 100
#define IDD_SETTINGS 102
#define IDC_BLANK_CURSOR 129
#define IDB_PRODUCT_LOGO 134
#define IDD_LOADING_SPLASH 135
#define IDD_MORE_OPTIONS_BOX 137

#define ID_MODULE_LIST 1008
#define ID_SOUND 1009
#define ID_PARAM1_SLIDER 1011
#define ID_PARAM1_GROUP 1012
#define ID_PARAM1_LEFT 1013
#define ID_PARAM1_RIGHT 1014
#define ID_PARAM2_SLIDER 1015
#define ID_PARAM2_GROUP 1016
#define ID_PARAM2_LEFT 1017
#define ID_PARAM2_RIGHT 1018
#define ID_PARAM3_SLIDER 1019
#define ID_PARAM3_GROUP 1020
#define ID_PARAM3_LEFT 1021
#define ID_PARAM3_RIGHT 1022
#define ID_ABOUT 1023
#define ID_VERSION 1024
#define ID_TEST 1025
#define ID_BRIGHTNESS 1026
#define ID_PLAY_SELECTED 1028
#define ID_PLAY_RANDOM 1029
#define ID_PLAY_SEQUENTIAL 1030
#define ID_README 1031
#define ID_MORE_OPTIONS 1032
#define ID_VOLUME 1033
