#include "scene/camera_properties.h"

#include <string>
#include <vector>

#include "scene/camera.h"
#include "scene/property_makers.h"

using namespace vprops;

void VAddCameraProperties(VCamera& c) {
  // Defaults that only the product decides are marked "chosen": they give
  // a 40 degree lens on a one-inch film, a 320 x 200 frame and a depth range
  // of 10 to 4000 units.
  c.mRoll = Double(c, "Roll", 0.0, true);
  c.mFieldOfView = Double(c, "FieldOfView", 40.0, true);
  c.mFieldOfViewX = Double(c, "FieldOfViewX", 40.0, true);  // chosen
  c.mFieldOfViewY = Double(c, "FieldOfViewY", 40.0, true);  // chosen
  c.mOpticalCenterX = Double(c, "OpticalCenterX", 0.0, true);
  c.mOpticalCenterY = Double(c, "OpticalCenterY", 0.0, true);
  c.mBackgroundColor = Color(c, "BackgroundColor", {0.63, 0.63, 0.63}, true);  // chosen: the viewer's grey
  Double(c, "TurnTable", 0.0, true);
  Bool(c, "DisplayTurnTableIcon", false);
  Double(c, "Motion Blur Intensity", 1.0, true);  // chosen
  Bool(c, "UseMotionBlur", false);
  Bool(c, "UseRealTimeMotionBlur", true);
  c.mFocalLength = Double(c, "FocalLength", 0.0);  // set below from the field of view
  c.mResolutionMode = Enum(c, "ResolutionMode",
                           {"Window Size", "Fixed Ratio", "Fixed Resolution", "Fixed Width Resolution",
                            "Fixed Height Resolution"});
  c.mApertureMode = Enum(c, "ApertureMode", {"Horizontal & Vertical", "Horizontal", "Vertical"});
  Enum(c, "CameraFormat", {});
  c.mAspectW = Double(c, "AspectW", 320.0);
  c.mAspectH = Double(c, "AspectH", 200.0);
  c.mPixelAspectRatio = Double(c, "PixelAspectRatio", 1.0);
  Bool(c, "UseFrameColor", false);
  Color(c, "FrameColor", {0, 0, 0});
  for (const char* name : {"ShowName", "ShowGrid", "ShowOpticalCenter", "ShowAzimut", "ShowTimeCode"}) {
    Bool(c, name, false);
  }
  c.mNearPlane = Double(c, "NearPlane", 10.0);
  c.mFarPlane = Double(c, "FarPlane", 4000.0);
  c.mFilmWidth = Double(c, "FilmWidth", 1.0);
  c.mFilmHeight = Double(c, "FilmHeight", 1.0);
  Double(c, "FilmAspectRatio", 1.0);
  Double(c, "FilmSqueezeRatio", 1.0);
  Enum(c, "FilmFormatIndex", {});
  Bool(c, "ViewFrustum", false);
  Bool(c, "ViewFrustumNearFarPlane", false);
  Enum(c, "ViewFrustumBackPlaneMode", {});
  Double(c, "BackPlaneDistance", 100.0);
  Enum(c, "BackPlaneDistanceMode", {});
  for (const char* name : {"ViewCameraToLookAt", "LockMode", "LockInterestNavigation"}) Bool(c, name, false);
  for (const char* name : {"FitImage", "Center", "KeepRatio"}) Bool(c, name, true);
  Bool(c, "Crop", false);
  Enum(c, "BackgroundMode", {"Background", "Foreground", "Background & Foreground"});
  Double(c, "BackgroundAlphaTreshold", 0.5);
  Bool(c, "ForegroundTransparent", false);
  Bool(c, "DisplaySafeArea", false);
  Enum(c, "SafeAreaDisplayStyle", {});
  Double(c, "SafeAreaAspectRatio", 4.0 / 3.0);
  c.mUse2DMagnifierZoom = Bool(c, "Use2DMagnifierZoom", false);
  // Zoom 100 percent centred: the whole frame.
  c.m2DMagnifierZoom = Double(c, "2D Magnifier Zoom", 100.0, true);
  c.m2DMagnifierX = Double(c, "2D Magnifier X", 50.0, true);
  c.m2DMagnifierY = Double(c, "2D Magnifier Y", 50.0, true);
  c.mProjectionType = Enum(c, "CameraProjectionType", {"Perspective", "Orthographic"});
  Bool(c, "UseRealTimeDOFAndAA", false);
  c.mUseDepthOfField = Bool(c, "UseDepthOfField", false);
  c.mFocusSource = Enum(c, "FocusSource", {"Camera Interest", "Specific Distance"});
  c.mFocusAngle = Double(c, "FocusAngle", 3.5);
  c.mFocusDistance = Double(c, "FocusDistance", 200.0);
  c.mUseAntialiasing = Bool(c, "UseAntialiasing", false);
  c.mAntialiasingIntensity = Double(c, "AntialiasingIntensity", 0.77777);
  c.mUseAccumulationBuffer = Bool(c, "UseAccumulationBuffer", false);
  c.mFrameSamplingCount = Int(c, "FrameSamplingCount", 7);
  Action(c, "ResetCamera");
  // The viewer's per-camera display switches, the orthographic zoom and the
  // choice of the sample grid over the relaxed circle.
  c.mViewShowGrid = Bool(c, "ViewShowGrid", true);
  c.mViewShowAxis = Bool(c, "ViewShowAxis", true);
  c.mOrthoZoom = Double(c, "CameraOrthoZoom", 1.0);
  c.mUseSamplingGrid = Bool(c, "UseSamplingGrid", false);
}
