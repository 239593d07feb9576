// The in-game interface.
#pragma once

#include <cstdint>

class CSaveReader;
class CSaveWriter;

// The message history of a save: 32 showing counts, then 32 last-shown times.
constexpr unsigned MESSAGE_HISTORY_RECORD_SIZE = 256;

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
    void SaveMessageHistory(CSaveWriter& out);
    void LoadMessageHistory(CSaveReader& in);

    CInterfaceCursor m_Cursor;
};

extern CGameInterface g_GameInterface;
