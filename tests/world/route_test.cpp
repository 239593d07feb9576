// The route grid on small crafted maps: link rebuild, the A* search, the
// path builders and the point-list operations.
#include "world/world_fixture.h"

#include "world/RouteWork.h"
#include "writers/FileBytes.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using test::LandscapeTest;

// Route cells from a picture: '.' none, digits the cell type; width class 100
// unless given. Row 0 of the picture is map row `top`.
void Paint(tools::LandscapeMaps& m, const std::vector<const char*>& picture, int left = 0, int top = 0,
           std::uint8_t widthClass = 100)
{
    for (int r = 0; r < static_cast<int>(picture.size()); ++r)
        for (int c = 0; picture[r][c]; ++c)
            if (picture[r][c] != '.')
                m.SetRoute(left + c, top + r, static_cast<std::uint8_t>(picture[r][c] - '0'), widthClass);
}

std::vector<std::pair<int, int>> Links(int column, int row)
{
    std::vector<std::pair<int, int>> out;
    const RouteCell& cell = g_Landscape.Route(column, row);
    for (int i = 0; i < cell.m_nLinkCount; ++i)
        out.emplace_back(cell.m_nLinks[i] % LANDSCAPE_GRID, cell.m_nLinks[i] / LANDSCAPE_GRID);
    return out;
}

using Cells = std::vector<std::pair<int, int>>;

TEST_F(LandscapeTest, LinksAreRebuiltInNeighbourOrderAndWalkwayCornersThinned)
{
    tools::LandscapeMaps m = test::SmallMap(40);
    Paint(m, {
                 "333...444444",
                 "333...4....4",
                 "333...4....4",
                 "3.3...4....4",
                 "......4....4",
                 "......444444",
             });
    // A stored column and row that lie are not believed.
    m.Cell(1, 3).column = 77;
    m.Cell(1, 3).type = 3;
    ASSERT_EQ(test::LoadMaps(m), 1);
    // The middle of a solid block keeps only its first four neighbours.
    EXPECT_EQ(Links(1, 1), (Cells{{0, 0}, {1, 0}, {2, 0}, {0, 1}}));
    EXPECT_EQ(Links(0, 3), (Cells{{0, 2}, {1, 2}, {1, 3}}));
    EXPECT_EQ(g_Landscape.Route(1, 3).m_nColumn, 1);
    EXPECT_EQ(g_Landscape.Route(1, 3).m_nRow, 3);
    EXPECT_EQ(g_Landscape.m_nRoadCells, 12u);
    EXPECT_EQ(g_Landscape.m_nWalkwayCells, 20u);
    // Each walkway corner first linked the diagonal between its neighbours;
    // thinning leaves a plain ring of two links per cell.
    for (int column = 6; column <= 11; ++column)
        for (int row = 0; row <= 5; ++row)
            if (g_Landscape.Route(column, row).m_nType == ROUTE_WALKWAY) {
                EXPECT_EQ(g_Landscape.Route(column, row).m_nLinkCount, 2) << column << ", " << row;
            }
    EXPECT_EQ(Links(7, 0), (Cells{{6, 0}, {8, 0}}));
    EXPECT_EQ(Links(6, 1), (Cells{{6, 0}, {6, 2}}));
    // Types other than road and walkway get no links.
    EXPECT_EQ(g_Landscape.Route(20, 20).m_nLinkCount, 0);
}

// Each load starts from an empty grid whatever the last one held, and a
// file that ends inside a row still links the cells it gave in that row.
TEST_F(LandscapeTest, ReloadedRouteKeepsNothingOfTheLastAndLinksAPartRow)
{
    tools::LandscapeMaps first = test::SmallMap(40);
    Paint(first, {"33333", "4.4.4"}, 2, 35);
    ASSERT_EQ(test::LoadMaps(first), 1);
    ASSERT_EQ(g_Landscape.m_nRoadCells, 5u);

    tools::LandscapeMaps second = test::SmallMap(40);
    Paint(second, {"3333", "....", "....", "3333333"});
    std::string file = tools::EncodeRouteFile(second.route, 4);
    file.resize((3 * LANDSCAPE_GRID + 5) * ROUTE_RECORD_SIZE);
    ASSERT_TRUE(tools::WriteFileBytes("Data/Landscape/GlobalRoute.dat", file));
    g_Landscape.LoadRoute();
    for (int column = 2; column <= 6; ++column)
        for (int row : {35, 36}) {
            EXPECT_EQ(g_Landscape.Route(column, row).m_nType, 0) << column << ", " << row;
            EXPECT_EQ(g_Landscape.Route(column, row).m_nLinkCount, 0) << column << ", " << row;
        }
    EXPECT_EQ(g_Landscape.m_nRoadCells, 9u);
    EXPECT_EQ(g_Landscape.m_nWalkwayCells, 0u);
    EXPECT_EQ(Links(2, 3), (Cells{{1, 3}, {3, 3}}));
    EXPECT_EQ(Links(4, 3), (Cells{{3, 3}}));
    EXPECT_EQ(g_Landscape.Route(5, 3).m_nType, 0) << "past the end of the file";

    ASSERT_TRUE(tools::WriteFileBytes("Data/Landscape/GlobalRoute.dat", std::string()));
    g_Landscape.LoadRoute();
    EXPECT_EQ(g_Landscape.m_nRoadCells, 0u);
    EXPECT_EQ(g_Landscape.Route(2, 3).m_nType, 0);
    EXPECT_EQ(g_Landscape.Route(1, 0).m_nLinkCount, 0);
}

class SearchTest : public LandscapeTest {
protected:
    Cells Search(int sc, int sr, int gc, int gr, int lo = 3, int hi = 3, int openLimit = 2048)
    {
        std::uint32_t n = 0;
        found = g_Landscape.SearchGrid(sc, sr, gc, gr, cells, &n, lo, hi, openLimit);
        Cells out;
        for (std::uint32_t i = 0; i < n; ++i)
            out.emplace_back(cells[i].column, cells[i].row);
        return out;
    }
    RouteCellPair cells[ROUTE_MAX_POINTS];
    int found = 0;
};

TEST_F(SearchTest, GoldenPathsAroundObstaclesAndThroughTies)
{
    tools::LandscapeMaps m = test::SmallMap(40);
    Paint(m, {
                 "33333333",
                 "33333333",
                 "33300333",
                 "33300333",
                 "33333333",
                 "11111111",
                 "44444444",
             });
    ASSERT_EQ(test::LoadMaps(m), 1);
    // Open ground with equal-cost choices: the heap's tie rules take the
    // diagonal first.
    EXPECT_EQ(Search(0, 0, 2, 2), (Cells{{1, 1}, {2, 2}}));
    EXPECT_EQ(Search(0, 0, 7, 1), (Cells{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}}));
    EXPECT_EQ(Search(0, 1, 5, 4), (Cells{{1, 2}, {2, 3}, {3, 4}, {4, 4}, {5, 4}}));
    // Around the block of type-0 cells: over it and under it cost the same.
    EXPECT_EQ(Search(2, 3, 6, 2), (Cells{{2, 2}, {3, 1}, {4, 1}, {5, 2}, {6, 2}}));
    // With the block passable at a cost, going round is still cheaper.
    EXPECT_EQ(Search(2, 3, 5, 3, 0, 3), (Cells{{3, 4}, {4, 4}, {5, 3}}));
    // The distance estimate ignores diagonals, so the search keeps to the
    // road longer than the cheapest path would.
    EXPECT_EQ(Search(0, 4, 7, 6, 1, 4), (Cells{{1, 4}, {2, 4}, {3, 4}, {4, 4}, {5, 4}, {6, 4}, {7, 5}, {7, 6}}));
    // No path, and an open limit too small for the search.
    EXPECT_TRUE(Search(0, 0, 2, 2, 4, 4).empty());
    EXPECT_EQ(found, 0);
    Search(0, 0, 7, 4, 3, 3, 3);
    EXPECT_EQ(found, 0);
    // Repeated searches reuse the marks without clearing them.
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(Search(0, 0, 2, 2).size(), 2u);
}

// A snake corridor one cell wide: runs along rows 0, 3, 6, ... joined at
// alternate ends. The search cuts each corner diagonally, so the path is the
// corridor without its corner cells.
TEST_F(SearchTest, PathsOf2047StepsFitAnd2048DoNot)
{
    tools::LandscapeMaps m = test::SmallMap(40);
    std::vector<std::pair<int, int>> corridor;
    const int last = 589;
    for (int run = 0; run < 5; ++run) {
        const int row = 3 * run;
        for (int i = 0; i <= last; ++i)
            corridor.emplace_back(run % 2 == 0 ? i : last - i, row);
        const int end = run % 2 == 0 ? last : 0;
        corridor.emplace_back(end, row + 1);
        corridor.emplace_back(end, row + 2);
    }
    for (auto [c, r] : corridor)
        m.SetRoute(c, r, 3, 100);
    ASSERT_EQ(test::LoadMaps(m, 20), 1);
    // Step number of every corridor cell on the searched path.
    std::vector<int> step(corridor.size(), -1);
    int s = 0;
    for (std::size_t i = 1; i < corridor.size(); ++i) {
        const bool corner = i + 1 < corridor.size() && corridor[i - 1].first != corridor[i + 1].first &&
                            corridor[i - 1].second != corridor[i + 1].second;
        if (!corner)
            step[i] = ++s;
    }
    auto cellAt = [&](int wanted) {
        for (std::size_t i = 0; i < step.size(); ++i)
            if (step[i] == wanted)
                return corridor[i];
        return std::make_pair(-1, -1);
    };
    const auto ok = cellAt(2047), tooFar = cellAt(2048);
    const Cells path = Search(0, 0, ok.first, ok.second, 3, 3, 2048);
    ASSERT_EQ(found, 1);
    EXPECT_EQ(path.size(), 2047u);
    EXPECT_EQ(path.back(), ok);
    Search(0, 0, tooFar.first, tooFar.second, 3, 3, 2048);
    EXPECT_EQ(found, 0);
}

TEST_F(LandscapeTest, FindRoutePathSnapsTheGoalAndKeepsToTheLane)
{
    tools::LandscapeMaps m = test::SmallMap(40);
    for (int column = 5; column <= 30; ++column) {
        m.SetRoute(column, 10, 3, 100);
        m.SetRoute(column, 20, 3, 0);
    }
    ASSERT_EQ(test::LoadMaps(m), 1);
    D3DXVECTOR3 points[ROUTE_MAX_POINTS];
    std::uint32_t count = 99;
    const D3DXVECTOR3 from = test::CellCentre(5, 10), offRoad = test::CellCentre(20, 13);
    // The goal off the road moves to the road cell nearest the start within
    // the nearest ring that has any: (17, 10).
    ASSERT_EQ(g_Landscape.FindRoutePath(points, &count, &from, &offRoad, 3, 3, 0, 0, 0, 0.0f, 2048), 1);
    ASSERT_EQ(count, 12u);
    EXPECT_EQ(points[count - 1], test::CellCentre(17, 10) + D3DXVECTOR3(0, 16.0f, 0));
    // The automatic lane offset: 0.2 x the half-width to the right of travel
    // (eastward travel: towards -z): 3.0 on class 100, 1.2 on class 0.
    const struct {
        int row;
        float shift;
    } lanes[] = {{10, 3.0f}, {20, 1.2f}};
    for (const auto& lane : lanes) {
        const D3DXVECTOR3 a = test::CellCentre(5, lane.row), b = test::CellCentre(15, lane.row);
        ASSERT_EQ(g_Landscape.FindRoutePath(points, &count, &a, &b, 3, 3, 0, 0, 0, -1.0f, 2048), 1);
        ASSERT_EQ(count, 10u);
        for (std::uint32_t i = 0; i + 1 < count; ++i) {
            EXPECT_FLOAT_EQ(points[i].z, a.z - lane.shift) << "row " << lane.row << " point " << i;
            EXPECT_FLOAT_EQ(points[i].x, test::CellCentre(6 + static_cast<int>(i), lane.row).x);
        }
    }
    // Same cell, and a goal with no road within 19 cells.
    const D3DXVECTOR3 sameCell = from + D3DXVECTOR3(1.0f, 0, 1.0f);
    EXPECT_EQ(g_Landscape.FindRoutePath(points, &count, &from, &sameCell, 3, 3, 0, 0, 0, 0.0f, 2048), 0);
    EXPECT_EQ(count, 0u);
    const D3DXVECTOR3 farAway = test::CellCentre(39, 39) + D3DXVECTOR3(0, 0, -200.0f);
    EXPECT_EQ(g_Landscape.FindRoutePath(points, &count, &from, &farAway, 4, 4, 0, 0, 0, 0.0f, 2048), 0);
}

// The fly-by camera passes one vector as centre, reference and answer.
TEST_F(LandscapeTest, NearestRoutePointWithOneVectorForAllThree)
{
    tools::LandscapeMaps m = test::SmallMap(40);
    for (int column = 5; column <= 30; ++column)
        m.SetRoute(column, 10, 3, 100);
    ASSERT_EQ(test::LoadMaps(m), 1);
    D3DXVECTOR3 p = test::CellCentre(12, 14);
    ASSERT_EQ(g_Landscape.FindNearestRoutePoint(&p, &p, &p, 3, 3, 20), 1);
    EXPECT_EQ(p, test::CellCentre(12, 10) + D3DXVECTOR3(0, 16.0f, 0));
    D3DXVECTOR3 lost = test::CellCentre(12, 35);
    const D3DXVECTOR3 before = lost;
    EXPECT_EQ(g_Landscape.FindNearestRoutePoint(&lost, &lost, &lost, 3, 3, 20), 0);
    EXPECT_EQ(lost, before);
}

std::vector<D3DXVECTOR3> Line(std::initializer_list<float> xs)
{
    std::vector<D3DXVECTOR3> out;
    for (float x : xs)
        out.emplace_back(x, 0.0f, 0.0f);
    return out;
}

TEST_F(LandscapeTest, PointListOperations)
{
    tools::LandscapeMaps m = test::SmallMap(40);
    ASSERT_EQ(test::LoadMaps(m), 1);
    const struct {
        const char* what;
        std::vector<D3DXVECTOR3> in;
        void (*op)(std::vector<D3DXVECTOR3>&, std::uint32_t&);
        std::vector<D3DXVECTOR3> out;
    } cases[] = {
        {"halve 4 keeps 0, 2, 3", Line({0, 1, 2, 3}),
         [](auto& p, auto& n) { g_Landscape.HalvePath(p.data(), &n); }, Line({0, 2, 3})},
        {"halve 5 keeps 0, 2, 4", Line({0, 1, 2, 3, 4}),
         [](auto& p, auto& n) { g_Landscape.HalvePath(p.data(), &n); }, Line({0, 2, 4})},
        {"halve leaves two points", Line({0, 1}), [](auto& p, auto& n) { g_Landscape.HalvePath(p.data(), &n); },
         Line({0, 1})},
        {"smooth works in place, ends stay", Line({0, 3, 0, 9}),
         [](auto& p, auto& n) { g_Landscape.SmoothPath(p.data(), n, 1); }, Line({0, 1, 10.0f / 3, 9})},
        {"merge a tight triple into its mean", Line({0, 0.3f, 0.6f, 10, 20}),
         [](auto& p, auto& n) { g_Landscape.MergeTightPathPoints(p.data(), &n, 1.0f); }, Line({0.3f, 10, 20})},
        {"merge never takes the last point", Line({0, 10, 10.1f, 10.2f}),
         [](auto& p, auto& n) { g_Landscape.MergeTightPathPoints(p.data(), &n, 1.0f); },
         Line({0, 10, 10.1f, 10.2f})},
        {"merge of a short list reads nothing past it", Line({0, 0.1f, 0.2f}),
         [](auto& p, auto& n) { g_Landscape.MergeTightPathPoints(p.data(), &n, 1.0f); },
         Line({0, 0.1f, 0.2f})},
        {"remove inside", Line({0, 1, 2}),
         [](auto& p, auto& n) { g_Landscape.RemovePathPoint(p.data(), &n, 1); }, Line({0, 2})},
        {"remove past the end", Line({0, 1, 2}),
         [](auto& p, auto& n) { g_Landscape.RemovePathPoint(p.data(), &n, 3); }, Line({0, 1, 2})},
        {"cut corners off the network keeps every point", Line({0, 4, 8}),
         [](auto& p, auto& n) { g_Landscape.CutPathCorners(p.data(), &n, 2, 3, 3); }, Line({0, 4, 8})},
        {"cut corners on open ground leaves the ends", Line({0, 4, 8, 12}),
         [](auto& p, auto& n) { g_Landscape.CutPathCorners(p.data(), &n, 1, 0, 0); }, Line({0, 12})},
    };
    for (const auto& c : cases) {
        // Exactly as long as the list, so that a read past it is caught.
        auto points = std::make_unique<std::vector<D3DXVECTOR3>>(c.in);
        std::uint32_t n = static_cast<std::uint32_t>(points->size());
        c.op(*points, n);
        ASSERT_EQ(n, c.out.size()) << c.what;
        for (std::uint32_t i = 0; i < n; ++i) {
            EXPECT_NEAR((*points)[i].x, c.out[i].x, 1e-5f) << c.what << " point " << i;
            EXPECT_EQ((*points)[i].z, 0.0f) << c.what;
        }
    }
}

class RaceRouteTest : public LandscapeTest {
protected:
    void SetUp() override
    {
        tools::LandscapeMaps m = test::SmallMap(40);
        // A square ring road with its corner cells left out (a corner cell
        // would let the walk turn back into itself), and a dead-end line.
        for (int i = 3; i <= 25; ++i) {
            m.SetRoute(i, 2, 3, 100);
            m.SetRoute(i, 26, 3, 100);
            m.SetRoute(2, i, 3, 100);
            m.SetRoute(26, i, 3, 100);
        }
        for (int column = 2; column <= 37; ++column)
            m.SetRoute(column, 35, 3, 100);
        ASSERT_EQ(test::LoadMaps(m), 1);
        points.reset(new D3DXVECTOR3[ROUTE_MAX_POINTS]);
    }
    std::unique_ptr<D3DXVECTOR3[]> points; // exactly 2048: ASan catches a write past it
    std::uint32_t count = 0;
};

TEST_F(RaceRouteTest, SucceedsOnALoopAndFailsOnShortWalksAndDeadEnds)
{
    const D3DXVECTOR3 onLoop = test::CellCentre(14, 2), onLine = test::CellCentre(20, 35);
    std::srand(3);
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(g_Landscape.MakeRaceRoute(points.get(), &count, &onLoop, 200), 1);
        EXPECT_GE(count, 30u);
    }
    EXPECT_EQ(g_Landscape.MakeRaceRoute(points.get(), &count, &onLoop, 20), 0) << "fewer than 30 cells";
    EXPECT_EQ(g_Landscape.MakeRaceRoute(points.get(), &count, &onLine, 200), 0) << "the line ends";
}

TEST_F(RaceRouteTest, LongWalksStopAtTheListsRoom)
{
    const D3DXVECTOR3 onLoop = test::CellCentre(26, 10), heading = test::CellCentre(26, 0);
    std::srand(5);
    ASSERT_EQ(g_Landscape.MakeRaceRoute(points.get(), &count, &onLoop, 10000), 1);
    EXPECT_LE(count, static_cast<std::uint32_t>(ROUTE_MAX_POINTS));
    // The random road walk closes branches behind it; on a loop it comes
    // round to its start and stops there.
    ASSERT_EQ(g_Landscape.MakeRandomRoadRoute(points.get(), &count, &onLoop, &heading, 3, 3, 10000), 1);
    EXPECT_LE(count, static_cast<std::uint32_t>(ROUTE_MAX_POINTS));
    EXPECT_LE(g_nPathCells, 96u);
}

TEST_F(LandscapeTest, WalkwayWalkRepeatsItsEndAtADeadEnd)
{
    tools::LandscapeMaps m = test::SmallMap(40);
    for (int column = 5; column <= 9; ++column)
        m.SetRoute(column, 5, 4, 0);
    ASSERT_EQ(test::LoadMaps(m), 1);
    D3DXVECTOR3 points[ROUTE_MAX_POINTS];
    std::uint32_t count = 0;
    const D3DXVECTOR3 start = test::CellCentre(5, 5), east = test::CellCentre(30, 5);
    ASSERT_EQ(g_Landscape.MakeRandomWalkwayRoute(points, &count, &start, &east, 4, 4, 10, 0.0f), 1);
    ASSERT_EQ(count, 11u);
    // The walk starts at the walkway cell nearest the start (not its own),
    // heads east and stays at the end once it gets there.
    EXPECT_EQ(g_nPathCells, 11u);
    EXPECT_EQ(g_PathCells[1].column, 7);
    EXPECT_EQ(g_PathCells[10].column, 9);
    EXPECT_EQ(g_PathCells[9].column, 9);
}

} // namespace

namespace {

TEST_F(LandscapeTest, RouteWidthByCellType)
{
    tools::LandscapeMaps m = test::SmallMap(40);
    const struct {
        std::uint8_t type, widthClass;
        float width;
    } cases[] = {{4, 0, 15.0f}, {4, 100, 15.0f}, {3, 0, 6.0f}, {3, 50, 10.5f}, {2, 100, 15.0f}, {1, 100, 0.0f},
                 {0, 100, 0.0f}};
    int column = 2;
    for (const auto& c : cases)
        m.SetRoute(column++, 5, c.type, c.widthClass);
    ASSERT_EQ(test::LoadMaps(m), 1);
    column = 2;
    for (const auto& c : cases) {
        const D3DXVECTOR3 p = test::CellCentre(column++, 5);
        EXPECT_EQ(g_Landscape.GetRouteWidthAt(&p), c.width) << int(c.type) << " class " << int(c.widthClass);
        EXPECT_EQ(g_Landscape.GetRouteCellType(&p), c.type);
    }
    const D3DXVECTOR3 outside(1000.0f, 0, 0);
    EXPECT_EQ(g_Landscape.GetRouteCellType(&outside), 0) << "no clamping";
}

} // namespace
