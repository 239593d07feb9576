// The game menu.
#pragma once

class CGameMenu {
public:
    int Init();
    void Release();
    void Update();
    void Render();
    void Show(int state);
    void PlayStartLogos();
    void ShowLoadingScreen(int show);
    void OnKeyDown(int key);

    int m_bOpen = 0;
    int m_bKeyHandler = 0;
    int m_nState = 0;
};

extern CGameMenu g_GameMenu;
