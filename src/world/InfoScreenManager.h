// The info screens.
#pragma once

class CStaticObject;
class IDirect3DTexture9;

class CInfoScreenManager {
public:
    int Init();
    void Release();
    void OnLostDevice();
    void OnResetDevice();
};

extern CInfoScreenManager g_InfoScreens;

// A live screen in the world (index 0..3) on the prop that owns it; its
// picture is drawn into its texture, which is null while the device is lost.
class CInfoScreen {
public:
    CInfoScreen(int index, CStaticObject* owner);
    ~CInfoScreen();

    int m_nIndex;
    CStaticObject* m_pOwner;
    IDirect3DTexture9* m_pTexture = nullptr;
};
