// The renderer: owns the 3-D device, the effect compiled from the technique
// file, the render-state cache, the texture table and the device resources
// shared by every subsystem. One global object, g_D3DRender.
#pragma once

#include "graphics/LightVertex.h"
#include "graphics/TextureManager.h"
#include "platform/D3D9.h"
#include "platform/D3DX9.h"

#include <cstdint>

// The value of a cache entry that holds nothing: the next set always reaches
// the device.
inline constexpr std::uint32_t RENDER_STATE_UNSET = 0xFFFFFFFFu;

// Display modes the game offers, by the "Mode" setting.
enum { VIDEO_MODE_COUNT = 4 };

class CD3DRender {
public:
    CD3DRender();
    CD3DRender(const CD3DRender&) = delete;
    CD3DRender& operator=(const CD3DRender&) = delete;

    // Returns 0, or a negative value after showing what failed; width and
    // height are used in editor mode only.
    virtual int InitD3DRender(HWND window, BOOL windowed, int width = 0, int height = 0);
    // Releases everything; safe on a renderer that was never (or only partly) set up.
    virtual int FreeD3DRender();
    virtual int SetDefaultStates();
    virtual HRESULT CreateRenderTechniques();
    // 0, or E_FAIL when a lost device could not be restored (the game then quits).
    virtual HRESULT PresentFrame();
    virtual int ToggleWireframe();
    virtual int ToggleFlatShading();
    // A texture by file name, shared with earlier loads of the same name.
    virtual TextureId LoadTexture(const char* name, UINT mipLevels = 0, D3DPOOL pool = D3DPOOL_MANAGED);
    virtual void ReleaseAllTextures();
    virtual void ReleaseTexture(TextureId id);
    virtual void ReleaseTextureByName(const char* name);
    virtual int SetZWriteEnable(DWORD value);
    virtual int SetZEnable(DWORD value);
    virtual int SetLighting(DWORD value);
    virtual int SetBlendMode(DWORD source, DWORD dest);
    virtual int SetAlphaBlendEnable(DWORD value);
    virtual int SetFogEnable(DWORD value);
    virtual float GetFPS();
    // Position in the 800x600 interface space.
    virtual void SetCursorPosition(float x, float y);

    void SetDefaults();

    // Cached states and bindings.
    void SetCullMode(DWORD value);
    void SaveCullMode();
    void RestoreCullMode();
    void SetTexture(TextureId id, int alpha, DWORD stage = 0, int force = 0);
    void SetTexturePointer(IDirect3DBaseTexture9* texture, int alpha, DWORD stage = 0);
    bool StageHolds(DWORD stage, IDirect3DBaseTexture9* texture) const;
    void SetEffectTexture(const char* parameter, IDirect3DBaseTexture9* texture);
    // Names are compared by identity: pass the same string object each time.
    void SetTechnique(const char* name, int force = 0);
    IDirect3DTexture9* GetTexture(TextureId id) const;
    void SetMaterial(const D3DMATERIAL9* material);
    void SetFogRange(float start, float end);
    void SaveFogRange();
    void RestoreFogRange();
    void SetMipLodBias(float bias, int sampler);
    void SetColorStage(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD arg0, DWORD result);
    void SetAlphaStage(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD arg0);
    void SaveRenderTarget();
    void SaveDepthStencil();
    void RestoreRenderTarget();
    void RestoreDepthStencil();
    void AddDrawnFaces(DWORD count);

    // Device resources of the render passes and post effects.
    void LoadCubeTexture(const char* name, IDirect3DCubeTexture9** texture);
    void CreateDefaultResources();
    void ReleaseDefaultResources();
    void OnLostDevice();
    HRESULT OnResetDevice();

    // The two light batches: opened before the scene, filled by the object
    // renderers, closed and drawn once after it.
    void LockBatchBuffers();
    void UnlockBatchBuffers();
    void AddShaderLightBatch(const CLightVertex* vertices, const WORD* indices, DWORD vertexCount, DWORD indexCount);
    void AddFixedLightBatch(const CFixedLightVertex* vertices, const WORD* indices, DWORD vertexCount,
                            DWORD indexCount);
    void DrawFixedLightBatch();
    void DrawShaderLightBatch();

    // Post effects and the filter they share with the shadow pass.
    D3DXMATRIX* GetCubeMapViewMatrix(D3DXMATRIX* out, DWORD face);
    void SmoothSurface(IDirect3DTexture9* source, IDirect3DTexture9* target, float offset, float weight);
    void RenderGlow();
    void RenderMotionBlur();
    // The side of the square shadow map, by the shadow and detail settings.
    static UINT ShadowMapSize();
    // The side of the two smoothed maps the scene reads.
    static UINT SmoothedShadowSize();

    TextureId m_nCachedTexture = INVALID_TEXTURE_ID;
    DWORD m_nZWriteEnable = 0;
    DWORD m_nZEnable = 0;
    DWORD m_nLighting = 0;
    DWORD m_nSrcBlend = 0;
    DWORD m_nDestBlend = 0;
    DWORD m_nAlphaBlendEnable = 0;
    DWORD m_nFogEnable = 0;
    DWORD m_nCullMode = 0;
    DWORD m_nSavedCullMode = 0;
    CTextureManager m_TextureManager;
    D3DPRESENT_PARAMETERS m_PresentParams{};
    int m_bDeviceLost = 0;
    int m_bShader11 = 0;
    int m_bShader14 = 0;
    int m_bShader20 = 0;
    int m_bPerStageConstant = 0;
    float m_fScreenWidth = 0.0f;
    float m_fSavedScreenWidth = 0.0f;
    float m_fScaleX = 0.0f;
    float m_fSavedScaleX = 0.0f;
    float m_fScreenHeight = 0.0f;
    float m_fSavedScreenHeight = 0.0f;
    float m_fScaleY = 0.0f;
    float m_fSavedScaleY = 0.0f;
    int m_bModeSupported[VIDEO_MODE_COUNT] = {};
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
    DWORD m_nFillMode = 0;
    DWORD m_nShadeMode = 0;
    float m_fFogStart = 0.0f;
    float m_fFogEnd = 0.0f;
    float m_fSavedFogStart = 0.0f;
    float m_fSavedFogEnd = 0.0f;
    DWORD m_nFacesPerFrame[4] = {};
    IDirect3DSurface9* m_pSavedRenderTarget = nullptr;
    IDirect3DSurface9* m_pSavedDepthStencil = nullptr;
    ID3DXEffect* m_pEffect = nullptr;
    const char* m_pszTechnique = nullptr;
    IDirect3DCubeTexture9* m_pStaticEnvMap = nullptr;
    TextureId m_nLightMapTexture = INVALID_TEXTURE_ID;
    TextureId m_nBlackTexture = INVALID_TEXTURE_ID;
    TextureId m_nWhiteTexture = INVALID_TEXTURE_ID;
    IDirect3DTexture9* m_pReflectionTexture = nullptr;
    IDirect3DCubeTexture9* m_pCubeTexture = nullptr;
    IDirect3DTexture9* m_pShadowTarget = nullptr;
    IDirect3DTexture9* m_pShadowTexture = nullptr;
    IDirect3DTexture9* m_pShadowTexture2 = nullptr;
    IDirect3DSurface9* m_pDepthSurface = nullptr;
    IDirect3DSurface9* m_pDepthSurface512 = nullptr;
    IDirect3DVertexBuffer9* m_pScreenQuad = nullptr;
    IDirect3DTexture9* m_pGlowTextureA = nullptr;
    IDirect3DTexture9* m_pGlowTextureB = nullptr;
    IDirect3DTexture9* m_pBlurTexture = nullptr;
    int m_bGlowTargets = 0;
    int m_bBlurTarget = 0;
    float m_fMotionBlur = 0.0f;
    IDirect3DVertexBuffer9* m_pShaderBatchVB = nullptr;
    IDirect3DIndexBuffer9* m_pShaderBatchIB = nullptr;
    CLightVertex* m_pShaderBatchVertices = nullptr; // locked, or null
    WORD* m_pShaderBatchIndices = nullptr;
    DWORD m_nShaderBatchVertices = 0;
    DWORD m_nShaderBatchIndices = 0;
    IDirect3DVertexBuffer9* m_pFixedBatchVB = nullptr;
    IDirect3DIndexBuffer9* m_pFixedBatchIB = nullptr;
    CFixedLightVertex* m_pFixedBatchVertices = nullptr;
    WORD* m_pFixedBatchIndices = nullptr;
    DWORD m_nFixedBatchVertices = 0;
    DWORD m_nFixedBatchIndices = 0;

private:
    int SetUpFailed(const char* message, int result, bool free);
    bool ChooseFormats(BOOL windowed, D3DFORMAT* backBuffer, D3DFORMAT* depth);
    void FindDisplayModes(D3DFORMAT format);
    bool ChooseVideoMode();
    bool CheckShaderSupport();
    void LowerSettingBounds();
    void FillPresentParams(HWND window, BOOL windowed, D3DFORMAT format, D3DFORMAT depth, int width, int height);
    HRESULT CreateDevice(HWND window);
    void SetScreenMetrics(int width, int height);
    void BindStaticEnvMap();
    void SetCachedState(DWORD* cache, D3DRENDERSTATETYPE state, DWORD value);
    void SetBlendForAlpha(int alpha);
    enum class LostDeviceStep { Present, Skip, Failed };
    LostDeviceStep RestoreLostDevice();
    void ReleaseRenderTargets();
    void CreateRenderTargets();
    void CreateBatchBuffers();
    void ReleaseBatchBuffers();
    void DrawScreenQuad();
    void SetPostEffectStates();
    bool CopyFrameInto(IDirect3DTexture9* texture, int* setting);
};

extern CD3DRender g_D3DRender;

// Starts the frame counter of CD3DRender::GetFPS afresh, as at start-up.
void ResetFrameRate();
