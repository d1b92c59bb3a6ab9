// The viewer's interaction: hot keys with their modifier rules, camera and
// take cycling, hit tests and focus, and the keyboard hook that focus
// installs.

#include <thread>

#include "host/keyboard_hooks.h"
#include "media_handler_fixture.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_system.h"

namespace media_test {
namespace {

using qtzyn::LoadState;
using qtzyn::ViewerCore;

class MediaInteractionTest : public MediaHandlerTest {
 protected:
  ComponentInstance Loaded(const std::vector<uint8_t>& scene, Track* track = nullptr) {
    Track t = MakeTrack(WriteScene(scene), 160, 120);
    if (track != nullptr) *track = t;
    ComponentInstance mh = OpenFor(t);
    EXPECT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
    return mh;
  }
  static YrSDK::YrRenderer& Renderer() { return ViewerCore::Get()->Renderer(); }
  static int DisplayMode() { return Renderer().GetViewingOptions().DisplayWhat; }
  static long Target(ComponentInstance mh) { return reinterpret_cast<long>(&Globals(mh).naturalRect); }
  static ComponentResult HitTestTarget(ComponentInstance mh, long target, Point where, Boolean* hit) {
    return HostComponentCall(mh, static_cast<SInt16>(MediaHandlerSelect::kHitTestTargetRefCon), target, 0L, where, hit);
  }
  static ComponentResult SetFocus(ComponentInstance mh, bool on) {
    return CallMediaRefConSetProperty(mh, Target(mh), kRefConPropertyHasFocus, on ? reinterpret_cast<void*>(1) : nullptr);
  }
};

TEST_F(MediaInteractionTest, DisplayModeKeyNeedsNoModifierOrCapsLockAndSkipsDefault) {
  ComponentInstance mh = Loaded(SmallScene(1, 1, 1.0));
  ASSERT_EQ(DisplayMode(), 0);
  EXPECT_EQ(Key(mh, 'D', shiftKey), noErr);
  EXPECT_EQ(Key(mh, 'd', cmdKey | btnState), noErr);
  EXPECT_EQ(DisplayMode(), 0);
  EXPECT_EQ(Key(mh, 'D', shiftKey | alphaLock), kEventHandledByMediaHandler);
  EXPECT_EQ(DisplayMode(), 1);
  for (int expected : {2, 3, 4, 1, 2}) {
    EXPECT_EQ(Key(mh, 'd'), kEventHandledByMediaHandler);
    EXPECT_EQ(DisplayMode(), expected);
  }
  for (int expected : {1, 2, 0}) {
    EXPECT_EQ(Key(mh, 'v'), kEventHandledByMediaHandler);
    EXPECT_EQ(Renderer().GetViewingOptions().PickingMode, expected);
  }
  // Keys that are not the viewer's.
  EXPECT_EQ(Key(mh, 'x'), noErr);
  EXPECT_EQ(Key(mh, ' '), noErr);
}

TEST_F(MediaInteractionTest, CameraKeyFromACameraOutsideTheListMakesTheSecondCurrent) {
  ComponentInstance mh = Loaded(SmallScene(3, 1, 1.0));
  const std::vector<YrSDK::YrComponent> cameras = YrSDK::YrSystem().GetCameras();
  ASSERT_GE(cameras.size(), 3u);
  ASSERT_TRUE(Renderer().SetCurrentCamera(YrSDK::YrComponent()));
  EXPECT_EQ(Key(mh, 'c'), kEventHandledByMediaHandler);
  EXPECT_TRUE(Renderer().GetCurrentCamera() == cameras[1]);
  EXPECT_EQ(Key(mh, 'C', alphaLock), kEventHandledByMediaHandler);
  EXPECT_TRUE(Renderer().GetCurrentCamera() == cameras[2]);
  // The last camera wraps to the first.
  ASSERT_TRUE(Renderer().SetCurrentCamera(cameras.back()));
  Key(mh, 'c');
  EXPECT_TRUE(Renderer().GetCurrentCamera() == cameras[0]);
}

TEST_F(MediaInteractionTest, AxisAndGridKeysSwitchEveryCamera) {
  ComponentInstance mh = Loaded(SmallScene(2, 1, 1.0));
  const std::vector<YrSDK::YrComponent> cameras = YrSDK::YrSystem().GetCameras();
  const bool grid = Renderer().GetRenderCamera().FindProperty("ViewShowGrid").AsInt() != 0;
  EXPECT_EQ(Key(mh, 'g'), kEventHandledByMediaHandler);
  for (const auto& camera : cameras) EXPECT_EQ(camera.FindProperty("ViewShowGrid").AsInt() != 0, !grid);
  const bool axis = Renderer().GetRenderCamera().FindProperty("ViewShowAxis").AsInt() != 0;
  EXPECT_EQ(Key(mh, 'a'), kEventHandledByMediaHandler);
  for (const auto& camera : cameras) EXPECT_EQ(camera.FindProperty("ViewShowAxis").AsInt() != 0, !axis);
}

TEST_F(MediaInteractionTest, TakeKeyWithOneTakeKeepsItAndSetsTheActiveSegment) {
  Track track = nullptr;
  ComponentInstance mh = Loaded(SmallScene(1, 1, 2.0), &track);
  Movie movie = GetTrackMovie(track);
  const long changes = HostGetMovieChangeCount(movie);
  EXPECT_EQ(Key(mh, 't'), kEventHandledByMediaHandler);
  EXPECT_EQ(YrSDK::YrSystem().GetCurrentTake().GetName(), "Take 1");
  TimeValue start = -5, duration = -5;
  GetMovieActiveSegment(movie, &start, &duration);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(duration, (120 + 1) * 10);
  EXPECT_GT(HostGetMovieChangeCount(movie), changes);
}

TEST_F(MediaInteractionTest, TakeKeyCyclesTakesAndWraps) {
  ComponentInstance mh = Loaded(SmallScene(1, 3, 0.5));
  for (const char* expected : {"Take 2", "Take 3", "Take 1"}) {
    EXPECT_EQ(Key(mh, 't'), kEventHandledByMediaHandler);
    EXPECT_EQ(YrSDK::YrSystem().GetCurrentTake().GetName(), expected);
  }
}

TEST_F(MediaInteractionTest, FlagKeysAndTriggeringCharacters) {
  ComponentInstance mh = Loaded(SmallScene(1, 1, 1.0));
  qtzyn::MediaGlobals& g = Globals(mh);
  ASSERT_FALSE(g.triggering);
  EXPECT_EQ(Key(mh, '5'), noErr);
  EXPECT_EQ(Key(mh, 'k'), kEventHandledByMediaHandler);
  EXPECT_TRUE(g.triggering);
  // While triggering, the digits, arrows and the like are the scene's...
  EXPECT_EQ(Key(mh, '5'), kEventHandledByMediaHandler);
  EXPECT_EQ(SendEvent(mh, kQTEventKey, 28), kEventHandledByMediaHandler);
  EXPECT_EQ(SendEvent(mh, kQTEventKey, 202), kEventHandledByMediaHandler);
  // ... and a bare space is left to the keyboard hook.
  g.redrawCount = 0;
  EXPECT_EQ(SendEvent(mh, kQTEventKey, ' ', 0), noErr);
  EXPECT_EQ(g.redrawCount, 0);
  for (char key : {'h', 'i', 'l'}) EXPECT_EQ(Key(mh, key), kEventHandledByMediaHandler) << key;
  EXPECT_TRUE(g.showHelp);
  EXPECT_TRUE(g.showInfo);
  EXPECT_FALSE(g.lightsOn);
}

TEST_F(MediaInteractionTest, MissingOutPointersAreParameterErrors) {
  ComponentInstance mh = Loaded(SmallScene(1, 1, 1.0));
  QTEventRecord event;
  event.eventType = kQTEventMouseClick;
  QTAtomContainer container = reinterpret_cast<QTAtomContainer>(1);
  QTAtom atom = 5;
  EXPECT_EQ(CallMediaGetActionsForQTEvent(mh, nullptr, 0, &container, &atom), paramErr);
  EXPECT_EQ(CallMediaGetActionsForQTEvent(mh, &event, 0, nullptr, &atom), paramErr);
  EXPECT_EQ(CallMediaGetActionsForQTEvent(mh, &event, 0, &container, &atom), noErr);
  EXPECT_EQ(container, nullptr);
  EXPECT_EQ(atom, 0);
  EXPECT_EQ(CallMediaHitTestForTargetRefCon(mh, 0, Point{}, nullptr), paramErr);
  EXPECT_EQ(CallMediaRefConGetProperty(mh, Target(mh), kRefConPropertyCanHaveFocus, nullptr), paramErr);
  EXPECT_EQ(CallMediaNavigateTargetRefCon(mh, 0, nullptr), paramErr);
}

TEST_F(MediaInteractionTest, CharacteristicsHitTestsAndNavigation) {
  ComponentInstance mh = Loaded(SmallScene(1, 1, 1.0));
  Boolean has = false;
  EXPECT_EQ(CallMediaHasCharacteristic(mh, kCharacteristicHasActions, &has), noErr);
  EXPECT_TRUE(has);
  has = false;
  EXPECT_EQ(CallMediaHasCharacteristic(mh, kCharacteristicCanFocus, &has), noErr);
  EXPECT_TRUE(has);
  has = 7;
  EXPECT_EQ(CallMediaHasCharacteristic(mh, FOUR_CHAR_CODE("eyes"), &has), noErr);
  EXPECT_EQ(has, 7);

  long target = -1;
  EXPECT_EQ(CallMediaHitTestForTargetRefCon(mh, 0, Point{60, 150}, &target), noErr);
  EXPECT_EQ(target, Target(mh));
  EXPECT_EQ(CallMediaHitTestForTargetRefCon(mh, 0, Point{60, 170}, &target), noErr);
  EXPECT_EQ(target, 0);
  Boolean hit = false;
  EXPECT_EQ(HitTestTarget(mh, Target(mh), Point{119, 0}, &hit), noErr);
  EXPECT_TRUE(hit);
  EXPECT_EQ(HitTestTarget(mh, Target(mh) + 1, Point{10, 10}, &hit), noErr);
  EXPECT_FALSE(hit);

  Boolean can = false;
  EXPECT_EQ(CallMediaRefConGetProperty(mh, Target(mh), kRefConPropertyCanHaveFocus, &can), noErr);
  EXPECT_TRUE(can);
  EXPECT_EQ(CallMediaRefConGetProperty(mh, Target(mh), kRefConPropertyHasFocus, &can), paramErr);
  EXPECT_EQ(CallMediaRefConSetProperty(mh, Target(mh), kRefConPropertyCanHaveFocus, nullptr), paramErr);

  long refCon = 0;
  EXPECT_EQ(CallMediaNavigateTargetRefCon(mh, 0, &refCon), noErr);
  EXPECT_EQ(refCon, Target(mh));
  EXPECT_EQ(CallMediaNavigateTargetRefCon(mh, 1, &refCon), noErr);
  EXPECT_EQ(refCon, 0);
  refCon = 12345;
  EXPECT_EQ(CallMediaNavigateTargetRefCon(mh, 0, &refCon), paramErr);
}

// A hook installed before the viewer's: it sees what the viewer's passes on.
int g_passedOn = 0;
int g_lastPassedKey = 0;
LRESULT RecordingHook(int, WPARAM wParam, LPARAM) {
  ++g_passedOn;
  g_lastPassedKey = static_cast<int>(wParam);
  return 0;
}

TEST_F(MediaInteractionTest, FocusInstallsTheKeyboardHookAndLosingItRemovesIt) {
  ComponentInstance mh = Loaded(SmallScene(1, 1, 1.0));
  HHOOK before = SetWindowsHookEx(WH_KEYBOARD, &RecordingHook, GetModuleHandle("QTZyn.qtx"), 0);
  ASSERT_NE(before, nullptr);
  g_passedOn = 0;
  ViewerCore* core = ViewerCore::Get();

  EXPECT_EQ(SetFocus(mh, true), noErr);
  EXPECT_TRUE(Globals(mh).hasFocus);
  ASSERT_NE(core->keyboardHook, nullptr);
  // Key states are recorded for the camera moves.
  EXPECT_FALSE(HostSendKeyboardEvent('Z', true));
  EXPECT_EQ(core->GetKeyState('Z'), 1);
  EXPECT_FALSE(HostSendKeyboardEvent('Z', false));
  EXPECT_EQ(core->GetKeyState('Z'), 0);
  EXPECT_EQ(g_passedOn, 2);

  // With triggering on, engine keys are taken and swallowed, except Escape.
  Key(mh, 'k');
  ASSERT_TRUE(Globals(mh).triggering);
  EXPECT_TRUE(HostSendKeyboardEvent(32, true));
  EXPECT_TRUE(HostSendKeyboardEvent(32, false));
  EXPECT_EQ(g_passedOn, 4);
  EXPECT_FALSE(HostSendKeyboardEvent(27, true));
  EXPECT_EQ(g_passedOn, 5);
  EXPECT_EQ(g_lastPassedKey, 27);
  EXPECT_EQ(Globals(mh).redrawCount, 3);

  // Focus on another instance's target changes nothing here.
  EXPECT_EQ(CallMediaRefConSetProperty(mh, Target(mh) + 4, kRefConPropertyHasFocus, nullptr), noErr);
  EXPECT_NE(core->keyboardHook, nullptr);
  EXPECT_EQ(SetFocus(mh, false), noErr);
  EXPECT_FALSE(Globals(mh).hasFocus);
  EXPECT_EQ(core->keyboardHook, nullptr);
  EXPECT_FALSE(HostSendKeyboardEvent(32, true));
  EXPECT_EQ(g_lastPassedKey, 32);
  EXPECT_TRUE(UnhookWindowsHookEx(before));
}

TEST(ComponentModuleNameTest, ComponentRegisteredFromCodeStandsForTheModuleItNames) {
  const Component handler = RegisteredHandler();
  EXPECT_EQ(GetModuleHandle("Other.qtx"), nullptr);
  ASSERT_EQ(HostSetComponentModuleName(handler, "Other.qtx"), noErr);
  EXPECT_NE(GetModuleHandle("Other.qtx"), nullptr);
  EXPECT_EQ(HostSetComponentModuleName(handler, nullptr), noErr);
  EXPECT_EQ(GetModuleHandle("Other.qtx"), nullptr);
  EXPECT_EQ(HostSetComponentModuleName(nullptr, "Other.qtx"), invalidComponentID);
  ASSERT_EQ(HostSetComponentModuleName(handler, "QTZyn.qtx"), noErr);
}

TEST_F(MediaInteractionTest, FocusWithoutTheModuleStillAnswersNoError) {
  ComponentInstance mh = Loaded(SmallScene(1, 1, 1.0));
  ASSERT_EQ(HostSetComponentModuleName(RegisteredHandler(), nullptr), noErr);
  if (GetModuleHandle("QTZyn.qtx") == nullptr) {
    EXPECT_EQ(SetFocus(mh, true), noErr);
    EXPECT_TRUE(Globals(mh).hasFocus);
    EXPECT_EQ(ViewerCore::Get()->keyboardHook, nullptr);
  }
  ASSERT_EQ(HostSetComponentModuleName(RegisteredHandler(), "QTZyn.qtx"), noErr);
}

TEST_F(MediaInteractionTest, KeysFromAnotherThreadWhileFocusComesAndGoes) {
  ComponentInstance mh = Loaded(SmallScene(1, 1, 1.0));
  Key(mh, 'k');
  std::atomic<bool> done{false};
  std::thread keys([&done] {
    for (int i = 0; i < 2000 && !done.load(); ++i) {
      HostSendKeyboardEvent(32 + i % 10, (i & 1) == 0);
    }
  });
  for (int i = 0; i < 200; ++i) SetFocus(mh, (i & 1) == 0);
  done = true;
  keys.join();
  SetFocus(mh, false);
  EXPECT_EQ(ViewerCore::Get()->keyboardHook, nullptr);
}

TEST_F(MediaInteractionTest, TriggerKeysFromAnotherThreadWhileThePlayerIdles) {
  ComponentInstance mh = Loaded(SmallScene(1, 1, 1.0));
  ASSERT_EQ(SetFocus(mh, true), noErr);
  Key(mh, 'k');
  ASSERT_TRUE(Globals(mh).triggering);
  std::atomic<bool> finished{false};
  std::atomic<int> swallowed{0};
  std::thread keys([&] {
    for (int i = 0; i < 400; ++i) swallowed += HostSendKeyboardEvent(37 + i % 4, (i & 1) == 0) ? 1 : 0;
    finished = true;
  });
  for (TimeValue t = 0; t < 50 || !finished.load(); ++t) Idle(mh, t % 60);
  keys.join();
  EXPECT_EQ(swallowed.load(), 400);
  SetFocus(mh, false);
}

}  // namespace
}  // namespace media_test
