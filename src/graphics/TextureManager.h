// The texture table: every texture loaded by file name, shared by reference
// count and kept by its slot index (TextureId). Also paints textures on the
// processor (solid colours, tinted copies) for callers that own the result.
#pragma once

#include "platform/D3D9.h"

#include <cstdint>

using TextureId = std::uint32_t;
inline constexpr TextureId INVALID_TEXTURE_ID = 0xFFFFFFFFu;

enum {
    MAX_TEXTURES = 1024,
    TEXTURE_NAME_SIZE = 255, // a slot's name with its terminating NUL
};

class CTextureManager {
public:
    void Init();
    // Loads a texture into the first free slot with a count of 1; does not
    // look for the name in the table first. INVALID_TEXTURE_ID on failure.
    TextureId LoadTexture(IDirect3DDevice9* device, const char* name, UINT mipLevels, D3DPOOL pool);
    // The slot already holding name, with one more reference; else LoadTexture.
    TextureId AcquireTexture(IDirect3DDevice9* device, const char* name, UINT mipLevels, D3DPOOL pool);
    TextureId FindTexture(const char* name) const;
    // Null for an id that names no slot of the table.
    IDirect3DTexture9* GetTexture(TextureId id) const;
    const char* GetTextureName(TextureId id) const;
    // One more user of a slot in use (a second load of the same name).
    void AddReference(TextureId id);
    void ReleaseTexture(TextureId id);
    void ReleaseTextureByName(const char* name);
    void ReleaseAllTextures();

    // Painting: 32-bit A8R8G8B8 textures in the managed pool, created when
    // the pointer holds null; the caller owns and releases them.
    void FillSolidTexture(IDirect3DTexture9** texture, const float colour[4], UINT size);
    void CreateTintedTexture(IDirect3DTexture9* source, IDirect3DTexture9** target, const float colour[4]);

    char m_szNames[MAX_TEXTURES][TEXTURE_NAME_SIZE] = {};
    IDirect3DTexture9* m_pTextures[MAX_TEXTURES] = {};
    std::uint32_t m_nRefCount[MAX_TEXTURES] = {};

private:
    void TintInto(IDirect3DTexture9* source, const D3DSURFACE_DESC& desc, IDirect3DTexture9** target,
                  const float colour[4]);
    enum class ReleaseResult { Ignored, Dropped, Freed, CountInUse };
    ReleaseResult ReleaseSlot(TextureId id);
    bool InUse(TextureId id) const { return id < MAX_TEXTURES && m_pTextures[id]; }
};
