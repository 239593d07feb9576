#include "writers/CityPlacement.h"

namespace tools {

std::vector<PlacedProp> SampleCityProps()
{
    return {};
}

} // namespace tools
