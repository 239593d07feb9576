// A city prop: a static object placed by a sector or a scene. Placeholder
// until the props are built: the manager creates none.
#pragma once

#include "objects/StaticObject.h"

#include <cstdint>

class CProp : public CStaticObject {
public:
    void SetActive(int active) { m_bActive = active; }

    // Slot of the prop in its sector's list.
    std::uint32_t m_nSectorSlot = 0;
};
