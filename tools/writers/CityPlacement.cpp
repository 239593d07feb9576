#include "writers/CityPlacement.h"

#include <cmath>
#include <cstddef>
#include <iterator>

namespace tools {

namespace {

constexpr float kGround = 16.0f;

// Street lines of the sample city (world units): the blocks lie between them.
constexpr float kStreetX[] = {-14.0f, 106.0f, 226.0f, 346.0f, 466.0f};
constexpr float kStreetZ[] = {-382.0f, -502.0f, -622.0f, -742.0f, -862.0f, -982.0f, -1102.0f};
constexpr int kBlockColumns = static_cast<int>(std::size(kStreetX)) - 1;
constexpr int kBlockRows = static_cast<int>(std::size(kStreetZ)) - 1;

const char kWorkshop[] = "Data/Static/Buildings/WorkShops/01/Main.obj";
const char kCarShop[] = "Data/Static/Buildings/AvtoShops/01/Main.obj";
const char kRamp[] = "Data/Static/Decors/Ramp01/Main.obj";
const char kLampPost[] = "Data/Static/Props/LampPost01/Main.obj";
const char kBench[] = "Data/Static/Props/Bench01/Main.obj";

// Building kinds from low to high.
const char* const kLow[] = {"Data/Static/Buildings/House02/Main.obj", "Data/Static/Buildings/House01/Main.obj"};
const char* const kMiddle[] = {"Data/Static/Buildings/House01/Main.obj", "Data/Static/Buildings/Block01/Main.obj"};
const char* const kHigh[] = {"Data/Static/Buildings/Block01/Main.obj", "Data/Static/Buildings/Tower01/Main.obj",
                             "Data/Static/Buildings/Tower02/Main.obj"};

// Blocks kept free of plain buildings: the car shop's, the trick ramp's park,
// and the one holding the point (451, -1061).
bool ReservedBlock(int column, int row)
{
    return (column == 2 && row == 2) || (column == 3 && row == 4) || (column == 3 && row == 5);
}

// Downtown is the middle of the grid: the two inner block columns, rows 1..3.
bool Downtown(int column, int row)
{
    return column >= 1 && column <= 2 && row >= 1 && row <= 3;
}

void Add(std::vector<PlacedProp>& out, const char* path, float x, float z, float tx, float tz)
{
    out.push_back({path, x, kGround, z, tx, kGround, tz});
}

// Six buildings per block inside its walkway ring (which runs 6..10 inside
// the street lines): three along the north street, three along the south,
// each facing its street, the middle left open as a yard.
void AddBlockBuildings(std::vector<PlacedProp>& out, int column, int row)
{
    const float x0 = kStreetX[column], z0 = kStreetZ[row];
    const float along[3] = {28.0f, 60.0f, 92.0f};
    int pick = column * 7 + row * 3;
    for (int side = 0; side < 2; ++side) {
        const float z = side == 0 ? z0 - 26.0f : z0 - 94.0f;
        const float facing = side == 0 ? z0 : z0 - 120.0f;
        for (float a : along) {
            const char* path;
            if (Downtown(column, row))
                path = kHigh[pick % std::size(kHigh)];
            else if (column == 0 || row == kBlockRows - 1)
                path = kLow[pick % std::size(kLow)];
            else
                path = kMiddle[pick % std::size(kMiddle)];
            ++pick;
            Add(out, path, x0 + a, z, x0 + a, facing);
        }
    }
}

// A lamp post's arm reaches along its own x axis; it faces the street so
// that x points at the road: the target lies a quarter turn to the left of
// the road direction (rx, rz).
void AddLamp(std::vector<PlacedProp>& out, float x, float z, float rx, float rz)
{
    Add(out, kLampPost, x, z, x - rz, z + rx);
}

// Lamp posts on the kerb edge of the walkway, both sides of every downtown
// street.
void AddDowntownLamps(std::vector<PlacedProp>& out)
{
    const float kerb = 6.6f;
    const float along[3] = {20.0f, 50.0f, 80.0f};
    for (int column = 0; column < kBlockColumns; ++column)
        for (int row = 0; row < kBlockRows; ++row) {
            if (!Downtown(column, row))
                continue;
            const float x0 = kStreetX[column], x1 = kStreetX[column + 1];
            const float z0 = kStreetZ[row], z1 = kStreetZ[row + 1];
            for (float a : along) {
                AddLamp(out, x0 + 10.0f + a, z0 - kerb, 0.0f, 1.0f);
                AddLamp(out, x0 + 10.0f + a, z1 + kerb, 0.0f, -1.0f);
                AddLamp(out, x0 + kerb, z0 - 10.0f - a, -1.0f, 0.0f);
                AddLamp(out, x1 - kerb, z0 - 10.0f - a, 1.0f, 0.0f);
            }
        }
}

} // namespace

std::vector<PlacedProp> SampleCityProps()
{
    std::vector<PlacedProp> props;
    // The workshop north-west of the grid, facing south; its entrance point
    // (local 0, 0.7, 14) lies 14 south of it.
    Add(props, kWorkshop, -68.0f, -336.0f, -68.0f, -386.0f);
    // The car shop facing west towards the x = 226 street.
    Add(props, kCarShop, 290.0f, -690.0f, 240.0f, -690.0f);
    // The trick ramp in the park block, rising to the north.
    Add(props, kRamp, 406.0f, -922.0f, 406.0f, -872.0f);
    // Benches around the park.
    Add(props, kBench, 376.0f, -900.0f, 376.0f, -880.0f);
    Add(props, kBench, 436.0f, -900.0f, 436.0f, -880.0f);
    Add(props, kBench, 376.0f, -950.0f, 376.0f, -970.0f);
    Add(props, kBench, 436.0f, -950.0f, 436.0f, -970.0f);
    for (int column = 0; column < kBlockColumns; ++column)
        for (int row = 0; row < kBlockRows; ++row)
            if (!ReservedBlock(column, row))
                AddBlockBuildings(props, column, row);
    AddDowntownLamps(props);
    return props;
}

} // namespace tools
