#pragma once
// VTriggerManager: the trigger groups of the running system and the switch
// that turns triggering on ("Active"). A group is a named set of bindings
// (kept by the devices' listeners); any number of groups may be active.
//
// Groups are guarded by a lock: the keyboard hook's thread asks for the
// active group while the host's thread may change them.

#include <mutex>
#include <string>
#include <vector>

#include "core/object.h"
#include "core/property.h"

class VTriggerManager : public VObject {
 public:
  VTriggerManager();

  int GetGroupCount() const;
  // False for an index out of range.
  bool GetGroupActive(int index) const;
  bool SetGroupActive(int index, bool active);
  // Adds a group (inactive) and answers its index.
  int AddGroup(const std::string& name);
  std::string GetGroupName(int index) const;
  void ClearGroups();
  // The lowest active group, -1 when none is.
  int FirstActiveGroup() const;

  VPropertyBool* mActive;  // "Active"

 private:
  struct Group {
    std::string name;
    bool active = false;
  };
  mutable std::mutex mutex_;
  std::vector<Group> groups_;
};
