// The driving display through the OpenGL back end with the sample interface
// pictures and font, against a reference made on this renderer: a car at
// speed with a passenger on board, a pursuit with the arrest bar running, a
// workshop and a police car near, and some damage.
#include "GlFixture.h"

#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "graphics/D3DRender.h"
#include "graphics/WorldCamera.h"
#include "roadusers/RaceInfo.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "world/Landscape.h"
#include "world/PropManager.h"
#include "writers/FontWriter.h"
#include "writers/ImageWriters.h"
#include "writers/InterfaceData.h"
#include "writers/LightAtlas.h"
#include "writers/SampleCity.h"

#include "support/HeadlessDevice.h"

#include <memory>

namespace gltest {
namespace {

constexpr UINT kHudWidth = 400;
constexpr UINT kHudHeight = 300;

class HudPixelsTest : public GlDeviceTest {
protected:
    void SetUp() override
    {
        // Half the design size, so the HUD's text can be read in the image.
        plat::UseGlDevice(true);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        D3DPRESENT_PARAMETERS params = test::WindowedParams(kHudWidth, kHudHeight);
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.AutoDepthStencilFormat = D3DFMT_D24S8;
        params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                    &params, &device),
                  D3D_OK);

        const std::string root = m_dir.Path().string();
        ASSERT_TRUE(tools::WriteInterfaceData(root));
        for (const tools::SampleFont& f : tools::SampleFonts()) {
            tools::BitmapFont font;
            ASSERT_TRUE(tools::RenderBitmapFont(f, tools::SampleFontCharacters(), &font));
            ASSERT_TRUE(tools::WriteBitmapFont(root + "/" + f.folder, font));
        }
        ASSERT_TRUE(tools::WriteImageFile(root + "/Data/Misc/LightMap.dds",
                                          tools::EncodeDds({tools::LightAtlasImage()}, tools::DdsPixels::A8R8G8B8, 1)));
        LoadSettings("Game.ini"); // none there: the defaults, and the unit disc
        g_bFileManager = 0;
        g_bBmpToJpg = 1;
        g_bGlow = 0;
        g_FileManager.Init();
        g_D3DRender.SetDefaults();
        g_D3DRender.m_pDevice = device;
        g_D3DRender.m_fScaleX = kHudWidth / 800.0f;
        g_D3DRender.m_fScaleY = kHudHeight / 600.0f;
        CD3DRender& r = g_D3DRender;
        r.m_nZWriteEnable = r.m_nZEnable = r.m_nLighting = r.m_nSrcBlend = r.m_nDestBlend = RENDER_STATE_UNSET;
        r.m_nAlphaBlendEnable = r.m_nFogEnable = r.m_nCullMode = RENDER_STATE_UNSET;
        r.SetCullMode(D3DCULL_CW);
        r.m_nLightMapTexture = r.LoadTexture("Data/Misc/LightMap.dds", 0, D3DPOOL_MANAGED);
        m_ui = std::make_unique<CGameInterface>();
        ASSERT_EQ(m_ui->Init(), 1);
    }
    void TearDown() override
    {
        m_ui->Release();
        g_pPlayerVehicle = nullptr;
        g_VehicleManager.m_Cars[1] = nullptr;
        g_VehicleManager.m_nCars = 0;
        g_PropManager.m_nWorkShops = 0;
        g_Landscape.m_fWorldSize = 0.0f;
        g_TaxiJob = CTaxiJob{};
        g_PlayerStats = CPlayerStats{};
        g_Game.m_pCamera = m_savedCamera;
        g_D3DRender.m_TextureManager.ReleaseAllTextures();
        g_D3DRender.SetDefaults();
        GlDeviceTest::TearDown();
    }

    test::ScopedTempDir m_dir;
    std::unique_ptr<CGameInterface> m_ui;
    CWorldCamera* m_savedCamera = g_Game.m_pCamera;
};

TEST_F(HudPixelsTest, DrivingWithAPassengerUnderPursuitMatchesItsReference)
{
    CWorldCamera camera{};
    camera.m_nMode = 2;
    g_Game.m_pCamera = &camera;
    const tools::LandscapeFrame frame;
    g_Landscape.m_fWorldSize = static_cast<float>(frame.cells) * frame.cellSize;

    auto car = std::make_unique<CVehicle>();
    car->m_vPosition = D3DXVECTOR3(-100.0f, 10.0f, -120.0f);
    D3DXMatrixIdentity(&car->m_matPlacement);
    car->m_matPlacement._31 = 0.6f; // heading north-east
    car->m_matPlacement._33 = 0.8f;
    car->m_fSpeed = 87.0f;
    car->m_fEngineForce = 3000.0f;
    car->m_fPower = 4000.0f;
    car->m_fBodyDamage = 0.4f;
    const float wear[4] = {0.0f, 0.2f, 0.6f, 1.0f};
    for (int i = 0; i < 4; ++i)
        car->m_WheelWear[i] = wear[i];
    g_pPlayerVehicle = car.get();

    auto police = std::make_unique<CVehicle>();
    police->m_nKind = VEHICLE_POLICE;
    police->m_vPosition = car->m_vPosition + D3DXVECTOR3(-60.0f, 0.0f, 40.0f);
    police->m_nAIState = 4;
    g_VehicleManager.m_Cars[0] = car.get();
    g_VehicleManager.m_Cars[1] = police.get();
    g_VehicleManager.m_nCars = 2;
    g_PropManager.m_WorkShops[0] = car->m_vPosition + D3DXVECTOR3(100.0f, 0.0f, -80.0f);
    g_PropManager.m_nWorkShops = 1;

    g_TaxiJob.m_bOnBoard = 1;
    g_TaxiJob.m_fOfferedFare = 70.0f;
    g_TaxiJob.m_fFare = 42.0f;
    g_TaxiJob.m_vLandingPoint = car->m_vPosition + D3DXVECTOR3(600.0f, 0.0f, 500.0f);
    g_PlayerStats.m_fCriminalLevel = 0.45f;
    g_PlayerStats.m_bPursuit = 1;
    g_PlayerStats.m_fArrestTimer = 2.5f;
    g_GameTimer.m_fGameTime = 60250.0; // blinking marks lit, the siren at its far end
    g_GameTimer.m_fDelta = 1.5f;       // the pictogram takes the car's colour at once

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF303840, 1.0f, 0);
    m_ui->DrawHud();
    g_VehicleManager.m_Cars[0] = nullptr;
    EXPECT_TRUE(MatchesReference("hud_drive", Frame(), 8, 400));
}

// The race offer, the race result and the pause menu through the GL back
// end: each covers its panel's place and leaves the rest of the frame alone.
TEST_F(HudPixelsTest, RacePanelsAndPauseMenuCoverTheirPlaces)
{
    D3DXVECTOR3 route[40];
    for (int i = 0; i < 40; ++i)
        route[i] = D3DXVECTOR3(10.0f * i, 0.0f, 5.0f * i);
    g_RaceInfo.m_pRoute = route;
    g_RaceInfo.m_vCentre = D3DXVECTOR3(195.0f, 0.0f, 97.5f);
    g_RaceInfo.m_fRadius = 195.0f;
    g_RaceInfo.m_fLength = 1700.0f;
    g_RaceInfo.m_nCars = 6;
    g_RaceInfo.m_nDamageLimit = 50;
    g_VehicleManager.m_nRaceRoutePoints = 40;
    const tools::LandscapeFrame frame;
    g_Landscape.m_fWorldSize = static_cast<float>(frame.cells) * frame.cellSize;
    auto car = std::make_unique<CVehicle>();
    car->m_nRacePlace = 0;
    g_pPlayerVehicle = car.get();
    g_GameTimer.m_fDelta = 0.5f;
    g_GameTimer.m_fRealDelta = 0.5f;
    const std::uint32_t background = 0xFF303840u;
    auto coveredAt = [&](float x, float y) {
        const plat::Pixels image = Frame();
        const UINT px = static_cast<UINT>(x * kHudWidth / 800.0f), py = static_cast<UINT>(y * kHudHeight / 600.0f);
        return !Near(image.At(px, py), background, 4);
    };
    const struct {
        const char* what;
        float x, y;     // inside the panel
        float ox, oy;   // outside every panel
    } places[] = {{"offer", 150.0f, 100.0f, 600.0f, 400.0f},
                  {"result", 400.0f, 40.0f, 400.0f, 500.0f},
                  {"pause menu", 400.0f, 100.0f, 400.0f, 100.0f}};
    for (int panel = 0; panel < 3; ++panel) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
        if (panel == 0) {
            m_ui->SetRaceState(1);
            m_ui->DrawRaceInfo();
            m_ui->DrawRaceInfo(); // fully faded in: the route strip too
        } else if (panel == 1) {
            m_ui->SetRaceState(0);
            m_ui->m_RaceOfferPanel.m_bRaceOfferOpen = 0;
            m_ui->m_RaceOfferPanel.m_fRaceOfferFade = 0.0f;
            m_ui->ShowRaceResult(1);
            m_ui->DrawRaceResult();
            m_ui->DrawRaceResult();
        } else {
            m_ui->ShowRaceResult(0);
            m_ui->m_RaceResultPanel.m_fRaceResultFade = 0.0f;
            m_ui->SetPopupMenu(POPUP_PAUSE);
            m_ui->DrawPopupMenu();
        }
        const auto& p = places[panel];
        EXPECT_TRUE(coveredAt(p.x, p.y)) << p.what;
        if (panel < 2) {
            EXPECT_FALSE(coveredAt(p.ox, p.oy)) << p.what;
        }
    }
    m_ui->SetPopupMenu(POPUP_NONE);
    g_GameTimer.Resume();
    g_VehicleManager.m_nRaceRoutePoints = 0;
    g_RaceInfo.m_pRoute = nullptr;
}

} // namespace
} // namespace gltest
