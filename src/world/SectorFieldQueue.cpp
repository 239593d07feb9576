// Placing the field objects of streamed-in sectors over several frames.
//
// A sector's placement draws from the C generator, reseeded with the
// sector's own seed for each kind. Built at once, the last sector of a
// streaming pass leaves the game's generator at "its seed plus the draws of
// its stones", and every later draw of the game follows from there. So a
// queued sector is placed with a generator state of its own, swapped in for
// its slice and swapped out after (initstate/setstate), and only the stones
// of the pass's last sector are placed at once on the game's generator: the
// game's sequence is the one the at-once build left. The C library's rand()
// is random() with a 128-byte state, so a private state of that size seeded
// the same way gives the same draws, and the objects come out identical.
// Elsewhere sectors are built at once.
//
// Sectors finish in the order they were queued: the trees of one mesh
// shuffle the mesh's shared branch points as each is built, so the order of
// building shapes every later tree.
#include "world/SectorFieldQueue.h"

#include "world/LandscapeSector.h"

#include <climits>
#include <cstdlib>

CSectorFieldQueue g_SectorFieldQueue;

namespace {

#if defined(__GLIBC__)
constexpr bool kOwnGenerators = true;
#else
constexpr bool kOwnGenerators = false; // another rand() may not be random(): build at once
#endif

// The work of placing, counted in cell visits (some 40 ns each): a grass
// tuft costs about one more, a tree or a stone some sixty (its description
// file is read), and closing the trees' pass some thirty a tree (the leaf
// clusters are made then).
int ObjectCost(int kind)
{
    return kind == FIELD_GRASS ? 1 : 60;
}

int ClosingCost(int kind)
{
    const TreeRecord* trees = g_FieldObjects.m_pTreeBuild;
    return kind == FIELD_TREES && trees ? 30 * static_cast<int>(trees->nTrees) : 0;
}

// The build's own generator is the one rand() draws from while this lives.
class OwnGenerator {
public:
    explicit OwnGenerator(std::int32_t* state) : m_pGame(setstate(reinterpret_cast<char*>(state))) {}
    ~OwnGenerator() { setstate(m_pGame); }
    OwnGenerator(const OwnGenerator&) = delete;
    OwnGenerator& operator=(const OwnGenerator&) = delete;

private:
    char* m_pGame;
};

} // namespace

void CSectorFieldQueue::BeginPass(int deferring)
{
    m_bDeferring = kOwnGenerators && deferring;
    m_pPassLast = nullptr;
}

void CSectorFieldQueue::EndPass(float nearDistance)
{
    m_bDeferring = 0;
    const int last = Find(m_pPassLast);
    m_pPassLast = nullptr;
    if (last >= 0) {
        m_Builds[last].sector->BuildFieldObjects(FIELD_STONES);
        m_Builds[last].lastKind = FIELD_TREES;
    }
    // What is near the camera is never left waiting.
    for (int i = m_nBuilds - 1; i >= 0; --i)
        if (m_Builds[i].sector->m_fDistance < nearDistance) {
            FinishThrough(m_Builds[i].sector);
            return;
        }
}

int CSectorFieldQueue::Take(CLandscapeSector* sector)
{
    if (!m_bDeferring)
        return 0;
    if (m_nBuilds == FIELD_QUEUE_MAX)
        FinishThrough(m_Builds[0].sector);
    SectorFieldBuild& build = m_Builds[m_nBuilds++];
    build = SectorFieldBuild{};
    build.sector = sector;
    // A valid state of the full size; each pass seeds it again.
    setstate(initstate(1, reinterpret_cast<char*>(build.random), sizeof build.random));
    m_pPassLast = sector;
    return 1;
}

void CSectorFieldQueue::Advance(int work)
{
    while (work > 0 && m_nBuilds > 0)
        work -= Step(work);
}

void CSectorFieldQueue::FinishThrough(const CLandscapeSector* sector)
{
    for (int n = Find(sector); n >= 0; --n)
        Step(INT_MAX);
}

void CSectorFieldQueue::FinishAll()
{
    while (m_nBuilds > 0)
        Step(INT_MAX);
}

void CSectorFieldQueue::Drop(const CLandscapeSector* sector)
{
    const int i = Find(sector);
    if (i < 0)
        return;
    FreeBuildObjects(&m_Builds[i].objects);
    RemoveAt(i);
    if (m_pPassLast == sector)
        m_pPassLast = nullptr;
}

void CSectorFieldQueue::Clear()
{
    while (m_nBuilds > 0)
        Drop(m_Builds[0].sector);
    m_bDeferring = 0;
    m_pPassLast = nullptr;
}

int CSectorFieldQueue::Find(const CLandscapeSector* sector) const
{
    for (int i = 0; i < m_nBuilds; ++i)
        if (sector && m_Builds[i].sector == sector)
            return i;
    return -1;
}

int CSectorFieldQueue::Step(int work)
{
    SectorFieldBuild& build = m_Builds[0];
    CLandscapeSector* sector = build.sector;
    const int passCells = sector->FieldPassCells();
    int used = 0;
    {
        const OwnGenerator own(build.random);
        g_FieldObjects.SwapBuild(&build.objects);
        while (build.kind <= build.lastKind && used < work) {
            if (build.cell == 0 && !sector->FieldPassNeeded(build.kind)) {
                ++build.kind;
                continue;
            }
            if (build.cell == 0)
                sector->BeginFieldPass(build.kind);
            for (; build.cell < passCells && used < work; ++build.cell)
                used += 1 + ObjectCost(build.kind) * sector->PlaceFieldCell(build.kind, build.cell);
            if (build.cell < passCells)
                break;
            used += ClosingCost(build.kind);
            sector->EndFieldPass(build.kind);
            build.cell = 0;
            ++build.kind;
        }
        g_FieldObjects.SwapBuild(&build.objects);
    }
    if (build.kind > build.lastKind) {
        g_FieldObjects.SetSectorActive(true, sector);
        RemoveAt(0);
    }
    return used;
}

void CSectorFieldQueue::RemoveAt(int i)
{
    for (int k = i; k + 1 < m_nBuilds; ++k)
        m_Builds[k] = m_Builds[k + 1];
    m_Builds[--m_nBuilds] = SectorFieldBuild{};
}
