#pragma once
// Process-wide registry of object classes: a class id per class name, handed
// out from a counter (unique per process run, never stored in files), and a
// creation function per class name. Safe to use from several threads.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class VObject;

// Makes a new object with the given name and subtype (may be empty).
using VObjectCreator =
    std::function<std::unique_ptr<VObject>(const std::string& name, const std::string& subtype)>;

class VClassRegistry {
 public:
  static VClassRegistry& Instance();

  // Id of the class name, registering it on first use (ids start at 1).
  int Register(const std::string& className);
  // Registers (or replaces) the creation function; answers the class id.
  int RegisterCreator(const std::string& className, VObjectCreator creator);
  // 0 when the name was never registered.
  int GetClassId(const std::string& className) const;
  // "" for an unknown id.
  std::string GetClassNameOfId(int id) const;
  bool HasCreator(const std::string& className) const;
  // A new object from the class's creation function; null when the class has
  // none or the function makes nothing.
  std::unique_ptr<VObject> Create(const std::string& className, const std::string& name,
                                  const std::string& subtype = std::string()) const;

 private:
  VClassRegistry() = default;

  struct Entry {
    int id = 0;
    VObjectCreator creator;
  };
  mutable std::mutex mMutex;
  std::unordered_map<std::string, Entry> mClasses;
  std::vector<std::string> mNames;  // index id - 1
};
