// What the viewer core does once a scene has loaded: the audio clips become
// sound tracks of the movie, keyboard triggering starts with a trigger
// device or an active group, and keys reach the engine while it is on.

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>

#include "host/keyboard_hooks.h"
#include "media_handler_fixture.h"
#include "scene/light.h"
#include "sdk/yr_device_keyboard_key.h"
#include "sdk/yr_event_registry.h"
#include "sdk/yr_system.h"
#include "sdk/yr_trigger_manager.h"

namespace {

using media_test::MediaHandlerTest;
using qtzyn::LoadState;
using qtzyn::ViewerCore;

constexpr int kRate = 44100;

bool WriteToneWav(const std::string& path, double seconds) {
  SF_INFO info = {};
  info.samplerate = kRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* sf = sf_open(path.c_str(), SFM_WRITE, &info);
  if (sf == nullptr) return false;
  std::vector<float> samples(static_cast<size_t>(seconds * kRate));
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.5f * std::sin(i * 2 * M_PI * 440.0 / kRate);
  const sf_count_t written = sf_writef_float(sf, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(sf);
  return written == static_cast<sf_count_t>(samples.size());
}

VTime Seconds(double s) {
  VTime t;
  t.SetSecondDouble(s);
  return t;
}

class AfterLoadTest : public MediaHandlerTest {
 protected:
  // A scene of one camera and one take from `takeStart` for 2 seconds, with
  // the given clips.
  std::vector<uint8_t> SceneWithClips(double takeStart, const std::vector<VAudioClip>& clips) {
    VScene scene;
    scene.Add(std::make_unique<VCamera>("Camera 1"));
    VTake* take = scene.takes().Create("Take 1");
    take->local_span = VTimeSpan(Seconds(takeStart), Seconds(takeStart + 2.0));
    take->reference_span = take->local_span;
    scene.takes().SetCurrent(take);
    scene.audio_clips() = clips;
    return testing_support::WriteSceneToMemory(scene, true);
  }

  static VAudioClip Clip(const std::string& name, const std::string& path, double start) {
    VAudioClip clip;
    clip.name = name;
    clip.file_name = path;
    clip.start = Seconds(start);
    return clip;
  }

  // The sound segments of the movie's sound tracks (empty segments left
  // out): start, duration, media time.
  static std::vector<std::array<TimeValue, 3>> SoundSegments(Movie movie) {
    std::vector<std::array<TimeValue, 3>> segments;
    for (long i = 1;; ++i) {
      Track track = GetMovieIndTrackType(movie, i, SoundMediaType, movieTrackMediaType);
      if (track == nullptr) break;
      for (long k = 1; k <= HostGetTrackSegmentCount(track); ++k) {
        std::array<TimeValue, 3> s{};
        EXPECT_EQ(HostGetTrackSegment(track, k, &s[0], &s[1], &s[2], nullptr), noErr);
        if (s[2] != -1) segments.push_back(s);
      }
    }
    return segments;
  }
};

TEST_F(AfterLoadTest, ClipsThatCannotOpenAreSkippedAndAWavBecomesASoundTrackAtItsStart) {
  const std::string wav = dir_.File("tone.wav");
  ASSERT_TRUE(WriteToneWav(wav, 1.0));
  const std::string text = dir_.File("notes.wav");
  ASSERT_TRUE(testing_support::WriteFileBytes(text, "these are not sound samples"));
  const std::string scene = WriteScene(SceneWithClips(0.0, {Clip("gone", dir_.File("missing.wav"), 0.0),
                                                           Clip("tone", wav, 0.5), Clip("text", text, 0.0)}));
  Track track = MakeTrack(scene, 200, 100, 120);  // 2 seconds: 1200 movie units
  Movie movie = GetTrackMovie(track);
  ComponentInstance mh = OpenFor(track);
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);

  EXPECT_EQ(GetMovieTrackCount(movie), 2);
  const auto segments = SoundSegments(movie);
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0][0], 300);  // at 0.5 s
  EXPECT_EQ(segments[0][1], 600);  // the whole second
  EXPECT_EQ(segments[0][2], 0);
  EXPECT_EQ(YrSDK::YrSystem().GetAudioClipCount(), 0);  // the movie plays them now
}

TEST_F(AfterLoadTest, ClipThatBeganBeforeTheTakeIsCutAtItsHead) {
  const std::string wav = dir_.File("tone.wav");
  ASSERT_TRUE(WriteToneWav(wav, 1.0));
  Track track = MakeTrack(WriteScene(SceneWithClips(1.0, {Clip("tone", wav, 0.5)})), 200, 100, 120);
  ComponentInstance mh = OpenFor(track);
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  const auto segments = SoundSegments(GetTrackMovie(track));
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0][0], 0);
  EXPECT_EQ(segments[0][1], 300);          // the clip's second half
  EXPECT_EQ(segments[0][2], kRate / 2);    // from half a second into the sound
}

TEST_F(AfterLoadTest, SceneWithoutClipsLeavesTheMovieAlone) {
  Track track = MakeTrack(WriteScene(SceneWithClips(0.0, {})), 200, 100, 120);
  Movie movie = GetTrackMovie(track);
  ComponentInstance mh = OpenFor(track);
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  EXPECT_EQ(GetMovieTrackCount(movie), 1);
  EXPECT_TRUE(SoundSegments(movie).empty());
}

TEST_F(AfterLoadTest, VideoTracksAreDisabledOnlyForAZynFile) {
  for (const char* name : {"scene.ZYN", "scene.zyn.dat"}) {
    SCOPED_TRACE(name);
    Track track = MakeTrack(WriteScene(SceneWithClips(0.0, {}), name), 200, 100, 120);
    Movie movie = GetTrackMovie(track);
    Track video = NewMovieTrack(movie, IntToFixed(200), IntToFixed(100), 0);
    ASSERT_NE(NewTrackMedia(video, VideoMediaType, 600, nullptr, 0), nullptr);
    ComponentInstance mh = OpenFor(track);
    ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
    EXPECT_EQ(GetTrackEnabled(video), std::string(name) == "scene.zyn.dat");
    EXPECT_TRUE(GetTrackEnabled(track));
    Close(mh);
  }
}

TEST_F(AfterLoadTest, EachLightsOnOffFlagIsSavedWithTheInstance) {
  VScene scene;
  scene.Add(std::make_unique<VCamera>("Camera 1"));
  scene.Add(std::make_unique<VLight>("Key"));
  auto* fill = static_cast<VLight*>(scene.Add(std::make_unique<VLight>("Fill")));
  fill->mCastLightOnObject->Set(0);
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(testing_support::WriteSceneToMemory(scene, true)), 200, 100));
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  const std::vector<YrSDK::YrComponent> lights = YrSDK::YrSystem().GetLights();
  ASSERT_EQ(Globals(mh).savedLightCount, static_cast<SInt32>(lights.size()));
  int on = 0, off = 0;
  for (size_t i = 0; i < lights.size(); ++i) {
    EXPECT_EQ(Globals(mh).savedLights[i], lights[i].FindProperty("CastLightOnObject").AsInt() != 0);
    (Globals(mh).savedLights[i] ? on : off) += 1;
  }
  EXPECT_GE(on, 1);
  EXPECT_EQ(off, 1);
}

TEST(ClipPlacement, MovieTimeZeroIsTheTakeStartAndNothingPlaysPastTheTrack) {
  using P = ViewerCore::ClipPlacement;
  auto place = [](TimeValue take, TimeValue clip, TimeValue length, TimeValue track) {
    const P p = ViewerCore::PlaceClip(take, clip, length, track);
    return std::array<TimeValue, 3>{p.srcIn, p.srcDuration, p.dstIn};
  };
  EXPECT_EQ(place(0, 300, 600, 1200), (std::array<TimeValue, 3>{0, 600, 300}));
  EXPECT_EQ(place(0, 900, 600, 1200), (std::array<TimeValue, 3>{0, 300, 900}));    // cut at the track's end
  EXPECT_EQ(place(600, 900, 600, 1200), (std::array<TimeValue, 3>{0, 600, 300}));  // after a late take start
  EXPECT_EQ(place(600, 300, 600, 1200), (std::array<TimeValue, 3>{300, 300, 0}));
  EXPECT_EQ(place(0, -300, 600, 1200), (std::array<TimeValue, 3>{300, 300, 0}));
  EXPECT_LE(place(1200, 0, 600, 1200)[1], 0);  // over before the take starts
  EXPECT_LE(place(0, 1500, 600, 1200)[1], 0);  // starts after the movie ends
  EXPECT_LE(place(INT32_MIN, INT32_MAX, 600, 1200)[1], 0);
}

struct KeyLog {
  std::vector<std::pair<int, bool>> keys;
  static void Record(const YrSDK::YrEvent& event, void* user) {
    static_cast<KeyLog*>(user)->keys.emplace_back(event.key, event.down);
  }
};

TEST_F(AfterLoadTest, KeyboardTriggerDeviceTurnsTriggeringOnAndReceivesEngineKeys) {
  Track track = MakeTrack(WriteScene(SceneWithClips(0.0, {})), 200, 100, 120);
  ComponentInstance mh = OpenFor(track);
  ASSERT_TRUE(YrSDK::YrSystem().CreateDevice("KeyboardTrigger", "Keyboard").IsValid());
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  EXPECT_TRUE(Globals(mh).triggering);
  EXPECT_TRUE(Globals(mh).freeRunning);

  ViewerCore* core = ViewerCore::Get();
  KeyLog log;
  ASSERT_TRUE(YrSDK::YrEventRegistry::Register(YrSDK::kYrEventTriggerKey, &KeyLog::Record, &log));
  const int space = ViewerCore::EngineKeyOfVirtualKey(32);
  EXPECT_FALSE(core->KeyboardInput(space, true));  // no instance holds focus
  core->Lock();
  core->focusInstance = reinterpret_cast<qtzyn::MediaGlobalsHandle>(GetComponentInstanceStorage(mh));
  core->Unlock();
  Globals(mh).redrawCount = 0;
  EXPECT_TRUE(core->KeyboardInput(space, true));
  EXPECT_TRUE(core->KeyboardInput(space, false));
  EXPECT_EQ(Globals(mh).redrawCount, 3);
  EXPECT_FALSE(core->KeyboardInput(-1, true));
  Globals(mh).triggering = false;
  EXPECT_FALSE(core->KeyboardInput(space, true));
  EXPECT_TRUE(YrSDK::YrEventRegistry::Unregister(YrSDK::kYrEventTriggerKey, &KeyLog::Record, &log));
  EXPECT_EQ(log.keys, (std::vector<std::pair<int, bool>>{{YrSDK::kYrKeySpace, true}, {YrSDK::kYrKeySpace, false}}));
}

TEST_F(AfterLoadTest, KeysFromTheKeyboardHookReachTheDeviceOnceTheTrackHasFocus) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SceneWithClips(0.0, {})), 200, 100, 120));
  ASSERT_TRUE(YrSDK::YrSystem().CreateDevice("KeyboardTrigger", "Keyboard").IsValid());
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  KeyLog log;
  ASSERT_TRUE(YrSDK::YrEventRegistry::Register(YrSDK::kYrEventTriggerKey, &KeyLog::Record, &log));
  EXPECT_FALSE(HostSendKeyboardEvent(32, true));  // no focus: no hook
  const long target = reinterpret_cast<long>(&Globals(mh).naturalRect);
  ASSERT_EQ(CallMediaRefConSetProperty(mh, target, kRefConPropertyHasFocus, reinterpret_cast<void*>(1)), noErr);
  EXPECT_TRUE(HostSendKeyboardEvent(32, true));    // space: swallowed
  EXPECT_TRUE(HostSendKeyboardEvent(32, false));
  EXPECT_FALSE(HostSendKeyboardEvent(27, true));   // Escape: forwarded and passed on
  EXPECT_FALSE(HostSendKeyboardEvent('A', true));  // not a trigger key
  EXPECT_EQ(ViewerCore::Get()->GetKeyState('A'), 1);
  HostSendKeyboardEvent('A', false);
  ASSERT_EQ(CallMediaRefConSetProperty(mh, target, kRefConPropertyHasFocus, nullptr), noErr);
  YrSDK::YrEventRegistry::Unregister(YrSDK::kYrEventTriggerKey, &KeyLog::Record, &log);
  EXPECT_EQ(log.keys, (std::vector<std::pair<int, bool>>{
                          {YrSDK::kYrKeySpace, true}, {YrSDK::kYrKeySpace, false}, {YrSDK::kYrKeyEscape, true}}));
}

TEST_F(AfterLoadTest, AnInstanceThatClosesWithFocusTakesTheFocusAlong) {
  ComponentInstance playing = OpenFor(MakeTrack(WriteScene(SceneWithClips(0.0, {}), "a.zyn"), 200, 100, 120));
  ComponentInstance focused = OpenFor(MakeTrack(WriteScene(SceneWithClips(0.0, {}), "b.zyn"), 200, 100, 120));
  ASSERT_EQ(IdleUntilSettled(playing), LoadState::kLoaded);
  ViewerCore* core = ViewerCore::Get();
  core->Lock();
  core->focusInstance = reinterpret_cast<qtzyn::MediaGlobalsHandle>(GetComponentInstanceStorage(focused));
  core->Unlock();
  Globals(focused).triggering = true;
  Close(focused);
  ASSERT_EQ(ViewerCore::Get(), core);
  EXPECT_EQ(core->focusInstance, nullptr);
  EXPECT_FALSE(core->KeyboardInput(YrSDK::kYrKeySpace, true));  // reaches no freed instance
}

TEST_F(AfterLoadTest, TriggerGroupsWithoutADeviceAreActivatedButTriggeringStaysOff) {
  Track track = MakeTrack(WriteScene(SceneWithClips(0.0, {})), 200, 100, 600);
  ComponentInstance mh = OpenFor(track);
  YrSDK::YrTriggerManager triggers;
  ASSERT_EQ(triggers.AddGroup("Walk"), 0);
  ASSERT_EQ(triggers.AddGroup("Run"), 1);
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  EXPECT_TRUE(triggers.GetGroupActive(0));
  EXPECT_FALSE(triggers.GetGroupActive(1));
  EXPECT_FALSE(Globals(mh).triggering);  // no group was active before, no device
  EXPECT_EQ(triggers.FindProperty("Active").AsInt(), 0);
}

TEST_F(AfterLoadTest, AnActiveGroupTurnsTriggeringOn) {
  Track track = MakeTrack(WriteScene(SceneWithClips(0.0, {})), 200, 100, 600);
  ComponentInstance mh = OpenFor(track);
  YrSDK::YrTriggerManager triggers;
  triggers.AddGroup("Walk");
  triggers.SetGroupActive(triggers.AddGroup("Run"), true);
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  EXPECT_FALSE(triggers.GetGroupActive(0));
  EXPECT_TRUE(Globals(mh).triggering);
  EXPECT_EQ(triggers.FindProperty("Active").AsInt(), 1);
}

}  // namespace
