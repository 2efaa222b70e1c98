#include "resources/menu_resource.h"

#include "resources/resource_ids.h"

void LoadMainMenu(plat::MenuModel* menu) {
    *menu = plat::MenuModel();
    menu->AddTop("ファイル(&F)");
    menu->AddItem(IDM_EXIT, "終了(&X)");
    menu->AddTop("メニュー(&M)");
    menu->AddItem(IDM_MALE_VOICE_ON, "男性ボイスON", true);
    menu->AddItem(IDM_MALE_VOICE_OFF, "男性ボイスOFF");
    menu->AddTop("ヘルプ(&H)");
    menu->AddItem(IDM_ABOUT, "バージョン情報(&A)");
}
