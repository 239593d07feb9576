// Effect sub-objects that draw extra passes over their owner's own mesh:
// chrome, reflective glass, light maps and self-illumination. Each is a
// model instance that borrows the owner's mesh (no reference taken) and
// holds the textures its description section names.
#pragma once

#include "graphics/ModelInstance.h"
#include "shell/FileManager.h"
#include "shell/VectorHelpers.h"

class CStaticObject;
class CInfoScreen;

// The chrome overlay on mesh part 4 and the reflective glass on part 3:
// one texture line each.
class CChromeEffect : public CModelInstance {
public:
    CChromeEffect();
    int Parse(FileHandle file, CStaticObject* owner);
    void Release();
    void Render();

    CStaticObject* m_pOwner = nullptr;
};

class CRGlassEffect : public CModelInstance {
public:
    CRGlassEffect();
    int Parse(FileHandle file, CStaticObject* owner);
    void Release();
    void Render();

    CStaticObject* m_pOwner = nullptr;
};

enum { LIGHT_MAP_TEXTURES = MODEL_TEXTURE_SLOTS };

// An additive, self-lit light-map part (mesh part 5): a texture count, a
// texture name (a numbered format when there are several) and a colour.
class CLightMapsEffect : public CModelInstance {
public:
    CLightMapsEffect();
    int Parse(FileHandle file, CStaticObject* owner);
    void Release();
    void Render();

    // Null switches the overlay off (the race code does so).
    CStaticObject* m_pOwner = nullptr;
    D3DXCOLOR4 m_Colour{1.0f, 1.0f, 1.0f, 1.0f};
};

// A self-lit part (mesh part 2), optionally showing a live info screen.
class CSelfIllumEffect : public CModelInstance {
public:
    CSelfIllumEffect();
    int Parse(FileHandle file, CStaticObject* owner);
    void Release();
    void Render();

    CStaticObject* m_pOwner = nullptr;
    int m_bInfoScreen = 0; // the texture line named an info screen
    CInfoScreen* m_pInfoScreen = nullptr;
};
