// The small float vector and matrix kit of the mesh collision models.
//
// Vectors are row vectors and matrices 4x4 row-major in the game's
// left-handed convention: a point p maps to p x M with the translation in
// the fourth row. Every value is a 32-bit float and every comparison in the
// collision code is exact, so this code must not be built with fast math.
#pragma once

#if defined(__FAST_MATH__)
#error "The collision geometry needs IEEE float semantics: build it without -ffast-math."
#endif

struct CollisionVec3 {
    float x, y, z;

    float operator[](int axis) const { return axis == 0 ? x : (axis == 1 ? y : z); }
};

struct CollisionMatrix {
    float m[4][4];
};

// Set up once at program start; never written afterwards.
extern const CollisionVec3 g_CollisionZeroVector;
extern const CollisionMatrix g_CollisionIdentity;

inline CollisionVec3 CollisionVec(float x, float y, float z) { return CollisionVec3{x, y, z}; }
inline CollisionVec3 CollisionVec(const float* v) { return CollisionVec3{v[0], v[1], v[2]}; }

inline CollisionVec3 Add(const CollisionVec3& a, const CollisionVec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline CollisionVec3 Subtract(const CollisionVec3& a, const CollisionVec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline CollisionVec3 Negate(const CollisionVec3& a) { return {-a.x, -a.y, -a.z}; }
inline CollisionVec3 Scale(const CollisionVec3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(const CollisionVec3& a, const CollisionVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float LengthSquared(const CollisionVec3& a) { return Dot(a, a); }

inline CollisionVec3 Cross(const CollisionVec3& a, const CollisionVec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Divides by the square root of the squared length. A zero vector gives
// NaNs: callers that may meet one test for it first.
CollisionVec3 Normalize(const CollisionVec3& a);

// p x M including the translation row (no division by w: the models' matrices
// are affine).
CollisionVec3 TransformPoint(const CollisionVec3& p, const CollisionMatrix& m);
// p x M with the upper 3x3 part only.
CollisionVec3 TransformDirection(const CollisionVec3& d, const CollisionMatrix& m);

CollisionMatrix Multiply(const CollisionMatrix& a, const CollisionMatrix& b);
CollisionMatrix MatrixFromFloats(const float* m16);
float Determinant(const CollisionMatrix& m);
// The transposed matrix of 3x3 cofactors.
CollisionMatrix Adjugate(const CollisionMatrix& m);
// Adjugate over determinant. Answers false, leaving out untouched, when the
// matrix has no inverse (determinant 0) or the inverse is not finite.
bool Invert(const CollisionMatrix& m, CollisionMatrix* out);
