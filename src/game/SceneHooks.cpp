// The car's, shops' and landscape's own operations, and the race panels
// of the interface, as the scenes reach them.
#include "game/SceneHooks.h"

#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "roadusers/Vehicle.h"
#include "world/Landscape.h"

namespace {

void StopCar(CVehicle* car)
{
    car->StopImmediately();
}

void ParkCar(CVehicle* car)
{
    car->Park();
}

float GetDamageRatio(const CVehicle* car)
{
    return car->GetDamageRatio();
}

void DentCar(CVehicle* car, int dents, float strength)
{
    car->ApplyRandomDamage(dents, strength);
}

void OpenRaceOffer() { g_GameInterface.SetRaceState(1); }
int IsRaceOfferOpen() { return g_GameInterface.m_RaceOfferPanel.m_bRaceOfferOpen != 0; }
int IsRaceOfferAccepted() { return g_GameInterface.m_RaceOfferPanel.m_nRaceOfferChoice == 1; }
void OpenRaceResult() { g_GameInterface.ShowRaceResult(1); }
int IsRaceResultOpen() { return g_GameInterface.m_RaceResultPanel.m_bRaceResultOpen != 0; }
void OpenWorkshop()
{
    g_GameInterface.SetWorkshop(1);
}

void OpenCarShop(CProp* entrance)
{
    g_GameInterface.SetCarShop(entrance);
}

void OpenGameMenu(int screen)
{
    g_GameMenu.Show(screen);
}

void RestreamLandscape()
{
    g_Landscape.ForceRestream();
}

} // namespace

const CSceneHooks g_DefaultSceneHooks = {StopCar,       ParkCar,          GetDamageRatio,    DentCar,
                                         OpenRaceOffer, IsRaceOfferOpen,  IsRaceOfferAccepted, OpenRaceResult,
                                         IsRaceResultOpen, OpenWorkshop,  OpenCarShop,       OpenGameMenu,
                                         RestreamLandscape};
CSceneHooks g_SceneHooks = g_DefaultSceneHooks;
