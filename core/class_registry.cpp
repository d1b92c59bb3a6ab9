#include "core/class_registry.h"

#include "core/object.h"

VClassRegistry& VClassRegistry::Instance() {
  // Never destroyed: objects living in other statics may still be made or
  // destroyed while the process exits.
  static VClassRegistry* registry = new VClassRegistry;
  return *registry;
}

int VClassRegistry::Register(const std::string& className) {
  std::lock_guard<std::mutex> lock(mMutex);
  Entry& entry = mClasses[className];
  if (entry.id == 0) {
    mNames.push_back(className);
    entry.id = static_cast<int>(mNames.size());
  }
  return entry.id;
}

int VClassRegistry::RegisterCreator(const std::string& className, VObjectCreator creator) {
  const int id = Register(className);
  std::lock_guard<std::mutex> lock(mMutex);
  mClasses[className].creator = std::move(creator);
  return id;
}

int VClassRegistry::GetClassId(const std::string& className) const {
  std::lock_guard<std::mutex> lock(mMutex);
  auto it = mClasses.find(className);
  return it == mClasses.end() ? 0 : it->second.id;
}

std::string VClassRegistry::GetClassNameOfId(int id) const {
  std::lock_guard<std::mutex> lock(mMutex);
  if (id < 1 || id > static_cast<int>(mNames.size())) return std::string();
  return mNames[static_cast<std::size_t>(id - 1)];
}

bool VClassRegistry::HasCreator(const std::string& className) const {
  std::lock_guard<std::mutex> lock(mMutex);
  auto it = mClasses.find(className);
  return it != mClasses.end() && it->second.creator != nullptr;
}

std::unique_ptr<VObject> VClassRegistry::Create(const std::string& className,
                                                const std::string& name,
                                                const std::string& subtype) const {
  VObjectCreator creator;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mClasses.find(className);
    if (it == mClasses.end() || !it->second.creator) return nullptr;
    creator = it->second.creator;  // called unlocked: it may register classes
  }
  return creator(name, subtype);
}
