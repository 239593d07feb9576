#include "graphics/TextureManager.h"

#include "graphics/DataFileReader.h"
#include "platform/D3DX9.h"
#include "shell/FileManager.h"
#include "shell/Keywords.h"
#include "shell/Log.h"
#include "shell/Settings.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The working name of a load: the caller's name with its first ".bmp"
// turned into ".jpg" when "BMP to JPG" is on.
void MakeWorkingName(const char* name, char* work, std::size_t size)
{
    std::snprintf(work, size, "%s", name);
    char* bmp = std::strstr(work, ".bmp");
    if (bmp && g_bBmpToJpg)
        std::memcpy(bmp, ".jpg", 4);
}

IDirect3DTexture9* LoadFromDataFile(IDirect3DDevice9* device, const char* path, UINT mipLevels, D3DFORMAT format,
                                    D3DPOOL pool)
{
    IDirect3DTexture9* texture = nullptr;
    if (!g_bFileManager) {
        D3DXCreateTextureFromFileExA(device, path, D3DX_DEFAULT, D3DX_DEFAULT, mipLevels, 0, format, pool,
                                     D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture);
        return texture;
    }
    std::vector<unsigned char> data;
    if (ReadDataFile(path, ARCHIVE_TEXTURES, true, MAX_TEXTURE_FILE_BYTES, &data) != DataFileResult::Read)
        return nullptr;
    D3DXCreateTextureFromFileInMemoryEx(device, data.data(), static_cast<UINT>(data.size()), D3DX_DEFAULT,
                                        D3DX_DEFAULT, mipLevels, 0, format, pool, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                        nullptr, nullptr, &texture);
    return texture;
}

void LogSlot(const char* what, TextureId id, std::uint32_t count, const char* name)
{
    char line[512];
    std::snprintf(line, sizeof line, "%s (ID: %u; REF: %u; Name: %s", what, id, count, name);
    DebugLog(line);
}

} // namespace

void CTextureManager::Init()
{
    for (int i = 0; i < MAX_TEXTURES; ++i) {
        m_szNames[i][0] = '\0';
        m_pTextures[i] = nullptr;
        m_nRefCount[i] = 0;
    }
}

TextureId CTextureManager::LoadTexture(IDirect3DDevice9* device, const char* name, UINT mipLevels, D3DPOOL pool)
{
    if (!device || !name || std::strlen(name) >= TEXTURE_NAME_SIZE)
        return INVALID_TEXTURE_ID;
    TextureId slot = 0;
    while (slot < MAX_TEXTURES && m_pTextures[slot])
        ++slot;
    if (slot == MAX_TEXTURES)
        return INVALID_TEXTURE_ID;
    char work[256];
    MakeWorkingName(name, work, sizeof work);
    const D3DFORMAT format = std::strstr(name, ".bmp") ? D3DFMT_R5G6B5 : D3DFMT_UNKNOWN;
    IDirect3DTexture9* texture = LoadFromDataFile(device, work, mipLevels, format, pool);
    if (!texture)
        return INVALID_TEXTURE_ID;
    std::snprintf(m_szNames[slot], TEXTURE_NAME_SIZE, "%s", name);
    m_pTextures[slot] = texture;
    m_nRefCount[slot] = 1;
    return slot;
}

TextureId CTextureManager::AcquireTexture(IDirect3DDevice9* device, const char* name, UINT mipLevels, D3DPOOL pool)
{
    const TextureId found = FindTexture(name);
    if (found == INVALID_TEXTURE_ID)
        return LoadTexture(device, name, mipLevels, pool);
    AddReference(found);
    return found;
}

TextureId CTextureManager::FindTexture(const char* name) const
{
    if (!name)
        return INVALID_TEXTURE_ID;
    for (TextureId i = 0; i < MAX_TEXTURES; ++i)
        if (m_pTextures[i] && StringsEqual(m_szNames[i], name))
            return i;
    return INVALID_TEXTURE_ID;
}

IDirect3DTexture9* CTextureManager::GetTexture(TextureId id) const
{
    return id < MAX_TEXTURES ? m_pTextures[id] : nullptr;
}

const char* CTextureManager::GetTextureName(TextureId id) const
{
    return id < MAX_TEXTURES ? m_szNames[id] : nullptr;
}

void CTextureManager::AddReference(TextureId id)
{
    if (InUse(id))
        ++m_nRefCount[id];
}

CTextureManager::ReleaseResult CTextureManager::ReleaseSlot(TextureId id)
{
    if (!InUse(id))
        return ReleaseResult::Ignored;
    if (m_nRefCount[id] == 0) {
        LogSlot("Texture reference counter in use!", id, 0, m_szNames[id]);
        return ReleaseResult::CountInUse;
    }
    if (--m_nRefCount[id] > 0)
        return ReleaseResult::Dropped;
    m_pTextures[id]->Release();
    m_pTextures[id] = nullptr;
    m_szNames[id][0] = '\0';
    return ReleaseResult::Freed;
}

void CTextureManager::ReleaseTexture(TextureId id)
{
    ReleaseSlot(id);
}

void CTextureManager::ReleaseTextureByName(const char* name)
{
    if (!name)
        return;
    for (TextureId i = 0; i < MAX_TEXTURES; ++i) {
        if (!m_pTextures[i] || !StringsEqual(m_szNames[i], name))
            continue;
        const ReleaseResult result = ReleaseSlot(i);
        if (result == ReleaseResult::Freed || result == ReleaseResult::CountInUse)
            return;
    }
}

void CTextureManager::ReleaseAllTextures()
{
    DebugLog("\tCTextureManager::ReleaseAllTextures() start...");
    for (TextureId i = 0; i < MAX_TEXTURES; ++i) {
        if (!m_pTextures[i])
            continue;
        LogSlot("\t\tTexture lost!", i, m_nRefCount[i], m_szNames[i]);
        ReleaseSlot(i);
    }
    DebugLog("\tCTextureManager::ReleaseAllTextures() done!");
}
