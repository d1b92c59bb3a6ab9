#include "tools/zyn/demo_scene.h"

#include "tools/zyn/demo_audio.h"
#include "tools/zyn/demo_cameras.h"
#include "tools/zyn/demo_meshes.h"
#include "tools/zyn/demo_support.h"

#include <memory>

#include "animation/fcurve_node.h"
#include "animation/take_list.h"
#include "scene/model.h"
#include "scene/scene.h"

namespace zyn_tool {
namespace {

void BuildFirstTake(VTake& take, const VModel& root, const VModel& arm, const VModel& hand) {
  take.local_span = VTimeSpan(Frame(0), Frame(120));
  take.reference_span = take.local_span;
  take.comments = "Every interpolation and tangent mode";
  VFCurveNode *t, *r, *s;

  // Root: constant (hold this and hold next), linear and auto keys; the
  // curve repeats before its first key and keeps its slope after the last.
  VTake::ModelAnimation* a = take.AddModel(root.GetFullName());
  a->channels.push_back(TransformChannel(root, &t, &r, &s));
  VFCurve& x = Axis(*t, 0);
  int k = x.KeyAdd(Frame(0), 0.0f);
  x.KeySetInterpolation(k, kFCurveInterpolationConstant);
  k = x.KeyAdd(Frame(15), 2.0f);
  x.KeySetInterpolation(k, kFCurveInterpolationConstant);
  x.KeySetConstantMode(k, true);
  k = x.KeyAdd(Frame(30), 4.0f);
  x.KeySetInterpolation(k, kFCurveInterpolationLinear);
  k = x.KeyAdd(Frame(60), -1.0f);
  x.KeySetAuto(k, 0.0f, 0.0f);
  k = x.KeyAdd(Frame(90), 3.0f);
  x.KeySetAuto(k, 0.5f, -0.5f);
  x.KeyAdd(Frame(120), 1.0f);
  x.SetPreExtrapolation(kFCurveExtrapolationRepetition, kFCurveRepetitionUnlimited);
  x.SetPostExtrapolation(kFCurveExtrapolationKeepSlope, 0);

  // Arm: auto with break, TCB, user and break tangents on the Z rotation.
  a = take.AddModel(arm.GetFullName());
  a->channels.push_back(TransformChannel(arm, &t, &r, &s));
  VFCurve& rz = Axis(*r, 2);
  k = rz.KeyAdd(Frame(0), 0.0f);
  rz.KeySetAuto(k, 0.0f, 0.0f, true);
  k = rz.KeyAdd(Frame(30), 45.0f);
  rz.KeySetTCB(k, 0.5f, -0.25f, 0.25f);
  k = rz.KeyAdd(Frame(60), 10.0f);
  rz.KeySetUser(k, 60.0f, -30.0f);
  k = rz.KeyAdd(Frame(90), 80.0f);
  rz.KeySetUser(k, 0.0f, 120.0f, true);
  rz.KeyAdd(Frame(120), 0.0f);
  rz.SetPostExtrapolation(kFCurveExtrapolationMirrorRepetition, 2);

  // Hand: weighted tangents on the scaling.
  a = take.AddModel(hand.GetFullName());
  a->channels.push_back(TransformChannel(hand, &t, &r, &s));
  for (int axis = 0; axis < 3; ++axis) {
    VFCurve& sc = Axis(*s, axis);
    k = sc.KeyAdd(Frame(0), 1.0f);
    sc.KeySetUser(k, 0.0f, 0.0f);
    sc.KeySetWeighted(k, true, true);
    sc.KeySetWeights(k, 0.6, 0.2);
    k = sc.KeyAdd(Frame(60), 1.5f + 0.25f * static_cast<float>(axis));
    sc.KeySetAuto(k, 0.0f, 0.0f);
    sc.KeySetWeighted(k, true, false);
    sc.KeySetWeights(k, 0.5, 0.3333);
    sc.KeyAdd(Frame(120), 1.0f);
  }
  // Visibility switches off for half a second.
  auto visibility = std::make_unique<VFCurveNode>("Visibility");
  VFCurve* v = visibility->MakeCurve();
  v->SetDefaultValue(1.0f);
  k = v->KeyAdd(Frame(0), 1.0f);
  v->KeySetInterpolation(k, kFCurveInterpolationConstant);
  k = v->KeyAdd(Frame(45), 0.0f);
  v->KeySetInterpolation(k, kFCurveInterpolationConstant);
  v->KeyAdd(Frame(60), 1.0f);
  a->channels.push_back(std::move(visibility));
}

void BuildSecondTake(VTake& take, const VModel& root, const VModel& arm) {
  take.local_span = VTimeSpan(Frame(0), Frame(60));
  take.reference_span = take.local_span;
  take.comments = "A short linear take";
  VFCurveNode *t, *r, *s;
  VTake::ModelAnimation* a = take.AddModel(root.GetFullName());
  a->channels.push_back(TransformChannel(root, &t, &r, &s));
  VFCurve& y = Axis(*t, 1);
  int k = y.KeyAdd(Frame(0), 0.0f);
  y.KeySetInterpolation(k, kFCurveInterpolationLinear);
  y.KeyAdd(Frame(60), 5.0f);
  a = take.AddModel(arm.GetFullName());
  a->channels.push_back(TransformChannel(arm, &t, &r, &s));
  VFCurve& ry = Axis(*r, 1);
  ry.KeyAdd(Frame(0), -30.0f);
  ry.KeyAdd(Frame(30), 30.0f);
  ry.SetPreExtrapolation(kFCurveExtrapolationMirrorRepetition, kFCurveRepetitionUnlimited);
  ry.SetPostExtrapolation(kFCurveExtrapolationRepetition, 3);
}

}  // namespace

void BuildDemoScene(VScene& scene) {
  scene.Clear();
  VModel* root = AddModel(scene, "Root", "Null", nullptr);
  VModel* arm = AddModel(scene, "Arm", "Limb", root);
  VModel* hand = AddModel(scene, "Hand", "Limb", arm);
  AddModel(scene, "Marker", "Marker", root);
  arm->TranslationProperty()->Set(VDouble3{0.0, 2.0, 0.0});
  hand->TranslationProperty()->Set(VDouble3{0.0, 1.5, 0.0});

  VTakeList& takes = scene.takes();
  BuildFirstTake(*takes.Create("Take 001"), *root, *arm, *hand);
  BuildSecondTake(*takes.Create("Take 002"), *root, *arm);
  // The meshes bring deformers, which a file lists after every model: they
  // come last so that a scene read back keeps the objects' order.
  AddDemoCameras(scene, *takes.Find("Take 001"), *takes.Find("Take 002"));
  AddDemoMeshes(scene, *takes.Find("Take 001"), *takes.Find("Take 002"));
  takes.SetCurrent(takes.Find("Take 001"));
  scene.settings().time_mode = 6;
  AddDemoAudio(scene);
}

}  // namespace zyn_tool
