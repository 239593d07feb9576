// Whole plays of a continued career with a scripted player at the keys: a
// taxi fare from a waiting passenger to the landing point, and a street race
// from its offer to the closed result. The chance parts (the passenger, the
// offer's kind) are set up by the play hooks; everything else is the game's
// own doing, read at the tape's end.
#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "platform/InputTape.h"
#include "roadusers/Human.h"
#include "roadusers/RaceInfo.h"
#include "roadusers/RaceOffer.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "support/PlayHooks.h"
#include "support/ScriptedDriver.h"
#include "support/TapePlay.h"
#include "world/Landscape.h"
#include "world/RouteCell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

namespace {

using test::g_TapeEnd;
using test::PlayTape;

const unsigned kSettleFrames = 10;
const float kShortRide = 450.0f; // metres of road
const int kStartApproach = 5;     // race route points before the board

D3DXVECTOR3 s_Route[test::DRIVER_MAX_POINTS];

D3DXVECTOR3 Ahead(const CVehicle& car, float metres)
{
    const test::CarView view = test::ViewOf(car);
    return view.position + view.forward * metres;
}

// The road route from the car to `goal` with `goal` itself as its last point;
// the count, 0 without a route.
int RouteTo(const D3DXVECTOR3& goal)
{
    const int count = test::PlanRoadRoute(g_pPlayerVehicle->m_vPosition, goal, s_Route, test::DRIVER_MAX_POINTS - 1);
    if (count > 0)
        s_Route[count] = goal;
    return count > 0 ? count + 1 : 0;
}

// Steps the driver until `reached`, then lets its keys go; true once reached.
bool DriveUntil(bool reached, test::ScriptedDriver& driver, HWND window)
{
    if (reached)
        driver.Halt(window);
    else
        driver.Step(window);
    return reached;
}

// The play is over: the tape ends a few frames on. The frame it was over.
unsigned Finish(unsigned frame)
{
    plat::EndTapeAt(frame + kSettleFrames);
    return frame;
}

// A step the play cannot take: the tape ends now.
void Abandon(unsigned frame, const char* why)
{
    ADD_FAILURE() << why;
    plat::EndTapeAt(frame);
}

// Where a play that did not finish stood at the tape's end.
std::string StoppedAt(const char* stage, const test::ScriptedDriver& driver)
{
    std::ostringstream out;
    out << "stopped at: " << stage << ", driver at point " << driver.NextPoint() << " of " << driver.PointCount()
        << ", car at (" << g_TapeEnd.carPosition.x << ", " << g_TapeEnd.carPosition.z << ")";
    return out.str();
}

// The taxi's steps, in order.
enum TaxiStage { TAXI_WAIT, TAXI_TO_PASSENGER, TAXI_OFFER, TAXI_BOARDING, TAXI_TO_LANDING, TAXI_DELIVERY, TAXI_DONE };
const char* const kTaxiStages[] = {"waiting for control", "driving to the passenger", "answering the offer",
                                   "boarding",            "driving to the landing",   "delivering",
                                   "done"};

// The player drives up to a passenger waiting at the kerb, takes the ride,
// drives to the landing point and stops there: the fare still running at the
// delivery is booked, the passenger gets out and free driving goes on.
TEST_F(PlayTape, TaxiFareIsBookedWhenThePassengerIsDelivered)
{
    TaxiStage stage = TAXI_WAIT;
    test::ScriptedDriver driver;
    test::KeyTapper keys;
    int moneyBefore = 0, earningsBefore = 0;
    float offered = 0.0f, lastFare = -1.0f;
    unsigned doneAt = 0;
    m_script = [&](unsigned frame, HWND window) {
        keys.Step(window);
        if (g_TaxiJob.m_bOnBoard)
            lastFare = g_TaxiJob.m_fFare;
        switch (stage) {
        case TAXI_WAIT: {
            if (!test::PlayerInControl())
                return;
            const CVehicle& car = *g_pPlayerVehicle;
            const CHuman* passenger = test::SpawnWaitingPassenger(Ahead(car, 25.0f), kShortRide);
            if (!passenger) {
                Abandon(frame, "no waiting passenger could be set up");
                stage = TAXI_DONE;
                return;
            }
            // Beside the passenger on the road side, near enough to be seen.
            const D3DXVECTOR3 at = passenger->m_vGround;
            const RouteCell* road = g_Landscape.FindNearestRouteCell(ROUTE_ROAD, &at, 5);
            D3DXVECTOR3 roadward = road ? road->m_vPosition - at : car.m_vPosition - at;
            roadward.y = 0.0f;
            const float across = std::max(std::hypot(roadward.x, roadward.z), 0.01f);
            const float gap = std::min(3.0f, 1.5f * car.m_fSphereRadius - 2.0f);
            s_Route[0] = at + roadward * (gap / across);
            driver.m_fArriveReach = 1.5f;
            driver.Follow(s_Route, 1, true);
            moneyBefore = g_PlayerStats.m_nMoney;
            earningsBefore = g_PlayerStats.m_nEarningsTotal;
            offered = g_TaxiJob.m_fOfferedFare;
            stage = TAXI_TO_PASSENGER;
            return;
        }
        case TAXI_TO_PASSENGER:
            if (DriveUntil(g_GameInterface.m_PopupMenuPanel.m_nPopupMode == POPUP_TAXI_OFFER, driver, window))
                stage = TAXI_OFFER;
            return;
        case TAXI_OFFER:
            // The offer opens on "let him walk": one step up is the ride.
            if (g_GameInterface.m_PopupMenuPanel.m_fPopupFade < 1.0f)
                return;
            keys.Tap(VK_UP);
            keys.Tap(VK_RETURN);
            stage = TAXI_BOARDING;
            return;
        case TAXI_BOARDING: {
            if (!g_TaxiJob.m_bOnBoard || !test::PlayerInControl())
                return;
            // The passenger's greeting stops the world until read and closed.
            if (g_GameInterface.m_bMessageVisible) {
                if (keys.Idle() && g_GameInterface.m_fMessageFade >= 1.0f)
                    keys.Tap(VK_RETURN);
                return;
            }
            const int count = RouteTo(g_TaxiJob.m_vLandingPoint);
            if (!count) {
                Abandon(frame, "no road route to the landing point");
                stage = TAXI_DONE;
                return;
            }
            driver.m_fArriveReach = 1.5f * g_pPlayerVehicle->m_fSphereRadius - 1.0f;
            driver.m_fCruiseKmh = 60.0f;
            driver.Follow(s_Route, count, true);
            stage = TAXI_TO_LANDING;
            return;
        }
        case TAXI_TO_LANDING:
            if (DriveUntil(g_CityLogic.m_nScene == SCENE_PASSENGER_OUT, driver, window))
                stage = TAXI_DELIVERY;
            return;
        case TAXI_DELIVERY:
            if (g_CityLogic.m_nScene == SCENE_IDLE) {
                doneAt = Finish(frame);
                stage = TAXI_DONE;
            }
            return;
        case TAXI_DONE:
            return;
        }
    };
    ASSERT_TRUE(Play("drive_sample.tape"));
    ASSERT_NE(doneAt, 0u) << "the ride " << StoppedAt(kTaxiStages[stage], driver);
    EXPECT_GT(offered, 0.0f);
    EXPECT_GT(lastFare, 0.0f) << "the fare falls with the ride's time but not to nothing on a short ride";
    EXPECT_LT(lastFare, offered);
    // The booking takes the whole dollars of the fare one frame after the
    // last one seen on board, the fare having fallen 3.5 $/s over the tape's
    // 20 ms step: up to a dollar and that fall below the last one seen.
    const int booked = g_TapeEnd.money - moneyBefore;
    const float lastFrameFall = 3.5f * 0.02f;
    EXPECT_LE(static_cast<float>(booked), lastFare) << "the fare is booked";
    EXPECT_GT(static_cast<float>(booked), lastFare - lastFrameFall - 1.0f) << "the fare is booked";
    EXPECT_EQ(g_TapeEnd.earnings - earningsBefore, g_TapeEnd.money - moneyBefore);
    EXPECT_EQ(g_TapeEnd.scene, SCENE_IDLE);
    EXPECT_EQ(g_TapeEnd.passengerOnBoard, 0);
    EXPECT_LT(g_TapeEnd.carDamage, 0.25f) << "no crash on the way";
}

// The race's steps, in order.
enum RaceStage { RACE_WAIT, RACE_TO_START, RACE_OFFER, RACE_GRID, RACE_DRIVE, RACE_RESULT, RACE_CLOSING, RACE_DONE };
const char* const kRaceStages[] = {"waiting for control", "driving to the start", "answering the offer",
                                   "on the grid",         "racing",               "reading the result",
                                   "closing the result",  "done"};

// What the race showed at its end, before the booking clears it.
struct RaceEnd {
    int place = -9;
    int level = -1;
    int gridSize = 0;
    float clock = 0.0f;
    float limits[3] = {};
    int reward = 0;
    int points = -1;
};

class PlayRace : public PlayTape, public ::testing::WithParamInterface<int> {};

// The player stops at the offer's board, accepts by the panel's key, drives
// the race route and closes the result with a key: the place the race gave
// is the result's, and the result's reward and rating points are booked.
TEST_P(PlayRace, RaceFromTheOfferToTheBookedResult)
{
    const int timeRace = GetParam();
    RaceStage stage = RACE_WAIT;
    test::ScriptedDriver driver;
    test::KeyTapper keys;
    RaceEnd end;
    int moneyBefore = 0, pointsBefore = 0, placedBefore = 0;
    unsigned doneAt = 0, resultFrames = 0;
    auto fail = [&](unsigned frame, const char* why) {
        Abandon(frame, why);
        stage = RACE_DONE;
    };
    // A notice that opens on the way (a pedestrian brushed, the police
    // alerted) stops the world until it times out: the player reads it and
    // closes it by a key, then drives on. True while one is up.
    auto readNotice = [&]() {
        if (!g_GameInterface.m_bMessageVisible)
            return false;
        if (keys.Idle() && g_GameInterface.m_fMessageFade >= 1.0f)
            keys.Tap(VK_RETURN);
        return true;
    };
    m_script = [&](unsigned frame, HWND window) {
        keys.Step(window);
        switch (stage) {
        case RACE_WAIT: {
            if (!test::PlayerInControl())
                return;
            D3DXVECTOR3 start;
            if (!test::OfferRace(timeRace) || !GetRaceStartPoint(&start))
                return fail(frame, "no race of the kind could be offered");
            // Up the race's own route to beside the board, so that the car
            // comes to the start point along the road and not through the board.
            int count = RouteTo(g_VehicleManager.m_RaceRoute[0]);
            if (!count)
                return fail(frame, "no road route to the race's start");
            for (int i = 1; i < kStartApproach && count < test::DRIVER_MAX_POINTS - 1; ++i)
                s_Route[count++] = g_VehicleManager.m_RaceRoute[i];
            s_Route[count++] = start;
            driver.m_fArriveReach = 2.0f;
            driver.Follow(s_Route, count, true);
            stage = RACE_TO_START;
            return;
        }
        case RACE_TO_START:
            if (readNotice())
                return;
            if (DriveUntil(g_CityLogic.m_nScene == SCENE_RACE_START, driver, window))
                stage = RACE_OFFER;
            return;
        case RACE_OFFER:
            // The offer opens on "accept".
            if (!g_GameInterface.m_RaceOfferPanel.m_bRaceOfferOpen ||
                g_GameInterface.m_RaceOfferPanel.m_fRaceOfferFade < 1.0f)
                return;
            keys.Tap(VK_RETURN);
            stage = RACE_GRID;
            return;
        case RACE_GRID: {
            if (g_CityLogic.m_nScene == SCENE_IDLE && !g_VehicleManager.m_bRaceRunning)
                return fail(frame, "the offer was not taken up");
            if (!g_VehicleManager.m_bRaceRunning || !test::PlayerInControl())
                return;
            const CVehicle& car = *g_pPlayerVehicle;
            moneyBefore = g_PlayerStats.m_nMoney;
            pointsBefore = g_PlayerStats.m_nRatingPoints;
            placedBefore = g_PlayerStats.m_nRacesPlaced;
            end.gridSize = g_RaceInfo.m_nGridSize;
            driver.m_fCruiseKmh = 60.0f;
            driver.Follow(car.m_Route, int(car.m_nRoutePoints), false);
            stage = RACE_DRIVE;
            return;
        }
        case RACE_DRIVE:
            if (readNotice())
                return;
            if (!DriveUntil(g_CityLogic.m_nScene == SCENE_RACE_END, driver, window))
                return;
            end.place = g_pPlayerVehicle->m_nRacePlace;
            end.level = g_RaceInfo.m_nLevel;
            end.clock = g_RaceInfo.m_fClock;
            for (int i = 0; i < 3; ++i)
                end.limits[i] = g_RaceInfo.m_fTimeLimit[i];
            stage = RACE_RESULT;
            return;
        case RACE_RESULT:
            // Read for a second, then closed by a key.
            if (!g_GameInterface.m_RaceResultPanel.m_bRaceResultOpen || ++resultFrames < 50)
                return;
            end.reward = g_GameInterface.m_RaceResultPanel.m_nResultReward;
            end.points = g_GameInterface.m_RaceResultPanel.m_nResultPoints;
            EXPECT_EQ(g_GameInterface.m_RaceResultPanel.m_nResultPlace, end.place)
                << "the result shows the race's place";
            keys.Tap(VK_RETURN);
            stage = RACE_CLOSING;
            return;
        case RACE_CLOSING:
            if (g_CityLogic.m_nScene == SCENE_IDLE) {
                doneAt = Finish(frame);
                stage = RACE_DONE;
            }
            return;
        case RACE_DONE:
            return;
        }
    };
    ASSERT_TRUE(Play("drive_sample.tape"));
    ASSERT_NE(doneAt, 0u) << "the race " << StoppedAt(kRaceStages[stage], driver);
    if (timeRace) {
        EXPECT_EQ(end.place, TimeRacePlace(end.clock, end.limits)) << "clock " << end.clock;
    } else {
        EXPECT_GE(end.place, 0) << "the player finished";
        EXPECT_LT(end.place, end.gridSize);
    }
    const bool placed = end.place >= 0 && end.place <= 2;
    EXPECT_EQ(g_TapeEnd.money - moneyBefore, end.reward) << "the result's reward is booked";
    EXPECT_EQ(g_TapeEnd.ratingPoints - pointsBefore, end.points) << "the result's rating points are booked";
    EXPECT_EQ(end.points > 0, placed) << "rating points for a place on the podium only";
    EXPECT_EQ(g_TapeEnd.racesPlaced - placedBefore, placed ? 1 : 0);
    EXPECT_EQ(g_TapeEnd.scene, SCENE_IDLE);
    EXPECT_EQ(g_TapeEnd.raceRunning, 0);
    EXPECT_EQ(g_TapeEnd.raceResultOpen, 0);
    EXPECT_EQ(g_TapeEnd.raceResultBooked, 1);
    // The scripted driver brushes kerbs and rivals may bump it: dented, not wrecked.
    EXPECT_LT(g_TapeEnd.carDamage, 0.5f);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PlayRace, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& c) {
                             return c.param ? "TimeRace" : "AgainstRivals";
                         });

} // namespace
