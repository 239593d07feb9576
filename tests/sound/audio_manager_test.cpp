#include "sound_fixture.h"

#include <cstring>
#include <string>

namespace {

using plat::SoundFault;
using soundtest::AudioTest;
using soundtest::ToneWav;

class AudioManagerTest : public AudioTest {};

TEST_F(AudioManagerTest, StartUpFailures)
{
    struct Case {
        SoundFault fault;
        const char* message; // null: no box
        int audioAfter;
    };
    const Case cases[] = {
        {SoundFault::ComInit, "COM initialize failed!", 0},
        {SoundFault::DeviceCreate, "DirectSoundCreate8() failed!", 0},
        {SoundFault::CooperativeLevel, "SetCooperativeLevel() failed!", 0},
        {SoundFault::PrimaryBuffer, "Creating primary buffer failed!", 0},
        {SoundFault::PrimaryFormat, "Setting primary buffer format failed!", 0},
        {SoundFault::Listener, "Init direct sound listener failed!", 0},
        {SoundFault::CreateLoader, nullptr, 1},
        {SoundFault::CreatePerformance, nullptr, 1},
        {SoundFault::InitAudio, nullptr, 1},
        {SoundFault::DefaultPath, nullptr, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message ? c.message : "silent failure");
        g_bAudio = 1;
        g_AudioManager = CAudioManager();
        plat::SetSoundFault(c.fault);
        const unsigned boxes = plat::MessageBoxCount();
        EXPECT_EQ(g_AudioManager.Init(nullptr), E_FAIL);
        EXPECT_EQ(g_bAudio, c.audioAfter);
        if (c.message) {
            ASSERT_EQ(plat::MessageBoxCount(), boxes + 1);
            EXPECT_STREQ(plat::LastMessageBoxText(), c.message);
            EXPECT_STREQ(plat::LastMessageBoxCaption(), "Sound error!");
            EXPECT_EQ(plat::LastMessageBoxStyle(), UINT(MB_ICONEXCLAMATION));
        } else {
            EXPECT_EQ(plat::MessageBoxCount(), boxes);
        }
    }
    // Nothing was left open: a clean start works afterwards.
    plat::SetSoundFault(SoundFault::None);
    g_bAudio = 1;
    g_AudioManager = CAudioManager();
    EXPECT_EQ(g_AudioManager.Init(nullptr), S_OK);
}

TEST_F(AudioManagerTest, HardwarePrimaryBufferFailingFallsBackToSoftware)
{
    plat::SetSoundFault(SoundFault::PrimaryHardware);
    EXPECT_EQ(g_AudioManager.Init(nullptr), S_OK);
    EXPECT_EQ(g_bAudio, 1);
}

TEST_F(AudioManagerTest, AudioOffDoesNothing)
{
    g_bAudio = 0;
    test::WriteWholeFile("a.wav", ToneWav(50));
    EXPECT_EQ(g_AudioManager.Init(nullptr), S_OK);
    EXPECT_EQ(g_AudioManager.LoadSound("a.wav", SOUND_STEREO, 1, 10), nullptr);
    g_AudioManager.PauseAll();
    EXPECT_EQ(g_AudioManager.m_bPaused, 0u);
    g_AudioManager.PlayMusic(1, "a.wav", 0, 100);
    g_AudioManager.Update();
    EXPECT_EQ(g_AudioManager.m_pMusic, nullptr);
}

TEST_F(AudioManagerTest, KindZeroSharesBySoundAndTableStaysPacked)
{
    Start();
    for (const char* n : {"a.wav", "b.wav", "c.wav"})
        test::WriteWholeFile(n, ToneWav(50));
    CGameSound* a = g_AudioManager.LoadSound("a.wav", SOUND_STEREO, 1, 10);
    CGameSound* b = g_AudioManager.LoadSound("b.wav", SOUND_STEREO, 1, 10);
    CGameSound* c = g_AudioManager.LoadSound("c.wav", SOUND_STEREO, 1, 10);
    CGameSound* a2 = g_AudioManager.LoadSound("a.wav", SOUND_STEREO, 1, 10);
    ASSERT_EQ(a2, a);
    EXPECT_EQ(a->m_nRefCount, 2u);
    EXPECT_EQ(g_AudioManager.m_nSounds, 3u);
    EXPECT_NE(g_AudioManager.LoadSound("A.wav", SOUND_STEREO, 1, 10), a) << "names compare with case";
    CGameSound* music = g_AudioManager.LoadSound("a.wav", SOUND_MUSIC, 1, 10);
    EXPECT_NE(music, a) << "only kind 0 shares the sound";
    g_AudioManager.FreeSound(&music);

    g_AudioManager.FreeSound(&a2);
    EXPECT_EQ(a2, nullptr);
    EXPECT_EQ(g_AudioManager.m_nSounds, 3u);
    g_AudioManager.FreeSound(&a);
    ASSERT_EQ(g_AudioManager.m_nSounds, 2u);
    EXPECT_EQ(g_AudioManager.m_pSounds[0], b);
    EXPECT_EQ(g_AudioManager.m_pSounds[1], c);
    EXPECT_EQ(g_AudioManager.m_pSounds[2], nullptr);

    CGameSound* stranger = reinterpret_cast<CGameSound*>(&g_AudioManager);
    g_AudioManager.FreeSound(&stranger);
    EXPECT_EQ(stranger, nullptr) << "a sound not in the table is left alone, the handle cleared";
    EXPECT_EQ(g_AudioManager.m_nSounds, 2u);
    CGameSound* none = nullptr;
    g_AudioManager.SafeFreeSound(&none);
}

// Counts the log lines that are exactly the given text.
std::size_t LogLines(const std::string& log, const std::string& line)
{
    std::size_t n = 0;
    for (std::size_t at = 0; (at = log.find(line + "\n", at)) != std::string::npos; at += line.size())
        n += at == 0 || log[at - 1] == '\n';
    return n;
}

TEST_F(AudioManagerTest, TenArchiveLoadsShareOneImageFreedAtTheLast)
{
    Pack({{"Data/Audio/E01.wav", ToneWav(100)}});
    g_bDebugLog = 1;
    Start();
    // Every archive load names its file; only the first reads it.
    const std::string log = test::ReadWholeFile("debug.txt");
    EXPECT_EQ(LogLines(log, "Data/Audio/E01.wav"), 10u);
    EXPECT_EQ(LogLines(log, "FileSize: " + std::to_string(ToneWav(100).size())), 1u);
    g_bDebugLog = 0;
    // The pools already took the engine ten times from the archive.
    SoundMemoryImage* image = g_AudioManager.m_EngineSounds[0][0].pSound->m_pMemoryImage;
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->nRefCount, 10u);
    int images = 0;
    for (const SoundMemoryImage& m : g_AudioManager.m_MemoryImages)
        images += m.pData != nullptr;
    EXPECT_EQ(images, 1);
    for (auto& e : g_AudioManager.m_EngineSounds[0]) {
        EXPECT_EQ(e.pSound->m_pMemoryImage, image);
        g_AudioManager.FreeSound(&e.pSound);
    }
    EXPECT_EQ(image->pData, nullptr) << "the record is free again";
    EXPECT_EQ(image->nRefCount, 0u);
}

TEST_F(AudioManagerTest, LooseFileWinsOverTheArchive)
{
    Pack({{"Data/Audio/x.wav", ToneWav(100)}});
    test::WriteWholeFile("Data/Audio/x.wav", ToneWav(300));
    Start();
    CGameSound* s = g_AudioManager.LoadSound("Data/Audio/x.wav", SOUND_MUSIC, 1, 10);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->m_pMemoryImage, nullptr);
    MUSIC_TIME length = 0;
    s->m_pSegment->GetLength(&length);
    EXPECT_EQ(length, 300);
}

TEST_F(AudioManagerTest, FailedLoadsLeaveNothingBehind)
{
    Pack({{"Data/Audio/bad.wav", "RIFF\x04\x00\x00\x00WAVEjunk"}});
    Start();
    g_bDebugOut = 1;
    const unsigned boxes = plat::MessageBoxCount();
    EXPECT_EQ(g_AudioManager.LoadSound("Data/Audio/bad.wav", SOUND_3D, 1, 10), nullptr);
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "Couldn't load sound file! (2)");
    for (const SoundMemoryImage& m : g_AudioManager.m_MemoryImages) {
        EXPECT_EQ(m.pData, nullptr);
        EXPECT_EQ(m.nRefCount, 0u);
        EXPECT_EQ(m.nSize, 0u);
    }
    test::WriteWholeFile("loose.wav", "not a wave");
    EXPECT_EQ(g_AudioManager.LoadSound("loose.wav", SOUND_STEREO, 1, 10), nullptr);
    EXPECT_EQ(g_AudioManager.LoadSound("missing.wav", SOUND_STEREO, 1, 10), nullptr);
    EXPECT_STREQ(plat::LastMessageBoxText(), "missing.wav");
    EXPECT_STREQ(plat::LastMessageBoxCaption(), "Couldn't load sound file! (1)");
    EXPECT_EQ(plat::MessageBoxCount(), boxes + 3);
    EXPECT_EQ(g_AudioManager.m_nSounds, 0u);
}

TEST_F(AudioManagerTest, TableHoldsAtMost1024Sounds)
{
    Start();
    test::WriteWholeFile("t.wav", ToneWav(5));
    for (DWORD i = g_AudioManager.m_nSounds; i < kMaxSounds; ++i)
        ASSERT_NE(g_AudioManager.LoadSound("t.wav", SOUND_3D, 1, 10), nullptr);
    EXPECT_EQ(g_AudioManager.LoadSound("t.wav", SOUND_3D, 1, 10), nullptr);
}

TEST_F(AudioManagerTest, LongNamesAreCutToTheNameField)
{
    Start();
    std::string path = "Data";
    while (path.size() < 290)
        path += "/folder";
    path += "/t.wav";
    test::WriteWholeFile(path, ToneWav(5));
    CGameSound* s = g_AudioManager.LoadSound(path.c_str(), SOUND_STEREO, 1, 10);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::string(s->m_szName), path.substr(0, 255));
}

TEST_F(AudioManagerTest, PausingTwiceAndResumingOnceLeavesNothingPaused)
{
    Start();
    test::WriteWholeFile("l.wav", ToneWav(400));
    CGameSound* s = g_AudioManager.LoadSound("l.wav", SOUND_STEREO, 1, 10);
    s->Play(1);
    Advance(300);
    g_AudioManager.PauseAll();
    g_AudioManager.PauseAll();
    EXPECT_EQ(s->m_bPaused, 1u);
    g_AudioManager.ResumeAll();
    EXPECT_EQ(g_AudioManager.m_bPaused, 0u);
    EXPECT_EQ(s->m_bPaused, 0u);
    EXPECT_TRUE(s->IsPlaying());
}

TEST_F(AudioManagerTest, UpdateCommitsOnlyWhileTheGameTimeRuns)
{
    Start();
    test::WriteWholeFile("p.wav", ToneWav(100));
    CGameSound* s = g_AudioManager.LoadSound("p.wav", SOUND_3D, 1, 10);
    s->SetPosition({7, 8, 9});
    D3DVECTOR p{};
    g_GameTimer.m_fDelta = 0.0f;
    g_AudioManager.Update();
    s->m_p3DBuffer->GetPosition(&p);
    EXPECT_NE(p.x, 7.0f);
    g_GameTimer.m_fDelta = 0.02f;
    g_AudioManager.Update();
    s->m_p3DBuffer->GetPosition(&p);
    EXPECT_EQ(p.x, 7.0f);
}

TEST_F(AudioManagerTest, ListenerCallsApplyAtOnceExceptWhilePaused)
{
    Start();
    g_AudioManager.SetListenerPosition({1, 2, 3});
    g_AudioManager.SetListenerVelocity({4, 5, 6});
    D3DVECTOR p{}, v{};
    g_AudioManager.m_pListener->GetPosition(&p);
    g_AudioManager.m_pListener->GetVelocity(&v);
    EXPECT_EQ(p.z, 3.0f);
    EXPECT_EQ(v.x, 4.0f);
    EXPECT_EQ(g_AudioManager.m_vListenerPosition.y, 2.0f);
    g_AudioManager.PauseAll();
    g_AudioManager.SetListenerPosition({9, 9, 9});
    g_AudioManager.m_pListener->GetPosition(&p);
    EXPECT_EQ(p.x, 1.0f);
}

TEST_F(AudioManagerTest, FadeScalesVolumesAndKeepsThePlayersMaster)
{
    g_nMasterVolume = 80;
    Start();
    test::WriteWholeFile("v.wav", ToneWav(100));
    CGameSound* s = g_AudioManager.LoadSound("v.wav", SOUND_STEREO, 1, 10);
    LONG v = 0;
    g_AudioManager.SetMasterVolume(50.0f);
    s->m_pBuffer->GetVolume(&v);
    EXPECT_EQ(g_nMasterVolume, 80) << "the saved setting stays the player's";
    EXPECT_EQ(v, MapSoundVolume(100, 100, 80, 50));
    g_AudioManager.SetMasterVolume(100.0f);
    s->m_pBuffer->GetVolume(&v);
    EXPECT_EQ(v, -1000);
}

TEST_F(AudioManagerTest, ReleaseFreesEverythingAndNamesLostSounds)
{
    g_bDebugLog = 1;
    Start();
    test::WriteWholeFile("kept.wav", ToneWav(100));
    CGameSound* s = g_AudioManager.LoadSound("kept.wav", SOUND_STEREO, 1, 10);
    g_AudioManager.LoadSound("kept.wav", SOUND_STEREO, 1, 10);
    s->Play(1);
    g_AudioManager.Release();
    g_bAudio = 0; // the fixture's release is done
    const std::string log = test::ReadWholeFile("debug.txt");
    EXPECT_NE(log.find("CAudioManager::Release() start..."), std::string::npos);
    std::size_t lost = 0;
    for (std::size_t at = 0; (at = log.find("\tSound lost! (Name: kept.wav)", at)) != std::string::npos; ++at)
        ++lost;
    EXPECT_EQ(lost, 2u) << "logged once per reference";
    EXPECT_NE(log.find("CAudioManager::Release() done!"), std::string::npos);
    EXPECT_EQ(g_AudioManager.m_nSounds, 0u);
    EXPECT_EQ(g_AudioManager.m_pPerformance, nullptr);
}

} // namespace
