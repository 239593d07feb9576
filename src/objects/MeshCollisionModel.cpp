#include "objects/MeshCollisionModel.h"

#include "objects/BoxTreeCollisionModel.h"

#include <new>

CMeshCollisionModel* CreateMeshCollisionModel(bool isStatic)
{
    return new (std::nothrow) CBoxTreeCollisionModel(isStatic);
}
