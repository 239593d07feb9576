// The drive steps of a car's frame: steering, engine and brakes, the physics
// level of detail, the speed model and the motion step.
#include "roadusers/Vehicle.h"

void CVehicle::UpdateSteering()
{
}

void CVehicle::UpdateEngine()
{
}

void CVehicle::UpdatePhysicsLod()
{
}

void CVehicle::UpdateMotion()
{
}

void CVehicle::UpdateSpeedModel()
{
}

void CVehicle::StopImmediately()
{
}

void CVehicle::Park()
{
}
