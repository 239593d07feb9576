// The resources of the layer's devices. Each keeps its memory in a form every
// back end can use: a texture holds the bytes of each mip level (of each cube
// face) in its own format, a buffer holds its bytes.
#pragma once

#include "platform/D3D9.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace plat::d3d {

// Counters a device shares with the resources it made; outlives both.
struct DeviceShared {
    int liveDefaultPool = 0;
};
using SharedState = std::shared_ptr<DeviceShared>;

// Counts a default-pool resource for as long as it lives.
class PoolTicket {
public:
    PoolTicket(SharedState shared, D3DPOOL pool);
    ~PoolTicket();
    PoolTicket(const PoolTicket&) = delete;
    PoolTicket& operator=(const PoolTicket&) = delete;

private:
    SharedState m_shared;
    bool m_counted;
};

template <class Interface>
class RefObject : public Interface {
public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ULONG m_refs = 1;
};

// What a drawing back end keeps of a resource (its copy in the graphics
// driver); it goes with the resource.
struct BackendObject {
    virtual ~BackendObject() = default;
};

// One image: a mip level of a texture face, or a standalone surface.
struct Level {
    D3DSURFACE_DESC desc{};
    std::vector<std::uint8_t> bytes;
    bool locked = false;
    // Raised whenever the bytes may have changed (unlock, load, copy), so a
    // back end holding a copy knows to upload again.
    std::uint32_t revision = 0;
    std::unique_ptr<BackendObject> backend;
};

// Lock of a whole level or of a rectangle inside it. Refused for surfaces a
// real device keeps out of reach (render targets, depth buffers, static
// default-pool textures), for rectangles outside the level or not on block
// bounds, and for a level already locked.
HRESULT LockLevel(Level& level, D3DLOCKED_RECT* locked, const RECT* rect);
HRESULT UnlockLevel(Level& level);
void InitLevel(Level& level, D3DFORMAT format, D3DRESOURCETYPE type, DWORD usage, D3DPOOL pool, UINT width,
               UINT height);

// A surface is either a view of a texture's level, sharing the texture's
// reference count as on the real device, or a standalone image of its own.
class Surface final : public IDirect3DSurface9 {
public:
    Surface(IUnknown* container, Level* level);
    Surface(SharedState shared, D3DFORMAT format, DWORD usage, D3DPOOL pool, UINT width, UINT height);

    ULONG AddRef() override;
    ULONG Release() override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    Level& Image() { return *m_level; }
    IUnknown* Container() { return m_container; }

private:
    IUnknown* m_container = nullptr;
    Level* m_level = nullptr;
    ULONG m_refs = 1;
    std::unique_ptr<Level> m_own;
    std::unique_ptr<PoolTicket> m_ticket;
};

// Levels and surfaces of a 2-D texture (1 face) or a cube texture (6 faces).
class TextureStore {
public:
    TextureStore(IUnknown* owner, SharedState shared, UINT width, UINT height, UINT levels, UINT faces,
                 DWORD usage, D3DFORMAT format, D3DPOOL pool);
    UINT LevelCount() const { return m_levelCount; }
    UINT FaceCount() const { return m_faceCount; }
    // Null for a face or level out of range.
    Level* At(UINT face, UINT level);
    Surface* SurfaceAt(UINT face, UINT level);
    DWORD Usage() const { return m_usage; }
    std::unique_ptr<BackendObject> backend;

private:
    UINT m_levelCount;
    UINT m_faceCount;
    DWORD m_usage;
    std::vector<Level> m_levels;                    // face-major
    std::vector<std::unique_ptr<Surface>> m_surfaces;
    PoolTicket m_ticket;
};

class Texture final : public RefObject<IDirect3DTexture9> {
public:
    Texture(SharedState shared, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return m_store.LevelCount(); }
    // The lower levels of an auto-mip texture are not kept here: the drawing
    // back end holding the texture rebuilds them from level 0 whenever level 0
    // has changed (an unlock raises its revision), so there is nothing to do.
    void GenerateMipSubLevels() override {}
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    TextureStore& Store() { return m_store; }

private:
    TextureStore m_store;
};

class CubeTexture final : public RefObject<IDirect3DCubeTexture9> {
public:
    CubeTexture(SharedState shared, UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    DWORD GetLevelCount() override { return m_store.LevelCount(); }
    void GenerateMipSubLevels() override {}
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                     DWORD flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
    TextureStore& Store() { return m_store; }

private:
    TextureStore m_store;
};

// The levels of either kind of texture, or null for anything else.
TextureStore* StoreOf(IDirect3DBaseTexture9* texture);

// Bytes of a vertex or index buffer with its lock.
class BufferStore {
public:
    BufferStore(SharedState shared, UINT length, DWORD usage, D3DPOOL pool);
    HRESULT Lock(UINT offset, UINT size, void** data);
    HRESULT Unlock();
    // Writable access counts as a change (see Level::revision).
    std::vector<std::uint8_t>& Bytes()
    {
        ++m_revision;
        m_dirtyBegin = 0;
        m_dirtyEnd = m_bytes.size();
        return m_bytes;
    }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::uint32_t Revision() const { return m_revision; }
    bool Locked() const { return m_locked; }
    DWORD Usage() const { return m_usage; }
    D3DPOOL Pool() const { return m_pool; }
    // The first and last byte that may have changed since the back end last
    // copied the buffer (it says so with ResetDirty).
    size_t DirtyBegin() const { return m_dirtyBegin; }
    size_t DirtyEnd() const { return m_dirtyEnd; }
    void ResetDirty() { m_dirtyBegin = m_bytes.size(); m_dirtyEnd = 0; }
    std::unique_ptr<BackendObject> backend;

private:
    std::vector<std::uint8_t> m_bytes;
    DWORD m_usage;
    D3DPOOL m_pool;
    bool m_locked = false;
    std::uint32_t m_revision = 0;
    size_t m_dirtyBegin = 0;
    size_t m_dirtyEnd = 0;
    PoolTicket m_ticket;
};

class VertexBuffer final : public RefObject<IDirect3DVertexBuffer9> {
public:
    VertexBuffer(SharedState shared, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
    BufferStore& Store() { return m_store; }

private:
    BufferStore m_store;
    DWORD m_fvf;
};

// The lowest and highest index of a run of indices; not valid when the run
// reaches past the buffer.
struct IndexRange {
    bool valid = false;
    std::uint32_t lowest = 0;
    std::uint32_t highest = 0;
};

class IndexBuffer final : public RefObject<IDirect3DIndexBuffer9> {
public:
    IndexBuffer(SharedState shared, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;
    BufferStore& Store() { return m_store; }
    D3DFORMAT Format() const { return m_format; }
    // Scans the run once per revision of the bytes: the last few runs asked
    // for are remembered, since a mesh draws the same subsets every frame.
    // Many runs of one shared buffer (the quads of every grass field) would
    // push each other out of that memory, so a long run is read from the
    // lowest and highest index of each block of the buffer instead.
    IndexRange RangeOf(UINT start, UINT count);

private:
    struct KnownRange {
        std::uint32_t revision = 0;
        UINT start = 0, count = 0;
        IndexRange range;
        bool used = false;
    };
    static constexpr int kKnownRanges = 8;
    static constexpr UINT kBlockIndices = 256;

    IndexRange Scan(size_t start, size_t count) const;
    IndexRange Remember(UINT start, UINT count, const IndexRange& range);
    void SummariseBlocks();

    BufferStore m_store;
    D3DFORMAT m_format;
    KnownRange m_known[kKnownRanges];
    int m_nextKnown = 0;
    std::vector<IndexRange> m_blocks; // by block of kBlockIndices, for m_blocksRevision
    std::uint32_t m_blocksRevision = 0;
    bool m_blocksKnown = false;
    std::uint32_t m_askedRevision = 0xFFFFFFFFu; // of the last run asked for
};

} // namespace plat::d3d
