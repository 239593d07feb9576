// Everything outside the manager that keeps a plain pointer to a pedestrian
// lets go of it here, before the pedestrian is deleted.
#include "roadusers/HumanManager.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/TaxiJob.h"

void ForgetHuman(CHuman* human)
{
    if (!human)
        return;
    if (g_TaxiJob.m_pPassenger == human)
        g_TaxiJob.m_pPassenger = nullptr;
    if (g_pMechanic == human)
        g_pMechanic = nullptr;
    if (g_pPlayerFigure == human)
        g_pPlayerFigure = nullptr;
    if (g_GameInterface.m_pDialogueSpeaker == human)
        g_GameInterface.m_pDialogueSpeaker = nullptr;
}
