// The managers are global objects in zero-filled static storage, constructed
// before the program entry: construction touches no file, and a release
// before any init finds nothing to free.
#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/MenuBackground.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "graphics/SceneLights.h"
#include "graphics/WorldCamera.h"
#include "objects/BloodEffect.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"
#include "roadusers/HumanManager.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/RayHitInfo.h"
#include "world/FieldObjectManager.h"
#include "world/InfoScreenManager.h"
#include "world/Landscape.h"
#include "world/PropManager.h"
#include "world/Sky.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

namespace {

// The managers live until the process ends: none may register a destructor
// that would run at exit, in an order nobody chose, after their releases.
template <class... T>
constexpr bool kNoneDestroyedAtExit = (std::is_trivially_destructible_v<T> && ...);
static_assert(kNoneDestroyedAtExit<CD3DRender, CMeshContainer, CAudioManager, CSceneLights, CSky, CRayHitInfo, CGame,
                                   CLandscape, CVehicleManager, CHumanManager, CPropManager, CFieldObjectManager,
                                   CParticleEffects, CBloodEffect, CWaterCircles, CGameInterface, CInfoScreenManager,
                                   CMenuBackground, CGameMenu, CCityLogic, CFileManager, CGameTimer>);

// Constructs a T the way static storage does: over zero-filled memory.
template <class T>
struct ZeroFilled {
    ZeroFilled() : object(new (std::memset(storage, 0, sizeof(storage))) T) {}
    ~ZeroFilled() { object->~T(); }
    alignas(T) unsigned char storage[sizeof(T)];
    T* object;
};

TEST(StaticConstruction, ConstructorsTouchNoFileAndReleaseBeforeInitFreesNothing)
{
    test::ScopedTempDir dir;
    auto render = std::make_unique<ZeroFilled<CD3DRender>>();
    auto meshes = std::make_unique<ZeroFilled<CMeshContainer>>();
    auto audio = std::make_unique<ZeroFilled<CAudioManager>>();
    auto camera = std::make_unique<ZeroFilled<CWorldCamera>>();
    auto game = std::make_unique<ZeroFilled<CGame>>();
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    EXPECT_EQ(game->object->m_pCamera, nullptr);
    EXPECT_EQ(game->object->m_pDynamicsWorld, nullptr);
    EXPECT_FLOAT_EQ(game->object->m_fVisibilityTimer, 0.5f);

    render->object->FreeD3DRender();
    meshes->object->Release();
    audio->object->Release();
    camera->object->Release();
    game->object->Release();
    EXPECT_EQ(render->object->m_pDevice, nullptr);
    EXPECT_EQ(game->object->m_pCamera, nullptr);
}

} // namespace
