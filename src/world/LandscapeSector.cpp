// Placeholder until sector streaming is built: a sector has no placed objects,
// so no ray ever hits one.
#include "world/LandscapeSector.h"

int CLandscapeSector::IntersectProps(const D3DXVECTOR3*, const D3DXVECTOR3*, D3DXVECTOR3*)
{
    return 0;
}
