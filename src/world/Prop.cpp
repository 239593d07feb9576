// Reading, placing and releasing a prop.
#include "world/Prop.h"

#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameSound.h"
#include "shell/VectorHelpers.h"
#include "world/PropManager.h"

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

void CleanPairs(btRigidBody* body)
{
    if (body->getBroadphaseHandle() && g_Game.m_pBroadphase && g_Game.m_pDispatcher)
        g_Game.m_pBroadphase->getOverlappingPairCache()->cleanProxyFromPairs(body->getBroadphaseHandle(),
                                                                              g_Game.m_pDispatcher);
}

// The part's points, or 0 when the mesh has none there.
std::uint32_t PointCount(const CMeshRecord* mesh, int part)
{
    return mesh && mesh->m_pPoints[part] ? mesh->m_nPoints[part] : 0;
}

} // namespace

CProp::CProp()
{
    m_nClass = GCLASS_STATIC;
    m_nType = 0;
    m_vLampPoint = D3DXVECTOR3(0, 0, 0);
    m_bBroken = 0;
    m_bCarShop = 0;
    for (CVehicle*& car : m_pCars)
        car = nullptr;
    m_nCars = 0;
    m_nParts = 0;
    m_pPartModels = nullptr;
    m_pPartMasses = nullptr;
    m_pPartPositions = nullptr;
    m_pPartBodies = nullptr;
    m_pSound = nullptr;
    m_nSectorSlot = -1;
}

void CProp::Load(const char* path, int variant)
{
    const FileHandle file = CStaticObject::Load(path, 0, variant, 1);
    if (file == INVALID_FILE_HANDLE)
        return;
    ReadOwnPart(file, path);
    g_FileManager.Close(file);
}

void CProp::ReadOwnPart(FileHandle file, const char* path)
{
    char line[DESCRIPTION_LINE_SIZE];
    const bool movable = m_nType == GTYPE_DECORS || m_nType == GTYPE_LAMPPOST;
    if (movable) {
        ReadDescriptionLine(line, file);
        m_fMass = static_cast<float>(std::atof(DescriptionValue(line)));
    }
    ReadDescriptionLine(line, file);
    if (movable) {
        ReadDescriptionLine(line, file);
        ReadSubParts(file, std::atoi(DescriptionValue(line)));
    }
    ReadDescriptionLine(line, file);
    if (m_nClass == GCLASS_STATIC && m_nType == GTYPE_DECORS && std::strstr(path, "InfoScreen")) {
        ReadDescriptionLine(line, file);
        if (DescriptionValue(line)[0])
            m_pSound = g_AudioManager.LoadSound(DescriptionValue(line), 2, 6.0f, 60.0f);
    }
}

// Each sub-part line is read in three pieces: the 32-character key, a
// 5-character mass and the mesh name. The count comes from the file, so it
// is capped, and reading stops where the entry ends.
void CProp::ReadSubParts(FileHandle file, int count)
{
    if (count <= 0)
        return;
    if (count > PROP_MAX_PARTS)
        count = PROP_MAX_PARTS;
    m_pPartModels = new CModelInstance*[count]();
    m_pPartMasses = new float[count]();
    m_pPartPositions = new D3DXVECTOR3[count];
    m_pPartBodies = new btRigidBody*[count]();
    for (int i = 0; i < count; ++i) {
        if (g_FileManager.IsAtEnd(file))
            break;
        char key[DESCRIPTION_VALUE_COLUMN + 1] = {};
        char mass[6] = {};
        char name[DESCRIPTION_LINE_SIZE] = {};
        g_FileManager.ReadLine(key, sizeof(key), file);
        if (std::strlen(key) < DESCRIPTION_VALUE_COLUMN)
            break; // a line too short to hold a mass and a name
        g_FileManager.ReadLine(mass, sizeof(mass), file);
        if (std::strlen(mass) < sizeof(mass) - 1)
            break;
        g_FileManager.ReadLine(name, sizeof(name), file);
        // A landscape prop keeps about half of its loose parts, so the same
        // description gives varied streets.
        if (m_nClass == GCLASS_LANDSCAPE && std::rand() % 101 > 50)
            continue;
        auto* model = new CModelInstance();
        model->LoadMesh(name, 0, 0x220, 1);
        model->m_Material = m_Material;
        const std::uint32_t j = m_nParts;
        m_pPartModels[j] = model;
        m_pPartMasses[j] = static_cast<float>(std::atof(mass));
        m_pPartPositions[j] = D3DXVECTOR3(0, 0, 0);
        m_pPartBodies[j] = nullptr;
        ++m_nParts;
    }
}

void CProp::Place(const D3DXVECTOR3* position, const D3DXVECTOR3* target, const D3DXVECTOR3* up)
{
    SetLookAtTransform(position, target, up);
    m_matPlacement = m_matWorld;
    RecomputeCentre();
    if ((m_nType == GTYPE_BRIDGE || m_nType == GTYPE_BUILDING) && m_pMesh && m_pMesh->m_pBoxes[0]) {
        const MeshBox& box = m_pMesh->m_pBoxes[0][0];
        m_Box = box;
        delete[] m_pBoxCorners;
        m_pBoxCorners = new D3DXVECTOR3[8];
        for (int i = 0; i < 8; ++i) {
            const D3DXVECTOR3 corner(i & 1 ? box.vMax.x : box.vMin.x, i & 2 ? box.vMax.y : box.vMin.y,
                                     i & 4 ? box.vMax.z : box.vMin.z);
            D3DXVec3TransformCoord(&m_pBoxCorners[i], &corner, &m_matWorld);
        }
    }
    if (m_nType == GTYPE_BUILDING)
        RegisterShop();
    if (!m_pMesh)
        return; // nothing to collide with or to sound from
    CreateRigidBody(m_fMass, position, target, up);
    BuildPartBodies(position, target, up);
    if (m_nClass == GCLASS_STATIC && m_nType == GTYPE_DECORS && m_pSound) {
        m_pSound->SetPosition(m_vPosition);
        m_pSound->SetVolume(100.0f);
        m_pSound->Play(1);
    }
}

void CProp::RecomputeCentre()
{
    D3DXVec3TransformCoord(&m_vPosition, &m_vSphereCentre, &m_matWorld);
}

// A building's reach is its footprint's half diagonal around the placement
// point; shops put their entrances into the manager's lists.
void CProp::RegisterShop()
{
    if (!m_pMesh || !m_pMesh->m_pBoxSizes[0])
        return;
    const D3DXVECTOR3& size = m_pMesh->m_pBoxSizes[0][0];
    m_fSphereRadius = std::sqrt(size.x * size.x + size.z * size.z) / 2.0f;
    m_vPosition = D3DXVECTOR3(m_matWorld._41, m_matWorld._42, m_matWorld._43);
    const std::uint32_t points = PointCount(m_pMesh, 9);
    D3DXVECTOR3 entrance(0, 0, 0);
    if (points > 0)
        D3DXVec3TransformCoord(&entrance, &m_pMesh->m_pPoints[9][0], &m_matWorld);
    if (std::strstr(m_szPath, "/WorkShops") && points >= 1)
        g_PropManager.AddWorkShop(&entrance);
    if (std::strstr(m_szPath, "/AvtoShops") && points > 1) {
        g_PropManager.AddCarShop(&entrance);
        m_bCarShop = 1;
    }
}

void CProp::BuildPartBodies(const D3DXVECTOR3* position, const D3DXVECTOR3* target, const D3DXVECTOR3* up)
{
    for (std::uint32_t j = 0; j < m_nParts; ++j) {
        CModelInstance* model = m_pPartModels[j];
        model->m_matWorld = m_matWorld;
        m_pPartPositions[j] = *position;
        if (!model->m_pMesh)
            continue;
        // A borrowed mesh on a scratch object builds the body, which the
        // prop then keeps.
        CStaticObject scratch;
        scratch.m_nClass = m_nClass;
        scratch.m_nType = m_nType;
        scratch.m_pMesh = model->m_pMesh;
        scratch.CreateRigidBody(m_pPartMasses[j], position, target, up);
        m_pPartBodies[j] = scratch.m_pRigidBody;
        if (m_pPartBodies[j])
            m_pPartBodies[j]->setUserPointer(this);
        scratch.m_pRigidBody = nullptr;
        scratch.m_pMesh = nullptr;
    }
}

void CProp::SwitchOffLight()
{
    if (m_nLightIndex != -1)
        g_SceneLights.SwitchOffPointLight(m_nLightIndex);
    m_nLightIndex = -1;
}

void CProp::Release()
{
    for (std::uint32_t j = 0; j < m_nParts; ++j) {
        if (btRigidBody* body = m_pPartBodies[j]) {
            CleanPairs(body);
            if (g_Game.m_pDynamicsWorld)
                g_Game.m_pDynamicsWorld->removeRigidBody(body);
            delete body->getMotionState();
            delete body;
        }
        if (CModelInstance* model = m_pPartModels[j]) {
            model->ReleaseMesh();
            delete model;
        }
    }
    delete[] m_pPartModels;
    delete[] m_pPartMasses;
    delete[] m_pPartPositions;
    delete[] m_pPartBodies;
    m_pPartModels = nullptr;
    m_pPartMasses = nullptr;
    m_pPartPositions = nullptr;
    m_pPartBodies = nullptr;
    m_nParts = 0;
    SwitchOffLight();
    if (m_bCarShop)
        ReleaseCars();
    if (m_pSound)
        g_AudioManager.FreeSound(&m_pSound);
    m_pSound = nullptr;
    CStaticObject::Release();
}
