#pragma once

// Numbers of the program's menu, dialogs, controls, icon and cursors.
constexpr int IDR_MAIN_MENU = 101;
constexpr int IDD_ABOUT = 106;
constexpr int IDD_SOUND_WARNING = 107;
constexpr int IDD_EXIT_CONFIRM = 108;
constexpr int IDC_CURSOR_MONO = 110;
constexpr int IDI_MAIN_ICON = 111;
constexpr int IDM_ABOUT = 112;
constexpr int IDM_EXIT = 113;
constexpr int IDC_CURSOR_COLOR = 115;
constexpr int IDC_SOUND_WARNING_CHECK = 1002;
constexpr int IDC_EXIT_YES = 1003;
constexpr int IDC_EXIT_NO = 1004;
constexpr int IDC_EXIT_CAPTION = 1005;
constexpr int IDC_ABOUT_NAME = 1006;
constexpr int IDC_ABOUT_VERSION = 1007;
constexpr int IDC_ABOUT_RIGHTS = 1008;
constexpr int IDM_MALE_VOICE_ON = 40003;
constexpr int IDM_MALE_VOICE_OFF = 40004;
constexpr int IDOK_BUTTON = 1;
