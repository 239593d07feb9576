// The current occluder: planes from the camera eye through the silhouette of
// one large building, behind all of which an object is hidden.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

enum {
    OCCLUDER_MAX_PLANES = 100,
    OCCLUDER_MAX_EDGES = 500,
};

extern D3DXVECTOR3 g_vOccluderPos;
// A point p is behind a plane when a p.x + b p.y + c p.z + d >= 0.
extern D3DXPLANE g_OccluderPlanes[OCCLUDER_MAX_PLANES];
extern std::uint32_t g_nOccluderPlanes;

// Makes the mesh (placed by world, centred at centre) the current occluder
// seen from eye: one plane per silhouette edge and one through the centre.
// A silhouette too large for the tables gives no planes at all, since a
// partial set would hide what is in plain view. Returns 1 when planes were
// built.
int BuildOccluderPlanes(ID3DXMesh* mesh, const D3DXMATRIX* world, const D3DXVECTOR3* centre,
                        const D3DXVECTOR3* eye);
// Forgets the current occluder.
void ClearOccluder();
// 1 when all eight corners lie behind every current plane; 0 for a null
// argument or when there are no planes.
int IsBoxOccluded(const D3DXVECTOR3* corners);
// 1 when the sphere lies wholly behind every current plane (0 without planes).
int IsSphereOccluded(const D3DXVECTOR3* centre, float radius);
