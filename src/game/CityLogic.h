// The scene machine of the open-world game: every scripted moment of play
// (introduction, race start and end, shop visit, trick, arrest, taxi
// passenger, exit to the menu) is a numbered scene of timed phases. Scene 0
// is free driving.
#pragma once

#include "game/SceneIds.h"

#include <cstdint>

class CGameSound;
class CHuman;
class CProp;
class CVehicle;

// The introduction's route is cut to this many points once the car is near
// the yard.
enum { INTRO_ROUTE_POINTS = 66, INTRO_MIN_ROUTE_POINTS = 55 };

class CCityLogic {
public:
    int Init();
    void Release();
    void Reset();
    // Enters the scene at phase 0, replacing whatever ran.
    void SetScene(int scene, CVehicle* car, CProp* object);
    void Update();

    std::int32_t m_nScene = 0;
    std::int32_t m_nPhase = 0;
    std::int32_t m_nStartTime = 0; // ms: game clock, the trick scene's real clock
    float m_fWait = 0.0f;
    CVehicle* m_pCar = nullptr;
    CProp* m_pObject = nullptr;
    CGameSound* m_pSound = nullptr; // the passenger scenes' door sound

private:
    void Stamp();
    void StampReal();
    bool After(float seconds) const;
    bool AfterReal(float seconds) const;
    void Next() { ++m_nPhase; }
    void End();
    void RestoreDrivingView();
    void PlayDoorSound();

    void UpdateNewGame();
    void StartIntroduction();
    void IntroHandOverYard();
    void IntroDialogue();
    void IntroEnd();
    void UpdateContinueGame();
    void UpdateRaceStart();
    void UpdateRaceEnd();
    void UpdateShopVisit();
    void PlaceCarInShop();
    void UpdateTrickBonus();
    void UprightCar();
    void UpdateArrest();
    void UpdatePassengerIn();
    void UpdatePassengerOut();
    void UpdateExitToMenu();
};

// The two figures of the new-game introduction; null while none stands.
extern CHuman* g_pMechanic;
extern CHuman* g_pPlayerFigure;
// The landing-point marker of a taxi ride, null when none.
extern CProp* g_pTaxiMarker;

extern CCityLogic g_CityLogic;

struct D3DXVECTOR3;
// The introduction's route from the spawn to beside the mechanic: the last
// three points bend into the yard and one more runs on past the last. 0 when
// no route of at least the points the drive uses was found.
int BuildIntroRoute(D3DXVECTOR3* points, std::uint32_t* count, const D3DXVECTOR3& from);

// Milliseconds of a clock value, truncated toward zero, as a stamp.
std::int32_t ClockStamp(double ms);
