#include "resources/dialog_resources.h"

#include "resources/resource_ids.h"

using plat::DialogControl;
using plat::DialogTemplate;

const DialogTemplate& AboutDialogTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "バージョン情報";
        // Wide enough for the rights notice in one line.
        d.width = 350;
        d.height = 110;
        d.controls = {
            {DialogControl::kStatic, IDC_ABOUT_NAME, "", 16, 12, 320, 14, false},
            {DialogControl::kStatic, IDC_ABOUT_VERSION, "", 16, 32, 320, 14, false},
            {DialogControl::kStatic, IDC_ABOUT_RIGHTS, "", 16, 52, 320, 14, false},
            {DialogControl::kButton, IDOK_BUTTON, "OK", 135, 78, 80, 24, true},
        };
        return d;
    }();
    return t;
}

const DialogTemplate& SoundWarningDialogTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "Warning";
        d.width = 340;
        d.height = 128;
        d.controls = {
            {DialogControl::kStatic, -1,
             "サウンドデバイスの検出に失敗しました。\nサウンド機能を利用せずにゲームを起動します。\n"
             "これにより、ゲームの一部の機能を利用出来ません。",
             14, 10, 316, 48, false},
            {DialogControl::kCheckBox, IDC_SOUND_WARNING_CHECK, "次回からこのメッセージを表示しない", 14, 66, 316, 18,
             false},
            {DialogControl::kButton, IDOK_BUTTON, "OK", 130, 96, 80, 24, true},
        };
        return d;
    }();
    return t;
}

const DialogTemplate& ExitConfirmDialogTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "確認";
        d.width = 240;
        d.height = 96;
        d.controls = {
            {DialogControl::kStatic, IDC_EXIT_CAPTION, "", 16, 10, 210, 14, false},
            {DialogControl::kStatic, -1, "終了しますか？", 16, 30, 210, 14, false},
            {DialogControl::kButton, IDC_EXIT_YES, "はい(&Y)", 26, 62, 84, 24, true},
            {DialogControl::kButton, IDC_EXIT_NO, "いいえ(&N)", 130, 62, 84, 24, false},
        };
        return d;
    }();
    return t;
}
