// The board list with the shared pictures, and drawing every board into
// its own render target from the interface frame.
#include "world/InfoScreenManager.h"

#include "graphics/GameFont.h"
#include "graphics/WorldCamera.h"
#include "objects/StaticObject.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {

const char kFolder[] = "Data/Interface/InfoScreen/";
const char* const kInvitations[2] = {
    "You are invited to take part in competition of the best street racers of the city!              ",
    "You are invited to take part in timed race on the streets of the city! Set a new record!                      ",
};
constexpr DWORD kInvitationColour = 0xA0FF9B00u;
constexpr float kTextSize = 3.5f;
constexpr int kTextPeriodMs = 16000;

constexpr float kSpriteSize = 256.0f;

TextureId Load(const char* name, CInterfaceSprite* sprite)
{
    char path[128];
    std::snprintf(path, sizeof(path), "%s%s", kFolder, name);
    const TextureId id = g_D3DRender.LoadTexture(path, 1, D3DPOOL_MANAGED);
    sprite->SetRect(id, kSpriteSize, 0.0f, 0.0f, kSpriteSize, kSpriteSize);
    return id;
}

void Free(TextureId* ids, CInterfaceSprite* sprites, int count)
{
    for (int i = 0; i < count; ++i) {
        if (ids[i] != INVALID_TEXTURE_ID)
            g_D3DRender.ReleaseTexture(ids[i]);
        ids[i] = sprites[i].m_nTexture = INVALID_TEXTURE_ID;
    }
}

} // namespace

float InfoScreenLayerAlpha(float t)
{
    if (t <= 0.4f)
        return t / 0.4f;
    if (t > 0.6f)
        return (1.0f - t) / 0.4f;
    return 1.0f;
}

int CInfoScreenManager::Init()
{
    char name[64];
    for (int i = 0; i < INFO_SCREEN_PICTURES; ++i) {
        std::snprintf(name, sizeof(name), "Back%02d.bmp", i + 1);
        m_nBackTextures[i] = Load(name, &m_BackSprites[i]);
        std::snprintf(name, sizeof(name), "Reklams/Scr%02d.bmp", i + 1);
        m_nAdvertTextures[i] = Load(name, &m_AdvertSprites[i]);
    }
    m_nTitleTextures[0] = Load("RaceTitle0.dds", &m_TitleSprites[0]);
    m_nTitleTextures[1] = Load("RaceTitle1.dds", &m_TitleSprites[1]);
    m_nHiderTextures[0] = Load("BackHider2x1.dds", &m_HiderSprites[0]);
    m_nHiderTextures[1] = Load("BackHider1x2.dds", &m_HiderSprites[1]);
    return 1;
}

// The boards belong to their owners' effects, which delete them; the list
// only lets go of them here, after dropping their render targets.
void CInfoScreenManager::Release()
{
    for (std::uint32_t i = 0; i < m_nScreens; ++i) {
        m_pScreens[i]->ReleaseTarget();
        m_pScreens[i]->m_pManager = nullptr;
        m_pScreens[i] = nullptr;
    }
    m_nScreens = 0;
    Free(m_nBackTextures, m_BackSprites, INFO_SCREEN_PICTURES);
    Free(m_nAdvertTextures, m_AdvertSprites, INFO_SCREEN_PICTURES);
    Free(m_nTitleTextures, m_TitleSprites, 2);
    Free(m_nHiderTextures, m_HiderSprites, 2);
}

int CInfoScreenManager::Register(CInfoScreen* screen)
{
    if (m_nScreens >= INFO_SCREEN_MAX)
        return 0;
    m_pScreens[m_nScreens++] = screen;
    return 1;
}

void CInfoScreenManager::Unregister(CInfoScreen* screen)
{
    for (std::uint32_t i = 0; i < m_nScreens; ++i) {
        if (m_pScreens[i] != screen)
            continue;
        for (std::uint32_t k = i; k + 1 < m_nScreens; ++k)
            m_pScreens[k] = m_pScreens[k + 1];
        m_pScreens[--m_nScreens] = nullptr;
        return;
    }
}

void CInfoScreenManager::Render()
{
    if (m_nScreens == 0)
        return;
    CD3DRender& r = g_D3DRender;
    r.SaveRenderTarget();
    // The boards draw without depth: the frame's depth surface may be
    // smaller than a board (the upright board is 512 high), and a target is
    // only drawn where it and its depth surface overlap.
    r.SaveDepthStencil();
    if (r.m_pDevice)
        r.m_pDevice->SetDepthStencilSurface(nullptr);
    const float width = r.m_fScreenWidth, height = r.m_fScreenHeight;
    const float scaleX = r.m_fScaleX, scaleY = r.m_fScaleY;
    r.m_fScaleX = r.m_fScaleY = 1.0f;
    for (std::uint32_t i = 0; i < m_nScreens; ++i)
        m_pScreens[i]->Render();
    r.RestoreRenderTarget();
    r.RestoreDepthStencil();
    r.m_fScreenWidth = width;
    r.m_fScreenHeight = height;
    r.m_fScaleX = scaleX;
    r.m_fScaleY = scaleY;
    if (scaleX != 0.0f && scaleY != 0.0f)
        g_Game.m_Cameras[0].SetViewport(0, 0, width / scaleX + 1, height / scaleY + 1);
}

void CInfoScreenManager::OnLostDevice()
{
    for (std::uint32_t i = 0; i < m_nScreens; ++i)
        m_pScreens[i]->ReleaseTarget();
}

void CInfoScreenManager::OnResetDevice()
{
    for (std::uint32_t i = 0; i < m_nScreens; ++i) {
        const CStaticObject* owner = m_pScreens[i]->m_pOwner;
        if (owner && owner->m_fCameraDistance <= INFO_SCREEN_DISTANCE)
            m_pScreens[i]->CreateTarget();
    }
}

CInfoScreen::CInfoScreen(int kind, CStaticObject* owner)
    : m_pManager(&g_InfoScreens), m_pOwner(owner), m_nKind(static_cast<std::uint32_t>(kind) & 3u),
      m_nWidth(m_nKind == 3 ? 256 : 512), m_nHeight(m_nKind == 3 ? 512 : 256)
{
    for (int l = 0; l < INFO_SCREEN_LAYERS; ++l) {
        m_nItem[l] = -1;
        m_vSizeFrom[l] = m_vSizeTo[l] = D3DXVECTOR2(static_cast<float>(m_nWidth), static_cast<float>(m_nHeight));
        m_vPosFrom[l] = m_vPosTo[l] = D3DXVECTOR2(0.0f, 0.0f);
    }
    if (!m_pManager->Register(this))
        m_pManager = nullptr; // a full list: the board stays dark
}

CInfoScreen::~CInfoScreen()
{
    ReleaseTarget();
    if (m_pManager)
        m_pManager->Unregister(this);
}

bool CInfoScreen::CreateTarget()
{
    if (m_pTexture)
        return true;
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!device || FAILED(D3DXCreateTexture(device, static_cast<UINT>(m_nWidth), static_cast<UINT>(m_nHeight), 1,
                                            D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT, &m_pTexture))) {
        m_pTexture = nullptr;
        return false;
    }
    return m_pTexture != nullptr;
}

void CInfoScreen::ReleaseTarget()
{
    if (m_pTexture)
        m_pTexture->Release();
    m_pTexture = nullptr;
}

// The board is drawn only from its front: points 0 (behind) and 1 (in
// front) of the owner's part 0 tell the sides apart. Without both points
// every side counts as the front.
bool CInfoScreen::FacesCamera() const
{
    const CMeshRecord* mesh = m_pOwner->m_pMesh;
    const CWorldCamera* camera = g_Game.m_pCamera;
    if (!camera || !mesh || !mesh->m_pPoints[0] || mesh->m_nPoints[0] < 2)
        return true;
    D3DXVECTOR3 back, front;
    D3DXVec3TransformCoord(&back, &mesh->m_pPoints[0][0], &m_pOwner->m_matWorld);
    D3DXVec3TransformCoord(&front, &mesh->m_pPoints[0][1], &m_pOwner->m_matWorld);
    return Vec3Distance(&camera->m_vEye, &back) >= Vec3Distance(&camera->m_vEye, &front);
}

void CInfoScreen::Render()
{
    if (!m_pOwner)
        return;
    if (m_pOwner->m_fCameraDistance > INFO_SCREEN_DISTANCE) {
        ReleaseTarget();
        return;
    }
    IDirect3DDevice9* device = g_D3DRender.m_pDevice;
    if (!m_pOwner->m_bVisible || !device || !CreateTarget() || !FacesCamera())
        return;
    g_D3DRender.m_fScreenWidth = static_cast<float>(m_nWidth);
    g_D3DRender.m_fScreenHeight = static_cast<float>(m_nHeight);
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(m_pTexture->GetSurfaceLevel(0, &surface)) || !surface)
        return;
    device->SetRenderTarget(0, surface);
    surface->Release();
    const D3DVIEWPORT9 viewport{0, 0, static_cast<DWORD>(m_nWidth), static_cast<DWORD>(m_nHeight), 0.0f, 1.0f};
    device->SetViewport(&viewport);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    DrawContent();
    CInfoScreenManager* m = m_pManager ? m_pManager : &g_InfoScreens;
    m->m_HiderSprites[m_nKind == 3 ? 1 : 0].Draw(-1.0f, -1.0f, static_cast<float>(m_nWidth + 1),
                                                 static_cast<float>(m_nHeight + 1), 0xFF000000u);
}

void CInfoScreen::DrawContent()
{
    const int layers = m_nKind >= 2 ? 2 : INFO_SCREEN_LAYERS;
    for (int l = 0; l < layers; ++l)
        DrawLayer(l);
}

void CInfoScreen::DrawLayer(int l)
{
    if (m_nItem[l] == -1)
        PickItem(l);
    const float t = m_fDuration[l] > 0.0f ? m_fTime[l] / m_fDuration[l] : 1.0f;
    const DWORD alpha = static_cast<DWORD>(InfoScreenLayerAlpha(t) * 255.0f) & 0xFF;
    const DWORD colour = (alpha << 24) | 0x00FFFFFFu;
    const D3DXVECTOR2 s(m_vSizeFrom[l].x + (m_vSizeTo[l].x - m_vSizeFrom[l].x) * t,
                        m_vSizeFrom[l].y + (m_vSizeTo[l].y - m_vSizeFrom[l].y) * t);
    const D3DXVECTOR2 c(m_vPosFrom[l].x + (m_vPosTo[l].x - m_vPosFrom[l].x) * t,
                        m_vPosFrom[l].y + (m_vPosTo[l].y - m_vPosFrom[l].y) * t);
    CInfoScreenManager* m = m_pManager ? m_pManager : &g_InfoScreens;
    const int item = m_nItem[l] & (INFO_SCREEN_PICTURES - 1);
    if (m_nKind <= 1 && l == 2) {
        m->m_TitleSprites[m_nKind].Draw(c.x, c.y, c.x + s.x, c.y + s.y, colour);
        if (m->m_pFont) {
            const char* text = kInvitations[m_nKind];
            const float w = m->m_pFont->GetTextWidth(text, kTextSize, 0);
            const int clock = static_cast<int>(g_GameTimer.m_fGameTime) % kTextPeriodMs;
            const float x = static_cast<float>(m_nWidth) - static_cast<float>(clock) / kTextPeriodMs * w;
            m->m_pFont->DrawText(static_cast<int>(x), static_cast<int>(c.y + s.y / 2), text, kInvitationColour,
                                 kTextSize, 0);
        }
    } else {
        CInterfaceSprite& picture = m_nKind <= 1 ? m->m_BackSprites[item] : m->m_AdvertSprites[item];
        picture.Draw(c.x, c.y, c.x + s.x, c.y + s.y, colour);
    }
    m_fTime[l] += g_GameTimer.m_fDelta;
    if (m_fTime[l] > m_fDuration[l])
        m_nItem[l] = -1;
}

// A new run of one picture: one to four times the board's size, framed so
// that it always covers the board, panning and zooming between two framings.
void CInfoScreen::PickItem(int l)
{
    const float w = static_cast<float>(m_nWidth), h = static_cast<float>(m_nHeight);
    m_nItem[l] = std::rand() % INFO_SCREEN_PICTURES;
    m_fTime[l] = 0.0f;
    m_fDuration[l] = static_cast<float>(std::rand() % 351) / 50.0f + 3.0f;
    for (D3DXVECTOR2* size : {&m_vSizeFrom[l], &m_vSizeTo[l]}) {
        const float fy = static_cast<float>(std::rand() % 301) / 100.0f + 1.0f;
        const float fx = static_cast<float>(std::rand() % 301) / 100.0f + 1.0f;
        *size = D3DXVECTOR2(w * fx, h * fy);
    }
    const D3DXVECTOR2* sizes[2] = {&m_vSizeFrom[l], &m_vSizeTo[l]};
    D3DXVECTOR2* corners[2] = {&m_vPosFrom[l], &m_vPosTo[l]};
    for (int k = 0; k < 2; ++k) {
        const int spanX = static_cast<int>(sizes[k]->x + 1.0f - w);
        const int spanY = static_cast<int>(sizes[k]->y + 1.0f - h);
        const float x = -static_cast<float>(std::rand() % (spanX > 0 ? spanX : 1));
        const float y = -static_cast<float>(std::rand() % (spanY > 0 ? spanY : 1));
        *corners[k] = D3DXVECTOR2(x, y);
    }
}
