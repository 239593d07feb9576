// The pedestrian list: shared resources, creation, removal, the per-frame
// update and the visibility passes.
#include "roadusers/HumanManager.h"

#include "graphics/D3DRender.h"
#include "objects/ContactHooks.h"
#include "roadusers/Human.h"
#include "roadusers/HumanRagdoll.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"

#include <cstring>

const char* const g_HumanModelPaths[2] = {"Data/Humans/Male/Main.obj", "Data/Humans/Female/Main.obj"};

const float g_HumanTints[HUMAN_TINTS][4] = {
    {0, 0, 1, 1}, {0, 1, 0, 1}, {0, 1, 1, 1}, {1, 0, 0, 1}, {1, 0, 1, 1}, {1, 1, 0, 1}, {1, 1, 1, 1},
};

namespace {

const char* const kClothingFiles[3][2][2] = {
    {{"Data/Humans/Male/Shirt01.dds", "Data/Humans/Male/Shirt02.dds"},
     {"Data/Humans/Female/Shirt01.dds", "Data/Humans/Female/Shirt02.dds"}},
    {{"Data/Humans/Male/Pants01.dds", "Data/Humans/Male/Pants02.dds"},
     {"Data/Humans/Female/Pants01.dds", "Data/Humans/Female/Pants02.dds"}},
    {{"Data/Humans/Male/Boots01.dds", "Data/Humans/Male/Boots02.dds"},
     {"Data/Humans/Female/Boots01.dds", "Data/Humans/Female/Boots02.dds"}},
};

// The tinting reads four bytes a pixel in the order blue, green, red, alpha;
// any other source would be read wrongly.
bool IsTintable(IDirect3DTexture9* texture)
{
    D3DSURFACE_DESC desc{};
    return texture && SUCCEEDED(texture->GetLevelDesc(0, &desc)) && desc.Format == D3DFMT_A8R8G8B8;
}

} // namespace

void KnockDownHuman(CStaticObject* human)
{
    if (human && human->m_nType == GTYPE_HUMAN)
        static_cast<CHuman*>(human)->SetRagdoll(1);
}

int CHumanManager::Init()
{
    std::memset(m_pHumans, 0, sizeof(m_pHumans));
    m_nHumans = 0;
    m_nWaitingPassengers = 0;
    CreateHumanBodyShapes();
    if (!g_D3DRender.m_bPerStageConstant)
        MakeTintedClothing();
    g_pfnKnockDown = KnockDownHuman;
    return 1;
}

// Gender and variant outermost so the files load in their listed order.
void CHumanManager::MakeTintedClothing()
{
    for (int gender = 0; gender < 2; ++gender) {
        for (int part = 0; part < 3; ++part) {
            for (int variant = 0; variant < 2; ++variant) {
                const TextureId id = g_D3DRender.LoadTexture(kClothingFiles[part][gender][variant], 1,
                                                             D3DPOOL_SYSTEMMEM);
                if (id == INVALID_TEXTURE_ID)
                    continue;
                IDirect3DTexture9* source = g_D3DRender.GetTexture(id);
                if (IsTintable(source)) {
                    for (int k = 0; k < HUMAN_TINTS; ++k)
                        g_D3DRender.m_TextureManager.CreateTintedTexture(source, &m_Textures[part][gender][variant][k],
                                                                        g_HumanTints[k]);
                }
                g_D3DRender.ReleaseTexture(id);
            }
        }
    }
}

void CHumanManager::ReleaseTintedClothing()
{
    for (auto& part : m_Textures)
        for (auto& gender : part)
            for (auto& variant : gender)
                for (IDirect3DTexture9*& texture : variant) {
                    if (texture)
                        texture->Release();
                    texture = nullptr;
                }
}

void CHumanManager::Release()
{
    Clear();
    DeleteHumanBodyShapes();
    ReleaseTintedClothing();
    if (g_pfnKnockDown == KnockDownHuman)
        g_pfnKnockDown = nullptr;
}

void CHumanManager::Clear()
{
    ReleaseFigures();
    for (std::uint32_t i = 0; i < m_nHumans; ++i) {
        m_pHumans[i]->Release();
        delete m_pHumans[i];
        m_pHumans[i] = nullptr;
    }
    m_nHumans = 0;
    m_nWaitingPassengers = 0;
    // As with the traffic: each game's first pedestrians come on its own
    // phase, not on the one the last game ended at.
    m_nSpawnLimit = 0;
    m_fSpawnTimer = 0.0f;
    m_Kept.Release();
}

void CHumanManager::Update()
{
    if (g_bEditorMode)
        return;
    for (std::uint32_t i = 0; i < m_nHumans;) {
        CHuman* human = m_pHumans[i];
        human->Update();
        if (!human->m_bAlive)
            RemoveHuman(human); // the next one has moved into this place
        else
            ++i;
    }
    UpdateSpawning();
}

void CHumanManager::UpdateSpawning()
{
    if (!g_bEditorMode)
        SpawnPedestrians();
}

CHuman* CHumanManager::CreateHuman(const char* path, const D3DXVECTOR3*, const D3DXVECTOR3*, int gender)
{
    if (m_nHumans >= HUMAN_MANAGER_CAPACITY)
        return nullptr;
    auto* human = new CHuman();
    human->Load(path, gender);
    KeepResourcesOf(*human);
    m_pHumans[m_nHumans++] = human;
    return human;
}

// Pedestrians come and go all the time: without this, the last one of a
// kind leaving would free its mesh and textures, and the next one would
// read and decode them again in a frame of play.
void CHumanManager::KeepResourcesOf(const CHuman& human)
{
    m_Kept.KeepMesh(human.m_pMesh);
    for (TextureId id : human.m_nTextureIds)
        m_Kept.KeepTexture(id);
    if (human.m_nBodyTexture >= 0)
        m_Kept.KeepTexture(static_cast<TextureId>(human.m_nBodyTexture));
    for (const HumanClothing& slot : human.m_Clothing)
        if (slot.texture >= 0)
            m_Kept.KeepTexture(static_cast<TextureId>(slot.texture));
}

void CHumanManager::RemoveHuman(CHuman* human)
{
    for (std::uint32_t i = 0; i < m_nHumans; ++i) {
        if (m_pHumans[i] != human)
            continue;
        human->Release();
        delete human;
        for (std::uint32_t j = i + 1; j < m_nHumans; ++j)
            m_pHumans[j - 1] = m_pHumans[j];
        m_pHumans[--m_nHumans] = nullptr;
        return;
    }
}

CHuman* CHumanManager::FindHumanInSphere(const D3DXVECTOR3* position, float radius, const CHuman* exclude,
                                         const CHuman* startAfter)
{
    std::uint32_t start = 0;
    for (std::uint32_t i = 0; startAfter && i < m_nHumans; ++i)
        if (m_pHumans[i] == startAfter)
            start = i + 1;
    for (std::uint32_t i = start; i < m_nHumans; ++i) {
        CHuman* human = m_pHumans[i];
        if (human != exclude && Vec3Distance(position, &human->m_vGround) - human->m_fSphereRadius < radius)
            return human;
    }
    return nullptr;
}

void CHumanManager::Refresh()
{
    for (std::uint32_t i = 0; i < m_nHumans; ++i)
        m_pHumans[i]->UpdateVisibility();
}

void CHumanManager::CullInvisible()
{
    for (std::uint32_t i = 0; i < m_nHumans; ++i) {
        CHuman* human = m_pHumans[i];
        if (human->m_bVisible && human->IsOccluded())
            human->m_bVisible = 0;
    }
}
