// Small vector, colour and matrix helpers over the platform's row-vector,
// left-handed maths (translation in the fourth row, products left to right).
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

class btTransform;

// Colours as four floats r, g, b, a.
struct D3DXCOLOR4 {
    float r, g, b, a;
};

float SquareRoot(float v);
float Vec3LengthSq(const D3DXVECTOR3* v);
float Vec3Length(const D3DXVECTOR3* v);
// A zero vector stays zero instead of being divided by its length.
D3DXVECTOR3* Vec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
float Vec3Distance(const D3DXVECTOR3* a, const D3DXVECTOR3* b);
float Vec3Mean(const D3DXVECTOR3* v);
D3DXCOLOR4* ColorNormalizeToMax(D3DXCOLOR4* out, const D3DXCOLOR4* c);
D3DXCOLOR4* ColorScaleToLimit(D3DXCOLOR4* out, const D3DXCOLOR4* c, float limit);

// Products with the current camera's view and projection.
D3DXMATRIX* GetWorldViewMatrix(D3DXMATRIX* out, const D3DXMATRIX* world);
D3DXMATRIX* GetWorldViewProjMatrix(D3DXMATRIX* out, const D3DXMATRIX* world);
D3DXMATRIX* GetViewProjMatrix(D3DXMATRIX* out);

// An object's world matrix at position, facing target: rows right, up,
// forward, position.
D3DXMATRIX* BuildLookAtMatrix(D3DXMATRIX* out, const D3DXVECTOR3* position, const D3DXVECTOR3* target,
                              const D3DXVECTOR3* up);
// -(normalize(to - from) x up), not normalised again.
D3DXVECTOR3* Vec3SideDirection(D3DXVECTOR3* out, const D3DXVECTOR3* from, const D3DXVECTOR3* to,
                               const D3DXVECTOR3* up);

// The identity matrix, for draws at the world origin.
extern D3DXMATRIX g_matIdentity;

// The untransformed corners of the last box, shared.
extern D3DXVECTOR3 g_BoxCorners[8];
// The 8 corners of the box at origin with size, transformed by matrix, into
// *corners; a null *corners gets an array of 8 that the caller owns from then
// on (delete[]), so each caller allocates once and reuses it.
D3DXVECTOR3* ComputeBoxCorners(D3DXVECTOR3** corners, const D3DXVECTOR3* origin, const D3DXVECTOR3* size,
                               const D3DXMATRIX* matrix);

// Toggles the edge (a, b) in a list of 16-bit vertex pairs: an edge added
// twice (either direction) cancels out, which leaves the silhouette edges.
void AddOrRemoveEdge(std::uint16_t (*edges)[2], int* count, std::uint16_t a, std::uint16_t b);

// The game's row-vector matrices and the physics library's transforms (a
// column-vector basis and an origin) hold the same rigid placement.
void MatrixToBtTransform(const D3DXMATRIX* matrix, btTransform* out);
D3DXMATRIX* BtTransformToMatrix(const btTransform* transform, D3DXMATRIX* out);
