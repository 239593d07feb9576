// Meshes for the collision model tests and benchmark.
#pragma once

#include "objects/BoxTreeCollisionModel.h"

#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace test {

struct Tri {
    float v[9];
};

inline std::unique_ptr<CBoxTreeCollisionModel> BuildModel(const std::vector<Tri>& tris, bool isStatic = false)
{
    auto model = std::make_unique<CBoxTreeCollisionModel>(isStatic);
    model->SetTriangleCount(static_cast<int>(tris.size()));
    for (const Tri& t : tris) {
        model->AddTriangle(t.v, t.v + 3, t.v + 6);
    }
    model->Finalize();
    return model;
}

// The twelve triangles of the box from lo to hi, faces outward.
inline std::vector<Tri> BoxTriangles(const float lo[3], const float hi[3])
{
    auto c = [&](int i) {
        return CollisionVec((i & 1) ? hi[0] : lo[0], (i & 2) ? hi[1] : lo[1], (i & 4) ? hi[2] : lo[2]);
    };
    static const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    std::vector<Tri> tris;
    for (const auto& f : faces) {
        const int quads[2][3] = {{f[0], f[1], f[2]}, {f[0], f[2], f[3]}};
        for (const auto& q : quads) {
            Tri t;
            for (int k = 0; k < 3; ++k) {
                const CollisionVec3 p = c(q[k]);
                t.v[k * 3] = p.x;
                t.v[k * 3 + 1] = p.y;
                t.v[k * 3 + 2] = p.z;
            }
            tris.push_back(t);
        }
    }
    return tris;
}

// A rolling height field of cells x cells quads (two triangles each) over
// [-50, 50] in x and z.
inline std::vector<Tri> HeightField(int cells)
{
    const float step = 100.0f / static_cast<float>(cells);
    auto height = [](float x, float z) { return 4.0f * std::sin(x * 0.13f) * std::cos(z * 0.09f) + 0.02f * x; };
    std::vector<Tri> tris;
    for (int i = 0; i < cells; ++i) {
        for (int j = 0; j < cells; ++j) {
            const float x0 = -50.0f + step * static_cast<float>(i);
            const float z0 = -50.0f + step * static_cast<float>(j);
            const float x1 = x0 + step;
            const float z1 = z0 + step;
            tris.push_back({{x0, height(x0, z0), z0, x0, height(x0, z1), z1, x1, height(x1, z1), z1}});
            tris.push_back({{x0, height(x0, z0), z0, x1, height(x1, z1), z1, x1, height(x1, z0), z0}});
        }
    }
    return tris;
}

// A ray of the benchmark's set: origin and unit direction.
struct DownRay {
    float origin[3];
    float direction[3];
};

// Rays from random points 12 above the height field, heading down at random
// slants (the benchmark's rays; the same seed gives the same set).
inline std::vector<DownRay> DownwardRays(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> where(-50.0f, 50.0f);
    std::uniform_real_distribution<float> slant(-1.0f, 1.0f);
    std::vector<DownRay> out;
    for (int i = 0; i < count; ++i) {
        const float dx = slant(rng);
        const float dz = slant(rng);
        const float dy = -1.0f;
        const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
        out.push_back({{where(rng), 12.0f, where(rng)}, {dx / length, dy / length, dz / length}});
    }
    return out;
}

// Randomly placed and oriented triangles of mixed sizes inside a 100-unit
// cube, with a few flat and shared-centre ones among them.
inline std::vector<Tri> TriangleSoup(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> where(-50.0f, 50.0f);
    std::uniform_real_distribution<float> reach(-6.0f, 6.0f);
    std::vector<Tri> tris;
    for (int n = 0; n < count; ++n) {
        Tri t;
        const float cx = where(rng);
        const float cy = (n % 7 == 0) ? 0.0f : where(rng);
        const float cz = where(rng);
        for (int k = 0; k < 3; ++k) {
            t.v[k * 3] = cx + reach(rng);
            t.v[k * 3 + 1] = (n % 7 == 0) ? 0.0f : cy + reach(rng);
            t.v[k * 3 + 2] = cz + reach(rng);
        }
        tris.push_back(t);
        if (n % 11 == 0 && n + 1 < count) {
            tris.push_back(t); // an exact duplicate: same centre
            ++n;
        }
    }
    return tris;
}

inline void Translation(float x, float y, float z, float m[16])
{
    const float r[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    for (int i = 0; i < 16; ++i) {
        m[i] = r[i];
    }
}

// Rotation by angle about y (left-handed, row vectors) followed by a move.
inline void RotationYTranslation(float angle, float x, float y, float z, float m[16])
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float r[16] = {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, x, y, z, 1};
    for (int i = 0; i < 16; ++i) {
        m[i] = r[i];
    }
}

} // namespace test
