// The route grid "GlobalRoute.dat" (any length) as the landscape loads it,
// with the link rebuild and thinning, then searches and walks over it.
#include "FuzzFiles.h"

#include "world/Landscape.h"

#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnterScratchDirectory();
    fuzz::StartLooseFilesAndSilentAudio();
    static bool written = false;
    if (!written) {
        written = true;
        fuzz::WriteFile("Data/Landscape/WayPointsMap.dat", std::string(16, '\1'));
    }
    fuzz::SetFile("Data/Landscape/GlobalRoute.dat", data, size);
    CLandscape& land = g_Landscape;
    std::strcpy(land.m_szDirectory, "Data/Landscape");
    land.m_nCells = 600;
    land.m_fCellSize = 4.0f;
    land.m_fHeight = 100.0f;
    land.m_fWorldSize = 2400.0f;
    land.LoadRoute();

    // Start on the first road cell the file holds, if any.
    const std::size_t records = size / ROUTE_RECORD_SIZE;
    D3DXVECTOR3 start(-1198.0f, 0.0f, 1198.0f);
    for (std::size_t i = 0; i < records; ++i)
        if (land.Route(static_cast<int>(i % 600), static_cast<int>(i / 600)).m_nType == ROUTE_ROAD) {
            start = D3DXVECTOR3(4.0f * static_cast<float>(i % 600) - 1198.0f, 0.0f,
                                1198.0f - 4.0f * static_cast<float>(i / 600));
            break;
        }
    const D3DXVECTOR3 goal(start.x + 40.0f, 0.0f, start.z - 12.0f);
    std::unique_ptr<D3DXVECTOR3[]> points(new D3DXVECTOR3[ROUTE_MAX_POINTS]);
    std::uint32_t count = 0;
    std::srand(size);
    land.FindRoutePath(points.get(), &count, &start, &goal, 1, 4, 2, 1, 2, -1.0f, 2048);
    land.MakeRaceRoute(points.get(), &count, &start, 300);
    land.MakeRandomRoadRoute(points.get(), &count, &start, &goal, 3, 3, 300);
    land.MakeRandomWalkwayRoute(points.get(), &count, &start, &goal, 4, 4, 300, 1.0f);
    D3DXVECTOR3 moved = start;
    land.FindRandomRoadPath(points.get(), &count, &moved, 30.0f, 3, 3, 100);
    land.GetRoadCentreFactor(&start);
    land.FindNearestRouteCell(4, &start, 20);
    return 0;
}
