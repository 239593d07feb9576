// One cell of the route grid: its class, way point and links to same-type
// neighbours (road or walkway), stored as cell indices row x 600 + column.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

struct RouteCell {
    std::uint8_t m_nType; // 0 none, 1 and 2 passable, 3 road, 4 walkway
    D3DXVECTOR3 m_vPosition;
    std::uint32_t m_nLinks[4];
    std::uint8_t m_nLinkCount;
    std::uint8_t m_nWidthClass; // road half-width 6 + 9 x class / 100
    std::uint16_t m_nColumn;
    std::uint16_t m_nRow;
};

enum {
    ROUTE_NONE = 0,
    ROUTE_ROAD = 3,
    ROUTE_WALKWAY = 4,
    ROUTE_RECORD_SIZE = 48, // one cell in "GlobalRoute.dat"
};
