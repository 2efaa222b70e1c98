#include "adv/adv_data.h"

#include "engine/kusystem.h"
#include "game/object_data.h"

namespace {
void SortDrawOrder(ADV_DATA* adv) { adv->DrawObjectSort(); }
} // namespace

ADV_DATA::ADV_DATA() {
    SetDrawOrderSorter(&SortDrawOrder);
    Release();
}

ADV_DATA::~ADV_DATA() { Release(); }

int ADV_DATA::Initialize(const char*, KUSYSTEM* sys, KUSPRITE2* sprite, KUSND* snd, GAME_GLOBAL_DATA* global) {
    Release();
    m_pKUSys = sys;
    m_pKUSprite = sprite;
    m_pKUSnd = snd;
    m_pGlobalData = global;
    if (sys)
        sys->TracePrint("Warn: <ADV_DATA::Initialize> アドベンチャーモードはまだありません\n");
    return 0;
}

void ADV_DATA::Release() {
    m_bInit = 0;
    m_pKUSys = nullptr;
    m_pKUSprite = nullptr;
    m_pKUSnd = nullptr;
    m_pGlobalData = nullptr;
    m_nPhase = 0;
    m_bWindowShown = 0;
}

// Without a scenario engine the game ends at once and draws nothing.
int ADV_DATA::MainProc() { return kResultEnd; }
int ADV_DATA::DrawProc() { return 1; }
int ADV_DATA::LoadDataRelease() { return 1; }
int ADV_DATA::LoadDataResume() { return 1; }
void ADV_DATA::RecordReadPosition() {}
void ADV_DATA::ShowMessageWhole() {}
void ADV_DATA::SetControllerSkipFlags() {}
void ADV_DATA::SetMessageSpeed(uint32_t) {}
void ADV_DATA::SetAutoSkip(int) {}
void ADV_DATA::SetAutoSkipSpeed(uint32_t) {}
void ADV_DATA::SetAntiAliasLevel(uint32_t) {}
void ADV_DATA::DrawObjectSort() {} // the scene's draw order comes with the scenario engine
