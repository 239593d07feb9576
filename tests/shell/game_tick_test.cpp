// The order in which the game object calls its managers during a tick.
#include "game/GameMenu.h"
#include "graphics/D3DRender.h"
#include "platform/Win32Time.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"
#include "support/HeadlessDevice.h"

#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> s_steps;

void Record(const char* step)
{
    s_steps.push_back(step);
}

bool Has(const char* step)
{
    return std::find(s_steps.begin(), s_steps.end(), step) != s_steps.end();
}

bool HasPrefix(const char* prefix)
{
    return std::any_of(s_steps.begin(), s_steps.end(), [prefix](const std::string& s) { return s.rfind(prefix, 0) == 0; });
}

long IndexOf(const char* step)
{
    auto it = std::find(s_steps.begin(), s_steps.end(), step);
    return it == s_steps.end() ? -1 : static_cast<long>(it - s_steps.begin());
}

class GameTickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetFakeClock(5000);
        g_bActive = 1;
        g_bInGame = 1;
        g_GameMenu.m_bOpen = 0;
        ASSERT_NE(device.Get(), nullptr);
        g_D3DRender.m_pDevice = device.Get();
        ASSERT_EQ(game.Init(), 1);
        s_steps.clear();
        g_pGameStepObserver = Record;
    }
    void TearDown() override
    {
        g_pGameStepObserver = nullptr;
        game.Release();
        g_D3DRender.m_pDevice = nullptr;
        plat::UseRealClock();
        g_bInGame = 0;
        g_GameMenu.m_bOpen = 0;
    }
    void Tick(DWORD ms)
    {
        plat::AdvanceFakeClock(ms);
        s_steps.clear();
        game.Tick();
    }
    test::HeadlessDevice device;
    CGame game;
};

TEST_F(GameTickTest, RunningGameUpdatesInOrderAndPresents)
{
    Tick(20);
    const char* order[] = {"g_GameTimer.Update()",       "RenderWorld()",           "g_GameMenu.Render()",
                           "g_GameInterface.Render()",   "StepPhysics()",           "g_GameInterface.Update()",
                           "g_GameMenu.Update()",        "g_Sky.Update()",          "g_Landscape.Update()",
                           "g_CityLogic.Update()",       "g_D3DRender.PresentFrame()", "g_AudioManager.Update()"};
    long last = -1;
    for (const char* step : order) {
        const long at = IndexOf(step);
        EXPECT_GT(at, last) << step;
        last = at;
    }
}

TEST_F(GameTickTest, PauseDrawsButUpdatesNothing)
{
    g_GameTimer.Pause();
    Tick(20);
    EXPECT_TRUE(Has("g_GameInterface.Render()"));
    EXPECT_TRUE(Has("g_D3DRender.PresentFrame()"));
    for (const char* step : {"StepPhysics()", "g_GameMenu.Update()", "g_CityLogic.Update()",
                             "g_Landscape.UpdateSectorVisibility()"})
        EXPECT_FALSE(Has(step)) << step;
    g_GameTimer.Resume();
}

TEST_F(GameTickTest, OpenMenuInARunningGameUpdatesTheWorldWithoutDrawingIt)
{
    g_GameMenu.m_bOpen = 1;
    Tick(20);
    EXPECT_TRUE(Has("g_GameMenu.Render()"));
    EXPECT_FALSE(Has("RenderWorld()"));
    EXPECT_FALSE(Has("g_GameInterface.Render()"));
    EXPECT_TRUE(Has("StepPhysics()"));
    EXPECT_TRUE(Has("g_Landscape.Update()"));
}

TEST_F(GameTickTest, MenuOnlyStateRunsTheMenuInterfaceAndCityLogic)
{
    g_bInGame = 0;
    Tick(20);
    EXPECT_TRUE(Has("g_GameMenu.Update()"));
    EXPECT_TRUE(Has("g_GameInterface.Update()"));
    EXPECT_TRUE(Has("g_CityLogic.Update()"));
    EXPECT_FALSE(Has("StepPhysics()"));
    EXPECT_FALSE(Has("g_Sky.Update()"));
}

TEST_F(GameTickTest, InactiveTickDoesNothing)
{
    g_bActive = 0;
    Tick(20);
    EXPECT_TRUE(s_steps.empty());
    g_bActive = 1;
}

TEST_F(GameTickTest, VisibilityRefreshRunsAtMostEveryTenthOfASecond)
{
    auto refreshes = [] { return Has("g_Landscape.UpdateSectorVisibility()") ? 1 : 0; };
    Tick(20);
    EXPECT_EQ(refreshes(), 1) << "the first refresh comes at once";
    int count = 0;
    for (int i = 0; i < 10; ++i) {
        Tick(15);
        count += refreshes();
    }
    EXPECT_EQ(count, 1) << "150 ms of frames hold one refresh";
    s_steps.clear();
    game.UpdateVisibility(1);
    EXPECT_EQ(refreshes(), 1) << "forced";
}

// Stands for a car: an action that drives one body every step.
struct CarAction : btActionInterface {
    explicit CarAction(btRigidBody* driven) : body(driven) {}
    void updateAction(btCollisionWorld*, btScalar) override
    {
        body->activate();
        ++steps;
    }
    void debugDraw(btIDebugDraw*) override {}
    btRigidBody* body;
    int steps = 0;
};

TEST_F(GameTickTest, ResetLeavesTheWorldWithoutBodiesOrConstraints)
{
    btDiscreteDynamicsWorld* world = game.m_pDynamicsWorld;
    ASSERT_NE(world, nullptr);
    auto* shape = new btSphereShape(1.0f);
    btRigidBody* a = new btRigidBody(1.0f, nullptr, shape, btVector3(1, 1, 1));
    btRigidBody* b = new btRigidBody(1.0f, nullptr, shape, btVector3(1, 1, 1));
    world->addRigidBody(a);
    world->addRigidBody(b);
    world->addConstraint(new btPoint2PointConstraint(*a, *b, btVector3(0, 0, 0), btVector3(0, 1, 0)));
    CarAction car(a);
    world->addAction(&car);
    Tick(20);
    ASSERT_GT(car.steps, 0);
    btTypedConstraint* joint = world->getConstraint(0);
    game.Reset();
    EXPECT_EQ(world->getNumCollisionObjects(), 0);
    EXPECT_EQ(world->getNumConstraints(), 0);
    const int steps = car.steps;
    world->stepSimulation(0.02f, 0);
    EXPECT_EQ(car.steps, steps) << "a car action left in the world would drive its deleted body";
    delete joint;
    delete shape;
}

TEST_F(GameTickTest, PresentsAndUpdatesAudioWhenNoSceneBegins)
{
    ASSERT_EQ(device.Get()->BeginScene(), D3D_OK); // a second BeginScene fails
    device.Log().Clear();
    Tick(20); // the device still refuses the present inside a scene: one error box
    device.Get()->EndScene();
    EXPECT_EQ(device.Log().Count(plat::D3DOp::Present), 1u);
    for (const char* step : {"RenderWorld()", "g_GameMenu.Render()", "g_GameInterface.m_Cursor.Draw()"})
        EXPECT_FALSE(Has(step)) << step;
    EXPECT_TRUE(Has("g_D3DRender.PresentFrame()"));
    EXPECT_TRUE(Has("g_AudioManager.Update()"));
}

TEST_F(GameTickTest, ShadowMapViewNeedsDebugOutTabAndCtrl)
{
    struct Case {
        int debugOut, tab, control;
        bool drawn;
    };
    const Case cases[] = {{1, 1, 1, true}, {0, 1, 1, false}, {1, 0, 1, false}, {1, 1, 0, false}};
    for (const Case& c : cases) {
        g_bDebugOut = c.debugOut;
        g_bKeyTab = c.tab;
        g_bKeyControl = c.control;
        Tick(20);
        EXPECT_EQ(HasPrefix("CScreenDraw::DrawTexturePointerRect(580.0f, 0.0f, 800.0f, 170.0f"), c.drawn)
            << c.debugOut << c.tab << c.control;
    }
    g_bDebugOut = g_bKeyTab = g_bKeyControl = 0;
}

// The start-up steps whose results are tested, in their order.
const char* const kInitSteps[] = {
    "InitPhysics()",          "g_GameInterface.Init()", "g_GameMenu.Init()",           "g_InfoScreens.Init()",
    "g_MenuBackground.OnGameInit()", "g_SceneLights.Init()", "g_Landscape.Init()",     "g_PropManager.Init()",
    "g_FieldObjects.Init()",  "g_VehicleManager.Init()", "g_HumanManager.Init()",      "g_ParticleEffects.Init()",
    "g_BloodEffect.Init()",   "g_WaterCircles.Init()",  "g_Sky.Init()",                "g_RayHit.Init()",
    "g_CityLogic.Init()",
};
const char* s_refused = nullptr;

int RefuseOne(const char* step)
{
    return s_refused && std::string(step) == s_refused;
}

TEST_F(GameTickTest, FailingStartUpStepEndsStartUpThere)
{
    game.Release();
    g_pGameStepRefusal = RefuseOne;
    const std::size_t count = sizeof(kInitSteps) / sizeof(kInitSteps[0]);
    for (std::size_t failing = 0; failing <= count; ++failing) {
        s_refused = failing < count ? kInitSteps[failing] : nullptr;
        SCOPED_TRACE(s_refused ? s_refused : "none");
        s_steps.clear();
        EXPECT_EQ(game.Init(), failing < count ? 0 : 1);
        std::vector<std::string> expected = {"g_GameTimer.Init()"};
        expected.insert(expected.end(), kInitSteps, kInitSteps + (failing < count ? failing + 1 : count));
        EXPECT_EQ(s_steps, expected);
        game.Release();
    }
    // The menu is the case that matters most: the landscape never starts loading.
    s_refused = "g_GameMenu.Init()";
    s_steps.clear();
    EXPECT_EQ(game.Init(), 0);
    EXPECT_FALSE(Has("g_Landscape.Init()"));
    game.Release();
    g_pGameStepRefusal = nullptr;
    s_refused = nullptr;
    ASSERT_EQ(game.Init(), 1); // TearDown releases it
}

TEST_F(GameTickTest, ReleaseIsSafeTwiceAndBeforeInit)
{
    game.Release();
    EXPECT_EQ(game.m_pDynamicsWorld, nullptr);
    game.Release();
    CGame fresh;
    fresh.Release();
    EXPECT_EQ(fresh.m_pDynamicsWorld, nullptr);
    ASSERT_EQ(game.Init(), 1); // TearDown releases it again
}

} // namespace

namespace {

std::vector<std::string> StepsBetween(const char* first, const char* last)
{
    const long from = IndexOf(first);
    const long to = IndexOf(last);
    if (from < 0 || to < from)
        return {};
    return std::vector<std::string>(s_steps.begin() + from, s_steps.begin() + to + 1);
}

// The one ordering contract of the tick: physics, then the player's car,
// then the camera that follows it, then the managers, the 10 Hz refresh
// last; present and audio after every update.
TEST_F(GameTickTest, RunningGameTickFollowsTheContractedOrder)
{
    CVehicle player;
    g_pPlayerVehicle = &player;
    Tick(20);
    g_pPlayerVehicle = nullptr;
    const std::vector<std::string> expected = {
        "StepPhysics()",
        "g_pPlayerVehicle->Update()",
        "m_pCamera->Update()",
        "g_GameInterface.Update()",
        "g_GameMenu.Update()",
        "g_Sky.Update()",
        "g_SceneLights.Update()",
        "g_Landscape.Update()",
        "g_FieldObjects.Update()",
        "g_PropManager.Update()",
        "g_VehicleManager.Update()",
        "g_HumanManager.Update()",
        "g_ParticleEffects.Update()",
        "g_BloodEffect.Update()",
        "g_WaterCircles.Update()",
        "g_CityLogic.Update()",
        "g_Landscape.UpdateSectorVisibility()",
        "g_PropManager.RefreshVisibility()",
        "g_FieldObjects.RefreshVisibility()",
        "g_VehicleManager.Refresh()",
        "g_HumanManager.Refresh()",
        "g_PropManager.ApplyBuildingOcclusion()",
        "g_D3DRender.PresentFrame()",
        "g_AudioManager.Update()",
    };
    EXPECT_EQ(StepsBetween("StepPhysics()", "g_AudioManager.Update()"), expected);

    Tick(20);
    EXPECT_FALSE(Has("g_pPlayerVehicle->Update()")) << "no player car, no car update";
    EXPECT_LT(IndexOf("StepPhysics()"), IndexOf("m_pCamera->Update()"));
}

TEST_F(GameTickTest, ResetAndReleaseRunInTheirOrder)
{
    game.Reset();
    const std::vector<std::string> reset = {
        "g_Landscape.ReleaseSectors()", "g_FieldObjects.Clear()",      "g_VehicleManager.Clear()",
        "g_HumanManager.Clear()",       "g_PropManager.Clear()",       "g_ParticleEffects.Reset()",
        "g_BloodEffect.Reset()",        "g_WaterCircles.Reset()",      "g_CityLogic.Reset()",
        "g_AudioManager.StopCarSounds()", "m_pCamera->SetTargetVehicle(nullptr)", "ResetSession()",
    };
    EXPECT_EQ(s_steps, reset);

    s_steps.clear();
    game.Release();
    const std::vector<std::string> release = {
        "g_GameInterface.Release()", "g_GameMenu.Release()",      "g_MenuBackground.Release()",
        "g_SceneLights.Release()",   "g_VehicleManager.Release()", "g_HumanManager.Release()",
        "g_Landscape.Release()",     "g_PropManager.Release()",   "g_FieldObjects.Release()",
        "g_ParticleEffects.Release()", "g_BloodEffect.Release()", "g_WaterCircles.Release()",
        "g_Sky.Release()",           "g_CityLogic.Release()",     "g_InfoScreens.Release()",
        "ReleasePhysics()",
    };
    EXPECT_EQ(s_steps, release);
    EXPECT_EQ(game.m_pCamera, nullptr);
    ASSERT_EQ(game.Init(), 1); // TearDown releases it again
}

// Only a game started without the menu and outside the editor makes the
// default player car itself; the menu makes its own.
TEST_F(GameTickTest, NewGameMakesThePlayerCarOnlyWithoutMenuAndEditor)
{
    struct Case {
        int editor;
        int menu;
        bool creates;
    };
    const Case cases[] = {{0, 0, true}, {1, 0, false}, {0, 1, false}, {1, 1, false}};
    const int editor = g_bEditorMode;
    const int menu = g_bGameMenu;
    for (const Case& c : cases) {
        g_bEditorMode = c.editor;
        g_bGameMenu = c.menu;
        s_steps.clear();
        game.NewGame();
        EXPECT_EQ(Has("g_VehicleManager.CreatePlayerCar(nullptr, nullptr, nullptr)"), c.creates)
            << c.editor << c.menu;
        EXPECT_LT(IndexOf("g_Landscape.ReleaseSectors()"), IndexOf("g_Landscape.BuildSectors()"))
            << "the old world goes before the new is built";
    }
    g_bEditorMode = editor;
    g_bGameMenu = menu;
    game.Reset();
    g_pPlayerVehicle = nullptr;
}

} // namespace
