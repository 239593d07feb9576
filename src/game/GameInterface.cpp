#include "game/GameInterface.h"

#include "game/InterfacePanels.h"
#include "game/RacerNames.h"
#include "graphics/D3DRender.h"
#include "graphics/ScreenVertex.h"
#include "objects/StaticObject.h"
#include "shell/AudioManager.h"
#include "shell/FileManager.h"
#include "shell/GameSteps.h"
#include "shell/Log.h"

#include <cstring>

namespace {

TextureId LoadInterfaceTexture(const char* name)
{
    return g_D3DRender.LoadTexture(name, 1, D3DPOOL_MANAGED);
}

void FreeTexture(TextureId* id)
{
    g_D3DRender.ReleaseTexture(*id);
    *id = INVALID_TEXTURE_ID;
}

CGameSound* LoadButtonSound(const char* name)
{
    return g_AudioManager.LoadSound(name, 0, 1.0f, 10.0f);
}

void FreeSound(CGameSound** sound)
{
    if (*sound)
        g_AudioManager.FreeSound(sound);
    *sound = nullptr;
}

const float kThird = 85.333f;

} // namespace

void CGameInterface::LoadTextures()
{
    m_nSpeedBarTexture = LoadInterfaceTexture("Data/Interface/HUD/SpeedBar/Main.dds");
    m_nNeedleTexture = LoadInterfaceTexture("Data/Interface/HUD/SpeedBar/Arrow.dds");
    m_SpeedBar.SetRect(m_nSpeedBarTexture, 256.0f, 0.1f, 0.1f, 255.9f, 255.9f);
    m_SpeedNeedle.SetRect(m_nNeedleTexture, 256.0f, 0.1f, 0.1f, 255.9f, 255.9f);

    m_nMapFrameTexture = LoadInterfaceTexture("Data/Interface/HUD/MapBar/Main.dds");
    m_nWorldMapTexture = LoadInterfaceTexture("Data/Landscape/WorldMap.bmp");
    m_WorldMap.SetRect(m_nWorldMapTexture, 512.0f, 0.0f, 0.0f, 512.0f, 512.0f);
    m_nIconsTexture = LoadInterfaceTexture("Data/Interface/HUD/Icons/Icons.dds");
    const float icons[5][2] = {{0, 0}, {32, 0}, {64, 32}, {0, 32}, {32, 32}}; // car, race, police, workshop, car shop
    for (int i = 0; i < 5; ++i)
        m_MapIcons[i].SetRect(m_nIconsTexture, 128.0f, icons[i][0], icons[i][1], 32.0f, 32.0f);
    m_nSpritesTexture = LoadInterfaceTexture("Data/Interface/HUD/Icons/Sprites.dds");
    m_SpriteStrip.SetRect(m_nSpritesTexture, 256.0f, 128.0f, 0.0f, 128.0f, 256.0f);
    m_MapFrame.SetRect(m_nMapFrameTexture, 256.0f, 0.1f, 0.1f, 255.9f, 255.9f);
    BuildMapFan();

    m_nSystemsTexture = LoadInterfaceTexture("Data/Interface/HUD/Systems/Systems.dds");
    for (int i = 0; i < 6; ++i) {
        const float u = kThird * static_cast<float>(i % 3);
        const float v = kThird * static_cast<float>(i / 3);
        const float h = i == 5 ? 2.0f * kThird : kThird;
        m_Systems[i].SetRect(m_nSystemsTexture, 256.0f, u, v, kThird, h);
    }
    m_Systems[6].SetRect(m_nSystemsTexture, 256.0f, 128.0f, 170.667f, 42.667f, kThird);
    m_DamageColour = D3DXCOLOR4{0.0f, 1.0f, 0.0f, 1.0f};
    m_fDamageTimer = 0.0f;

    const char* askBars[2] = {"Data/Interface/Elements/RaceAskBar/AskBar1.dds",
                              "Data/Interface/Elements/RaceAskBar/AskBar2.dds"};
    for (int i = 0; i < 2; ++i) {
        m_nRaceAskTexture[i] = LoadInterfaceTexture(askBars[i]);
        m_RaceAsk[i].SetRect(m_nRaceAskTexture[i], 512.0f, 0.0f, 0.0f, 512.0f, 1024.0f);
        m_RaceAsk[i].SetU(0.0f, 1.0f);
        m_RaceAsk[i].SetV(0.0f, 1.0f);
    }
    m_nResultTexture = LoadInterfaceTexture("Data/Interface/Elements/ResultBar/ResultBar.dds");
    m_RaceResult.SetRect(m_nResultTexture, 512.0f, 0.0f, 0.0f, 512.0f, 512.0f);

    m_nRatingTexture = LoadInterfaceTexture("Data/Interface/Elements/RacerRatingBar/RacerRatingBar.dds");
    m_RatingBar.SetRect(m_nRatingTexture, 512.0f, 0.0f, 0.0f, 512.0f, 512.0f);
}

void CGameInterface::ResetPanels()
{
    std::memset(m_szRacerNames, 0, sizeof(m_szRacerNames));
    std::memset(m_Racers, 0, sizeof(m_Racers));
    ResetMessageHistory();
    ResetScreenPanels();
}

void CGameInterface::CloseMessages()
{
    m_bMessageVisible = 0;
    m_fMessageFade = m_fMessageElapsed = m_fMessageTime = 0.0f;
    m_nMessageId = -1;
    m_nMessageRows = 0;
    m_bMessageCameraMoved = m_bMessagePaused = 0;
    m_bDialogueVisible = 0;
    m_fDialogueFade = m_fDialogueElapsed = m_fDialogueTime = 0.0f;
    m_fDialogueWidth = m_fDialogueHeight = 0.0f;
    m_nDialogueLine = -1;
    m_pDialogueSpeaker = nullptr;
    m_nDialogueRows = 0;
    m_szDialogueSpeaker[0] = '\0';
}

void CGameInterface::ResetScreenPanels()
{
    CloseMessages();
    m_RaceOfferPanel.Reset();
    m_RaceResultPanel.Reset();
    m_RatingListPanel.Reset();
    m_DriverInfoPanel.Reset();
    m_PopupMenuPanel.Reset();
    m_WorkshopPanel.Reset();
    m_CarShopPanel.Reset();
}

void CGameInterface::LoadSounds()
{
    m_pRatingSound = LoadButtonSound("Data/Audio/Bt/RRS.wav");
    m_pSoundMove = LoadButtonSound("Data/Audio/Bt/Bt_In.wav");
    m_pSoundClick = LoadButtonSound("Data/Audio/Bt/Bt_Pr.wav");
    m_pSoundRepair = LoadButtonSound("Data/Audio/Bt/Rpr.wav");
    m_pSoundPaint = LoadButtonSound("Data/Audio/Bt/Pnt.wav");
    m_pSoundRefused = LoadButtonSound("Data/Audio/Bt/Err.wav");
    m_pSoundMoney = LoadButtonSound("Data/Audio/Bt/Mny.wav");
}

void CGameInterface::LoadArrow()
{
    m_pArrow = new CStaticObject();
    const FileHandle file = m_pArrow->Load("Data/Interface/Elements/DirectArrow/Main.obj", 0, -1, 1);
    if (file == INVALID_FILE_HANDLE) {
        // Nothing to point with: no arrow is drawn.
        m_pArrow->Release();
        delete m_pArrow;
        m_pArrow = nullptr;
    } else {
        g_FileManager.Close(file);
        D3DMATERIAL9& m = m_pArrow->m_Material;
        m.Diffuse = m.Ambient = m.Specular = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
        m.Power = 16.0f;
        m_pArrow->m_bVisible = 1;
    }
    m_vArrowTarget = m_vArrowStartTarget = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

int CGameInterface::Init()
{
    m_Font.Load("Data/Interface/Fonts/Game 01");
    m_Font.m_fLetterSpacing = -1.25f * m_Font.ComputeSpacing();
    m_Font.m_fScale = 1.0f;

    ResetPanels();
    LoadTextures();
    const FileHandle names = g_FileManager.Open("Data/Misc/RacersName.obj", ARCHIVE_OBJECTS);
    if (names != INVALID_FILE_HANDLE) {
        if (ReadRacerNames(names, m_szRacerNames) < RACER_NAME_LISTS * RACER_NAMES_PER_LIST)
            LogFileProblem("Data/Misc/RacersName.obj", "cut short: some racers have no name");
        g_FileManager.Close(names);
        FillRacers(m_szRacerNames, m_Racers);
    } else {
        LogFileProblem("Data/Misc/RacersName.obj", "missing: the rating list starts empty");
    }

    m_nBalanceTexture = LoadInterfaceTexture("Data/Interface/Elements/BalanceBar/BalanceBar.dds");
    m_BalanceBar.SetRect(m_nBalanceTexture, 512.0f, 0.0f, 0.0f, 512.0f, 512.0f);
    m_nRequestTexture = LoadInterfaceTexture("Data/Interface/Elements/RequestBar/RequestBar.dds");
    m_RequestBar.SetRect(m_nRequestTexture, 256.0f, 0.0f, 0.0f, 256.0f, 256.0f);
    m_nInfoTexture = LoadInterfaceTexture("Data/Interface/Elements/InfoBar/InfoBar.dds");
    m_InfoBar.SetRect(m_nInfoTexture, 256.0f, 0.0f, 0.0f, 256.0f, 256.0f);
    m_nWorkshopTexture = LoadInterfaceTexture("Data/Interface/Elements/ShopsBar/WorkShopBar.dds");
    m_WorkshopBar.SetRect(m_nWorkshopTexture, 512.0f, 0.0f, 0.0f, 512.0f, 512.0f);
    m_nCarShopTexture = LoadInterfaceTexture("Data/Interface/Elements/ShopsBar/AvtoShopBar.dds");
    m_CarShopBar.SetRect(m_nCarShopTexture, 512.0f, 0.0f, 0.0f, 512.0f, 512.0f);

    LoadSounds();
    LoadArrow();

    m_PursuitStrip.SetRect(m_nSystemsTexture, 256.0f, 0.0f, 170.667f, 128.0f, 42.667f);
    m_SirenLight.SetRect(g_D3DRender.m_nLightMapTexture, 256.0f, 128.0f, 128.0f, 128.0f, 128.0f);
    m_CriminalSegment.SetRect(m_nIconsTexture, 128.0f, 0.0f, 64.0f, 64.0f, 64.0f);
    m_Cursor.Init();
    return 1;
}

void CGameInterface::Release()
{
    m_Font.Release();
    for (TextureId* id : {&m_nSpeedBarTexture, &m_nNeedleTexture, &m_nWorldMapTexture, &m_nMapFrameTexture,
                          &m_nIconsTexture, &m_nSpritesTexture, &m_nSystemsTexture, &m_nRaceAskTexture[0],
                          &m_nRaceAskTexture[1], &m_nResultTexture, &m_nRatingTexture, &m_nBalanceTexture,
                          &m_nRequestTexture, &m_nInfoTexture, &m_nWorkshopTexture, &m_nCarShopTexture})
        FreeTexture(id);
    for (CGameSound** sound : {&m_pRatingSound, &m_pSoundMove, &m_pSoundClick, &m_pSoundRepair, &m_pSoundPaint,
                               &m_pSoundRefused, &m_pSoundMoney})
        FreeSound(sound);
    if (m_pArrow) {
        m_pArrow->Release();
        delete m_pArrow;
        m_pArrow = nullptr;
    }
    m_Cursor.Release();
}

void CGameInterface::Update()
{
    m_Cursor.Update();
}

void CGameInterface::Render()
{
    DrawDirectionArrow();

    g_D3DRender.SetFogEnable(FALSE);
    g_D3DRender.SetZEnable(FALSE);
    g_D3DRender.SetZWriteEnable(FALSE);
    g_D3DRender.SetLighting(FALSE);
    g_D3DRender.SetAlphaBlendEnable(FALSE);
    g_D3DRender.SetBlendMode(D3DBLEND_ONE, D3DBLEND_ZERO);
    if (IDirect3DDevice9* device = g_D3DRender.m_pDevice) {
        device->SetFVF(SCREEN_VERTEX_FVF);
        device->SetTransform(D3DTS_WORLD, &g_matIdentity);
    }

    // Each panel takes the Enter and Esc it uses, so the order is the keys' priority.
    static constexpr GameStep<CGameInterface> kPanels[] = {
        {"hud", [](CGameInterface& ui) { ui.DrawHud(); }},
        {"driver info", [](CGameInterface& ui) { ui.DrawDriverInfo(); }},
        {"race info", [](CGameInterface& ui) { ui.DrawRaceInfo(); }},
        {"race result", [](CGameInterface& ui) { ui.DrawRaceResult(); }},
        {"rating list", [](CGameInterface& ui) { ui.DrawRatingList(); }},
        {"message box", [](CGameInterface& ui) { ui.DrawMessageBox(); }},
        {"dialogue", [](CGameInterface& ui) { ui.DrawDialogue(); }},
        {"workshop", [](CGameInterface& ui) { ui.DrawWorkshop(); }},
        {"car shop", [](CGameInterface& ui) { ui.DrawCarShop(); }},
    };
    // The pop-up menu, while open, is the only panel drawn.
    static constexpr GameStep<CGameInterface> kOverPanels[] = {
        {"popup", [](CGameInterface& ui) { ui.DrawPopupMenu(); }},
        {"info screens", [](CGameInterface&) { RenderInfoScreens(); }},
    };
    if (!m_PopupMenuPanel.m_bPopupOpen)
        RunGameSteps(kPanels, *this);
    RunGameSteps(kOverPanels, *this);
}
