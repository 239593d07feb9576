// What the interface's panels need of the races and the pedestrians, kept
// behind small functions so the panels' tests can stand in for the managers.
#pragma once

class CHuman;

// Ends the running race for everyone (the vehicle manager's FinishRace).
void FinishRunningRace();

// True when the pedestrian still exists in the pedestrian manager's list
// (replaceable, so tests can stand in for the manager).
extern bool (*g_pIsHumanListed)(const CHuman* human);
// True when the pedestrian has been knocked down (lies as a ragdoll).
bool IsHumanKnockedDown(const CHuman* human);
// Lets a waiting pedestrian make its offer again later (its offer timer set
// to -4 s).
void ReleaseWaitingHuman(CHuman* human);
