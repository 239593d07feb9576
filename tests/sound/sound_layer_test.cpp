// The sound stand-in layer itself on the silent output: segments, play
// states, repeats and deferred 3-D settings.
#include "platform/sound/DirectMusic.h"

#include "sound_fixture.h"

#include <filesystem>
#include <string>

namespace {

class SoundLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetSoundBackend(plat::SoundBackendKind::Silent);
        plat::SetSoundFault(plat::SoundFault::None);
        plat::SetFakeClock(5000);
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &sound, nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
                                   reinterpret_cast<void**>(&performance)),
                  S_OK);
        ASSERT_EQ(performance->InitAudio(nullptr, &sound, nullptr, DMUS_APATH_DYNAMIC_STEREO, 64, 0, nullptr), S_OK);
        CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8,
                         reinterpret_cast<void**>(&loader));
    }
    void TearDown() override
    {
        performance->CloseDown();
        performance->Release();
        loader->Release();
        sound->Release();
        CoUninitialize();
        plat::UseRealClock();
    }
    IDirectMusicSegment8* Segment(int ms)
    {
        const std::string wav = soundtest::ToneWav(ms);
        DMUS_OBJECTDESC desc{};
        desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_MEMORY;
        desc.guidClass = CLSID_DirectMusicSegment;
        desc.pbMemData = reinterpret_cast<const BYTE*>(wav.data());
        desc.llMemLength = wav.size();
        IDirectMusicSegment8* segment = nullptr;
        EXPECT_EQ(loader->GetObject(&desc, IID_IDirectMusicSegment8, reinterpret_cast<void**>(&segment)), S_OK);
        return segment;
    }
    IDirectMusicAudioPath8* Path(DWORD type)
    {
        IDirectMusicAudioPath8* path = nullptr;
        EXPECT_EQ(performance->CreateStandardAudioPath(type, 64, TRUE, &path), S_OK);
        return path;
    }
    IDirectMusicSegmentState* Play(IDirectMusicSegment8* segment, IDirectMusicAudioPath8* path)
    {
        IDirectMusicSegmentState* state = nullptr;
        performance->PlaySegmentEx(segment, nullptr, nullptr, 0, 0, &state, nullptr, path);
        return state;
    }

    IDirectSound8* sound = nullptr;
    IDirectMusicPerformance8* performance = nullptr;
    IDirectMusicLoader8* loader = nullptr;
};

// A pool of ten engine sounds made from one file holds one decoded copy;
// another file gets its own, and a file loaded after every segment of it
// went is decoded again.
TEST_F(SoundLayerTest, EqualFilesShareOneDecodedClip)
{
    IDirectMusicSegment8* pool[10] = {};
    for (auto*& segment : pool)
        segment = Segment(100);
    for (auto* segment : pool)
        EXPECT_EQ(segment->Clip(), pool[0]->Clip());
    EXPECT_EQ(pool[0]->Clip().use_count(), 10);
    IDirectMusicSegment8* other = Segment(120);
    EXPECT_NE(other->Clip(), pool[0]->Clip());
    other->Release();
    for (auto* segment : pool)
        segment->Release();
    IDirectMusicSegment8* again = Segment(100);
    EXPECT_EQ(again->Clip().use_count(), 1);
    EXPECT_GT(again->WaveLength(), 0);
    again->Release();
}

TEST_F(SoundLayerTest, OneDeviceAtATime)
{
    IDirectSound8* second = nullptr;
    EXPECT_TRUE(FAILED(DirectSoundCreate8(nullptr, &second, nullptr)));
    EXPECT_EQ(second, nullptr);
}

TEST_F(SoundLayerTest, FiniteRepeatsEndAfterTheirPasses)
{
    IDirectMusicSegment8* segment = Segment(100);
    IDirectMusicAudioPath8* path = Path(DMUS_APATH_DYNAMIC_STEREO);
    segment->SetRepeats(2);
    IDirectMusicSegmentState* state = Play(segment, path);
    plat::AdvanceFakeClock(250);
    EXPECT_EQ(performance->IsPlaying(nullptr, state), S_OK) << "third pass";
    plat::AdvanceFakeClock(60);
    EXPECT_EQ(performance->IsPlaying(nullptr, state), S_FALSE);
    state->Release();
    path->Release();
    segment->Release();
}

TEST_F(SoundLayerTest, StoppingASegmentStopsItOnEveryPathAndOldStatesEnd)
{
    IDirectMusicSegment8* segment = Segment(1000);
    IDirectMusicAudioPath8* a = Path(DMUS_APATH_DYNAMIC_STEREO);
    IDirectMusicAudioPath8* b = Path(DMUS_APATH_DYNAMIC_3D);
    IDirectMusicSegmentState* first = Play(segment, a);
    IDirectMusicSegmentState* again = Play(segment, a);
    IDirectMusicSegmentState* other = Play(segment, b);
    EXPECT_EQ(performance->IsPlaying(nullptr, first), S_FALSE) << "replaced on its path";
    EXPECT_EQ(performance->IsPlaying(nullptr, again), S_OK);
    performance->StopEx(segment, 0, 0);
    EXPECT_EQ(performance->IsPlaying(nullptr, again), S_FALSE);
    EXPECT_EQ(performance->IsPlaying(nullptr, other), S_FALSE);
    for (IUnknown* o : std::initializer_list<IUnknown*>{first, again, other, a, b, segment})
        o->Release();
}

TEST_F(SoundLayerTest, DeferredListenerAndBufferSettingsWaitForTheCommit)
{
    IDirectSoundBuffer* primary = nullptr;
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, 0, 0, nullptr};
    ASSERT_EQ(sound->CreateSoundBuffer(&desc, &primary, nullptr), S_OK);
    IDirectSound3DListener* listener = nullptr;
    ASSERT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(&listener)), S_OK);
    primary->Release();
    IDirectMusicAudioPath8* path = Path(DMUS_APATH_DYNAMIC_3D);
    IDirectSound3DBuffer8* buffer3D = nullptr;
    ASSERT_EQ(path->GetObjectInPath(0, DMUS_PATH_BUFFER, 0, GUID_All_Objects, 0, IID_IDirectSound3DBuffer8,
                                    reinterpret_cast<void**>(&buffer3D)),
              S_OK);
    listener->SetDopplerFactor(2.0f, DS3D_DEFERRED);
    listener->SetVelocity(1, 0, 0, DS3D_IMMEDIATE);
    buffer3D->SetPosition(4, 5, 6, DS3D_DEFERRED);
    buffer3D->SetMaxDistance(30, DS3D_IMMEDIATE);
    float doppler = 0, maxD = 0;
    D3DVECTOR p{};
    listener->GetDopplerFactor(&doppler);
    buffer3D->GetPosition(&p);
    buffer3D->GetMaxDistance(&maxD);
    EXPECT_EQ(doppler, 1.0f);
    EXPECT_NE(p.x, 4.0f);
    EXPECT_EQ(maxD, 30.0f);
    listener->CommitDeferredSettings();
    listener->GetDopplerFactor(&doppler);
    buffer3D->GetPosition(&p);
    EXPECT_EQ(doppler, 2.0f);
    EXPECT_EQ(p.z, 6.0f);
    IDirectSoundBuffer8* stereo = nullptr;
    IDirectMusicAudioPath8* flat = Path(DMUS_APATH_DYNAMIC_STEREO);
    EXPECT_EQ(flat->GetObjectInPath(0, DMUS_PATH_BUFFER, 0, GUID_All_Objects, 0, IID_IDirectSound3DBuffer8,
                                    reinterpret_cast<void**>(&stereo)),
              DMUS_E_NOT_FOUND)
        << "a stereo path has no 3-D buffer";
    for (IUnknown* o : std::initializer_list<IUnknown*>{buffer3D, path, flat, listener})
        o->Release();
}

} // namespace

namespace {

// The game hands its byte paths over widened byte by byte: a game folder
// with letters beyond ASCII must still find its sounds.
TEST_F(SoundLayerTest, PathsBeyondAsciiReachTheFileUnchanged)
{
    test::ScopedTempDir dir;
    const std::string folder = "Spiel-\xC3\x9C\xE9"; // UTF-8 and a lone Latin-1 byte
    std::filesystem::create_directory(folder);
    test::WriteWholeFile(folder + "/t\xC3\xB6n.wav", soundtest::ToneWav(50));
    auto widen = [](const std::string& bytes) {
        std::wstring w;
        for (const char c : bytes)
            w.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
        return w;
    };
    const std::wstring directory = widen(dir.Path().string() + "/" + folder);
    ASSERT_EQ(loader->SetSearchDirectory(GUID_All_Objects, directory.c_str(), FALSE), S_OK);
    IDirectMusicSegment8* segment = nullptr;
    EXPECT_EQ(loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8,
                                         widen("t\xC3\xB6n.wav").c_str(), reinterpret_cast<void**>(&segment)),
              S_OK);
    ASSERT_NE(segment, nullptr);
    segment->Release();
}

} // namespace
