#include "host/component_manager.h"

#include <dlfcn.h>
#include <elf.h>
#include <limits.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <unordered_set>
#include <utility>

#include "host/handles.h"
#include "host/keyboard_hooks.h"

namespace {

// A loaded component library: its module and its fork's resources.
struct LibraryRecord {
  std::string path;  // canonical
  void* module = nullptr;
  std::vector<HostResource> resources;
  ~LibraryRecord() {
    if (module != nullptr) dlclose(module);
  }
};

}  // namespace

struct ComponentRecord {
  ComponentDescription description;  // flags: the registered flags
  std::string name;
  std::string entryPoint;  // empty for a component registered from code
  UInt32 version = 0;
  ComponentRoutine entry = nullptr;
  std::shared_ptr<LibraryRecord> library;  // null for a component registered from code
  Component aliasOf = nullptr;             // the component an alias opens
  std::string moduleName;                  // a component registered from code: its library's file name
  long openInstances = 0;
};

struct ComponentInstanceRecord {
  Component component = nullptr;
  Handle storage = nullptr;
  long number = 0;
};

namespace {

constexpr OSType kStringResourceType = FOUR_CHAR_CODE("STR ");
constexpr OSType kEntryResourceType = FOUR_CHAR_CODE("dlle");
constexpr OSType kComponentResourceType = FOUR_CHAR_CODE("thng");
constexpr OSType kAliasResourceType = FOUR_CHAR_CODE("thga");

// Largest library file read for registration.
constexpr std::uint64_t kMaxLibraryFileSize = std::uint64_t(1) << 30;

struct Registry {
  std::mutex lock;
  std::vector<Component> components;  // search order
  std::unordered_set<ComponentInstance> instances;
  long nextInstanceNumber = 1;
  bool builtInsRegistered = false;
};

Registry& registry() {
  static auto* r = new Registry();  // never destroyed: usable at exit
  return *r;
}

void setMessage(std::string* message, const std::string& text) {
  if (message != nullptr) *message = text;
}

std::string fourCharText(OSType code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((code >> shift) & 0xFF);
  return text;
}

// Big-endian reads; the caller has checked the bounds.
std::uint32_t be32(const unsigned char* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
std::uint32_t be24(const unsigned char* p) { return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2]; }
std::uint16_t be16(const unsigned char* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

// Caller holds the lock.
bool liveComponent(Component c) {
  const auto& list = registry().components;
  return c != nullptr && std::find(list.begin(), list.end(), c) != list.end();
}
bool liveInstance(ComponentInstance ci) { return ci != nullptr && registry().instances.count(ci) != 0; }

bool matches(const ComponentDescription& registered, const ComponentDescription* looking) {
  if (looking == nullptr) return true;
  if (looking->componentType != 0 && looking->componentType != registered.componentType) return false;
  if (looking->componentSubType != 0 && looking->componentSubType != registered.componentSubType) return false;
  if (looking->componentManufacturer != 0 && looking->componentManufacturer != registered.componentManufacturer)
    return false;
  const UInt32 mask = looking->componentFlagsMask;
  return (registered.componentFlags & mask) == (looking->componentFlags & mask);
}

// --- The built-in base media handler ---------------------------------------------------

struct BaseMediaHandlerGlobals {
  ComponentInstance self = nullptr;
  ComponentInstance target = nullptr;
};
constexpr UInt32 kBaseMediaHandlerVersion = 0x00010000;

// The argument in slot `index` counted from the last argument, or false when
// the block does not carry that many.
bool lastArgument(const ComponentParameters* params, int index, long* value) {
  if (params->paramSize < (index + 1) * static_cast<int>(sizeof(long))) return false;
  *value = params->params[index];
  return true;
}

ComponentResult baseMediaHandlerEntry(ComponentParameters* params, Handle storage) {
  if (params == nullptr) return paramErr;
  auto* globals = storage != nullptr && GetHandleSize(storage) >= Size(sizeof(BaseMediaHandlerGlobals))
                      ? reinterpret_cast<BaseMediaHandlerGlobals*>(*storage)
                      : nullptr;
  long argument = 0;
  switch (params->what) {
    case kComponentOpenSelect: {
      if (!lastArgument(params, 0, &argument)) return paramErr;
      Handle h = NewHandleClear(sizeof(BaseMediaHandlerGlobals));
      if (h == nullptr) return MemError();
      auto* fresh = reinterpret_cast<BaseMediaHandlerGlobals*>(*h);
      fresh->self = reinterpret_cast<ComponentInstance>(argument);
      fresh->target = fresh->self;
      SetComponentInstanceStorage(fresh->self, h);
      return noErr;
    }
    case kComponentCloseSelect:
      DisposeHandle(storage);
      return noErr;
    case kComponentCanDoSelect:
      if (!lastArgument(params, 0, &argument)) return paramErr;
      switch (static_cast<SInt16>(argument)) {
        case kComponentOpenSelect:
        case kComponentCloseSelect:
        case kComponentCanDoSelect:
        case kComponentVersionSelect:
        case kComponentTargetSelect:
          return 1;
        default:
          return 0;
      }
    case kComponentVersionSelect:
      return static_cast<ComponentResult>(kBaseMediaHandlerVersion);
    case kComponentTargetSelect:
      if (globals == nullptr) return badComponentInstance;
      if (!lastArgument(params, 0, &argument)) return paramErr;
      globals->target = reinterpret_cast<ComponentInstance>(argument);
      return noErr;
    default:
      return badComponentSelector;
  }
}

// Caller holds the lock.
void registerBuiltIns() {
  Registry& r = registry();
  if (r.builtInsRegistered) return;
  r.builtInsRegistered = true;
  auto* base = new ComponentRecord;
  base->description.componentType = MediaHandlerType;
  base->description.componentSubType = kBaseMediaHandlerSubType;
  base->name = "Base Media Handler";
  base->version = kBaseMediaHandlerVersion;
  base->entry = baseMediaHandlerEntry;
  r.components.push_back(base);
}

// The registry, built-ins in place, with its lock held.
struct Locked {
  std::lock_guard<std::mutex> guard;
  Locked() : guard(registry().lock) { registerBuiltIns(); }
};

// --- Module images ----------------------------------------------------------------------

template <typename Ehdr, typename Phdr, typename Shdr>
std::size_t elfImageSize(const unsigned char* bytes, std::size_t size, std::string* message) {
  if (size < sizeof(Ehdr)) {
    setMessage(message, "the module is shorter than its ELF header");
    return 0;
  }
  Ehdr header;
  std::memcpy(&header, bytes, sizeof header);
  std::uint64_t end = header.e_ehsize;
  // A table of `count` entries of `entrySize` bytes at `offset` must lie in the file.
  auto table = [&](std::uint64_t offset, std::uint64_t count, std::uint64_t entrySize, std::size_t expected,
                   const char* what) -> bool {
    if (count == 0) return true;
    if (entrySize != expected || offset > size || count > (size - offset) / entrySize) {
      setMessage(message, std::string("the module's ") + what + " reaches past the end of the file");
      return false;
    }
    end = std::max<std::uint64_t>(end, offset + count * entrySize);
    return true;
  };
  if (!table(header.e_phoff, header.e_phnum, header.e_phentsize, sizeof(Phdr), "program header table")) return 0;
  std::uint64_t sectionCount = header.e_shnum;
  if (sectionCount == 0 && header.e_shoff != 0) {
    // Extended numbering: the count is the first section header's size.
    if (header.e_shoff > size || size - header.e_shoff < sizeof(Shdr)) {
      setMessage(message, "the module's section header table reaches past the end of the file");
      return 0;
    }
    Shdr first;
    std::memcpy(&first, bytes + header.e_shoff, sizeof first);
    sectionCount = first.sh_size;
  }
  if (!table(header.e_shoff, sectionCount, header.e_shentsize, sizeof(Shdr), "section header table")) return 0;
  // Segments and sections: their file contents must lie in the file too.
  auto contents = [&](std::uint64_t offset, std::uint64_t length, const char* what) -> bool {
    if (offset > size || length > size - offset) {
      setMessage(message, std::string("a ") + what + " of the module reaches past the end of the file");
      return false;
    }
    end = std::max<std::uint64_t>(end, offset + length);
    return true;
  };
  for (std::uint64_t i = 0; i < header.e_phnum; ++i) {
    Phdr segment;
    std::memcpy(&segment, bytes + header.e_phoff + i * sizeof(Phdr), sizeof segment);
    if (!contents(segment.p_offset, segment.p_filesz, "segment")) return 0;
  }
  for (std::uint64_t i = 0; i < sectionCount; ++i) {
    Shdr section;
    std::memcpy(&section, bytes + header.e_shoff + i * sizeof(Shdr), sizeof section);
    if (section.sh_type == SHT_NOBITS || section.sh_type == SHT_NULL) continue;
    if (!contents(section.sh_offset, section.sh_size, "section")) return 0;
  }
  if (end > size) {
    setMessage(message, "the module's header reaches past the end of the file");
    return 0;
  }
  return static_cast<std::size_t>(end);
}

// --- Registration helpers ------------------------------------------------------------

const HostResource* findResource(const std::vector<HostResource>& resources, ResType type, SInt16 id) {
  for (const HostResource& resource : resources) {
    if (resource.type == type && resource.id == id) return &resource;
  }
  return nullptr;
}

ComponentDescription readDescription(const unsigned char* p) {
  ComponentDescription d;
  d.componentType = be32(p);
  d.componentSubType = be32(p + 4);
  d.componentManufacturer = be32(p + 8);
  d.componentFlags = be32(p + 12);
  d.componentFlagsMask = be32(p + 16);
  return d;
}

// The name that a (type, id) pair at `p` refers to: empty for type 0.
OSErr readName(const std::vector<HostResource>& resources, const unsigned char* p, const std::string& owner,
               std::string* name, std::string* message) {
  const ResType type = be32(p);
  const SInt16 id = static_cast<SInt16>(be16(p + 4));
  name->clear();
  if (type == 0) return noErr;
  const HostResource* resource = type == kStringResourceType ? findResource(resources, type, id) : nullptr;
  if (resource == nullptr) {
    setMessage(message, owner + " names a missing '" + fourCharText(type) + "' " + std::to_string(id));
    return resNotFound;
  }
  const auto& data = resource->data;
  if (data.empty() || static_cast<unsigned char>(data[0]) + std::size_t(1) > data.size()) {
    setMessage(message, "'STR ' " + std::to_string(id) + " is shorter than its length byte says");
    return mapReadErr;
  }
  name->assign(data, 1, static_cast<unsigned char>(data[0]));
  return noErr;
}

OSErr readEntryName(const std::vector<HostResource>& resources, ResType type, SInt16 id, const std::string& owner,
                    std::string* entry, std::string* message) {
  const HostResource* resource = type == kEntryResourceType ? findResource(resources, type, id) : nullptr;
  if (resource == nullptr) {
    setMessage(message, owner + " names a missing '" + fourCharText(type) + "' " + std::to_string(id));
    return resNotFound;
  }
  const std::size_t terminator = resource->data.find('\0');
  if (terminator == std::string::npos || terminator == 0) {
    setMessage(message, "'dlle' " + std::to_string(id) + " is not a terminated name");
    return mapReadErr;
  }
  *entry = resource->data.substr(0, terminator);
  return noErr;
}

OSErr decodeComponent(const std::vector<HostResource>& resources, const HostResource& thng,
                      HostComponentRegistration* out, std::string* message) {
  const std::string owner = "'thng' " + std::to_string(thng.id);
  const auto* p = reinterpret_cast<const unsigned char*>(thng.data.data());
  const std::size_t size = thng.data.size();
  constexpr std::size_t kBaseSize = 44;       // description and four (type, id) pairs
  constexpr std::size_t kPlatformsAt = 58;    // first platform entry
  constexpr std::size_t kPlatformSize = 12;
  if (size < kBaseSize) {
    setMessage(message, owner + " is too short for a component resource");
    return mapReadErr;
  }
  out->description = readDescription(p);
  out->flags = out->description.componentFlags;
  if (size >= 52) {
    out->version = be32(p + 44);
    out->registerFlags = be32(p + 48);
  }
  ResType codeType = be32(p + 20);
  SInt16 codeId = static_cast<SInt16>(be16(p + 24));
  if (out->registerFlags & componentHasMultiplePlatforms) {
    if (size < kPlatformsAt) {
      setMessage(message, owner + " is too short for its platform list");
      return mapReadErr;
    }
    const std::uint32_t count = be32(p + 54);
    if (count > (size - kPlatformsAt) / kPlatformSize) {
      setMessage(message, owner + " lists more platforms than it holds");
      return mapReadErr;
    }
    bool found = false;
    for (std::uint32_t i = 0; i < count && !found; ++i) {
      const unsigned char* entry = p + kPlatformsAt + i * kPlatformSize;
      if (static_cast<SInt16>(be16(entry + 10)) != kComponentPlatformType) continue;
      out->flags = be32(entry);
      codeType = be32(entry + 4);
      codeId = static_cast<SInt16>(be16(entry + 8));
      found = true;
    }
    if (!found) {
      setMessage(message, owner + " has no entry for platform " + std::to_string(kComponentPlatformType));
      return resNotFound;
    }
  }
  OSErr err = readName(resources, p + 26, owner, &out->name, message);
  if (err != noErr) return err;
  return readEntryName(resources, codeType, codeId, owner, &out->entryPoint, message);
}

OSErr decodeAlias(const std::vector<HostResource>& resources, const HostResource& thga,
                  const std::vector<HostComponentRegistration>& components, HostComponentRegistration* out,
                  std::string* message) {
  const std::string owner = "'thga' " + std::to_string(thga.id);
  const auto* p = reinterpret_cast<const unsigned char*>(thga.data.data());
  constexpr std::size_t kAliasSize = 64;  // component resource, then the target's description
  if (thga.data.size() < kAliasSize) {
    setMessage(message, owner + " is too short for a component alias");
    return mapReadErr;
  }
  out->description = readDescription(p);
  out->flags = out->description.componentFlags;
  out->alias = true;
  out->aliasOf = readDescription(p + 44);
  OSErr err = readName(resources, p + 26, owner, &out->name, message);
  if (err != noErr) return err;
  for (const HostComponentRegistration& target : components) {
    ComponentDescription looking = out->aliasOf;
    if (!matches(target.description, &looking)) continue;
    out->entryPoint = target.entryPoint;
    out->version = target.version;
    out->registerFlags = target.registerFlags;
    return noErr;
  }
  setMessage(message, owner + " stands for '" + fourCharText(out->aliasOf.componentType) + "' '" +
                          fourCharText(out->aliasOf.componentSubType) + "', which the library does not register");
  return resNotFound;
}

bool readWholeFile(const char* path, std::string* bytes, OSErr* err, std::string* message) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *err = fnfErr;
    setMessage(message, std::string("cannot open ") + path);
    return false;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff length = in.tellg();
  if (length < 0 || static_cast<std::uint64_t>(length) > kMaxLibraryFileSize) {
    *err = ioErr;
    setMessage(message, std::string("cannot read ") + path);
    return false;
  }
  in.seekg(0, std::ios::beg);
  bytes->resize(static_cast<std::size_t>(length));
  if (length > 0 && !in.read(&(*bytes)[0], length)) {
    *err = ioErr;
    setMessage(message, std::string("cannot read ") + path);
    return false;
  }
  return true;
}

}  // namespace

// --- Registration --------------------------------------------------------------------------

std::size_t HostModuleImageSize(const void* bytes, std::size_t size, std::string* message) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  if (p == nullptr || size < EI_NIDENT || std::memcmp(p, ELFMAG, SELFMAG) != 0) {
    setMessage(message, "not an ELF module");
    return 0;
  }
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  constexpr unsigned char kNativeData = ELFDATA2LSB;
#else
  constexpr unsigned char kNativeData = ELFDATA2MSB;
#endif
  if (p[EI_DATA] != kNativeData) {
    setMessage(message, "the module's byte order is not this machine's");
    return 0;
  }
  if (p[EI_CLASS] == ELFCLASS64) return elfImageSize<Elf64_Ehdr, Elf64_Phdr, Elf64_Shdr>(p, size, message);
  if (p[EI_CLASS] == ELFCLASS32) return elfImageSize<Elf32_Ehdr, Elf32_Phdr, Elf32_Shdr>(p, size, message);
  setMessage(message, "unknown ELF class");
  return 0;
}

OSErr HostParseResourceFork(const void* fork, std::size_t size, std::vector<HostResource>* resources,
                            std::string* message) {
  if (resources == nullptr) return paramErr;
  resources->clear();
  const auto* p = static_cast<const unsigned char*>(fork);
  auto damaged = [&](const std::string& why) {
    resources->clear();
    setMessage(message, "damaged resource fork: " + why);
    return mapReadErr;
  };
  constexpr std::size_t kHeaderSize = 16;
  constexpr std::uint64_t kMapHeaderSize = 28;  // header copy, next map, file, attributes, two offsets
  constexpr std::uint64_t kTypeEntrySize = 8;
  constexpr std::uint64_t kReferenceSize = 12;
  if (p == nullptr || size < kHeaderSize) return damaged("shorter than its header");
  const std::uint64_t dataOffset = be32(p), mapOffset = be32(p + 4);
  const std::uint64_t dataLength = be32(p + 8), mapLength = be32(p + 12);
  if (dataOffset + dataLength > size) return damaged("the data area reaches past the end");
  if (mapOffset + mapLength > size) return damaged("the map reaches past the end");
  if (mapLength < kMapHeaderSize + 2) return damaged("the map is shorter than its header");
  const unsigned char* map = p + mapOffset;
  const unsigned char* data = p + dataOffset;
  const std::uint64_t typeList = be16(map + 24);
  if (typeList + 2 > mapLength) return damaged("the type list lies outside the map");
  const std::uint64_t typeCount = (be16(map + typeList) + 1u) & 0xFFFFu;  // stored as count - 1
  // A sound map holds a reference of its own for every resource.
  const std::uint64_t maxResources = mapLength / kReferenceSize;
  std::set<std::pair<ResType, SInt16>> seen;
  for (std::uint64_t t = 0; t < typeCount; ++t) {
    const std::uint64_t entry = typeList + 2 + t * kTypeEntrySize;
    if (entry + kTypeEntrySize > mapLength) return damaged("the type list runs past the map");
    const ResType type = be32(map + entry);
    const std::uint64_t count = std::uint64_t(be16(map + entry + 4)) + 1;
    const std::uint64_t references = typeList + be16(map + entry + 6);
    for (std::uint64_t r = 0; r < count; ++r) {
      const std::uint64_t ref = references + r * kReferenceSize;
      if (ref + kReferenceSize > mapLength) {
        return damaged("a reference list of '" + fourCharText(type) + "' runs past the map");
      }
      const SInt16 id = static_cast<SInt16>(be16(map + ref));
      const std::string named = "'" + fourCharText(type) + "' " + std::to_string(id);
      const std::uint64_t at = be24(map + ref + 5);
      if (at + 4 > dataLength) return damaged(named + " lies outside the data area");
      const std::uint64_t length = be32(data + at);
      if (length > dataLength - at - 4) return damaged(named + " runs past the data area");
      if (!seen.insert({type, id}).second) return damaged(named + " is listed twice");
      if (seen.size() > maxResources) return damaged("more resources than the map has references");
      HostResource resource;
      resource.type = type;
      resource.id = id;
      resource.data.assign(reinterpret_cast<const char*>(data + at + 4), static_cast<std::size_t>(length));
      resources->push_back(std::move(resource));
    }
  }
  return noErr;
}

OSErr HostDecodeComponentResources(const std::vector<HostResource>& resources,
                                   std::vector<HostComponentRegistration>* registrations, std::string* message) {
  if (registrations == nullptr) return paramErr;
  registrations->clear();
  std::vector<const HostResource*> things, aliases;
  for (const HostResource& resource : resources) {
    if (resource.type == kComponentResourceType) things.push_back(&resource);
    if (resource.type == kAliasResourceType) aliases.push_back(&resource);
  }
  auto byId = [](const HostResource* a, const HostResource* b) { return a->id < b->id; };
  std::sort(things.begin(), things.end(), byId);
  std::sort(aliases.begin(), aliases.end(), byId);
  std::vector<HostComponentRegistration> decoded;
  for (const HostResource* thng : things) {
    HostComponentRegistration registration;
    const OSErr err = decodeComponent(resources, *thng, &registration, message);
    if (err != noErr) return err;
    decoded.push_back(std::move(registration));
  }
  const std::size_t componentCount = decoded.size();
  for (const HostResource* thga : aliases) {
    HostComponentRegistration registration;
    const std::vector<HostComponentRegistration> targets(decoded.begin(), decoded.begin() + componentCount);
    const OSErr err = decodeAlias(resources, *thga, targets, &registration, message);
    if (err != noErr) return err;
    decoded.push_back(std::move(registration));
  }
  *registrations = std::move(decoded);
  return noErr;
}

OSErr HostRegisterComponentLibrary(const char* path, std::vector<Component>* registered, std::string* message) {
  if (registered != nullptr) registered->clear();
  if (path == nullptr || *path == '\0') {
    setMessage(message, "no library path");
    return paramErr;
  }
  std::string bytes;
  OSErr err = noErr;
  if (!readWholeFile(path, &bytes, &err, message)) return err;
  std::string why;
  const std::size_t imageSize = HostModuleImageSize(bytes.data(), bytes.size(), &why);
  if (imageSize == 0) {
    setMessage(message, std::string(path) + ": " + why);
    return mapReadErr;
  }
  if (imageSize == bytes.size()) {
    setMessage(message, std::string(path) + ": no resources are appended to the library");
    return mapReadErr;
  }
  auto library = std::make_shared<LibraryRecord>();
  err = HostParseResourceFork(bytes.data() + imageSize, bytes.size() - imageSize, &library->resources, &why);
  std::vector<HostComponentRegistration> registrations;
  if (err == noErr) err = HostDecodeComponentResources(library->resources, &registrations, &why);
  if (err == noErr && registrations.empty()) {
    err = resNotFound;
    why = "the library registers no component";
  }
  if (err != noErr) {
    setMessage(message, std::string(path) + ": " + why);
    return err;
  }
  char resolved[PATH_MAX];
  library->path = realpath(path, resolved) != nullptr ? resolved : path;
  {
    Locked locked;
    std::vector<Component> existing;
    for (Component c : registry().components) {
      if (c->library != nullptr && c->library->path == library->path) existing.push_back(c);
    }
    if (!existing.empty()) {
      if (registered != nullptr) *registered = existing;
      return noErr;
    }
  }
  library->module = dlopen(library->path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library->module == nullptr) {
    const char* error = dlerror();
    setMessage(message, std::string(path) + ": cannot load the library: " + (error ? error : "unknown error"));
    return ioErr;
  }
  std::vector<std::unique_ptr<ComponentRecord>> records;
  for (const HostComponentRegistration& registration : registrations) {
    void* symbol = dlsym(library->module, registration.entryPoint.c_str());
    if (symbol == nullptr) {
      setMessage(message, std::string(path) + ": the library does not export " + registration.entryPoint);
      return ioErr;  // the library record unloads the module
    }
    auto record = std::make_unique<ComponentRecord>();
    record->description = registration.description;
    record->description.componentFlags = registration.flags;
    record->description.componentFlagsMask = 0;
    record->name = registration.name;
    record->entryPoint = registration.entryPoint;
    record->version = registration.version;
    record->entry = reinterpret_cast<ComponentRoutine>(symbol);
    record->library = library;
    records.push_back(std::move(record));
  }
  // Aliases open the component of this library that they stand for.
  for (std::size_t i = 0; i < registrations.size(); ++i) {
    if (!registrations[i].alias) continue;
    for (std::size_t j = 0; j < registrations.size(); ++j) {
      if (!registrations[j].alias && matches(registrations[j].description, &registrations[i].aliasOf)) {
        records[i]->aliasOf = records[j].get();
        break;
      }
    }
  }
  Locked locked;
  for (auto& record : records) {
    registry().components.push_back(record.get());
    if (registered != nullptr) registered->push_back(record.get());
    record.release();
  }
  return noErr;
}

Component RegisterComponent(const ComponentDescription* cd, ComponentRoutine entry, SInt16 global, Handle name,
                            Handle, Handle) {
  if (cd == nullptr || entry == nullptr) return nullptr;
  auto* record = new ComponentRecord;
  record->description = *cd;
  record->description.componentFlagsMask = 0;
  record->entry = entry;
  if (name != nullptr) {
    const Size size = GetHandleSize(name);
    if (size > 0) {
      const auto length = std::min<Size>(static_cast<unsigned char>((*name)[0]), size - 1);
      record->name.assign(*name + 1, static_cast<std::size_t>(length));
    }
  }
  Locked locked;
  auto& list = registry().components;
  if (global & registerComponentAfterExisting) {
    list.push_back(record);
  } else {
    list.insert(list.begin(), record);
  }
  return record;
}

OSErr UnregisterComponent(Component aComponent) {
  std::vector<Component> removed;
  {
    Locked locked;
    auto& list = registry().components;
    if (!liveComponent(aComponent)) return invalidComponentID;
    // Aliases of the component go with it.
    std::vector<Component> going = {aComponent};
    for (Component c : list) {
      if (c->aliasOf == aComponent) going.push_back(c);
    }
    for (Component c : going) {
      if (c->openInstances > 0) return paramErr;
    }
    for (Component c : going) list.erase(std::find(list.begin(), list.end(), c));
    removed = going;
  }
  for (Component c : removed) delete c;  // the last component of a library unloads it
  return noErr;
}

std::vector<HostComponentListing> HostListComponents() {
  std::vector<HostComponentListing> listing;
  Locked locked;
  for (Component c : registry().components) {
    if (c->library == nullptr) continue;
    HostComponentListing item;
    item.type = c->description.componentType;
    item.subType = c->description.componentSubType;
    item.manufacturer = c->description.componentManufacturer;
    item.flags = c->description.componentFlags;
    item.name = c->name;
    item.entryPoint = c->entryPoint;
    item.version = c->version;
    listing.push_back(std::move(item));
  }
  return listing;
}

// --- Finding components ----------------------------------------------------------------------

Component FindNextComponent(Component aComponent, const ComponentDescription* looking) {
  Locked locked;
  const auto& list = registry().components;
  auto it = list.begin();
  if (aComponent != nullptr) {
    it = std::find(list.begin(), list.end(), aComponent);
    if (it == list.end()) return nullptr;
    ++it;
  }
  for (; it != list.end(); ++it) {
    if (matches((*it)->description, looking)) return *it;
  }
  return nullptr;
}

long CountComponents(const ComponentDescription* looking) {
  Locked locked;
  long count = 0;
  for (Component c : registry().components) count += matches(c->description, looking) ? 1 : 0;
  return count;
}

OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName, Handle componentInfo,
                       Handle componentIcon) {
  std::string name;
  {
    Locked locked;
    if (!liveComponent(aComponent)) return invalidComponentID;
    if (cd != nullptr) *cd = aComponent->description;
    name = aComponent->name.substr(0, 255);
  }
  if (componentName != nullptr) {
    SetHandleSize(componentName, static_cast<Size>(name.size() + 1));
    if (MemError() != noErr) return MemError();
    (*componentName)[0] = static_cast<char>(name.size());
    std::memcpy(*componentName + 1, name.data(), name.size());
  }
  if (componentInfo != nullptr) SetHandleSize(componentInfo, 0);
  if (componentIcon != nullptr) SetHandleSize(componentIcon, 0);
  return noErr;
}

OSErr GetComponentPublicResource(Component aComponent, OSType resourceType, SInt16 resourceID,
                                 Handle* theResource) {
  if (theResource == nullptr) return paramErr;
  *theResource = nullptr;
  std::string data;
  {
    Locked locked;
    if (!liveComponent(aComponent)) return invalidComponentID;
    if (aComponent->library == nullptr) return resNotFound;
    const HostResource* resource = findResource(aComponent->library->resources, resourceType, resourceID);
    if (resource == nullptr) return resNotFound;
    data = resource->data;
  }
  return PtrToHand(data.data(), theResource, static_cast<long>(data.size()));
}

Component HostGetInstanceComponent(ComponentInstance ci) {
  Locked locked;
  return liveInstance(ci) ? ci->component : nullptr;
}

// --- Instances -------------------------------------------------------------------------------

OSErr OpenAComponent(Component aComponent, ComponentInstance* ci) {
  if (ci == nullptr) return paramErr;
  *ci = nullptr;
  ComponentInstance instance = nullptr;
  ComponentRoutine entry = nullptr;
  {
    Locked locked;
    if (!liveComponent(aComponent)) return invalidComponentID;
    Component target = aComponent->aliasOf != nullptr ? aComponent->aliasOf : aComponent;
    instance = new (std::nothrow) ComponentInstanceRecord;
    if (instance == nullptr) return memFullErr;
    instance->component = target;
    instance->number = registry().nextInstanceNumber++;
    registry().instances.insert(instance);
    ++target->openInstances;
    entry = target->entry;
  }
  ComponentParameters open = HostMakeComponentParameters(kComponentOpenSelect, instance);
  const ComponentResult result = entry(&open, nullptr);
  if (result != noErr) {
    // The component is told to close whatever its Open left behind.
    ComponentParameters close = HostMakeComponentParameters(kComponentCloseSelect, instance);
    entry(&close, GetComponentInstanceStorage(instance));
    {
      Locked locked;
      registry().instances.erase(instance);
      --instance->component->openInstances;
    }
    delete instance;
    return static_cast<OSErr>(result);
  }
  *ci = instance;
  return noErr;
}

ComponentInstance OpenComponent(Component aComponent) {
  ComponentInstance ci = nullptr;
  OpenAComponent(aComponent, &ci);
  return ci;
}

OSErr OpenADefaultComponent(OSType componentType, OSType componentSubType, ComponentInstance* ci) {
  if (ci == nullptr) return paramErr;
  *ci = nullptr;
  ComponentDescription looking;
  looking.componentType = componentType;
  looking.componentSubType = componentSubType;
  Component found = FindNextComponent(nullptr, &looking);
  if (found == nullptr) return invalidComponentID;
  return OpenAComponent(found, ci);
}

ComponentInstance OpenDefaultComponent(OSType componentType, OSType componentSubType) {
  ComponentInstance ci = nullptr;
  OpenADefaultComponent(componentType, componentSubType, &ci);
  return ci;
}

OSErr CloseComponent(ComponentInstance ci) {
  ComponentRoutine entry = nullptr;
  Handle storage = nullptr;
  {
    Locked locked;
    if (!liveInstance(ci)) return invalidComponentID;
    entry = ci->component->entry;
    storage = ci->storage;
  }
  ComponentParameters close = HostMakeComponentParameters(kComponentCloseSelect, ci);
  const ComponentResult result = entry(&close, storage);
  {
    Locked locked;
    registry().instances.erase(ci);
    --ci->component->openInstances;
  }
  delete ci;
  return static_cast<OSErr>(result);
}

Handle GetComponentInstanceStorage(ComponentInstance ci) {
  Locked locked;
  return liveInstance(ci) ? ci->storage : nullptr;
}

void SetComponentInstanceStorage(ComponentInstance ci, Handle storage) {
  Locked locked;
  if (liveInstance(ci)) ci->storage = storage;
}

long HostGetComponentInstanceNumber(ComponentInstance ci) {
  Locked locked;
  return liveInstance(ci) ? ci->number : 0;
}

long HostCountComponentInstances() {
  Locked locked;
  return static_cast<long>(registry().instances.size());
}

// --- Calls -----------------------------------------------------------------------------------

ComponentResult HostCallComponent(ComponentInstance ci, ComponentParameters* params) {
  if (params == nullptr) return paramErr;
  ComponentRoutine entry = nullptr;
  Handle storage = nullptr;
  {
    Locked locked;
    if (!liveInstance(ci)) return badComponentInstance;
    entry = ci->component->entry;
    storage = ci->storage;
  }
  return entry(params, storage);
}

ComponentResult DelegateComponentCall(ComponentParameters* originalParams, ComponentInstance ci) {
  return HostCallComponent(ci, originalParams);
}

ComponentResult CallComponentFunctionWithStorage(Handle storage, ComponentParameters* params,
                                                 ComponentFunctionUPP func) {
  if (func == nullptr || params == nullptr) return paramErr;
  return func(storage, params);
}

ComponentResult ComponentFunctionImplemented(ComponentInstance ci, SInt16 ftnNumber) {
  const ComponentResult result = HostComponentCall(ci, kComponentCanDoSelect, ftnNumber);
  return result == badComponentInstance ? 0 : result;
}

ComponentResult GetComponentVersion(ComponentInstance ci) {
  const ComponentResult result = HostComponentCall(ci, kComponentVersionSelect);
  return result == badComponentInstance ? 0 : result;
}

ComponentResult ComponentSetTarget(ComponentInstance ci, ComponentInstance target) {
  return HostComponentCall(ci, kComponentTargetSelect, target);
}

OSErr HostSetComponentModuleName(Component aComponent, const char* moduleName) {
  Locked locked;
  if (!liveComponent(aComponent)) return invalidComponentID;
  if (aComponent->library != nullptr) return paramErr;
  aComponent->moduleName = moduleName != nullptr ? moduleName : "";
  return noErr;
}

HINSTANCE GetModuleHandle(const char* moduleName) {
  if (moduleName == nullptr) return nullptr;
  const std::string wanted(moduleName);
  Locked locked;
  for (Component c : registry().components) {
    // A component registered from code stands for its library's module
    // itself: the record is the handle.
    if (c->library == nullptr && !c->moduleName.empty() && c->moduleName == wanted) return c;
    if (c->library == nullptr || c->library->module == nullptr) continue;
    const std::string& path = c->library->path;
    const std::size_t slash = path.find_last_of('/');
    if (path.compare(slash == std::string::npos ? 0 : slash + 1, std::string::npos, wanted) == 0) {
      return c->library->module;
    }
  }
  return nullptr;
}
