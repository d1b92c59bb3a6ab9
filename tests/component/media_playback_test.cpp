// The media handler's idle call: when it draws, its OpenGL set-up and the
// screens of its text layer, read back through the port's text calls and
// pixels.

#include <cstdlib>

#include "media_handler_fixture.h"

namespace media_test {
namespace {

using qtzyn::LoadError;
using qtzyn::LoadState;
using qtzyn::ViewerCore;

int Centre(const Rect& r) { return r.top + (r.bottom - r.top) / 2; }

class MediaPlaybackTest : public MediaHandlerTest {};

TEST_F(MediaPlaybackTest, TrackBelowOnePixelAnswersCancelledEveryCallAndNeverLoads) {
  const std::string path = WriteScene(SmallScene(1, 1, 1.0));
  ComponentInstance mh = OpenFor(MakeTrack(path, 0, 0));
  for (int i = 0; i < 4; ++i) {
    ComponentResult result = 0;
    EXPECT_FALSE(Idle(mh, i, mMustDraw, &result));
    EXPECT_EQ(result, userCanceledErr);
  }
  EXPECT_EQ(ViewerCore::Get()->loadState.load(), LoadState::kIdle);
  EXPECT_FALSE(ViewerCore::Get()->glReady);
}

TEST_F(MediaPlaybackTest, PausedMovieDrawsThreeMoreTimesAfterAClickThenStops) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(1, 1, 2.0)), 160, 120));
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  DrawsUntilQuiet(mh, 0);
  EXPECT_FALSE(Idle(mh, 0));

  EXPECT_EQ(SendEvent(mh, kQTEventMouseClick), noErr);
  EXPECT_EQ(SendEvent(mh, kQTEventMouseClickEnd), kEventHandledByMediaHandler);
  EXPECT_EQ(DrawsUntilQuiet(mh, 0), 3);

  // A handled key and a drag movement count the same; a movement without a
  // click does not.
  EXPECT_EQ(SendEvent(mh, kQTEventMouseMoved), noErr);
  EXPECT_EQ(DrawsUntilQuiet(mh, 0), 0);
  EXPECT_EQ(Key(mh, 'i'), kEventHandledByMediaHandler);
  EXPECT_EQ(DrawsUntilQuiet(mh, 0), 3);
  // The host asking for a drawing always gets one.
  EXPECT_TRUE(Idle(mh, 0, mMustDraw));
}

TEST_F(MediaPlaybackTest, PlayingDrawsEveryCallAndFreeRunningDrawsWithoutMoving) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(1, 1, 2.0)), 160, 120));
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  DrawsUntilQuiet(mh, 0);
  for (TimeValue t = 1; t <= 10; ++t) EXPECT_TRUE(Idle(mh, t)) << t;
  EXPECT_FALSE(Idle(mh, 10));

  EXPECT_EQ(Key(mh, 'r'), kEventHandledByMediaHandler);
  EXPECT_TRUE(Globals(mh).freeRunning);
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(Idle(mh, 10)) << i;
  EXPECT_EQ(Key(mh, 'R', alphaLock), kEventHandledByMediaHandler);
  EXPECT_EQ(DrawsUntilQuiet(mh, 10), 3);
}

TEST_F(MediaPlaybackTest, LoadedSceneIsBlittedIntoThePortWithItsCameraBackground) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(1, 1, 2.0)), 160, 120));
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  ASSERT_TRUE(Idle(mh, 0, mMustDraw));
  EXPECT_EQ(Globals(mh).pixelWidth, 160);
  EXPECT_EQ(Globals(mh).pixelHeight, 120);
  // The new port starts black; the frame's background is the camera's grey,
  // and nothing lands outside the track.
  const auto inside = Pixel(80, 5);
  EXPECT_GT(inside[0], 60);
  EXPECT_EQ(Pixel(200, 5), (std::array<int, 3>{0, 0, 0}));
  // The focus prompt is over the scene until the track has focus.
  const PortTextCall* prompt = texts_.Find("<Click here to get interaction focus>");
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(prompt->size, 10);
  EXPECT_EQ(prompt->face, bold);
}

TEST_F(MediaPlaybackTest, SecondInstanceDrawsABlackRectangleWithTwoNotices) {
  const std::string path = WriteScene(SmallScene(1, 1, 2.0));
  ComponentInstance first = OpenFor(MakeTrack(path, 160, 120));
  ComponentInstance second = OpenFor(MakeTrack(path, 100, 80));
  ASSERT_EQ(ViewerCore::Get()->activeInstanceId, Globals(first).instanceId);
  // Something not black where the second track lies, so that its
  // rectangle shows.
  const RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
  RGBForeColor(&white);
  Rect all;
  SetRect(&all, 0, 0, kPortWidth, kPortHeight);
  PaintRect(&all);

  texts_.calls.clear();
  ASSERT_TRUE(Idle(second, 0));
  EXPECT_EQ(Pixel(50, 40), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(Pixel(150, 40), (std::array<int, 3>{255, 255, 255}));
  ASSERT_EQ(texts_.calls.size(), 3u);
  const int cy = Centre(Globals(second).drawRect);
  EXPECT_EQ(texts_.calls[0].text, "ZYN");
  EXPECT_EQ(texts_.calls[0].y, cy);
  EXPECT_EQ(texts_.calls[0].size, 14);
  EXPECT_EQ(texts_.calls[0].face, bold | condense);
  EXPECT_EQ(texts_.calls[0].font, "Helvetica");
  EXPECT_EQ(texts_.calls[1].text, "Preview not available.");
  EXPECT_EQ(texts_.calls[1].y, cy + 20);
  EXPECT_EQ(texts_.calls[2].text, "Only one file at a time.");
  EXPECT_EQ(texts_.calls[2].y, cy + 32);
  for (const PortTextCall& call : texts_.calls) {
    EXPECT_EQ(call.color.red, 0xFF00);
    EXPECT_EQ(call.color.blue, 0xFF00);
  }
  // The second instance never reads its file.
  EXPECT_EQ(ViewerCore::Get()->loadState.load(), LoadState::kIdle);
}

TEST_F(MediaPlaybackTest, FailureScreenNamesEachLoadError) {
  const std::string path = WriteScene(SmallScene(1, 1, 2.0));
  const struct {
    LoadError error;
    const char* text;
  } cases[] = {{LoadError::kInvalidFile, "Invalid or corrupted file."},
               {LoadError::kPasswordProtected, "Password protected file."},
               {LoadError::kOpenFailed, "Could not open the file."}};
  for (const auto& c : cases) {
    ComponentInstance mh = OpenFor(MakeTrack(path, 160, 120));
    ViewerCore* core = ViewerCore::Get();
    core->loadError = c.error;
    core->loadState = LoadState::kFailed;
    texts_.calls.clear();
    ASSERT_TRUE(Idle(mh, 0));
    const int cy = Centre(Globals(mh).drawRect);
    ASSERT_EQ(texts_.calls.size(), 3u) << c.text;
    EXPECT_EQ(texts_.calls[0].text, "ZYN");
    EXPECT_EQ(texts_.calls[1].text, "Error loading ZYN file!");
    EXPECT_EQ(texts_.calls[1].y, cy + 20);
    EXPECT_EQ(texts_.calls[2].text, c.text);
    EXPECT_EQ(texts_.calls[2].y, cy + 32);
    EXPECT_EQ(texts_.calls[2].size, 8);
    EXPECT_EQ(Pixel(80, 10), (std::array<int, 3>{0, 0, 0}));
    // The failure screen stays without drawing again.
    EXPECT_LE(DrawsUntilQuiet(mh, 0), 3);
    EXPECT_FALSE(Idle(mh, 0));
    Close(mh);
  }
}

TEST_F(MediaPlaybackTest, DamagedSceneFileEndsOnTheFailureScreen) {
  const std::string path = dir_.File("broken.zyn");
  ASSERT_TRUE(testing_support::WriteFileBytes(path, "this is not a scene file at all"));
  ComponentInstance mh = OpenFor(MakeTrack(path, 160, 120));
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kFailed);
  texts_.calls.clear();
  ASSERT_TRUE(Idle(mh, 0, mMustDraw));
  EXPECT_NE(texts_.Find("Error loading ZYN file!"), nullptr);
  EXPECT_NE(texts_.Find("Invalid or corrupted file."), nullptr);
}

TEST_F(MediaPlaybackTest, LoadingShowsTheTitleOverThePanelWithItsProgressBar) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(1, 1, 2.0)), 320, 240));
  ViewerCore* core = ViewerCore::Get();
  core->loadState = LoadState::kLoading;  // as while the loader thread parses
  core->progress = 50;
  ASSERT_TRUE(Idle(mh, 0));
  // Black at the top to grey 0.3 at the bottom; the bar's left half filled
  // in grey 0.5 inside a white outline.
  EXPECT_LT(Pixel(160, 1)[0], 8);
  EXPECT_NEAR(Pixel(160, 238)[0], 77, 8);
  const int x0 = 160 - 55, y0 = 120 + 7;
  EXPECT_NEAR(Pixel(x0 + 20, y0 + 3)[1], 128, 8);
  EXPECT_LT(Pixel(x0 + 90, y0 + 3)[1], 60);
  EXPECT_GT(Pixel(x0 + 110, y0 + 3)[1], 240);
  ASSERT_EQ(texts_.calls.size(), 3u);
  EXPECT_EQ(texts_.calls[0].text, "ZYN");
  EXPECT_EQ(texts_.calls[1].text, "Version 6.0");
  EXPECT_EQ(texts_.calls[1].y, 120 + 40);
  EXPECT_EQ(texts_.calls[2].text, "Press 'H' for help");
  EXPECT_EQ(texts_.calls[2].y, 120 + 55);
  // The panel is drawn again on every call while loading goes on.
  EXPECT_TRUE(Idle(mh, 0));
  EXPECT_TRUE(Idle(mh, 0));
  EXPECT_TRUE(Idle(mh, 0));
  core->loadState = LoadState::kFailed;
}

TEST_F(MediaPlaybackTest, HelpPageLinesSitAtTheirPlaces) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(1, 1, 2.0)), 320, 240));
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  ASSERT_EQ(Key(mh, 'h'), kEventHandledByMediaHandler);
  texts_.calls.clear();
  ASSERT_TRUE(Idle(mh, 0));

  const std::string title = "ZYN for QuickTime v6.0 (2004.10.28) - Help Menu";
  const PortTextCall* t = texts_.Find(title);
  ASSERT_NE(t, nullptr);
  short font = 0;
  GetFNum(reinterpret_cast<ConstStringPtr>("\x09Helvetica"), &font);
  TextFont(font);
  TextSize(8);
  TextFace(bold);
  EXPECT_EQ(t->x, 250 - TextWidth(title.data(), 0, static_cast<short>(title.size())) / 2);
  EXPECT_EQ(t->y, 15);
  EXPECT_EQ(t->face, bold);
  EXPECT_EQ(t->color.red, 0);

  const struct {
    const char* text;
    int x, y;
  } lines[] = {{"Hot-Keys:", 40, 45},
               {"   - Toggle Axis: ' a '", 40, 60},
               {"   - Toggle That Help Menu: ' h '", 40, 135},
               {"   - Cycle Viewing Mode: ' v '", 40, 225},
               {"Camera Movements:", 280, 45},
               {"   - Zoom: Z + Click-Drag", 280, 105},
               {"For further information, samples,", 270, 150},
               {"and tutorials, please visit :", 270, 165}};
  for (const auto& line : lines) {
    const PortTextCall* call = texts_.Find(line.text);
    ASSERT_NE(call, nullptr) << line.text;
    EXPECT_EQ(call->x, line.x) << line.text;
    EXPECT_EQ(call->y, line.y) << line.text;
    EXPECT_EQ(call->size, 8) << line.text;
    EXPECT_EQ(call->face, normal) << line.text;
  }
  // No focus prompt over the help page; its background runs from white on
  // the left to grey on the right.
  EXPECT_EQ(texts_.Find("<Click here to get interaction focus>"), nullptr);
  EXPECT_GT(Pixel(2, 230)[0], 230);
  EXPECT_LT(Pixel(317, 230)[0], 130);
}

TEST_F(MediaPlaybackTest, InformationLinesShowTheViewerState) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(2, 1, 2.0)), 320, 240));
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  ASSERT_EQ(Key(mh, 'i'), kEventHandledByMediaHandler);
  ASSERT_EQ(Key(mh, 'l'), kEventHandledByMediaHandler);
  texts_.calls.clear();
  ASSERT_TRUE(Idle(mh, 0));
  const char* expected[] = {"Take: Take 1", nullptr, "Display mode: Default", "Viewing mode: Normal",
                            "Lights: Off", "Triggering: Off", "Free Running: Off"};
  for (int k = 0; k < 7; ++k) {
    if (expected[k] == nullptr) continue;
    const PortTextCall* call = texts_.Find(expected[k]);
    ASSERT_NE(call, nullptr) << expected[k];
    EXPECT_EQ(call->x, 13);
    EXPECT_EQ(call->y, 21 + 15 * k);
    EXPECT_EQ(call->color.green, 0xFF00);
  }
  bool camera = false;
  for (const PortTextCall& call : texts_.calls) camera |= call.text.rfind("Camera: ", 0) == 0 && call.y == 36;
  EXPECT_TRUE(camera);
}

TEST_F(MediaPlaybackTest, SoftwareWarningShowsOnceAndAClickClearsIt) {
  setenv("QTZYN_EGL_DISABLE", "1", 1);
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(1, 1, 2.0)), 320, 240));
  ComponentResult result = 0;
  ASSERT_TRUE(Idle(mh, 0, 0, &result));
  unsetenv("QTZYN_EGL_DISABLE");
  ASSERT_EQ(result, noErr) << "no software context";
  ASSERT_TRUE(Globals(mh).softwareWarning);
  const int cy = 120;
  const struct {
    const char* text;
    int dy, size, face;
  } lines[] = {{"WARNING !", 0, 16, bold | condense},
               {"Switching to Software-Mode", 14, 10, bold | condense},
               {"PBuffer extension not found and will cause low performance.", 34, 8, condense},
               {"Please try updating your video driver.", 46, 8, condense},
               {"(click to continue)", 66, 8, condense}};
  for (const auto& line : lines) {
    const PortTextCall* call = texts_.Find(line.text);
    ASSERT_NE(call, nullptr) << line.text;
    EXPECT_EQ(call->y, cy + line.dy) << line.text;
    EXPECT_EQ(call->size, line.size) << line.text;
    EXPECT_EQ(call->face, line.face) << line.text;
  }
  EXPECT_EQ(texts_.Find("ZYN"), nullptr);
  EXPECT_EQ(Pixel(160, 200), (std::array<int, 3>{0, 0, 0}));

  // While it shows, a paused movie's calls draw nothing new.
  DrawsUntilQuiet(mh, 0);
  EXPECT_FALSE(Idle(mh, 0));
  EXPECT_EQ(SendEvent(mh, kQTEventMouseClick), noErr);
  EXPECT_FALSE(Globals(mh).softwareWarning);
  EXPECT_EQ(SendEvent(mh, kQTEventMouseClickEnd), kEventHandledByMediaHandler);
  texts_.calls.clear();
  ASSERT_TRUE(Idle(mh, 0));
  EXPECT_EQ(texts_.Find("WARNING !"), nullptr);

  // A later fallback in the same process shows nothing.
  EXPECT_FALSE(qtzyn::DrawingState().warningPending);
  setenv("QTZYN_EGL_DISABLE", "1", 1);
  ASSERT_EQ(CallMediaSetDimensions(mh, IntToFixed(200), IntToFixed(100)), noErr);
  ASSERT_TRUE(Idle(mh, 0, mMustDraw));
  unsetenv("QTZYN_EGL_DISABLE");
  EXPECT_EQ(Globals(mh).bufferWidth, 200);
  EXPECT_FALSE(Globals(mh).softwareWarning);
}

TEST_F(MediaPlaybackTest, ResizedTrackGetsABufferOfItsNewSize) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(1, 1, 2.0)), 160, 120));
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  EXPECT_EQ(Globals(mh).bufferWidth, 160);
  ASSERT_EQ(CallMediaSetDimensions(mh, IntToFixed(240), IntToFixed(180)), noErr);
  EXPECT_EQ(Globals(mh).pixelWidth, 240);
  EXPECT_EQ(Globals(mh).pixelHeight, 180);
  ASSERT_TRUE(Idle(mh, 1));
  EXPECT_EQ(Globals(mh).bufferWidth, 240);
  EXPECT_EQ(Globals(mh).bufferHeight, 180);
  // The whole new track is drawn: the frame reaches its far corner.
  EXPECT_GT(Pixel(235, 175)[0], 60);
  // Without a port nothing is drawn, and nothing fails.
  SetPort(nullptr);
  ComponentResult result = 0;
  Idle(mh, 2, 0, &result);
  EXPECT_EQ(result, noErr);
  SetPort(port_);
}

TEST_F(MediaPlaybackTest, MovedTrackIsDrawnWhereItLies) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(1, 1, 2.0)), 160, 120));
  MatrixRecord moved;
  moved.matrix[2][0] = IntToFixed(30);
  moved.matrix[2][1] = IntToFixed(40);
  ASSERT_EQ(CallMediaSetMatrix(mh, &moved), noErr);
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  ASSERT_TRUE(Idle(mh, 1));
  EXPECT_EQ(Pixel(10, 10), (std::array<int, 3>{0, 0, 0}));
  EXPECT_GT(Pixel(35, 45)[0], 60);
  EXPECT_GT(Pixel(185, 155)[0], 60);
  EXPECT_EQ(Pixel(195, 165), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(MediaPlaybackTest, HugeOrMirroredTracksAreRefusedOrDrawnWithoutHarm) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(1, 1, 2.0)), 160, 120));
  ViewerCore::Get()->loadState = LoadState::kFailed;
  // Scaled far beyond any buffer: refused, every call.
  MatrixRecord huge;
  huge.matrix[0][0] = IntToFixed(1000);
  huge.matrix[1][1] = IntToFixed(1000);
  ASSERT_EQ(CallMediaSetMatrix(mh, &huge), noErr);
  for (int i = 0; i < 2; ++i) {
    ComponentResult result = 0;
    Idle(mh, i, mMustDraw, &result);
    EXPECT_EQ(result, userCanceledErr);
  }
  // Mirrored: the rectangle is the transformed corners' bounding box.
  MatrixRecord mirrored;
  mirrored.matrix[0][0] = -fixed1;
  mirrored.matrix[2][0] = IntToFixed(200);
  ASSERT_EQ(CallMediaSetMatrix(mh, &mirrored), noErr);
  ComponentResult result = 0;
  EXPECT_TRUE(Idle(mh, 0, mMustDraw, &result));
  EXPECT_EQ(result, noErr);
  EXPECT_EQ(Globals(mh).drawRect.left, 40);
  EXPECT_EQ(Globals(mh).bufferWidth, 160);
}

TEST_F(MediaPlaybackTest, NameAndMatrix) {
  ComponentInstance mh = OpenFor(MakeTrack(WriteScene(SmallScene(1, 1, 2.0)), 100, 50));
  unsigned char name[256] = {};
  long actual = 77;
  EXPECT_EQ(CallMediaGetName(mh, name, 0, &actual), noErr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(name), 7), std::string("\x06" "3D ZYN"));
  EXPECT_EQ(actual, 77);
  EXPECT_EQ(CallMediaGetName(mh, nullptr, 0, nullptr), paramErr);

  // A track moved by its matrix: the text layer follows it.
  MatrixRecord moved;
  moved.matrix[2][0] = IntToFixed(30);
  moved.matrix[2][1] = IntToFixed(40);
  EXPECT_EQ(CallMediaSetMatrix(mh, &moved), noErr);
  ViewerCore::Get()->loadState = LoadState::kFailed;
  ASSERT_TRUE(Idle(mh, 0));
  const Rect& r = Globals(mh).drawRect;
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  const PortTextCall* title = texts_.Find("ZYN");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->y, 40 + 25);
}

}  // namespace
}  // namespace media_test
