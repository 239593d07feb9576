// The numbered in-game messages and their texts; '/' ends a row of the box.
#pragma once

enum {
    MSG_DAMAGE_LIMIT = 0,
    MSG_CRIMINAL_LEVEL = 1,
    MSG_CRIMINAL_EXCEEDED = 2,
    MSG_ARRESTED = 3,
    MSG_TRICK_BONUS = 4,
    MSG_POLICE_DEACTIVATED = 5,
    MSG_CONTROLS = 6,
    MSG_MAP_LEGEND = 7,
    MSG_PASSENGER = 8,
    MSG_PASSENGER_DELIVERED = 9,
    MSG_CONGRATULATIONS = 10,
    MSG_DIALOGUE_FIRST = 11,
    MESSAGE_COUNT = 24,
    DIALOGUE_LINES = 13,
    MESSAGE_TEXT_SIZE = 512,
};

// Rows 3, 4 and 9 are rewritten each time their message opens.
extern char g_MessageTexts[MESSAGE_COUNT][MESSAGE_TEXT_SIZE];
