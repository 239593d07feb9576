// The numbers of the city logic's scenes. Cars, props and menus start scenes
// and test for free driving by these ids, so they sit in a header of their own
// that any layer can include without pulling in the scene machine.
#pragma once

enum {
    SCENE_IDLE = 0,
    SCENE_NONE = SCENE_IDLE,
    SCENE_NEW_GAME = 10,
    SCENE_CONTINUE_GAME = 11,
    SCENE_RACE_START = 20,
    SCENE_RACE_END = 30,
    SCENE_SHOP_VISIT = 40, // both kinds of shop: the building's car-shop flag tells them apart
    SCENE_TRICK_BONUS = 50,
    SCENE_ARREST = 60,
    SCENE_PASSENGER_IN = 70,
    SCENE_PASSENGER_OUT = 71,
    SCENE_EXIT_TO_MENU = 90,
};
