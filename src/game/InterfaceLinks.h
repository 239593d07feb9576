// What the interface's panels need of the cars, the races and the
// pedestrians. Where those parts of the game are not built yet the links
// here stand in for them with their resting results (named below).
#pragma once

class CHuman;
class CVehicle;

// Mean dent amount of the car's body (0 for a car without body records).
float CarMeanDeformation(const CVehicle* car);
// (mean deformation + engine damage + mean wheel wear) / 3, within 0..1.
float CarDamageRatio(const CVehicle* car);
// Brakes and hand brake on, no driver input; the velocities are left alone.
void ParkCar(CVehicle* car);

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
