// The car record of a save, the figures, and the routes' race queries.
#include "vehicle_fixture.h"

#include "shell/SaveRecord.h"
#include "world/Landscape.h"

#include <climits>
#include <cstring>
#include <limits>
#include <filesystem>

namespace {

using test::VehicleTest;

std::uint32_t U32At(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

float F32At(const std::uint8_t* p)
{
    float v;
    std::memcpy(&v, p, 4);
    return v;
}

void SetRecordFields(CVehicle* car)
{
    std::strcpy(car->m_szName, "Record car");
    car->m_fRemainingDistance = 1.5f;
    car->m_nRacePlace = 3;
    car->m_fRaceValue = 2.5f;
    car->m_fRaceStartDamage = 0.25f;
    const float paint[4] = {0.1f, 0.2f, 0.3f, 1.0f}, paint2[4] = {0.4f, 0.5f, 0.6f, 1.0f};
    std::memcpy(car->m_PaintColor, paint, sizeof(paint));
    std::memcpy(car->m_PaintColor2, paint2, sizeof(paint2));
    car->m_nPaintGloss = 96;
    const std::int32_t levels[4] = {1, 2, 0, 1};
    std::memcpy(car->m_UpgradeLevels, levels, sizeof(levels));
    car->m_fBodyDamage = 0.375f;
    const float wear[4] = {0.125f, 0.25f, 0.5f, 0.0f};
    std::memcpy(car->m_WheelWear, wear, sizeof(wear));
}

TEST_F(VehicleTest, RecordHasEveryFieldInItsPlace)
{
    CVehicle* car = Load();
    SetRecordFields(car);
    car->m_pDeform[2].fAmount = 0.5f;
    CSaveWriter out;
    car->Save(out);
    const std::uint32_t n = car->m_nBodyVertices;
    ASSERT_EQ(out.Size(), VEHICLE_RECORD_BASE_SIZE + n * VEHICLE_RECORD_ITEM_SIZE);
    const std::uint8_t* b = out.Data();
    EXPECT_STREQ(reinterpret_cast<const char*>(b), "Record car");
    const struct {
        std::size_t offset;
        float value;
    } floats[] = {{64, 1.5f},  {72, 2.5f},  {76, 0.25f},   {80, 0.1f},    {92, 1.0f},  {96, 0.4f},
                  {108, 1.0f}, {132, 0.375f}, {136, 0.125f}, {140, 0.25f}, {144, 0.5f}, {148, 0.0f}};
    for (const auto& f : floats)
        EXPECT_EQ(F32At(b + f.offset), f.value) << f.offset;
    const struct {
        std::size_t offset;
        std::uint32_t value;
    } ints[] = {{68, 3}, {112, 96}, {116, 1}, {120, 2}, {124, 0}, {128, 1}, {152, n}};
    for (const auto& i : ints)
        EXPECT_EQ(U32At(b + i.offset), i.value) << i.offset;
    const std::uint8_t* record2 = b + 156 + 2 * 40;
    EXPECT_EQ(std::memcmp(record2, &car->m_pDeform[2], 28), 0) << "positions and amount";
    EXPECT_EQ(std::memcmp(record2 + 28, car->m_pDeform[2].Twins, 8), 0);
    EXPECT_EQ(record2[36], car->m_pDeform[2].nTwins);
    EXPECT_EQ(record2[37] | record2[38] | record2[39], 0);
}

TEST_F(VehicleTest, RecordRoundTripsAndRedentsTheBody)
{
    CVehicle* saved = Load();
    SetRecordFields(saved);
    const std::uint32_t dented = 5;
    saved->m_pDeform[dented].fAmount = 1.0f;
    CSaveWriter out;
    saved->Save(out);

    CVehicle* loaded = Spawned(VEHICLE_PLAYER);
    CSaveReader in(out.Data(), out.Size());
    ASSERT_EQ(loaded->Load(in), 1);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_STREQ(loaded->m_szName, "Record car");
    EXPECT_EQ(loaded->m_nPaintGloss, 96);
    EXPECT_EQ(loaded->m_UpgradeLevels[TRANSMISSION], 2);
    EXPECT_EQ(loaded->m_WheelWear[2], 0.5f);
    EXPECT_EQ(loaded->m_fBodyDamage, 0.375f);
    EXPECT_FLOAT_EQ(loaded->m_fPower, (loaded->m_fBasePower + 200.0f) * (1.0f - 0.375f * 0.5f))
        << "figures follow the loaded levels and damage";
    EXPECT_EQ(loaded->m_bPhysicsActive, 1);

    // The dented vertex and its twins moved to the dented place (with at
    // most 0.025 of crumple on each axis); the group's damage look shows.
    const DeformRecord& r = loaded->m_pDeform[dented];
    std::vector<std::uint32_t> moved = {dented};
    for (int t = 0; t < r.nTwins; ++t)
        moved.push_back(r.Twins[t]);
    for (std::uint32_t v : moved) {
        const D3DXVECTOR3 p = BodyVertex(loaded, v);
        EXPECT_NEAR(p.x, r.vDented.x, 0.026f) << v;
        EXPECT_NEAR(p.y, r.vDented.y, 0.026f) << v;
        EXPECT_NEAR(p.z, r.vDented.z, 0.026f) << v;
        EXPECT_EQ(BodyColour(loaded, v) >> 24, 0xFFu) << "group 0 shows its full dent";
    }
    EXPECT_EQ(BodyVertex(loaded, 100), loaded->m_pDeform[100].vBase) << "undamaged vertices stay";

    // The profile load repairs the car completely after applying the record.
    loaded->RepairBody(1.0f);
    for (std::uint32_t v : moved) {
        EXPECT_EQ(BodyVertex(loaded, v), loaded->m_pDeform[v].vBase) << v;
        EXPECT_EQ(loaded->m_pDeform[v].fAmount, 0.0f);
        EXPECT_EQ(BodyColour(loaded, v) >> 24, 0u);
    }
    EXPECT_EQ(loaded->m_fBodyDamage, 0.0f);
    EXPECT_EQ(loaded->m_WheelWear[2], 0.0f);
}

TEST_F(VehicleTest, RecordsThatDoNotFitAreSkippedWholeAndTheMeshKept)
{
    CVehicle* source = Load();
    const std::uint32_t n = source->m_nBodyVertices;
    source->m_pDeform[0].fAmount = 1.0f;
    CSaveWriter good;
    source->Save(good);
    const std::string bytes(reinterpret_cast<const char*>(good.Data()), good.Size());
    const auto withCount = [&](std::uint32_t count) {
        std::string s = bytes.substr(0, 152);
        for (int i = 0; i < 4; ++i)
            s.push_back(static_cast<char>((count >> (8 * i)) & 0xFF));
        s += bytes.substr(156, std::min<std::size_t>(count, n) * 40);
        s.resize(156 + std::size_t{count} * 40, '\0');
        return s;
    };
    std::string fiveTwins = bytes;
    fiveTwins[156 + 36] = 5;
    std::string farTwin = bytes;
    farTwin[156 + 36] = 1;
    farTwin[156 + 28] = static_cast<char>(n & 0xFF);
    farTwin[156 + 29] = static_cast<char>(n >> 8);
    const struct {
        const char* name;
        std::string record;
    } cases[] = {
        {"fewer records", withCount(n - 1)},
        {"more records", withCount(n + 1)},
        {"no records", withCount(0)},
        {"five twins", fiveTwins},
        {"twin past the vertices", farTwin},
    };
    for (const auto& c : cases) {
        CVehicle* car = Load();
        const DeformRecord* records = car->m_pDeform;
        const D3DXVECTOR3 first = BodyVertex(car, 0);
        CSaveReader in(reinterpret_cast<const std::uint8_t*>(c.record.data()), c.record.size());
        EXPECT_EQ(car->Load(in), 1) << c.name;
        EXPECT_EQ(in.Remaining(), 0u) << c.name << ": the records are consumed";
        EXPECT_EQ(car->m_pDeform, records) << c.name;
        EXPECT_EQ(car->m_pDeform[0].fAmount, 0.0f) << c.name;
        EXPECT_EQ(BodyVertex(car, 0), first) << c.name;
    }

    // A record cut short is no record.
    for (std::size_t size : {std::size_t{10}, std::size_t{155}, bytes.size() - 1}) {
        CVehicle* car = Load();
        CSaveReader in(reinterpret_cast<const std::uint8_t*>(bytes.data()), size);
        EXPECT_EQ(car->Load(in), 0) << size;
    }
}

TEST_F(VehicleTest, CarWithoutBodyTakesTheRecordFieldsOnly)
{
    CVehicle source;
    SetRecordFields(&source);
    CSaveWriter out;
    source.Save(out);
    ASSERT_EQ(out.Size(), VEHICLE_RECORD_BASE_SIZE);
    CVehicle* car = Spawned(VEHICLE_PLAYER);
    std::filesystem::remove("Data/Vehicles/02/MainExtra.dat");
    CVehicle* bare = Load("Data/Vehicles/02/Main.obj");
    ASSERT_EQ(bare->m_pBodyVB, nullptr);
    for (CVehicle* c : {car, bare}) {
        CSaveReader in(out.Data(), out.Size());
        EXPECT_EQ(c->Load(in), 1);
        EXPECT_EQ(c->m_nPaintGloss, 96);
        EXPECT_EQ(c->m_PaintColor2[1], 0.5f);
    }
}

// A crafted save must not carry a car past what the game can make of it:
// the workshop sells levels up to 3, damage, wear and paint lie in 0..1.
TEST_F(VehicleTest, ACraftedRecordIsHeldToWhatTheGameProduces)
{
    CVehicle* source = Load();
    SetRecordFields(source);
    CSaveWriter good;
    source->Save(good);
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto patched = [&](std::size_t offset, const void* value) {
        std::string s(reinterpret_cast<const char*>(good.Data()), good.Size());
        std::memcpy(s.data() + offset, value, 4);
        return s;
    };
    const std::int32_t huge = 100000000, most = INT_MAX, least = INT_MIN;
    const struct {
        const char* what;
        std::size_t offset;
        const void* value;
    } cases[] = {
        {"engine level 1e8", 116, &huge},
        {"chassis level 2^31-1", 124, &most},
        {"tires level -2^31", 128, &least},
        {"damage +inf", 132, &inf},
        {"damage nan", 132, &nan},
        {"wear +inf", 136, &inf},
        {"wear nan", 148, &nan},
        {"paint nan", 80, &nan},
        {"gloss -2^31", 112, &least},
        {"race place 2^31-1", 68, &most},
        {"race start damage nan", 76, &nan},
    };
    CVehicle* player = Spawned(VEHICLE_PLAYER);
    g_pPlayerVehicle = player;
    for (const auto& c : cases) {
        const std::string record = patched(c.offset, c.value);
        CSaveReader in(reinterpret_cast<const std::uint8_t*>(record.data()), record.size());
        ASSERT_EQ(player->Load(in), 1) << c.what;
        for (int level : player->m_UpgradeLevels) {
            EXPECT_GE(level, 0) << c.what;
            EXPECT_LE(level, VEHICLE_UPGRADE_LEVEL_MAX) << c.what;
        }
        for (float v : {player->m_fBodyDamage, player->m_WheelWear[0], player->m_WheelWear[3], player->m_PaintColor[0]}) {
            EXPECT_GE(v, 0.0f) << c.what;
            EXPECT_LE(v, 1.0f) << c.what;
        }
        EXPECT_GE(player->m_nPaintGloss, 0) << c.what;
        EXPECT_LE(player->m_nRacePlace, 8) << c.what;
        EXPECT_TRUE(player->m_fRaceStartDamage >= 0.0f && player->m_fRaceStartDamage <= 100.0f) << c.what;
        const int rating = player->GetPerformanceRating(1, 1);
        EXPECT_GT(rating, 0) << c.what;
        EXPECT_LT(rating, 100000) << c.what << ": a sample car at the top levels";
        EXPECT_GE(player->GetRepairPrice(1), 0) << c.what;

        // A rival is given the player's levels plus the race level.
        CVehicle* rival = Spawned(VEHICLE_RIVAL, "Data/Vehicles/05/Main.obj");
        for (int level : rival->m_UpgradeLevels) {
            EXPECT_GE(level, 0) << c.what;
            EXPECT_LE(level, VEHICLE_UPGRADE_LEVEL_MAX + 4) << c.what;
        }
    }
    g_pPlayerVehicle = nullptr;
}

// The rating of any figures, however large or broken, stays an int: a car
// description with a power of 1e12 must not wrap to a negative price.
TEST_F(VehicleTest, RatingStopsAtTheIntRangeForAnyPower)
{
    CVehicle* car = Load();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float power;
        int rating;
    } cases[] = {
        {1e12f, INT_MAX},
        {inf, INT_MAX},
        {-1e12f, INT_MIN},
        {-inf, INT_MIN},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::max(), INT_MAX},
    };
    for (const auto& c : cases) {
        car->m_fBasePower = c.power;
        EXPECT_EQ(car->GetPerformanceRating(1, 1), c.rating) << c.power;
        const int price = car->GetRepairPrice(1);
        EXPECT_GE(price, 0) << c.power;
    }
    car->m_fBasePower = 1e12f;
    car->m_fBodyDamage = 1.0f;
    EXPECT_EQ(car->GetPerformanceRating(0, 1), INT_MAX);
    EXPECT_EQ(car->GetPerformanceRating(1, 1), INT_MAX);
    EXPECT_EQ(car->GetRepairPrice(1), 0) << "both ratings stop at the same end";
}

// Figures -------------------------------------------------------------------

TEST_F(VehicleTest, FiguresFollowTheLevelsAndTheDamage)
{
    CVehicle* car = Load();
    const float power = car->m_fBasePower;
    const struct {
        int level[4];
        float power, transmission, handling, frontGrip, ride;
    } cases[] = {
        {{0, 0, 0, 0}, 0, 0, 0, 0, 0},
        {{1, 0, 0, 0}, 200, 0, 0, 0, 0},
        {{2, 0, 0, 0}, 400, 0, 0, 0, 0},
        {{0, 2, 0, 0}, 0, 0.4f, 0, 0, 0},
        {{0, 0, 1, 0}, 0, 0, 0.1f, 0, 0.25f},
        {{0, 0, 0, 2}, 0, 0, 0.2f, 0.4f, 0},
    };
    for (const auto& c : cases) {
        std::memcpy(car->m_UpgradeLevels, c.level, sizeof(c.level));
        car->UpdatePerformance(1, 1);
        EXPECT_FLOAT_EQ(car->m_fPower, power + c.power);
        EXPECT_FLOAT_EQ(car->m_fTopSpeedFigure, (power + c.power) * 0.06f);
        EXPECT_FLOAT_EQ(car->m_fTransmission, car->m_fBaseTransmission + c.transmission);
        EXPECT_FLOAT_EQ(car->m_fHandling, car->m_fBaseHandling + c.handling);
        EXPECT_FLOAT_EQ(car->m_fFrontGrip, car->m_fBaseFrontGrip + c.frontGrip);
        EXPECT_FLOAT_EQ(car->m_fRideHeightBonus, c.ride);
    }
    std::memset(car->m_UpgradeLevels, 0, sizeof(car->m_UpgradeLevels));
    EXPECT_EQ(car->GetRepairPrice(1), 0) << "an undamaged car";

    car->m_fBodyDamage = 1.0f;
    car->m_nDrivenAxle = 1;
    const float wear[4] = {0.5f, 0.5f, 1.0f, 0.0f};
    std::memcpy(car->m_WheelWear, wear, sizeof(wear));
    car->UpdatePerformance(0, 1);
    EXPECT_FLOAT_EQ(car->m_fPower, power) << "p = 0 ignores damage";
    car->UpdatePerformance(1, 1);
    EXPECT_FLOAT_EQ(car->m_fPower, power * 0.5f);
    EXPECT_FLOAT_EQ(car->m_fTopSpeedFigure, power * 0.03f);
    EXPECT_FLOAT_EQ(car->m_fTransmission, car->m_fBaseTransmission * (0.7f - 0.1f));
    EXPECT_FLOAT_EQ(car->m_fHandling, car->m_fBaseHandling * 0.75f);
    EXPECT_FLOAT_EQ(car->m_fRearGrip, car->m_fBaseRearGrip * 0.75f);
    const int rating = car->GetPerformanceRating(1, 1);
    EXPECT_EQ(rating, static_cast<int>((car->m_fTransmission + car->m_fHandling +
                                        (car->m_fFrontGrip + car->m_fRearGrip) / 4) *
                                       car->m_fTopSpeedFigure * 20));
    EXPECT_EQ(car->GetRepairPrice(1), static_cast<int>((car->GetPerformanceRating(0, 1) - rating) * 0.2));
    EXPECT_GT(car->GetRepairPrice(1), 0);
    EXPECT_FLOAT_EQ(car->m_fPower, power * 0.5f) << "the damaged figures stay";
}

// Trading must be possible but earned: the first car (02) is cheap enough
// that the damage the new game leaves on it costs less than the starting
// 1,000 to repair, and every other model costs more than that car is worth
// plus the starting money.
TEST_F(VehicleTest, SampleModelsPriceTheFirstCarBelowTheOthers)
{
    for (int model = 1; model <= 8; ++model) {
        const std::string path = "Data/Vehicles/0" + std::to_string(model) + "/Main.obj";
        CVehicle* car = Load(path.c_str());
        const int rating = car->GetPerformanceRating(1, 1);
        if (model != 2) {
            EXPECT_GE(rating, 10500) << path;
            EXPECT_LE(rating, 20000) << path;
            continue;
        }
        EXPECT_NEAR(rating, 8700, 150);
        // As the new game leaves it: engine damage and every wheel's wear 0.5.
        car->m_fBodyDamage = 0.5f;
        for (float& wear : car->m_WheelWear)
            wear = 0.5f;
        const int worn = car->GetPerformanceRating(1, 1);
        EXPECT_NEAR(worn, 4850, 100);
        EXPECT_NEAR(car->GetRepairPrice(1), 770, 30);
        EXPECT_LT(car->GetRepairPrice(1), 1000);
        EXPECT_LT(worn + 1000, 10500) << "no trade straight after the introduction";
    }
}

TEST_F(VehicleTest, NewRideHeightMovesEveryWheelAndKeepsTheBodyInTheWorld)
{
    for (int active : {0, 1}) {
        CVehicle* car = Spawned(VEHICLE_PLAYER);
        car->SetPhysicsActive(active);
        btRigidBody* body = car->m_pRigidBody;
        float before[4];
        for (int i = 0; i < 4; ++i)
            before[i] = car->m_pRaycastVehicle->getWheelInfo(i).m_chassisConnectionPointCS.y();
        car->m_UpgradeLevels[CHASSIS] = 2;
        car->UpdatePerformance(1, 1);
        car->UpdatePhysicsProperties();
        const float minY = std::fabs(car->m_pMesh->m_pBoxes[VEHICLE_MESH_COLLISION_PART][0].vMin.y);
        const float rise = (0.5f + 0.5f) * minY - 0.5f * minY;
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(car->m_pRaycastVehicle->getWheelInfo(i).m_chassisConnectionPointCS.y(), before[i] + rise,
                        1e-5f);
        EXPECT_EQ(car->m_pRigidBody, body);
        EXPECT_EQ(body->getCollisionShape(), car->m_pChassisShape);
        EXPECT_EQ(car->m_bPhysicsActive, 1) << active;
        EXPECT_TRUE(g_Game.m_pDynamicsWorld->getCollisionObjectArray().findLinearSearch(body) <
                    g_Game.m_pDynamicsWorld->getNumCollisionObjects());
    }
}

// Route queries -------------------------------------------------------------

TEST_F(VehicleTest, NearestRouteIndexWalksForwardWhileTheDistanceFalls)
{
    CVehicle car;
    for (int i = 0; i < 10; ++i)
        car.m_Route[i] = D3DXVECTOR3(float(i) * 10.0f, 0, 0);
    const D3DXVECTOR3 at(42, 0, 0);
    const struct {
        std::uint32_t count, index;
        int expected;
    } cases[] = {
        {0, 0, -1},  // no route
        {1, 0, -1},  // nothing to visit below count - 1
        {10, 0, 4},  // distances fall to point 4, then rise
        {10, 6, 6},  // the first visited point is the best
        {10, 8, 8},  // the last point that may be visited
        {10, 9, -1}, // at count - 1: nothing
        {10, 50, -1},
        {6, 0, 4},   // the distances fall all the way: the last visited
    };
    for (const auto& c : cases) {
        car.m_nRoutePoints = c.count;
        car.m_nRouteIndex = c.index;
        EXPECT_EQ(car.FindNearestRouteIndex(&at), c.expected) << c.count << " " << c.index;
    }
}

TEST_F(VehicleTest, RemainingDistanceCountsTheCellsLeft)
{
    CVehicle car;
    for (int i = 0; i < 20; ++i)
        car.m_Route[i] = D3DXVECTOR3(0, 0, float(i) * 10.0f);
    const float cell = g_Landscape.m_fCellSize;
    const struct {
        std::uint32_t points, index;
        float expected;
    } cases[] = {
        {0, 0, 0.0f}, {4, 0, 0.0f}, {20, 16, 0.0f}, {20, 15, 0.0f + 150.0f}, {20, 3, 12 * cell + 30.0f},
    };
    for (const auto& c : cases) {
        g_VehicleManager.m_nRaceRoutePoints = c.points;
        car.m_nRouteIndex = c.index;
        car.UpdateRemainingDistance();
        EXPECT_FLOAT_EQ(car.m_fRemainingDistance, c.expected) << c.points << " " << c.index;
    }
    g_VehicleManager.m_nRaceRoutePoints = 0;
}

TEST_F(VehicleTest, SetAIStateKeepsTimersWhenTheStateStays)
{
    CVehicle car;
    car.SetAIState(3);
    car.m_fStuckTimer = 1.5f;
    car.m_fPoliceVoiceTimer = 2.0f;
    car.SetAIState(3);
    EXPECT_EQ(car.m_fStuckTimer, 1.5f);
    EXPECT_EQ(car.m_nPrevAIState, 3);
    car.SetAIState(5);
    EXPECT_EQ(car.m_fStuckTimer, 0.0f);
    EXPECT_EQ(car.m_fPoliceVoiceTimer, 2.0f);
    EXPECT_EQ(car.m_nPrevAIState, 3);
    EXPECT_EQ(car.m_nAIState, 5);
}

} // namespace
