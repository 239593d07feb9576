// The sample race boards as a player meets them: offers made one after
// another in the sample city, each board's start spot looked at where the
// race put it.
#include "graphics/MeshRecord.h"
#include "platform/InputTape.h"
#include "roadusers/RaceOffer.h"
#include "roadusers/VehicleManager.h"
#include "shell/VectorHelpers.h"
#include "support/ScriptedDriver.h"
#include "support/TapePlay.h"
#include "world/Landscape.h"
#include "world/Prop.h"
#include "world/RouteCell.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using test::PlayTape;

std::uint32_t s_seed = 0;

std::uint32_t OfferSeed()
{
    return s_seed;
}

// The start spot lies on the carriageway, and on the side the board's
// picture is drawn for (nearer its front point than its back point), so the
// player who stops there sees the invitation and not the board's back.
void ExpectStartOnTheRoadBeforeTheFace(std::uint32_t seed)
{
    SCOPED_TRACE(seed);
    const CProp* board = g_VehicleManager.RaceBoard();
    D3DXVECTOR3 start;
    ASSERT_TRUE(board && board->m_pMesh && GetRaceStartPoint(&start));
    const std::uint8_t type = g_Landscape.GetRouteCellType(&start);
    EXPECT_TRUE(type == 2 || type == ROUTE_ROAD) << "cell type " << int(type);
    ASSERT_GE(board->m_pMesh->m_nPoints[0], 2u);
    D3DXVECTOR3 back, front;
    D3DXVec3TransformCoord(&back, &board->m_pMesh->m_pPoints[0][0], &board->m_matWorld);
    D3DXVec3TransformCoord(&front, &board->m_pMesh->m_pPoints[0][1], &board->m_matWorld);
    EXPECT_LT(Vec3Distance(&start, &front), Vec3Distance(&start, &back));
}

TEST_F(PlayTape, RaceBoardsStartOnTheRoadInFrontOfTheirFace)
{
    int offers = 0;
    bool looked = false;
    m_script = [&](unsigned frame, HWND) {
        if (looked || !test::PlayerInControl())
            return;
        looked = true;
        std::uint32_t (*const clock)() = g_pRaceOfferSeed;
        g_pRaceOfferSeed = OfferSeed;
        for (s_seed = 1; s_seed <= 60 && offers < 16; ++s_seed) {
            g_VehicleManager.ResetRace();
            if (!g_VehicleManager.GenerateRace())
                continue;
            ++offers;
            ExpectStartOnTheRoadBeforeTheFace(s_seed);
        }
        g_pRaceOfferSeed = clock;
        plat::EndTapeAt(frame + 2);
    };
    ASSERT_TRUE(Play("drive_sample.tape"));
    EXPECT_GE(offers, 8) << "the sample city offers races around the continue spot";
}

} // namespace
