// Triangle-mesh collision models: a collision mesh with a box tree over its
// triangles, answering ray, sphere and model-against-model queries.
//
// Order of use: CreateMeshCollisionModel; SetTriangleCount (a hint); one
// AddTriangle per triangle; Finalize once; then SetTransform and queries in
// any order; delete. Vectors are float[3] and matrices float[16], row-major,
// used with row vectors (translation in the fourth row).
#pragma once

// Misuse: a triangle added after Finalize, a second Finalize, or a model
// query on a model that is not finalised.
class Inconsistency {};
// A model-against-model query ran past its time limit.
class TimeoutExpired {};

class CMeshCollisionModel {
public:
    virtual ~CMeshCollisionModel() = default;

    virtual void SetTriangleCount(int count) = 0;
    virtual void AddTriangle(const float* corner1, const float* corner2, const float* corner3) = 0;
    virtual void AddTriangle(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3,
                             float z3) = 0;
    virtual void Finalize() = 0;
    virtual void SetTransform(const float* matrix) = 0;

    // True when a triangle of this model overlaps one of the other. The
    // accuracy depth has no effect; a time limit of 0 (or below) means
    // 16,777,215 ms; a null matrix means the other model's own transform.
    virtual bool CollideWithModel(CMeshCollisionModel* other, int accuracyDepth, int timeLimitMs,
                                  const float* otherMatrix) = 0;
    // Origin and direction in world space; the segment start and end are in
    // multiples of the direction. Closest false answers the first triangle
    // found, true the nearest.
    virtual bool IntersectRay(const float* origin, const float* direction, bool closest, float segmentStart,
                              float segmentEnd) = 0;
    // The first triangle the sphere touches; the radius is used unscaled.
    virtual bool IntersectSphere(const float* centre, float radius) = 0;

    // Results of the latest query that found something. Model space false
    // means world space (through the current transform).
    virtual bool GetCollidingTriangleIndices(int* indexA, int* indexB) = 0;
    virtual bool GetCollidingTriangles(float* triangleA, float* triangleB, bool modelSpace) = 0;
    virtual bool GetCollisionPoint(float* point, bool modelSpace) = 0;
};

// A new empty model; null when memory runs out.
CMeshCollisionModel* CreateMeshCollisionModel(bool isStatic);
