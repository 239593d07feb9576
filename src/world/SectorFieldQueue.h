// The grass, trees and stones of the sectors that stream in during play,
// placed a slice of cells a frame instead of all in the frame the sectors
// come into range. The world comes out as if each sector had been built at
// once, and the game's random sequence runs on as it would have.
#pragma once

#include "world/FieldObjectManager.h"

#include <cstdint>

class CLandscapeSector;

enum {
    FIELD_QUEUE_MAX = 64,        // sectors waiting at most; a full queue finishes its oldest
    FIELD_QUEUE_STATE_WORDS = 32, // a generator state of 128 bytes, the C library's own size
};

// One sector's placement under way: the pass (kind) and its next cell, the
// objects placed so far and the pass's own generator state.
struct SectorFieldBuild {
    CLandscapeSector* sector = nullptr;
    int kind = FIELD_GRASS;
    int cell = 0;
    int lastKind = FIELD_STONES;
    FieldBuildObjects objects{};
    std::int32_t random[FIELD_QUEUE_STATE_WORDS] = {};
};

class CSectorFieldQueue {
public:
    // A streaming pass with deferring set queues the sectors it activates;
    // EndPass then builds at once the stones of the last one queued (see
    // there) and finishes any queued sector already near the camera.
    void BeginPass(int deferring);
    void EndPass(float nearDistance);
    // 1 when the sector was queued, 0 when the caller is to build it now.
    int Take(CLandscapeSector* sector);
    // Places the oldest sectors' objects for about `work` units, a cell
    // visited being one (see ObjectCost in the source for the rest).
    void Advance(int work);
    // Finishes the queue up to and including the sector when it is queued.
    void FinishThrough(const CLandscapeSector* sector);
    void FinishAll();
    // Forgets the sector without building it (it is being released).
    void Drop(const CLandscapeSector* sector);
    void Clear();

    SectorFieldBuild m_Builds[FIELD_QUEUE_MAX];
    int m_nBuilds = 0;
    int m_bDeferring = 0;
    // The sector the running pass queued last.
    CLandscapeSector* m_pPassLast = nullptr;

private:
    int Find(const CLandscapeSector* sector) const;
    // Runs about `work` units of the oldest sector: the units it used.
    int Step(int work);
    void RemoveAt(int i);
};

extern CSectorFieldQueue g_SectorFieldQueue;
