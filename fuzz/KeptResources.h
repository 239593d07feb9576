// Meshes and textures kept loaded from one input to the next: a reference is
// held on each one that loaded, so an input naming a sample mesh or texture
// shares it as a second object in the game would, instead of reading and
// decoding it again. A mesh that failed stays listed under its name in the
// game (it is asked for once); here it is dropped after each input, so the
// next input tries it afresh.
#pragma once

#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"

namespace fuzz {

// Past this many a loaded resource is freed as usual (the fuzzer can spell
// one file under many names).
constexpr int kMaxKeptResources = 128;

inline void KeepLoadedMeshes()
{
    static CMeshRecord* kept[kMaxKeptResources];
    static int keptCount = 0;
    CMeshRecord* record = g_MeshContainer.m_pHead;
    while (record) {
        CMeshRecord* next = record->m_pNext;
        bool held = false;
        for (int i = 0; i < keptCount && !held; ++i)
            held = kept[i] == record;
        if (!record->m_bLoaded) {
            g_MeshContainer.ReleaseMesh(record);
        } else if (!held && keptCount < kMaxKeptResources) {
            ++record->m_nRefCount;
            kept[keptCount++] = record;
        }
        record = next;
    }
}

inline void KeepLoadedTextures()
{
    static bool kept[MAX_TEXTURES];
    static int keptCount = 0;
    CTextureManager& textures = g_D3DRender.m_TextureManager;
    for (TextureId id = 0; id < MAX_TEXTURES && keptCount < kMaxKeptResources; ++id)
        if (textures.m_pTextures[id] && !kept[id]) {
            textures.AddReference(id);
            kept[id] = true;
            ++keptCount;
        }
}

inline void KeepLoadedResources()
{
    KeepLoadedMeshes();
    KeepLoadedTextures();
}

} // namespace fuzz
