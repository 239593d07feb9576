// The car shop's showroom: three cars on the places in front of the shop
// while the camera is near, and the swap after a purchase.
#include "world/Prop.h"

#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"

#include <cstdio>
#include <cstdlib>

namespace {

const int kModels = 8;

// The lowest point of the car's collision part: the car stands on it.
float GroundLift(const CVehicle* car)
{
    const CMeshRecord* mesh = car ? car->m_pMesh : nullptr;
    if (!mesh || !mesh->m_pBoxes[12] || mesh->m_nFrames[12] == 0)
        return 0.0f;
    return -1.5f * mesh->m_pBoxes[12][0].vMin.y;
}

// A model that did not load leaves the car without a mesh.
bool LoadCar(CVehicle* car, const char* path)
{
    car->LoadModel(path);
    return car->m_pMesh != nullptr;
}

// Standing still, without a driver, facing its target.
void PutCar(CVehicle* car, const D3DXVECTOR3* position, const D3DXVECTOR3* target)
{
    const D3DXVECTOR3 up(0, 1, 0);
    car->Spawn(position, target, &up, 1, 0, 1);
    car->m_fSpeed = 0.0f;
}

void DeleteCar(CVehicle* car)
{
    g_VehicleManager.RemoveVehicle(car);
    car->Release();
    delete car;
}

} // namespace

// A place of mesh part 9 in the world, lifted by the car's own collision
// part, and the point it faces: `facing` times the prop's forward axis.
bool CProp::ShowroomPlace(int point, const CVehicle* car, D3DXVECTOR3* place, D3DXVECTOR3* target,
                          float facing) const
{
    if (!m_pMesh || !m_pMesh->m_pPoints[9] || static_cast<std::uint32_t>(point) >= m_pMesh->m_nPoints[9])
        return false;
    D3DXVec3TransformCoord(place, &m_pMesh->m_pPoints[9][point], &m_matWorld);
    place->y += GroundLift(car);
    const D3DXVECTOR3 forward(m_matWorld._31, m_matWorld._32, m_matWorld._33);
    *target = *place + forward * (50.0f * facing);
    target->y = place->y;
    return true;
}

void CProp::CreateShowroomCars()
{
    if (!m_bCarShop)
        return;
    ReleaseCars();
    // The entrance and three places: a mesh with fewer has no showroom.
    if (!m_pMesh || !m_pMesh->m_pPoints[9] || m_pMesh->m_nPoints[9] < 1 + PROP_SHOWROOM_CARS)
        return;
    for (int i = 0; i < PROP_SHOWROOM_CARS; ++i) {
        char path[64];
        std::snprintf(path, sizeof(path), "Data/Vehicles/%02d/Main.obj", std::rand() % kModels + 1);
        auto* car = new CVehicle();
        if (!LoadCar(car, path)) {
            car->Release();
            delete car;
            continue;
        }
        D3DXVECTOR3 place, target;
        ShowroomPlace(i + 1, car, &place, &target, -1.0f);
        PutCar(car, &place, &target);
        // Braked, hand brake on: a showroom on a slope would see its cars
        // roll away once they are in the physics world.
        car->StopImmediately();
        car->m_pShowroom = this;
        m_pCars[m_nCars++] = car;
    }
}

void CProp::ReleaseCars()
{
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        if (m_pCars[i])
            DeleteCar(m_pCars[i]);
        m_pCars[i] = nullptr;
    }
    m_nCars = 0;
    // A listed car that still names this shop forgets it: the game's reset
    // deletes the shop before it destroys the cars, and destroying a car
    // asks its shop to let it go.
    for (std::uint32_t i = 0; i < g_VehicleManager.m_nCars; ++i)
        if (CVehicle* car = g_VehicleManager.m_Cars[i]; car && car->m_pShowroom == this)
            car->m_pShowroom = nullptr;
}

void CProp::RemoveCar(CVehicle* car)
{
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        if (m_pCars[i] != car)
            continue;
        car->m_pShowroom = nullptr;
        for (std::uint32_t k = i; k + 1 < m_nCars; ++k)
            m_pCars[k] = m_pCars[k + 1];
        m_pCars[--m_nCars] = nullptr;
        return;
    }
}

void CProp::SetCarsInWorld(bool on)
{
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        m_pCars[i]->SetPhysicsActive(on ? 1 : 0);
        if (on)
            g_VehicleManager.AddVehicle(m_pCars[i]);
        else
            g_VehicleManager.RemoveVehicle(m_pCars[i]);
    }
}

void CProp::PlaceCars(CVehicle** bought, CVehicle** other)
{
    if (!bought || !other || !*bought || !*other)
        return;
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        if (m_pCars[i] != *bought)
            continue;
        D3DXVECTOR3 slot, slotTarget, entrance, entranceTarget;
        if (!ShowroomPlace(static_cast<int>(i) + 1, *bought, &slot, &slotTarget, -1.0f) ||
            !ShowroomPlace(0, *other, &entrance, &entranceTarget, 1.0f))
            return;
        // Each car is lifted by its own collision part.
        slot.y += GroundLift(*other) - GroundLift(*bought);
        slotTarget.y = slot.y;
        entrance.y += GroundLift(*bought) - GroundLift(*other);
        entranceTarget.y = entrance.y;
        PutCar(*bought, &entrance, &entranceTarget);
        PutCar(*other, &slot, &slotTarget);
        m_pCars[i] = *other;
        // The traded car now stands in the showroom: it names the shop so
        // that destroying it from the car list also empties its place.
        (*other)->m_pShowroom = this;
        *other = *bought;
        return;
    }
}
