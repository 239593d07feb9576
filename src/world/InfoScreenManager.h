// Video boards in the city: each board draws a slowly panning picture
// collage (and for the race boards a title and a scrolling invitation) into
// a texture of its own every frame, which the board's self-lit surface
// shows.
#pragma once

#include "game/InterfaceSprite.h"
#include "graphics/D3DRender.h"
#include "platform/D3DX9.h"

#include <cstdint>

class CGameFont;
class CInfoScreen;
class CStaticObject;
class IDirect3DTexture9;

enum {
    INFO_SCREEN_MAX = 128,
    INFO_SCREEN_PICTURES = 8,
    INFO_SCREEN_LAYERS = 3,
};

// A board's render target is kept only this near the camera.
constexpr float INFO_SCREEN_DISTANCE = 200.0f;

class CInfoScreenManager {
public:
    int Init();
    void Release();
    void Render();
    // 1 when the board was listed (the list holds 128).
    int Register(CInfoScreen* screen);
    // A board not in the list: nothing.
    void Unregister(CInfoScreen* screen);
    void OnLostDevice();
    // Every board near enough to keep a target gets it back at once, so
    // the first frame after a reset does not show an empty surface.
    void OnResetDevice();

    TextureId m_nBackTextures[INFO_SCREEN_PICTURES] = {};
    TextureId m_nAdvertTextures[INFO_SCREEN_PICTURES] = {};
    TextureId m_nTitleTextures[2] = {};
    TextureId m_nHiderTextures[2] = {};
    // One 256 x 256 sprite over each picture. Sprites always blend by the
    // texture's alpha: the edge masks are clear in the middle.
    CInterfaceSprite m_BackSprites[INFO_SCREEN_PICTURES];
    CInterfaceSprite m_AdvertSprites[INFO_SCREEN_PICTURES];
    CInterfaceSprite m_TitleSprites[2];
    CInterfaceSprite m_HiderSprites[2]; // 2x1 for the wide boards, 1x2 for the upright one
    CInfoScreen* m_pScreens[INFO_SCREEN_MAX] = {};
    std::uint32_t m_nScreens = 0;
    // The interface's font for the invitation text; null draws no text.
    CGameFont* m_pFont = nullptr;
};

extern CInfoScreenManager g_InfoScreens;

// A layer's alpha (0..1) at the fraction t of its run: fading in over the
// first 0.4 and out over the last 0.4.
float InfoScreenLayerAlpha(float t);

// A board of kind 0..3 on the object that carries it: 0 and 1 invite to the
// street and timed races, 2 and 3 show adverts (3 on an upright board).
class CInfoScreen {
public:
    CInfoScreen(int kind, CStaticObject* owner);
    ~CInfoScreen();

    void Render();
    void DrawContent();
    void PickItem(int layer);
    // False when the target could not be made.
    bool CreateTarget();
    void ReleaseTarget();

    CInfoScreenManager* m_pManager;
    CStaticObject* m_pOwner;
    IDirect3DTexture9* m_pTexture = nullptr;
    std::uint32_t m_nKind;
    int m_nWidth, m_nHeight;
    int m_nItem[INFO_SCREEN_LAYERS];
    float m_fTime[INFO_SCREEN_LAYERS] = {};
    float m_fDuration[INFO_SCREEN_LAYERS] = {};
    D3DXVECTOR2 m_vSizeFrom[INFO_SCREEN_LAYERS], m_vSizeTo[INFO_SCREEN_LAYERS];
    D3DXVECTOR2 m_vPosFrom[INFO_SCREEN_LAYERS], m_vPosTo[INFO_SCREEN_LAYERS];

private:
    bool FacesCamera() const;
    void DrawLayer(int layer);
};
