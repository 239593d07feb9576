// The session reset of the shell's own state: what a game leaves in the
// globals outside the managers must not reach the next game of the same run.
#include "shell/Game.h"

#include "game/GameInterface.h"
#include "graphics/D3DRender.h"
#include "platform/D3D9Gl.h"
#include "shell/Input.h"

void CGame::ResetSession()
{
    // A key held as the last game ended (the hand brake above all) would
    // hold the next game's car until pressed and released again.
    ResetInputState();
    // No screen panel is left open or half-set, and the shops' figures and
    // the car of the last visit belong to a world that is gone.
    g_GameInterface.ResetScreenPanels();
    m_Cameras[0].ResetMotion();
    // The first refresh of the next game comes at once, as after start-up.
    m_fVisibilityTimer = 0.5f;
    // The GL device's compiled programs go with the game that asked for
    // them. Kept, the next game's warm-up compiles every light variant of
    // every program the last one drew with: a second continue took the
    // program table from about 400 to 1400 and the process by some 460 MB,
    // and each further game with new sights added more. The next game's
    // warm-up compiles what its start needs, as the first game's did.
    plat::ClearProgramCache(g_D3DRender.m_pDevice);
}
