#pragma once
// An object of the scene that is stored in a Zyn file: a type name ("Model",
// "Material", ...) and a subtype ("Mesh", "Skin", ...). Objects of the types
// the engine has no class of its own for keep whatever properties the file
// gives them.

#include <string>

#include "core/object.h"

class VZynFile;

// What an object stores or retrieves in a block of the scene document.
enum VZynStoreMode {
  kVZynModeProperties = 1,  // the "Objects" section
  kVZynModeRelations = 2,   // the "Relations" section
  kVZynModeRetrieving = 4,  // set while the object is being read
  kVZynModeData = 16,       // the "ObjectData" section (bulk data)
};

class VSceneObject : public VObject {
 public:
  VSceneObject(const std::string& type_name, const std::string& name, const std::string& subtype)
      : VObject(type_name, name), subtype_(subtype) {}

  const std::string& GetSubtype() const { return subtype_; }
  void SetSubtype(const std::string& subtype) { subtype_ = subtype; }

  // Reads or writes the object's part of the current block. The base reads
  // and writes the property block in properties mode and nothing else.
  virtual bool Retrieve(VZynFile& file, int mode);
  virtual bool Store(VZynFile& file, int mode) const;
  // Whether the object has a block in "ObjectData".
  virtual bool HasBulkData() const { return false; }

 private:
  std::string subtype_;
};
