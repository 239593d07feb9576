// The route files as the landscape loads them: "WayPointsMap.dat" and
// "GlobalRoute.dat" (the input split at a three-byte length prefix), with the
// link rebuild and thinning, then searches and walks over the grid. The
// route part starts with a width: its 48-byte records fill rows of that many
// cells at the grid's corner (0: whole rows as the file holds them), so a
// small input still describes a street plan of its own.
#include "FuzzFiles.h"

#include "world/Landscape.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

// The file is built in one buffer kept from input to input: spread over
// whole rows it runs to megabytes, and fresh memory for it each time cost
// more than the load.
const std::string& RouteFile(const std::string& compact)
{
    static std::string file;
    if (compact.empty() || compact[0] == 0) {
        file.assign(compact.empty() ? compact : compact.substr(1));
        return file;
    }
    const std::size_t width = static_cast<unsigned char>(compact[0]);
    const std::size_t records = (compact.size() - 1) / ROUTE_RECORD_SIZE;
    const std::size_t rows = std::min<std::size_t>((records + width - 1) / width, LANDSCAPE_GRID);
    file.assign(rows * LANDSCAPE_GRID * ROUTE_RECORD_SIZE, '\0');
    for (std::size_t k = 0; k < records && k / width < rows; ++k)
        std::memcpy(&file[((k / width) * LANDSCAPE_GRID + k % width) * ROUTE_RECORD_SIZE],
                    &compact[1 + k * ROUTE_RECORD_SIZE], ROUTE_RECORD_SIZE);
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::BeginInput(data, size);
    fuzz::StartLooseFilesAndSilentAudio();
    std::string wayPoints;
    std::string compact;
    fuzz::SplitInput(data, size, &wayPoints, &compact, 3);
    const std::string& route = RouteFile(compact);
    fuzz::SetFile("Data/Landscape/WayPointsMap.dat", wayPoints);
    fuzz::SetFile("Data/Landscape/GlobalRoute.dat", route);
    CLandscape& land = g_Landscape;
    std::strcpy(land.m_szDirectory, "Data/Landscape");
    land.m_nCells = 600;
    land.m_fCellSize = 4.0f;
    land.m_fHeight = 100.0f;
    land.m_fWorldSize = 2400.0f;
    land.LoadRoute();

    // Start on the first road cell the file holds, if any.
    const std::size_t cells = std::min<std::size_t>(route.size() / ROUTE_RECORD_SIZE, 600 * 600);
    D3DXVECTOR3 start(-1198.0f, 0.0f, 1198.0f);
    for (std::size_t i = 0; i < cells; ++i)
        if (land.Route(static_cast<int>(i % 600), static_cast<int>(i / 600)).m_nType == ROUTE_ROAD) {
            start = D3DXVECTOR3(4.0f * static_cast<float>(i % 600) - 1198.0f, 0.0f,
                                1198.0f - 4.0f * static_cast<float>(i / 600));
            break;
        }
    const D3DXVECTOR3 goal(start.x + 40.0f, 0.0f, start.z - 12.0f);
    std::unique_ptr<D3DXVECTOR3[]> points(new D3DXVECTOR3[ROUTE_MAX_POINTS]);
    std::uint32_t count = 0;
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
