// What the scenes and the race ask of other parts: the car's stop, park and
// damage figure, its scripted dents, the race panels, the shop screens, the
// game menu and the landscape's forced re-stream. One table, so that tests
// can watch or steer each call.
#pragma once

class CProp;
class CVehicle;

struct CSceneHooks {
    void (*StopCar)(CVehicle* car);
    void (*ParkCar)(CVehicle* car);
    float (*GetDamageRatio)(const CVehicle* car);
    void (*DentCar)(CVehicle* car, int dents, float strength);
    // The race offer panel: opened by the start scene, then asked each frame
    // whether it is still open and whether the player accepted.
    void (*OpenRaceOffer)();
    int (*IsRaceOfferOpen)();
    int (*IsRaceOfferAccepted)();
    // The race result panel: the race end waits until it has been closed
    // (the prize booked).
    void (*OpenRaceResult)();
    int (*IsRaceResultOpen)();
    void (*OpenWorkshop)();
    void (*OpenCarShop)(CProp* entrance);
    void (*OpenGameMenu)(int screen);
    void (*RestreamLandscape)();
};

extern CSceneHooks g_SceneHooks;
// The table as the game starts with it; tests put it back after a fake.
extern const CSceneHooks g_DefaultSceneHooks;
