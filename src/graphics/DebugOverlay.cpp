// Placeholder until the debug statistics overlay is built: nothing is shown.
#include "graphics/WorldCamera.h"

void CWorldCamera::DrawDebugInfo()
{
}
