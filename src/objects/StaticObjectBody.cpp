// Placeholder until the rigid bodies are built: an object never gets a body,
// so there is nothing to destroy.
#include "objects/StaticObject.h"

void CStaticObject::DestroyRigidBody()
{
}
