// Meshes and textures a manager holds one reference to for the rest of a
// session, so that its objects coming and going never free them and a new
// one never reads and decodes them again in the middle of play. Each is
// kept once however often it is offered; a full list keeps no more.
#pragma once

#include "graphics/TextureManager.h"

class CMeshRecord;

enum { KEPT_MESHES = 32, KEPT_TEXTURES = 192 };

class CKeptResources {
public:
    void KeepMesh(CMeshRecord* mesh);
    void KeepTexture(TextureId id);
    // Gives every reference back (the session's end).
    void Release();

    int MeshCount() const { return m_nMeshes; }
    int TextureCount() const { return m_nTextures; }

private:
    CMeshRecord* m_pMeshes[KEPT_MESHES] = {};
    int m_nMeshes = 0;
    TextureId m_Textures[KEPT_TEXTURES] = {};
    int m_nTextures = 0;
};
