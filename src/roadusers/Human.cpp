// Placeholder until the pedestrians are built: no ragdoll is ever made.
#include "roadusers/Human.h"

void CHuman::SetRagdoll(int)
{
}
