// The in-game interface.
#pragma once

#include <cstdint>

// The mouse cursor the game draws itself.
class CInterfaceCursor {
public:
    int Init() { return 1; }
    void Release() {}
    void Update() {}
    void Draw() {}
    unsigned m_bVisible = 0;
    int m_nTexture = -1;
};

class CGameInterface {
public:
    int Init();
    void Release();
    void Update();
    void Render();
    void SaveMessageHistory(std::uint32_t file);
    void LoadMessageHistory(std::uint32_t file);

    CInterfaceCursor m_Cursor;
};

extern CGameInterface g_GameInterface;
