#include "shell/GameSound.h"

#include "sound_fixture.h"

#include <cmath>
#include <limits>

namespace {

using soundtest::AudioTest;
using soundtest::ToneWav;

TEST(SoundVolume, MapsPercentSettingsAndFadeToHundredthsOfADecibel)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float percent;
        int category, master;
        float fade;
        LONG expected;
    };
    const Case cases[] = {
        {100, 100, 100, 100, 0},    {50, 100, 100, 100, -2500}, {100, 100, 0, 100, -5000},
        {0, 100, 100, 100, -5000},  {100, 0, 100, 100, -5000},  {100, 50, 50, 100, -3750},
        {100, 100, 100, 50, -2500}, {100, 100, 100, 0, -5000},
        // Ambience goes below 0 %: quieter than -5000, never below the range.
        {-25, 100, 100, 100, -6250}, {-500, 100, 100, 100, DSBVOLUME_MIN},
        // Above 100 % is as loud as the buffer goes.
        {150, 100, 100, 100, 0},    {nan, 100, 100, 100, DSBVOLUME_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.percent << "% c" << c.category << " m" << c.master << " f" << c.fade);
        EXPECT_EQ(MapSoundVolume(c.percent, c.category, c.master, c.fade), c.expected);
    }
}

TEST(SoundPlayOffset, FollowsLoopsAndRepeats)
{
    const DWORD inf = DMUS_SEG_REPEAT_INFINITE;
    struct Case {
        const char* what;
        MUSIC_TIME now, stateStart, startPoint, loopStart, loopEnd, length;
        DWORD repeats;
        MUSIC_TIME expected;
    };
    const Case cases[] = {
        {"played once: time since the start", 1500, 1000, 0, 0, 0, 400, 0, 500},
        {"resumed from a start point", 1100, 1000, 300, 0, 0, 400, 0, 400},
        {"infinite loop wraps into the loop", 2250, 1000, 0, 0, 0, 400, inf, 50},
        {"infinite loop with a loop start", 2250, 1000, 0, 100, 300, 400, inf, 250},
        {"finite repeats still looping", 1900, 1000, 0, 0, 400, 1000, 2, 100},
        {"finite repeats exceeded: the loops are taken off", 2100, 1000, 0, 0, 400, 1000, 2, 300},
        {"loop end 0 loops over the length", 1700, 1000, 0, 0, 0, 300, inf, 100},
        {"start point past the loop: no wrapping", 1100, 1000, 500, 0, 400, 1000, inf, 600},
        {"capped at the largest music time", 2147483647, -2147483647, 10, 0, 0, 400, 0, 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ComputePlayOffset(c.now, c.stateStart, c.startPoint, c.loopStart, c.loopEnd, c.length, c.repeats),
                  c.expected);
    }
}

class GameSoundTest : public AudioTest {
protected:
    CGameSound* LoadTone(const char* name, int ms, DWORD kind = SOUND_STEREO)
    {
        test::WriteWholeFile(name, ToneWav(ms));
        return g_AudioManager.LoadSound(name, kind, 5.0f, 50.0f);
    }
    LONG BufferVolume(CGameSound* s)
    {
        LONG v = 1;
        s->m_pBuffer->GetVolume(&v);
        return v;
    }
};

TEST_F(GameSoundTest, MadeWithItsPathBufferAndVolume)
{
    Start();
    CGameSound* flat = LoadTone("flat.wav", 100);
    CGameSound* spatial = LoadTone("spatial.wav", 100, SOUND_3D);
    ASSERT_TRUE(flat && spatial);
    EXPECT_EQ(flat->m_nRefCount, 1u);
    EXPECT_EQ(flat->m_p3DBuffer, nullptr);
    EXPECT_EQ(flat->m_nBaseFrequency, 22050u) << "the path's buffer runs at the mix rate";
    EXPECT_EQ(BufferVolume(flat), 0);
    ASSERT_NE(spatial->m_p3DBuffer, nullptr);
    // The far-away start and the distances are deferred to the next commit.
    g_AudioManager.m_pListener->CommitDeferredSettings();
    D3DVECTOR p{};
    float minD = 0, maxD = 0;
    spatial->m_p3DBuffer->GetPosition(&p);
    spatial->m_p3DBuffer->GetMinDistance(&minD);
    spatial->m_p3DBuffer->GetMaxDistance(&maxD);
    EXPECT_EQ(p.x, -1000000.0f);
    EXPECT_EQ(minD, 5.0f);
    EXPECT_EQ(maxD, 50.0f);
}

TEST_F(GameSoundTest, CategoryFollowsTheKind)
{
    g_nMusicVolume = 50;
    g_nEffectsVolume = 0;
    Start();
    test::WriteWholeFile("t.wav", ToneWav(50));
    CGameSound* music = g_AudioManager.LoadSound("t.wav", SOUND_MUSIC, 1, 10);
    CGameSound* effect = g_AudioManager.LoadSound("t.wav", SOUND_3D, 1, 10);
    ASSERT_TRUE(music && effect);
    EXPECT_EQ(BufferVolume(music), -2500);
    EXPECT_EQ(BufferVolume(effect), -5000);
}

TEST_F(GameSoundTest, GraceWindowThenNaturalEnd)
{
    Start();
    CGameSound* s = LoadTone("short.wav", 100);
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->IsPlaying()) << "loaded, never played";
    s->Play(0);
    // The output has already finished the 100 ms sound, but the first 250 ms
    // count as playing without asking it.
    plat::AdvanceFakeClock(200);
    g_GameTimer.m_fRealTime += 200;
    EXPECT_TRUE(s->IsPlaying());
    Advance(60);
    EXPECT_FALSE(s->IsPlaying()) << "past the grace the output is asked: ended";
    s->Play(1);
    Advance(5000);
    EXPECT_TRUE(s->IsPlaying()) << "a loop plays on";
}

TEST_F(GameSoundTest, StoppedSoundNeverPlaysOrResumes)
{
    Start();
    CGameSound* s = LoadTone("a.wav", 1000);
    ASSERT_TRUE(s);
    s->Play(0);
    Advance(10);
    s->Stop();
    EXPECT_FALSE(s->IsPlaying()) << "a stop inside the grace time counts";
    EXPECT_EQ(s->m_pSegmentState, nullptr);

    s->Play(1);
    Advance(500);
    s->Pause();
    ASSERT_EQ(s->m_bPaused, 1u);
    s->Stop();
    s->Resume();
    EXPECT_FALSE(s->IsPlaying()) << "a stop forgets the pause";

    // Pause inside the grace time when the output never gave a play state.
    s->Play(0);
    s->m_pSegmentState->Release();
    s->m_pSegmentState = nullptr;
    s->Pause();
    EXPECT_EQ(s->m_bPaused, 1u);
    s->Stop();
    EXPECT_FALSE(s->IsPlaying());
}

TEST_F(GameSoundTest, PauseOnEndedSoundLeavesItUnpaused)
{
    Start();
    CGameSound* s = LoadTone("a.wav", 100);
    ASSERT_TRUE(s);
    s->Play(0);
    Advance(400);
    s->Pause();
    EXPECT_EQ(s->m_bPaused, 0u);
    s->Resume();
    EXPECT_FALSE(s->IsPlaying());
}

TEST_F(GameSoundTest, LoopPausedInItsThirdPassResumesAtTheSamePoint)
{
    Start();
    CGameSound* s = LoadTone("loop.wav", 400);
    ASSERT_TRUE(s);
    s->Play(1);
    Advance(2 * 400 + 130);
    s->Pause();
    EXPECT_EQ(s->m_nPausedOffset, 130);
    Advance(5000);
    s->Resume();
    EXPECT_TRUE(s->IsPlaying());
    EXPECT_EQ(s->GetPlayOffset(), 130);
    Advance(300);
    EXPECT_EQ(s->GetPlayOffset(), 30) << "the loop goes on over the whole wave";
}

// Every pause keeps the true place in the loop, also a pause after a resume
// that started the wave part-way.
TEST_F(GameSoundTest, LoopPausedAgainKeepsItsPlaceInTheLoop)
{
    Start();
    CGameSound* s = LoadTone("loop.wav", 400);
    ASSERT_TRUE(s);
    s->Play(1);
    Advance(50);
    s->Pause();
    ASSERT_EQ(s->m_nPausedOffset, 50);
    s->Resume();
    const int steps[] = {230, 170, 400, 290, 1000};
    int expected = 50;
    for (const int step : steps) {
        Advance(step);
        expected = (expected + step) % 400;
        s->Pause();
        EXPECT_EQ(s->m_nPausedOffset, expected) << "after " << step;
        Advance(777);
        s->Resume();
        EXPECT_EQ(s->GetPlayOffset(), expected) << "after " << step;
    }
}

TEST_F(GameSoundTest, ReleaseDropsOneReferenceAndNothingAtZero)
{
    Start();
    test::WriteWholeFile("shared.wav", ToneWav(500));
    CGameSound* s = g_AudioManager.LoadSound("shared.wav", SOUND_STEREO, 1, 10);
    ASSERT_EQ(g_AudioManager.LoadSound("shared.wav", SOUND_STEREO, 1, 10), s);
    s->Play(1);
    s->ReleaseSound();
    EXPECT_EQ(s->m_nRefCount, 1u);
    EXPECT_FALSE(s->IsPlaying()) << "only stopped";
    EXPECT_NE(s->m_pSegment, nullptr);
    s->ReleaseSound();
    EXPECT_EQ(s->m_pSegment, nullptr);
    s->ReleaseSound(); // a stray extra release finds nothing to free
    EXPECT_EQ(s->m_nRefCount, 0u);
    // The table still lists it; hand it back so the manager deletes it.
    CGameSound* handle = s;
    g_AudioManager.FreeSound(&handle);
    EXPECT_EQ(g_AudioManager.m_nSounds, 0u);
}

TEST_F(GameSoundTest, PathWithoutBufferWarnsAndStillPlays)
{
    Start();
    plat::SetSoundFault(plat::SoundFault::PathBuffer);
    const unsigned boxes = plat::MessageBoxCount();
    CGameSound* s = LoadTone("nobuffer.wav", 1000, SOUND_3D);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(plat::MessageBoxCount(), boxes + 1);
    EXPECT_STREQ(plat::LastMessageBoxText(), "SoundBuffer empty!");
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "CGameSound error!");
    EXPECT_EQ(plat::LastMessageBoxStyle(), UINT(MB_ICONEXCLAMATION));
    EXPECT_EQ(s->m_pBuffer, nullptr);
    EXPECT_EQ(s->m_p3DBuffer, nullptr);
    // Volume, pitch and place have nowhere to go; the percent is still kept.
    s->SetVolume(40.0f);
    s->SetFrequency(11025);
    s->SetPosition({1, 2, 3});
    EXPECT_EQ(s->m_fVolume, 40.0f);
    s->Play(0);
    Advance(500);
    EXPECT_TRUE(s->IsPlaying()) << "past the grace time the output still plays it";
    plat::SetSoundFault(plat::SoundFault::None);
}

TEST_F(GameSoundTest, FrequencyAndPositionNeedTheirBuffers)
{
    Start();
    CGameSound* flat = LoadTone("f.wav", 100);
    CGameSound* spatial = LoadTone("s.wav", 100, SOUND_3D);
    ASSERT_TRUE(flat && spatial);
    flat->SetPosition({1, 2, 3}); // no 3-D buffer: nothing happens
    spatial->SetFrequency(11025);
    DWORD hz = 0;
    spatial->m_pBuffer->GetFrequency(&hz);
    EXPECT_EQ(hz, 11025u);
    spatial->SetPosition({1, 2, 3});
    D3DVECTOR p{};
    spatial->m_p3DBuffer->GetPosition(&p);
    EXPECT_NE(p.x, 1.0f) << "deferred until the frame's commit";
    g_AudioManager.m_pListener->CommitDeferredSettings();
    spatial->m_p3DBuffer->GetPosition(&p);
    EXPECT_EQ(p.z, 3.0f);
}

} // namespace
