#include "game/GameMenu.h"
#include "roadusers/Human.h"
#include "roadusers/Vehicle.h"
#include "world/Sky.h"
#include "writers/AmbientDataWriter.h"

#include "sound_fixture.h"

#include <cstdio>

namespace {

using soundtest::AudioTest;
using soundtest::ToneWav;

void WriteNumbered(const char* format, int count, int ms)
{
    for (int n = 1; n <= count; ++n) {
        char name[64];
        std::snprintf(name, sizeof name, format, n);
        test::WriteWholeFile(name, ToneWav(ms));
    }
}

class SoundSetsTest : public AudioTest {
protected:
    void TearDown() override
    {
        g_Sky.m_fDaylight = 1.0f;
        AudioTest::TearDown();
    }
    // Lets every short sound end (past the grace time).
    void LetSoundsEnd() { Advance(1000); }
    void Frame() { g_AudioManager.Update(); }
};

TEST_F(SoundSetsTest, TenEnginesOfAKindThenTheEleventhWaits)
{
    test::WriteWholeFile("Data/Audio/E01.wav", ToneWav(200));
    Start();
    CVehicle cars[11];
    for (int i = 0; i < 10; ++i) {
        cars[i].m_fCameraDistance = 10.0f;
        cars[i].m_pEngineSound = g_AudioManager.AcquireEngineSound(0, &cars[i]);
        ASSERT_NE(cars[i].m_pEngineSound, nullptr);
    }
    EXPECT_EQ(g_AudioManager.AcquireEngineSound(0, &cars[10]), nullptr);
    EXPECT_EQ(g_AudioManager.AcquireEngineSound(8, &cars[10]), nullptr) << "kinds run 0..7";

    // Engines follow their cars and loop.
    cars[0].m_fEngineVolume = 50.0f;
    cars[0].m_fEnginePitch = 30000.5f;
    Frame();
    DWORD hz = 0;
    cars[0].m_pEngineSound->m_pBuffer->GetFrequency(&hz);
    EXPECT_EQ(hz, 30000u);
    EXPECT_EQ(cars[0].m_pEngineSound->m_fVolume, 50.0f);
    LetSoundsEnd();
    EXPECT_TRUE(cars[0].m_pEngineSound->IsPlaying());

    // A car that drives away gives its engine back.
    CGameSound* freed = cars[3].m_pEngineSound;
    cars[3].m_fCameraDistance = 50.5f;
    Frame();
    EXPECT_EQ(cars[3].m_pEngineSound, nullptr);
    EXPECT_FALSE(freed->IsPlaying());
    cars[10].m_fCameraDistance = 50.0f; // at most 50 may acquire
    EXPECT_EQ(g_AudioManager.AcquireEngineSound(0, &cars[10]), freed);

    // Releasing with a valid kind frees the car's engines; all bits set only clears its pointer.
    cars[3].m_fCameraDistance = 10.0f;
    g_AudioManager.ReleaseEngineSounds(0xFFFFFFFFu, &cars[0]);
    EXPECT_EQ(cars[0].m_pEngineSound, nullptr);
    EXPECT_EQ(g_AudioManager.AcquireEngineSound(0, &cars[3]), nullptr);
    g_AudioManager.ReleaseEngineSounds(5, &cars[0]);
    EXPECT_NE(g_AudioManager.AcquireEngineSound(0, &cars[3]), nullptr);
}

TEST_F(SoundSetsTest, HornNeedsToBeCloserThan50ToStartButKeepsPlayingAt50)
{
    WriteNumbered("Data/Audio/Hrn%02d.wav", 11, 2000);
    Start();
    CVehicle car;
    car.m_fCameraDistance = 50.0f;
    EXPECT_EQ(g_AudioManager.PlayHornSound(&car), nullptr);
    car.m_fCameraDistance = 49.9f;
    car.m_pHornSound = g_AudioManager.PlayHornSound(&car);
    ASSERT_NE(car.m_pHornSound, nullptr);
    car.m_fCameraDistance = 50.0f;
    Frame();
    EXPECT_NE(car.m_pHornSound, nullptr);
    car.m_fCameraDistance = 51.0f;
    Frame();
    EXPECT_EQ(car.m_pHornSound, nullptr) << "a dropped horn clears the car's pointer";
}

TEST_F(SoundSetsTest, SirensAlternateAndHornsNeverUseTheirEntries)
{
    WriteNumbered("Data/Audio/Hrn%02d.wav", 11, 50);
    Start();
    CVehicle police, traffic;
    police.m_nKind = 2;
    police.m_fCameraDistance = traffic.m_fCameraDistance = 5.0f;
    const auto& horns = g_AudioManager.m_HornSounds;
    for (CGameSound* expected : {horns[9].pSound, horns[10].pSound, horns[9].pSound}) {
        EXPECT_EQ(g_AudioManager.PlayHornSound(&police), expected);
        LetSoundsEnd();
    }
    for (int i = 0; i < 20; ++i) {
        CGameSound* played = g_AudioManager.PlayHornSound(&traffic);
        EXPECT_EQ(played, horns[i % 8].pSound);
        LetSoundsEnd();
    }
}

TEST_F(SoundSetsTest, CriesShareOneIndexAndFollowTheirPedestrian)
{
    WriteNumbered("Data/Audio/MS%02d.wav", 5, 500);
    WriteNumbered("Data/Audio/FS%02d.wav", 5, 500);
    Start();
    CHuman man, woman;
    man.m_fCameraDistance = woman.m_fCameraDistance = 20.0f;
    g_AudioManager.PlayHumanVoice(0, &man);
    g_AudioManager.PlayHumanVoice(1, &woman);
    EXPECT_EQ(g_AudioManager.m_HumanCries[0][0].pOwner, &man);
    EXPECT_EQ(g_AudioManager.m_HumanCries[1][1].pOwner, &woman);
    EXPECT_EQ(g_AudioManager.m_HumanCries[1][0].pOwner, nullptr);
    g_AudioManager.PlayHumanVoice(2, &man); // no such set
    DWORD hz = 0;
    g_AudioManager.m_HumanCries[0][0].pSound->m_pBuffer->GetFrequency(&hz);
    EXPECT_GE(hz, static_cast<DWORD>(22050 * 0.9));
    EXPECT_LE(hz, static_cast<DWORD>(22050 * (0.9 + 100.0 / 160)));
    const float volume = g_AudioManager.m_HumanCries[0][0].pSound->m_fVolume;
    EXPECT_TRUE(volume >= 80.0f && volume <= 100.0f);

    man.m_vPosition = {3, 4, 5};
    Frame();
    g_AudioManager.m_pListener->CommitDeferredSettings();
    D3DVECTOR p{};
    g_AudioManager.m_HumanCries[0][0].pSound->m_p3DBuffer->GetPosition(&p);
    EXPECT_EQ(p.y, 4.0f);
    g_AudioManager.StopHumanVoices(1, &woman);
    EXPECT_EQ(g_AudioManager.m_HumanCries[1][1].pOwner, nullptr);
    LetSoundsEnd();
    Frame();
    EXPECT_EQ(g_AudioManager.m_HumanCries[0][0].pOwner, nullptr) << "ended cries are given back";
}

TEST_F(SoundSetsTest, ImpactsStampTheCarAndWaitForAFreeEntry)
{
    WriteNumbered("Data/Audio/Imp%02d.wav", 20, 300);
    WriteNumbered("Data/Audio/WhS%02d.wav", 14, 300);
    Start();
    CVehicle car;
    car.m_fCameraDistance = 1.0f;
    g_GameTimer.m_fGameTime = 123456.7f;
    g_AudioManager.PlayImpactSound(60.0f, &car);
    EXPECT_EQ(car.m_nImpactSoundStamp, 123456);
    EXPECT_EQ(g_AudioManager.m_Impacts[0].pSound->m_fVolume, 60.0f);
    EXPECT_EQ(g_AudioManager.m_nImpactIndex, 1u);
    EXPECT_EQ(g_AudioManager.PlayWheelSound(&car), g_AudioManager.m_WheelSounds[0].pSound);
    g_AudioManager.StopCarSounds();
    EXPECT_EQ(g_AudioManager.m_Impacts[0].pOwner, nullptr);
    EXPECT_EQ(g_AudioManager.m_WheelSounds[0].pOwner, nullptr);
    EXPECT_NE(g_AudioManager.m_Impacts[0].pSound, nullptr) << "stopped, still loaded";
}

TEST_F(SoundSetsTest, MissingPoolFilesLeaveEntriesThatNeverPlay)
{
    Start();
    CVehicle car;
    car.m_fCameraDistance = 1.0f;
    EXPECT_EQ(g_AudioManager.PlayHornSound(&car), nullptr);
    g_AudioManager.PlayImpactSound(100, &car);
    EXPECT_EQ(g_AudioManager.m_nImpactIndex, 0u) << "the index stays on an empty entry";
    EXPECT_EQ(g_AudioManager.AcquireEngineSound(0, &car), nullptr);
}

class AmbienceTest : public SoundSetsTest {
protected:
    void WriteTracks()
    {
        for (const char* n : {"Data/Audio/AmbTrks/Busy.wav", "Data/Audio/AmbTrks/BusyNight.wav",
                              "Data/Audio/AmbTrks/Quiet.wav", "Data/Audio/AmbTrks/QuietNight.wav"})
            test::WriteWholeFile(n, ToneWav(3000));
    }
    void WriteList(const tools::AmbientLists& lists)
    {
        test::WriteWholeFile("Data/Audio/AmbTrks/AmbientData.obj", tools::MakeAmbientData(lists));
    }
    tools::AmbientLists SampleLists()
    {
        tools::AmbientLists l;
        l.tracks[0][0] = {"Data/Audio/AmbTrks/Busy.wav"};
        l.tracks[0][1] = {"Data/Audio/AmbTrks/BusyNight.wav"};
        l.tracks[1][0] = {"Data/Audio/AmbTrks/Quiet.wav"};
        l.tracks[1][1] = {"Data/Audio/AmbTrks/QuietNight.wav"};
        return l;
    }
};

TEST_F(AmbienceTest, CrossFadeByTrafficDensity)
{
    WriteTracks();
    WriteList(SampleLists());
    Start();
    struct Case {
        float density;
        int music;
        bool channel0, channel1;
        float volume0, volume1;
    };
    const Case cases[] = {
        {0.5f, 0, true, true, 37.5f, 37.5f},
        {0.5f, 1, true, true, 12.5f, 12.5f},
        {0.2f, 0, false, true, 0.0f, 75.0f},
        {0.9f, 0, true, false, 75.0f, 0.0f},
        {0.6f, 0, true, true, 52.5f, 22.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "density " << c.density << " music " << c.music);
        g_AudioManager.m_bMusic = c.music;
        g_AudioManager.UpdateAmbientAt(c.density);
        ASSERT_EQ(g_AudioManager.m_pAmbient[0] != nullptr, c.channel0);
        ASSERT_EQ(g_AudioManager.m_pAmbient[1] != nullptr, c.channel1);
        if (c.channel0) {
            EXPECT_FLOAT_EQ(g_AudioManager.m_pAmbient[0]->m_fVolume, c.volume0);
        }
        if (c.channel1) {
            EXPECT_FLOAT_EQ(g_AudioManager.m_pAmbient[1]->m_fVolume, c.volume1);
        }
    }
    g_AudioManager.SetAmbientEnabled(0);
    EXPECT_EQ(g_AudioManager.m_pAmbient[0], nullptr);
}

// The frame's ambience step waits while the game is paused, the menu is
// open or the ambience is switched off.
TEST_F(AmbienceTest, FrameStepRunsOnlyWhenNothingHoldsItBack)
{
    WriteTracks();
    WriteList(SampleLists());
    Start();
    struct Case {
        const char* what;
        int paused, menu, enabled;
        bool plays;
    };
    const Case cases[] = {
        {"paused", 1, 0, 1, false},
        {"menu open", 0, 1, 1, false},
        {"ambience off", 0, 0, 0, false},
        {"running", 0, 0, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_AudioManager.m_bPaused = c.paused;
        g_GameMenu.m_bOpen = c.menu;
        g_AudioManager.m_bAmbient = c.enabled;
        g_AudioManager.UpdateAmbient();
        // The traffic around the camera is quiet: only the quiet channel.
        EXPECT_EQ(g_AudioManager.m_pAmbient[1] != nullptr, c.plays);
        EXPECT_EQ(g_AudioManager.m_pAmbient[0], nullptr);
    }
    g_GameMenu.m_bOpen = 0;
}

TEST_F(AmbienceTest, NightTracksWhenThereIsNoDaylight)
{
    WriteTracks();
    WriteList(SampleLists());
    Start();
    g_Sky.m_fDaylight = 0.0f;
    g_AudioManager.UpdateAmbientAt(0.5f);
    ASSERT_NE(g_AudioManager.m_pAmbient[0], nullptr);
    EXPECT_STREQ(g_AudioManager.m_pAmbient[0]->m_szName, "Data/Audio/AmbTrks/BusyNight.wav");
    EXPECT_STREQ(g_AudioManager.m_pAmbient[1]->m_szName, "Data/Audio/AmbTrks/QuietNight.wav");
}

// A track that will not load is tried again every frame; with the log on
// its box must come once, not every frame.
TEST_F(AmbienceTest, ATrackThatFailsToLoadShowsItsBoxOnce)
{
    tools::AmbientLists lists = SampleLists();
    lists.tracks[0][0] = {"Data/Audio/AmbTrks/Missing.wav"};
    WriteTracks();
    WriteList(lists);
    Start();
    g_bDebugOut = 1;
    g_Sky.m_fDaylight = 1.0f;
    const unsigned before = plat::MessageBoxCount();
    for (int frame = 0; frame < 5; ++frame)
        g_AudioManager.UpdateAmbientAt(0.5f);
    EXPECT_EQ(plat::MessageBoxCount() - before, 1u);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Data/Audio/AmbTrks/Missing.wav");
    EXPECT_NE(g_AudioManager.m_pAmbient[1], nullptr) << "the other channel plays on";
    g_bDebugOut = 0;
}

TEST_F(AmbienceTest, DescriptionEdgeCases)
{
    WriteTracks();
    tools::AmbientLists lists = SampleLists();
    lists.tracks[0][0].clear(); // count 0
    for (int i = 0; i < 40; ++i)
        lists.tracks[1][0].push_back("Data/Audio/AmbTrks/Quiet.wav");
    std::string text = tools::MakeAmbientData(lists);
    // The channel-1 night count line cut short of column 32 reads as 0.
    const std::string night = tools::AmbientCountLine("Tracks by night:", 1);
    const std::size_t at = text.rfind(night);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, night.size(), "Tracks by night: 1");
    test::WriteWholeFile("Data/Audio/AmbTrks/AmbientData.obj", text);
    Start();
    EXPECT_EQ(g_AudioManager.m_nAmbientTracks[0][0], 0u);
    EXPECT_EQ(g_AudioManager.m_nAmbientTracks[0][1], 1u);
    EXPECT_EQ(g_AudioManager.m_nAmbientTracks[1][0], 32u) << "names past 32 are read past";
    EXPECT_EQ(g_AudioManager.m_nAmbientTracks[1][1], 0u);
    EXPECT_STREQ(g_AudioManager.m_szAmbientTracks[0][1][0], "Data/Audio/AmbTrks/BusyNight.wav") << "no CR kept";
    g_AudioManager.UpdateAmbientAt(1.0f);
    EXPECT_EQ(g_AudioManager.m_pAmbient[0], nullptr) << "an empty list starts nothing";
}

TEST_F(AmbienceTest, DescriptionFromTheObjectsArchive)
{
    const std::string text = tools::MakeAmbientData(SampleLists());
    Pack({}, {{"Data/Audio/AmbTrks/AmbientData.obj", text}});
    Start();
    EXPECT_EQ(g_AudioManager.m_nAmbientTracks[1][1], 1u);
    EXPECT_STREQ(g_AudioManager.m_szAmbientTracks[1][1][0], "Data/Audio/AmbTrks/QuietNight.wav");
}

TEST_F(AmbienceTest, MissingDescriptionLeavesAllCountsZero)
{
    Start();
    for (auto& channel : g_AudioManager.m_nAmbientTracks)
        for (DWORD count : channel)
            EXPECT_EQ(count, 0u);
    g_AudioManager.UpdateAmbientAt(0.5f);
    EXPECT_EQ(g_AudioManager.m_pAmbient[0], nullptr);
}

TEST_F(SoundSetsTest, VoicesPlayOnceAndFreeTheirSlot)
{
    WriteNumbered("Data/Audio/Yea%02d.wav", 5, 100);
    WriteNumbered("Data/Audio/Plc%02d.wav", 12, 100);
    Start();
    g_AudioManager.PlayVoice(VOICE_CHEERING, 1);
    CGameSound* cheer = g_AudioManager.m_pVoices[VOICE_CHEERING];
    ASSERT_NE(cheer, nullptr);
    EXPECT_EQ(cheer->m_fVolume, 90.0f);
    EXPECT_EQ(cheer->m_nKind, SOUND_MUSIC);
    g_AudioManager.PlayVoice(VOICE_CHEERING, 1);
    EXPECT_EQ(g_AudioManager.m_pVoices[VOICE_CHEERING], cheer) << "the voice in progress goes on";

    g_AudioManager.PlayVoice(VOICE_POLICE, 1);
    CGameSound* police = g_AudioManager.m_pVoices[VOICE_POLICE];
    ASSERT_NE(police, nullptr);
    EXPECT_TRUE(police->m_fVolume >= 70.0f && police->m_fVolume <= 90.0f);

    const DWORD loaded = g_AudioManager.m_nSounds;
    for (int bad : {-1, 4, 100}) {
        g_AudioManager.PlayVoice(bad, 1);
        g_AudioManager.SetVoiceVolume(bad, 10.0f);
        g_AudioManager.PlayVoice(bad, 0);
    }
    EXPECT_EQ(g_AudioManager.m_nSounds, loaded) << "kinds outside 0..3 are ignored";
    g_AudioManager.PlayVoice(VOICE_APPLAUSE, 1); // no applause files
    EXPECT_EQ(g_AudioManager.m_pVoices[VOICE_APPLAUSE], nullptr);

    g_AudioManager.PlayVoice(VOICE_POLICE, 0);
    EXPECT_EQ(g_AudioManager.m_pVoices[VOICE_POLICE], nullptr);
    LetSoundsEnd();
    Frame();
    EXPECT_EQ(g_AudioManager.m_pVoices[VOICE_CHEERING], nullptr) << "an ended voice frees its slot";
}

TEST_F(SoundSetsTest, NamedMusicThenTheRandomPlaylist)
{
    WriteNumbered("Data/Audio/MusTrks/TrR%02d.wav", 8, 200);
    test::WriteWholeFile("Data/Audio/Menu.wav", ToneWav(200));
    Start();
    g_AudioManager.PlayMusic(1, "Data/Audio/Menu.wav", 0, 60.0f);
    ASSERT_NE(g_AudioManager.m_pMusic, nullptr);
    EXPECT_EQ(g_AudioManager.m_pMusic->m_fVolume, 60.0f);
    LetSoundsEnd();
    Frame();
    EXPECT_EQ(g_AudioManager.m_pMusic, nullptr) << "ended: freed, the next frame starts a track";
    Frame();
    ASSERT_NE(g_AudioManager.m_pMusic, nullptr);
    EXPECT_EQ(std::string(g_AudioManager.m_pMusic->m_szName).rfind("Data/Audio/MusTrks/TrR0", 0), 0u);
    EXPECT_EQ(g_AudioManager.m_pMusic->m_fVolume, 75.0f);
    g_AudioManager.PlayMusic(0, nullptr, 0, 0);
    Frame();
    EXPECT_EQ(g_AudioManager.m_pMusic, nullptr);
    EXPECT_EQ(g_AudioManager.m_bMusic, 0u);
}

} // namespace
