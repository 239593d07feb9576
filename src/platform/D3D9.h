// The 3-D device interface the game draws through.
//
// The renderer was written against a fixed-function-plus-shaders device API
// with reference-counted objects; this layer keeps those names, signatures and
// numeric values (render states, stage states, formats, vertex format bits,
// pools, usages, lock flags, primitive types) because code and data files rely
// on them. One back end is chosen when Direct3DCreate9 runs; the headless one
// keeps every resource's memory (texture levels hold their pixels, buffers
// their bytes) and records every call (see D3D9Recording.h).
#pragma once

#include "platform/Win32Types.h"

#include <cstdint>

using INT = int;
using FLOAT = float;
using HANDLE = void*;
using D3DCOLOR = DWORD;

inline constexpr D3DCOLOR D3DCOLOR_ARGB(DWORD a, DWORD r, DWORD g, DWORD b)
{
    return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
inline constexpr D3DCOLOR D3DCOLOR_XRGB(DWORD r, DWORD g, DWORD b) { return D3DCOLOR_ARGB(0xFF, r, g, b); }

inline constexpr DWORD MAKEFOURCC(char a, char b, char c, char d)
{
    return DWORD(std::uint8_t(a)) | (DWORD(std::uint8_t(b)) << 8) | (DWORD(std::uint8_t(c)) << 16) |
           (DWORD(std::uint8_t(d)) << 24);
}

// ---- Result codes ----------------------------------------------------------
inline constexpr HRESULT D3D_OK = 0;
inline constexpr HRESULT D3DERR_NOTFOUND = static_cast<HRESULT>(0x88760866u);
inline constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868u);
inline constexpr HRESULT D3DERR_DEVICENOTRESET = static_cast<HRESULT>(0x88760869u);
inline constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
inline constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);
inline constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876017Cu);

inline constexpr UINT D3D_SDK_VERSION = 31;
inline constexpr UINT D3DADAPTER_DEFAULT = 0;

// ---- Enumerations (documented values) --------------------------------------
enum D3DDEVTYPE : DWORD { D3DDEVTYPE_HAL = 1, D3DDEVTYPE_REF = 2, D3DDEVTYPE_SW = 3 };

enum D3DFORMAT : DWORD {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_A8 = 28,
    D3DFMT_L8 = 50,
    D3DFMT_D32 = 71,
    D3DFMT_D15S1 = 73,
    D3DFMT_D24S8 = 75,
    D3DFMT_D24X8 = 77,
    D3DFMT_D24X4S4 = 79,
    D3DFMT_D16 = 80,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
    D3DFMT_DXT1 = MAKEFOURCC('D', 'X', 'T', '1'),
    D3DFMT_DXT3 = MAKEFOURCC('D', 'X', 'T', '3'),
    D3DFMT_DXT5 = MAKEFOURCC('D', 'X', 'T', '5'),
};

enum D3DPOOL : DWORD { D3DPOOL_DEFAULT = 0, D3DPOOL_MANAGED = 1, D3DPOOL_SYSTEMMEM = 2, D3DPOOL_SCRATCH = 3 };

enum : DWORD {
    D3DUSAGE_RENDERTARGET = 0x00000001,
    D3DUSAGE_DEPTHSTENCIL = 0x00000002,
    D3DUSAGE_WRITEONLY = 0x00000008,
    D3DUSAGE_DYNAMIC = 0x00000200,
    D3DUSAGE_AUTOGENMIPMAP = 0x00000400,
};

enum : DWORD {
    D3DLOCK_READONLY = 0x00000010,
    D3DLOCK_NOSYSLOCK = 0x00000800,
    D3DLOCK_NOOVERWRITE = 0x00001000,
    D3DLOCK_DISCARD = 0x00002000,
};

enum : DWORD { D3DCLEAR_TARGET = 1, D3DCLEAR_ZBUFFER = 2, D3DCLEAR_STENCIL = 4 };

enum D3DRESOURCETYPE : DWORD {
    D3DRTYPE_SURFACE = 1,
    D3DRTYPE_TEXTURE = 3,
    D3DRTYPE_CUBETEXTURE = 5,
    D3DRTYPE_VERTEXBUFFER = 6,
    D3DRTYPE_INDEXBUFFER = 7,
};

enum D3DPRIMITIVETYPE : DWORD {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
};

enum D3DTRANSFORMSTATETYPE : DWORD {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_TEXTURE0 = 16,
    D3DTS_TEXTURE1 = 17,
    D3DTS_TEXTURE2 = 18,
    D3DTS_TEXTURE3 = 19,
    D3DTS_TEXTURE4 = 20,
    D3DTS_TEXTURE5 = 21,
    D3DTS_TEXTURE6 = 22,
    D3DTS_TEXTURE7 = 23,
    D3DTS_WORLD = 256,
};

enum D3DRENDERSTATETYPE : DWORD {
    D3DRS_ZENABLE = 7,
    D3DRS_FILLMODE = 8,
    D3DRS_SHADEMODE = 9,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_LASTPIXEL = 16,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24,
    D3DRS_ALPHAFUNC = 25,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_FOGENABLE = 28,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_FOGCOLOR = 34,
    D3DRS_FOGTABLEMODE = 35,
    D3DRS_FOGSTART = 36,
    D3DRS_FOGEND = 37,
    D3DRS_FOGDENSITY = 38,
    D3DRS_RANGEFOGENABLE = 48,
    D3DRS_TEXTUREFACTOR = 60,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_FOGVERTEXMODE = 140,
    D3DRS_COLORVERTEX = 141,
    D3DRS_LOCALVIEWER = 142,
    D3DRS_NORMALIZENORMALS = 143,
    D3DRS_DIFFUSEMATERIALSOURCE = 145,
    D3DRS_SPECULARMATERIALSOURCE = 146,
    D3DRS_AMBIENTMATERIALSOURCE = 147,
    D3DRS_EMISSIVEMATERIALSOURCE = 148,
    D3DRS_CLIPPLANEENABLE = 152,
    D3DRS_COLORWRITEENABLE = 168,
    D3DRS_BLENDOP = 171,
};
inline constexpr DWORD kD3DRenderStateCount = 256;

enum D3DTEXTURESTAGESTATETYPE : DWORD {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_TEXCOORDINDEX = 11,
    D3DTSS_TEXTURETRANSFORMFLAGS = 24,
    D3DTSS_COLORARG0 = 26,
    D3DTSS_ALPHAARG0 = 27,
    D3DTSS_RESULTARG = 28,
    D3DTSS_CONSTANT = 32,
};
inline constexpr DWORD kD3DStageStateCount = 33;

enum D3DSAMPLERSTATETYPE : DWORD {
    D3DSAMP_ADDRESSU = 1,
    D3DSAMP_ADDRESSV = 2,
    D3DSAMP_ADDRESSW = 3,
    D3DSAMP_BORDERCOLOR = 4,
    D3DSAMP_MAGFILTER = 5,
    D3DSAMP_MINFILTER = 6,
    D3DSAMP_MIPFILTER = 7,
    D3DSAMP_MIPMAPLODBIAS = 8,
    D3DSAMP_MAXMIPLEVEL = 9,
    D3DSAMP_MAXANISOTROPY = 10,
};
inline constexpr DWORD kD3DSamplerStateCount = 14;

// Values of the states above.
enum : DWORD { D3DZB_FALSE = 0, D3DZB_TRUE = 1 };
enum D3DFILLMODE : DWORD { D3DFILL_POINT = 1, D3DFILL_WIREFRAME = 2, D3DFILL_SOLID = 3 };
enum D3DSHADEMODE : DWORD { D3DSHADE_FLAT = 1, D3DSHADE_GOURAUD = 2 };
enum D3DCULL : DWORD { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3 };
enum D3DFOGMODE : DWORD { D3DFOG_NONE = 0, D3DFOG_EXP = 1, D3DFOG_EXP2 = 2, D3DFOG_LINEAR = 3 };
enum D3DCMPFUNC : DWORD {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS = 2,
    D3DCMP_EQUAL = 3,
    D3DCMP_LESSEQUAL = 4,
    D3DCMP_GREATER = 5,
    D3DCMP_NOTEQUAL = 6,
    D3DCMP_GREATEREQUAL = 7,
    D3DCMP_ALWAYS = 8,
};
enum D3DBLEND : DWORD {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCCOLOR = 3,
    D3DBLEND_INVSRCCOLOR = 4,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
    D3DBLEND_DESTALPHA = 7,
    D3DBLEND_INVDESTALPHA = 8,
    D3DBLEND_DESTCOLOR = 9,
    D3DBLEND_INVDESTCOLOR = 10,
};
enum D3DBLENDOP : DWORD { D3DBLENDOP_ADD = 1, D3DBLENDOP_SUBTRACT = 2, D3DBLENDOP_REVSUBTRACT = 3 };
enum D3DMATERIALCOLORSOURCE : DWORD { D3DMCS_MATERIAL = 0, D3DMCS_COLOR1 = 1, D3DMCS_COLOR2 = 2 };

enum D3DTEXTUREOP : DWORD {
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1 = 2,
    D3DTOP_SELECTARG2 = 3,
    D3DTOP_MODULATE = 4,
    D3DTOP_MODULATE2X = 5,
    D3DTOP_MODULATE4X = 6,
    D3DTOP_ADD = 7,
    D3DTOP_ADDSIGNED = 8,
    D3DTOP_ADDSIGNED2X = 9,
    D3DTOP_SUBTRACT = 10,
    D3DTOP_ADDSMOOTH = 11,
    D3DTOP_BLENDDIFFUSEALPHA = 12,
    D3DTOP_BLENDTEXTUREALPHA = 13,
    D3DTOP_BLENDFACTORALPHA = 14,
    D3DTOP_BLENDTEXTUREALPHAPM = 15,
    D3DTOP_BLENDCURRENTALPHA = 16,
    D3DTOP_PREMODULATE = 17,
    D3DTOP_MODULATEALPHA_ADDCOLOR = 18,
    D3DTOP_MODULATECOLOR_ADDALPHA = 19,
    D3DTOP_MODULATEINVALPHA_ADDCOLOR = 20,
    D3DTOP_MODULATEINVCOLOR_ADDALPHA = 21,
    D3DTOP_BUMPENVMAP = 22,
    D3DTOP_BUMPENVMAPLUMINANCE = 23,
    D3DTOP_DOTPRODUCT3 = 24,
    D3DTOP_MULTIPLYADD = 25,
    D3DTOP_LERP = 26,
};

// Texture-stage arguments.
enum : DWORD {
    D3DTA_SELECTMASK = 0x0000000F,
    D3DTA_DIFFUSE = 0x00000000,
    D3DTA_CURRENT = 0x00000001,
    D3DTA_TEXTURE = 0x00000002,
    D3DTA_TFACTOR = 0x00000003,
    D3DTA_SPECULAR = 0x00000004,
    D3DTA_TEMP = 0x00000005,
    D3DTA_CONSTANT = 0x00000006,
    D3DTA_COMPLEMENT = 0x00000010,
    D3DTA_ALPHAREPLICATE = 0x00000020,
};

// Texture coordinate generation (high word of D3DTSS_TEXCOORDINDEX; the low
// word is the coordinate set).
enum : DWORD {
    D3DTSS_TCI_PASSTHRU = 0x00000000,
    D3DTSS_TCI_CAMERASPACENORMAL = 0x00010000,
    D3DTSS_TCI_CAMERASPACEPOSITION = 0x00020000,
    D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR = 0x00030000,
    D3DTSS_TCI_SPHEREMAP = 0x00040000,
};

enum D3DTEXTURETRANSFORMFLAGS : DWORD {
    D3DTTFF_DISABLE = 0,
    D3DTTFF_COUNT1 = 1,
    D3DTTFF_COUNT2 = 2,
    D3DTTFF_COUNT3 = 3,
    D3DTTFF_COUNT4 = 4,
    D3DTTFF_PROJECTED = 256,
};

enum D3DTEXTUREADDRESS : DWORD {
    D3DTADDRESS_WRAP = 1,
    D3DTADDRESS_MIRROR = 2,
    D3DTADDRESS_CLAMP = 3,
    D3DTADDRESS_BORDER = 4,
    D3DTADDRESS_MIRRORONCE = 5,
};

enum D3DTEXTUREFILTERTYPE : DWORD {
    D3DTEXF_NONE = 0,
    D3DTEXF_POINT = 1,
    D3DTEXF_LINEAR = 2,
    D3DTEXF_ANISOTROPIC = 3,
};

enum D3DCUBEMAP_FACES : DWORD {
    D3DCUBEMAP_FACE_POSITIVE_X = 0,
    D3DCUBEMAP_FACE_NEGATIVE_X = 1,
    D3DCUBEMAP_FACE_POSITIVE_Y = 2,
    D3DCUBEMAP_FACE_NEGATIVE_Y = 3,
    D3DCUBEMAP_FACE_POSITIVE_Z = 4,
    D3DCUBEMAP_FACE_NEGATIVE_Z = 5,
};

enum D3DLIGHTTYPE : DWORD { D3DLIGHT_POINT = 1, D3DLIGHT_SPOT = 2, D3DLIGHT_DIRECTIONAL = 3 };

enum D3DMULTISAMPLE_TYPE : DWORD { D3DMULTISAMPLE_NONE = 0 };
enum D3DSWAPEFFECT : DWORD { D3DSWAPEFFECT_DISCARD = 1, D3DSWAPEFFECT_FLIP = 2, D3DSWAPEFFECT_COPY = 3 };
enum D3DBACKBUFFER_TYPE : DWORD { D3DBACKBUFFER_TYPE_MONO = 0 };

inline constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0x00000000;
inline constexpr UINT D3DPRESENT_INTERVAL_ONE = 0x00000001;
inline constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000;

inline constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x00000020;
inline constexpr DWORD D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x00000040;
inline constexpr DWORD D3DCREATE_MIXED_VERTEXPROCESSING = 0x00000080;

inline constexpr DWORD D3DPMISCCAPS_PERSTAGECONSTANT = 0x00008000;

inline constexpr DWORD D3DVS_VERSION(DWORD major, DWORD minor) { return 0xFFFE0000u | (major << 8) | minor; }
inline constexpr DWORD D3DPS_VERSION(DWORD major, DWORD minor) { return 0xFFFF0000u | (major << 8) | minor; }

// ---- Flexible vertex format bits --------------------------------------------
enum : DWORD {
    D3DFVF_POSITION_MASK = 0x400E,
    D3DFVF_XYZ = 0x002,
    D3DFVF_XYZRHW = 0x004,
    D3DFVF_XYZB1 = 0x006,
    D3DFVF_XYZB2 = 0x008,
    D3DFVF_XYZB3 = 0x00A,
    D3DFVF_XYZB4 = 0x00C,
    D3DFVF_XYZB5 = 0x00E,
    D3DFVF_XYZW = 0x4002,
    D3DFVF_NORMAL = 0x010,
    D3DFVF_PSIZE = 0x020,
    D3DFVF_DIFFUSE = 0x040,
    D3DFVF_SPECULAR = 0x080,
    D3DFVF_TEXCOUNT_MASK = 0xF00,
    D3DFVF_TEXCOUNT_SHIFT = 8,
    D3DFVF_TEX0 = 0x000,
    D3DFVF_TEX1 = 0x100,
    D3DFVF_TEX2 = 0x200,
    D3DFVF_TEX3 = 0x300,
    D3DFVF_TEX4 = 0x400,
    D3DFVF_TEX5 = 0x500,
    D3DFVF_TEX6 = 0x600,
    D3DFVF_TEX7 = 0x700,
    D3DFVF_TEX8 = 0x800,
    D3DFVF_LASTBETA_UBYTE4 = 0x1000,
    D3DFVF_LASTBETA_D3DCOLOR = 0x8000,
};
// Size of texture coordinate set i: two floats unless these bits say otherwise.
enum : DWORD { D3DFVF_TEXTUREFORMAT1 = 3, D3DFVF_TEXTUREFORMAT2 = 0, D3DFVF_TEXTUREFORMAT3 = 1, D3DFVF_TEXTUREFORMAT4 = 2 };
inline constexpr DWORD D3DFVF_TEXCOORDSIZE1(DWORD i) { return D3DFVF_TEXTUREFORMAT1 << (i * 2 + 16); }
inline constexpr DWORD D3DFVF_TEXCOORDSIZE2(DWORD i) { return D3DFVF_TEXTUREFORMAT2; }
inline constexpr DWORD D3DFVF_TEXCOORDSIZE3(DWORD i) { return D3DFVF_TEXTUREFORMAT3 << (i * 2 + 16); }
inline constexpr DWORD D3DFVF_TEXCOORDSIZE4(DWORD i) { return D3DFVF_TEXTUREFORMAT4 << (i * 2 + 16); }

// ---- Records ----------------------------------------------------------------
struct D3DVECTOR {
    float x, y, z;
};

struct D3DCOLORVALUE {
    float r, g, b, a;
};

struct D3DMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};

struct D3DRECT {
    LONG x1, y1, x2, y2;
};

struct D3DVIEWPORT9 {
    DWORD X, Y, Width, Height;
    float MinZ, MaxZ;
};

struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power;
};

struct D3DLIGHT9 {
    D3DLIGHTTYPE Type;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DVECTOR Position;
    D3DVECTOR Direction;
    float Range;
    float Falloff;
    float Attenuation0;
    float Attenuation1;
    float Attenuation2;
    float Theta;
    float Phi;
};

struct D3DDISPLAYMODE {
    UINT Width;
    UINT Height;
    UINT RefreshRate;
    D3DFORMAT Format;
};

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth;
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    DWORD MultiSampleQuality;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT PresentationInterval;
};

// The capabilities the game looks at.
struct D3DCAPS9 {
    D3DDEVTYPE DeviceType;
    UINT AdapterOrdinal;
    DWORD PrimitiveMiscCaps;
    DWORD MaxTextureWidth;
    DWORD MaxTextureHeight;
    DWORD MaxTextureBlendStages;
    DWORD MaxSimultaneousTextures;
    DWORD MaxActiveLights;
    DWORD MaxUserClipPlanes;
    DWORD MaxPrimitiveCount;
    DWORD MaxVertexIndex;
    DWORD MaxStreams;
    DWORD VertexShaderVersion;
    DWORD MaxVertexShaderConst;
    DWORD PixelShaderVersion;
    DWORD NumSimultaneousRTs;
};

struct D3DSURFACE_DESC {
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    DWORD MultiSampleQuality;
    UINT Width;
    UINT Height;
};

struct D3DVERTEXBUFFER_DESC {
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    UINT Size;
    DWORD FVF;
};

struct D3DINDEXBUFFER_DESC {
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    UINT Size;
};

struct D3DLOCKED_RECT {
    INT Pitch;
    void* pBits;
};

// ---- Interfaces --------------------------------------------------------------
// Every object is reference counted: the creator holds one reference, AddRef
// adds one, Release drops one and returns the count left (0: destroyed).
class IUnknown {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

class IDirect3DDevice9;

class IDirect3DResource9 : public IUnknown {
public:
    virtual D3DRESOURCETYPE GetType() = 0;
};

class IDirect3DSurface9 : public IDirect3DResource9 {
public:
    virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

class IDirect3DBaseTexture9 : public IDirect3DResource9 {
public:
    virtual DWORD GetLevelCount() = 0;
    // Rebuilds the lower mip levels of a D3DUSAGE_AUTOGENMIPMAP texture from
    // level 0 (such a texture exposes level 0 only).
    virtual void GenerateMipSubLevels() = 0;
};

class IDirect3DTexture9 : public IDirect3DBaseTexture9 {
public:
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) = 0;
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;
};

class IDirect3DCubeTexture9 : public IDirect3DBaseTexture9 {
public:
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) = 0;
    virtual HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                             DWORD flags) = 0;
    virtual HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) = 0;
};

class IDirect3DVertexBuffer9 : public IDirect3DResource9 {
public:
    // size 0 locks from offset to the end; a range past the end is refused.
    virtual HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) = 0;
};

class IDirect3DIndexBuffer9 : public IDirect3DResource9 {
public:
    virtual HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) = 0;
};

class IDirect3DDevice9 : public IUnknown {
public:
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS9* caps) = 0;
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* params) = 0;
    virtual HRESULT Present(const RECT* source, const RECT* dest, HWND window, const void* dirtyRegion) = 0;
    virtual HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) = 0;

    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** texture, HANDLE* shared) = 0;
    virtual HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DCubeTexture9** texture, HANDLE* shared) = 0;
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** buffer, HANDLE* shared) = 0;
    virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer9** buffer, HANDLE* shared) = 0;
    virtual HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                              D3DMULTISAMPLE_TYPE multiSample, DWORD quality, BOOL discard,
                                              IDirect3DSurface9** surface, HANDLE* shared) = 0;
    virtual HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                                const RECT* destRect, D3DTEXTUREFILTERTYPE filter) = 0;

    virtual HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) = 0;
    virtual HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) = 0;
    virtual HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) = 0;
    virtual HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) = 0;

    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;

    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL9* material) = 0;
    virtual HRESULT GetMaterial(D3DMATERIAL9* material) = 0;
    virtual HRESULT SetLight(DWORD index, const D3DLIGHT9* light) = 0;
    virtual HRESULT GetLight(DWORD index, D3DLIGHT9* light) = 0;
    virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
    virtual HRESULT GetLightEnable(DWORD index, BOOL* enable) = 0;
    virtual HRESULT SetClipPlane(DWORD index, const float* plane) = 0;
    virtual HRESULT GetClipPlane(DWORD index, float* plane) = 0;

    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) = 0;
    virtual HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
    virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) = 0;
    virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
    virtual HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) = 0;

    virtual HRESULT SetFVF(DWORD fvf) = 0;
    virtual HRESULT GetFVF(DWORD* fvf) = 0;
    virtual HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) = 0;
    virtual HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) = 0;

    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minIndex, UINT vertexCount,
                                         UINT startIndex, UINT primitiveCount) = 0;
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                    UINT stride) = 0;
    virtual HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount,
                                           UINT primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                           const void* vertices, UINT stride) = 0;

    virtual HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) = 0;
    virtual HRESULT GetVertexShaderConstantF(UINT start, float* data, UINT count) = 0;
    virtual HRESULT SetVertexShaderConstantI(UINT start, const int* data, UINT count) = 0;
    virtual HRESULT GetVertexShaderConstantI(UINT start, int* data, UINT count) = 0;
    virtual HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) = 0;
    virtual HRESULT GetPixelShaderConstantF(UINT start, float* data, UINT count) = 0;
    virtual HRESULT SetPixelShaderConstantI(UINT start, const int* data, UINT count) = 0;
    virtual HRESULT GetPixelShaderConstantI(UINT start, int* data, UINT count) = 0;
};

class IDirect3D9 : public IUnknown {
public:
    virtual UINT GetAdapterCount() = 0;
    virtual UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) = 0;
    virtual HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* out) = 0;
    virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) = 0;
    virtual HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                    D3DFORMAT backBufferFormat, BOOL windowed) = 0;
    virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                      D3DRESOURCETYPE resourceType, D3DFORMAT format) = 0;
    virtual HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                           D3DFORMAT renderTargetFormat, D3DFORMAT depthFormat) = 0;
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) = 0;
    // On a failure caused by too many back buffers the count in params is
    // lowered to what the device allows, so a second call can succeed.
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND window, DWORD behaviour,
                                 D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) = 0;
};

// The Direct3D object of the back end chosen at start-up (plat::IsHeadless),
// or null when no device can be offered.
IDirect3D9* Direct3DCreate9(UINT sdkVersion);
