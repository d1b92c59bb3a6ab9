#include "document/document_summary.h"

#include "animation/take_io.h"
#include "scene/scene.h"
#include "zynfile/zyn_file.h"

bool VZynWriteDocumentSummary(VZynFile& file, const VScene& scene, bool password_protected) {
  if (!file.CreateSection(true)) return false;
  int models = 0;
  for (const auto& object : scene.objects()) models += object->GetTypeName() == "Model" ? 1 : 0;
  file.FieldWriteBlockBegin("Summary");
  file.FieldWriteI("Version", 101);
  file.FieldWriteI("Template", 0);
  file.FieldWriteI("PasswordProtection", password_protected ? 1 : 0);
  file.FieldWriteBlockBegin("ContentCount");
  file.FieldWriteI("Version", 100);
  file.FieldWriteI("Model", models);
  file.FieldWriteI("Device", 0);
  file.FieldWriteI("Character", 0);
  file.FieldWriteI("Actor", 0);
  file.FieldWriteI("Constraint", 0);
  file.FieldWriteI("Media", 0);
  file.FieldWriteBlockEnd();
  file.FieldWriteEnd();
  const VTakeList& takes = scene.takes();
  file.FieldWriteBlockBegin("Takes");
  file.FieldWriteI("Version", 101);
  file.FieldWriteC("Current", takes.Current() ? takes.Current()->GetName() : std::string());
  for (int i = 0; i < takes.GetCount(); ++i) {
    const VTake& take = *takes.Get(i);
    file.FieldWriteBegin("Take");
    file.FieldWriteC(take.GetName());
    file.FieldWriteBlockBegin();
    if (!take.comments.empty()) file.FieldWriteC("Comments", take.comments);
    VTakeStoreTimes(file, take);
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
  }
  file.FieldWriteBlockEnd();
  file.FieldWriteEnd();
  file.FieldWriteBlockEnd();
  file.FieldWriteEnd();
  return !file.HasError();
}
