// A stone of the open ground: a description-file object turned at random.
#include "world/FieldObjects.h"

#include "shell/VectorHelpers.h"

#include <cstdio>
#include <cstdlib>

int CStoneObject::Load(int kind, int size, const D3DXVECTOR3* position)
{
    m_nKind = static_cast<std::uint32_t>(kind);
    m_nSize = static_cast<std::uint32_t>(size);
    char path[STATIC_OBJECT_PATH_SIZE];
    std::snprintf(path, sizeof path, "Data/Static/Nature/Stones/Main%02dS%d.obj", kind, size);
    if (CStaticObject::Load(path, 1, -1, 1) == INVALID_FILE_HANDLE)
        return 0;
    m_vPosition = *position;
    // A direction straight up or down has no side to build the matrix from:
    // it is drawn again like a zero one.
    D3DXVECTOR3 r(0, 0, 0);
    while (r.x == 0.0f && r.z == 0.0f) {
        r.x = static_cast<float>(std::rand() % 101) / 100.0f - 0.5f;
        r.y = static_cast<float>(std::rand() % 101) / 100.0f - 0.5f;
        r.z = static_cast<float>(std::rand() % 101) / 100.0f - 0.5f;
    }
    Vec3Normalize(&r, &r);
    const D3DXVECTOR3 target = *position + r;
    const D3DXVECTOR3 up(0, 1, 0);
    BuildLookAtMatrix(&m_matWorld, position, &target, &up);
    m_Body = {*position, target, up};
    m_matPlacement = m_matWorld;
    return 1;
}
