// Placeholder until the shadow pass is built: there is no shadow camera yet,
// so the projection is the identity.
#include "shell/Game.h"

D3DXMATRIX* CGame::GetShadowMapMatrix(D3DXMATRIX* out, const D3DXMATRIX*)
{
    return D3DXMatrixIdentity(out);
}
