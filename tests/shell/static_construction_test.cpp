// The managers are global objects in zero-filled static storage, constructed
// before the program entry: construction touches no file, and a release
// before any init finds nothing to free.
#include "graphics/D3DRender.h"
#include "graphics/MeshContainer.h"
#include "graphics/WorldCamera.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <memory>
#include <new>

namespace {

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
