#include "animation/take_io.h"

#include "animation/fcurve_node_io.h"
#include "animation/take_list.h"
#include "core/progress.h"
#include "zynfile/zyn_file.h"

namespace {

std::string ModelFullName(const std::string& name) {
  return name.find("::") == std::string::npos ? "Model::" + name : name;
}

void ReadTake(VZynFile& file, VTake& take, const VTakeReadOptions& options) {
  take.file_name = file.FieldReadC("FileName", "");
  VTime start, stop;
  if (file.FieldReadBegin("LocalTime")) {
    file.FieldReadTS(&start, &stop);
    take.local_span = VTimeSpan(start, stop);
    file.FieldReadEnd();
  }
  if (file.FieldReadBegin("ReferenceTime")) {
    file.FieldReadTS(&start, &stop);
    take.reference_span = VTimeSpan(start, stop);
    file.FieldReadEnd();
  }
  take.comments = file.FieldReadC("Comments", "");
  if (!options.models_animation) return;
  int count = 0;
  while (file.FieldReadBegin("Model", count)) ++count;
  for (int i = 0; i < count && file.FieldReadBegin("Model", i); ++i) {
    std::string model = ModelFullName(file.FieldReadC());
    bool skip = (model == "Model::Camera Switcher" && !options.camera_switcher) ||
                (options.has_model && !options.has_model(model));
    if (!skip && file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
      if (file.FieldReadD("Version", 0.0) > 1.0) {
        VTake::ModelAnimation* animation = take.AddModel(model);
        for (int c = 0; file.FieldReadBegin("Channel", c); ++c) {
          std::string name = file.FieldReadC();
          if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
            animation->channels.push_back(VFCurveNodeRetrieve(file, name));
            file.FieldReadBlockEnd();
          }
          file.FieldReadEnd();
        }
      }
      file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
    if (options.progress) {
      options.progress->SetPercent(VProgressPercent(i + 1, count));
      if (options.progress->IsCancelled()) return;
    }
  }
}

}  // namespace

bool VTakesRetrieve(VZynFile& file, VTakeList& takes, const VTakeReadOptions& options) {
  if (!file.FieldReadBegin("Takes")) return true;
  if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
    std::string current = file.FieldReadC("Current", "");
    for (int i = 0; file.FieldReadBegin("Take", i); ++i) {
      std::string name = file.FieldReadC();
      if (options.progress) options.progress->SetText("Retrieving " + name);
      // A second take of the same name would be unreachable by name.
      VTake* take = takes.Find(name);
      if (!take) take = takes.Create(name);
      if (take && file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
        ReadTake(file, *take, options);
        file.FieldReadBlockEnd();
      }
      file.FieldReadEnd();
      if (file.HasError() || VProgressCancelled(options.progress)) break;
    }
    VTake* chosen = takes.Find(current);
    takes.SetCurrent(chosen ? chosen : takes.First());
    file.FieldReadBlockEnd();
  }
  file.FieldReadEnd();
  return !file.HasError();
}

void VTakeStoreTimes(VZynFile& file, const VTake& take) {
  file.FieldWriteBegin("LocalTime");
  file.FieldWriteTS(take.local_span.GetStart(), take.local_span.GetStop());
  file.FieldWriteEnd();
  file.FieldWriteBegin("ReferenceTime");
  file.FieldWriteTS(take.reference_span.GetStart(), take.reference_span.GetStop());
  file.FieldWriteEnd();
}

bool VTakesStore(VZynFile& file, const VTakeList& takes, VProgress* progress) {
  file.FieldWriteBlockBegin("Takes");
  VTake* current = takes.Current();
  file.FieldWriteC("Current", current ? current->GetName() : std::string());
  for (int i = 0; i < takes.GetCount(); ++i) {
    VTake& take = *takes.Get(i);
    file.FieldWriteBegin("Take");
    file.FieldWriteC(take.GetName());
    file.FieldWriteBlockBegin();
    file.FieldWriteC("FileName", take.file_name);
    VTakeStoreTimes(file, take);
    file.FieldWriteC("Comments", take.comments);
    if (!file.IsBinary()) {
      file.WriteComment("");
      file.WriteComment(" Model animation");
      file.WriteComment(std::string(52, '-').c_str());
      file.WriteComment("");
    }
    for (const auto& model : take.models()) {
      if (progress) progress->SetText("Storing animation for " + model->model);
      file.FieldWriteBegin("Model");
      file.FieldWriteC(model->model);
      file.FieldWriteBlockBegin();
      file.FieldWriteD("Version", 1.1);
      for (const auto& channel : model->channels) VFCurveNodeStore(file, *channel);
      file.FieldWriteBlockEnd();
      file.FieldWriteEnd();
      if (!file.IsBinary()) file.WriteComment("");
    }
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
  }
  file.FieldWriteBlockEnd();
  file.FieldWriteEnd();
  return !file.HasError();
}
