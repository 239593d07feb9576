// The OpenAL output on OpenAL's own null device: no sound hardware needed.
#include "sound_fixture.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using soundtest::ToneWav;

class OpenALTest : public soundtest::AudioTest {
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 1);
        AudioTest::SetUp();
        plat::UseRealClock(); // the device plays in real time
        plat::SetSoundBackend(plat::SoundBackendKind::OpenAL);
        Start();
    }
    // More sounds of one wave than the output has sources.
    std::vector<CGameSound*> LoadMany(const std::string& wave)
    {
        test::WriteWholeFile("many.wav", wave);
        std::vector<CGameSound*> sounds;
        for (int i = 0; i < 300; ++i) {
            if (CGameSound* s = g_AudioManager.LoadSound("many.wav", SOUND_MUSIC, 1.0f, 10.0f))
                sounds.push_back(s);
        }
        return sounds;
    }
    // Past the start grace so IsPlaying asks the output.
    void SkipGrace() { g_GameTimer.m_fRealTime += 1000.0f; }

    // The device plays on its own thread in real time, which a loaded
    // machine stretches: wait for what the output reports, up to a deadline
    // far past any length these sounds have, instead of for a fixed time.
    template <class Done>
    static bool PollUntil(Done done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    bool WaitUntilSilent(CGameSound* s)
    {
        return PollUntil([&] {
            SkipGrace();
            return !s->IsPlaying();
        });
    }
};

TEST_F(OpenALTest, PlaysASampleAndReportsItsState)
{
    ASSERT_EQ(plat::ActiveSoundBackend(), plat::SoundBackendKind::OpenAL);
    test::WriteWholeFile("stereo.wav", ToneWav(150, 2, 16));
    CGameSound* s = g_AudioManager.LoadSound("stereo.wav", SOUND_3D, 5.0f, 50.0f);
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->m_pBuffer->Report().waveReady) << "mixed down to mono at load, not at the first play";
    s->SetVolume(50.0f);
    s->SetFrequency(44100);
    s->Play(0);
    s->SetPosition({1.0f, 2.0f, 3.0f});
    g_AudioManager.m_pListener->CommitDeferredSettings();

    const plat::VoiceReport r = s->m_pBuffer->Report();
    EXPECT_TRUE(r.hasSource);
    EXPECT_TRUE(r.playing);
    EXPECT_NEAR(r.gain, 0.0562f, 0.001f) << "-25 dB";
    EXPECT_FLOAT_EQ(r.pitch, 2.0f);
    EXPECT_FLOAT_EQ(r.position.x, 1.0f);
    EXPECT_FLOAT_EQ(r.position.z, -3.0f) << "z turns for the right-handed output";
    EXPECT_EQ(plat::SoundSourcesInUse(), 1);

    ASSERT_TRUE(WaitUntilSilent(s)) << "a 150 ms sound ends by itself";
    EXPECT_EQ(plat::SoundSourcesInUse(), 0) << "its source went back to the pool";
}

TEST_F(OpenALTest, MoreSoundsThanSourcesGetTheirTurn)
{
    const std::vector<CGameSound*> sounds = LoadMany(ToneWav(50, 1, 8));
    ASSERT_EQ(sounds.size(), 300u);
    for (CGameSound* s : sounds)
        s->Play(1);
    const int pool = plat::SoundSourcePoolSize();
    EXPECT_GT(pool, 0);
    EXPECT_LT(pool, 300);
    EXPECT_EQ(plat::SoundSourcesInUse(), pool);
    SkipGrace();
    EXPECT_FALSE(sounds.back()->IsPlaying()) << "no source was left for it";
    sounds.front()->Stop();
    sounds.back()->Play(1);
    EXPECT_TRUE(sounds.back()->m_pBuffer->Report().playing) << "the stopped sound's source was lent on";
    g_AudioManager.StopCarSounds();
    for (CGameSound* s : sounds)
        s->Stop();
    EXPECT_EQ(plat::SoundSourcesInUse(), 0);
}

TEST_F(OpenALTest, SourcesOfSoundsThatEndedUnaskedAreLentAgain)
{
    const std::vector<CGameSound*> sounds = LoadMany(ToneWav(1000, 1, 8));
    ASSERT_EQ(sounds.size(), 300u);
    for (CGameSound* s : sounds)
        s->Play(0);
    ASSERT_EQ(plat::SoundSourcesInUse(), plat::SoundSourcePoolSize());
    ASSERT_FALSE(sounds.back()->m_pBuffer->Report().hasSource) << "more sounds than sources";
    // Every blip ends by itself; nobody asks the game whether they still
    // play (the report reads the source's state and lends nothing back).
    ASSERT_TRUE(PollUntil([&] { return !sounds.front()->m_pBuffer->Report().playing; }))
        << "the first blip ends by itself";
    sounds.back()->Play(0);
    EXPECT_TRUE(sounds.back()->m_pBuffer->Report().hasSource) << "an ended sound's source was taken back";
    for (CGameSound* s : sounds)
        s->Stop();
    EXPECT_EQ(plat::SoundSourcesInUse(), 0);
}

TEST_F(OpenALTest, PauseAndResumeKeepThePlace)
{
    test::WriteWholeFile("long.wav", ToneWav(2000));
    CGameSound* s = g_AudioManager.LoadSound("long.wav", SOUND_STEREO, 1.0f, 10.0f);
    ASSERT_NE(s, nullptr);
    s->Play(1);
    ASSERT_TRUE(PollUntil([&] { return s->GetPlayOffset() >= 50; })) << "the sound moves on while it plays";
    g_AudioManager.PauseAll();
    EXPECT_EQ(s->m_bPaused, 1u);
    EXPECT_FALSE(s->m_pBuffer->Report().hasSource);
    EXPECT_GE(s->m_nPausedOffset, 50);
    g_AudioManager.ResumeAll();
    EXPECT_TRUE(s->m_pBuffer->Report().playing);
    EXPECT_GE(s->GetPlayOffset(), s->m_nPausedOffset);
}

} // namespace
