// The component manager: components registered from a component library's
// resources (or from code), their instances, and calls to them through a
// parameter block.
//
// A component library is a loadable module whose file ends with a resource
// fork in the framework's layout (a 16-byte header giving the data and map
// offsets and lengths, the data area, and the map with its type list and
// reference lists; every number big-endian). The fork starts where the
// module's own image ends (the end of its ELF contents as its headers give
// it) and runs to the end of the file. Registration reads the 'thng'
// resources (one component each), the 'thga' resources (a further
// registration, under another description, of a component of the same
// library), their 'STR ' names and the 'dlle' names of their entry points,
// which are resolved in the module with dlsym. Registration is all or
// nothing: a damaged fork, a missing resource, a name the module does not
// export registers nothing and says why.
//
// Parameter blocks: `what` is the 16-bit selector (at byte offset 2),
// `paramSize` the bytes of arguments that follow, and `params` one slot (a
// long) per argument, last argument first, as the framework's calling
// convention stacks them. An integer or pointer argument is its slot's value;
// a small record passed by value (a Point) lies in the first bytes of its
// slot. HostComponentCall builds such a block from typed arguments.
//
// Instances are numbered 1, 2, 3, ... in opening order for the life of the
// process. Every routine checks that a Component or ComponentInstance is a
// live one; a closed or forged value is refused (invalidComponentID,
// badComponentInstance from calls, or null/0 for routines that answer a
// value). All state is guarded by one lock,
// which is not held while a component's entry point runs, so that a
// component may call the manager (open its delegate, set its storage) from
// inside a call.
//
// A base media handler ('mhlr', 'gnrc') is built in: media handlers open it
// as their delegate. It answers Open, Close, CanDo, Version and Target, and
// badComponentSelector for every other selector.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "host/mac_types.h"

struct ComponentRecord;
struct ComponentInstanceRecord;
using Component = ComponentRecord*;
using ComponentInstance = ComponentInstanceRecord*;

struct ComponentDescription {
  OSType componentType = 0;          // 0 in a search: any type
  OSType componentSubType = 0;       // 0 in a search: any subtype
  OSType componentManufacturer = 0;  // 0 in a search: any manufacturer
  UInt32 componentFlags = 0;
  UInt32 componentFlagsMask = 0;     // in a search: the flag bits that must match
};

// Most arguments a parameter block carries.
constexpr int kComponentMaxParameters = 16;

struct ComponentParameters {
  UInt8 flags = 0;
  UInt8 paramSize = 0;  // bytes of arguments in params
  SInt16 what = 0;      // selector
  long params[kComponentMaxParameters] = {};
};
static_assert(offsetof(ComponentParameters, what) == 2, "the selector sits at byte offset 2");

// A component's entry point: the parameter block and the instance's storage.
using ComponentRoutine = ComponentResult (*)(ComponentParameters* params, Handle storage);
// A routine called by CallComponentFunctionWithStorage. It takes its own
// arguments out of the parameter block.
using ComponentFunctionUPP = ComponentResult (*)(Handle storage, ComponentParameters* params);

// Standard selectors.
enum : SInt16 {
  kComponentOpenSelect = -1,
  kComponentCloseSelect = -2,
  kComponentCanDoSelect = -3,
  kComponentVersionSelect = -4,
  kComponentRegisterSelect = -5,
  kComponentTargetSelect = -6,
  kComponentUnregisterSelect = -7,
  kComponentGetMPWorkFunctionSelect = -8,
};

// Component types and registration flags used here.
constexpr OSType MovieImportType = FOUR_CHAR_CODE("eat ");
constexpr OSType MediaHandlerType = FOUR_CHAR_CODE("mhlr");
constexpr OSType kBaseMediaHandlerSubType = FOUR_CHAR_CODE("gnrc");
enum : UInt32 {
  componentDoAutoVersion = 1u << 0,
  componentHasMultiplePlatforms = 1u << 3,
};
// RegisterComponent: without this flag a component registered from code is
// found before those registered earlier.
enum : SInt16 {
  registerComponentAfterExisting = 4,
};
// The platform whose code entries this layer loads from a 'thng' resource.
constexpr SInt16 kComponentPlatformType = 4;

// A Component or ComponentInstance that is not live, in routines that
// answer an OSErr (routines that answer a ComponentResult use
// badComponentInstance).
enum : OSErr {
  invalidComponentID = -3000,
};

// Resource Manager results used by registration and public resources.
enum : OSErr {
  resNotFound = -192,  // no resource of that type and id
  mapReadErr = -199,   // the resource fork is damaged
};

// --- Registration ------------------------------------------------------------------

// The bytes of a loadable module's own image (its ELF contents: headers,
// segments, sections and section table), which is where an appended fork
// begins. 0, with *message (optional) saying why, when the bytes are not a
// module of this machine's word size and byte order or its headers reach
// past `size`.
std::size_t HostModuleImageSize(const void* bytes, std::size_t size, std::string* message);

// One resource of a fork: its type, id and bytes.
struct HostResource {
  ResType type = 0;
  SInt16 id = 0;
  std::string data;
};

// Reads the resources of a fork held in `size` bytes at `fork`. noErr, or
// mapReadErr with *message saying what is wrong (an offset or a length that
// reaches past the fork or its map, a resource listed twice). `resources`
// is left empty after a failure.
OSErr HostParseResourceFork(const void* fork, std::size_t size, std::vector<HostResource>* resources,
                            std::string* message);

// A component as its resources describe it, before its code is loaded.
struct HostComponentRegistration {
  ComponentDescription description;
  UInt32 flags = 0;         // the platform's flags ('thng'), the resource's own ('thga')
  std::string name;         // from the 'STR ' resource
  std::string entryPoint;   // from the 'dlle' resource
  UInt32 version = 0;       // componentVersion (an alias: its target's)
  UInt32 registerFlags = 0; // componentRegisterFlags
  bool alias = false;       // a 'thga' registration
  ComponentDescription aliasOf;  // the component an alias stands for
};

// Decodes the 'thng' and 'thga' resources among `resources` (in resource id
// order: 'thng' first, then 'thga'). noErr, mapReadErr for a resource too
// short for its layout or with counts that reach past it, resNotFound for a
// name or entry resource that is missing, or an alias whose component is
// not among them.
OSErr HostDecodeComponentResources(const std::vector<HostResource>& resources,
                                   std::vector<HostComponentRegistration>* registrations, std::string* message);

// Registers the components of the library at `path`. noErr; fnfErr or ioErr
// when the file cannot be read; mapReadErr when it has no fork or a damaged
// one; resNotFound; ioErr when the module cannot be loaded or an entry point
// is not exported. A library already registered (the same file) registers
// nothing again and answers its components. `registered` (optional)
// receives the components, `message` (optional) the reason of a failure.
OSErr HostRegisterComponentLibrary(const char* path, std::vector<Component>* registered,
                                   std::string* message);

// Registers a component whose entry point is in this program. `name` is a
// length-prefixed string in a handle (may be null); info and icon are not
// used. Null when `cd` or `entry` is null.
Component RegisterComponent(const ComponentDescription* cd, ComponentRoutine entry, SInt16 global, Handle name,
                            Handle info, Handle icon);
// Gives a component registered from code the file name of the library it
// stands for ("QTZyn.qtx"), so that GetModuleHandle finds a module for it as
// for a component registered from that library: a program that links a
// component library's code (a test) lets it install its keyboard hook.
// noErr; invalidComponentID for a component that is not registered;
// paramErr for a component registered from a library. Null or "" forgets it.
OSErr HostSetComponentModuleName(Component aComponent, const char* moduleName);
// Removes a component. noErr; invalidComponentID for a component that is
// not registered; paramErr while instances of it are open. Removing a
// library's last component unloads the library.
OSErr UnregisterComponent(Component aComponent);

// A registered component as `zynplay --components` lists it.
struct HostComponentListing {
  OSType type = 0;
  OSType subType = 0;
  OSType manufacturer = 0;
  UInt32 flags = 0;
  std::string name;
  std::string entryPoint;
  UInt32 version = 0;
};
// The components registered from libraries, in registration order.
std::vector<HostComponentListing> HostListComponents();

// --- Finding components ------------------------------------------------------------

// The next registered component after `aComponent` (null: the first) that
// matches `looking` (null: any): zero type, subtype and manufacturer match
// anything, and the flags match in the mask's bits.
Component FindNextComponent(Component aComponent, const ComponentDescription* looking);
long CountComponents(const ComponentDescription* looking);
// The component's description (its registered flags, a mask of 0) and its
// name as a length-prefixed string resized into `componentName` (when
// given). info and icon are not filled (when given, they are emptied).
OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName, Handle componentInfo,
                       Handle componentIcon);
// A copy of the component's resource of that type and id from its library's
// fork, in a new handle. paramErr without `theResource`; resNotFound.
OSErr GetComponentPublicResource(Component aComponent, OSType resourceType, SInt16 resourceID,
                                 Handle* theResource);
// The component an instance belongs to (an alias's target); null for a dead
// instance.
Component HostGetInstanceComponent(ComponentInstance ci);

// --- Instances ---------------------------------------------------------------------

// Opens an instance: the component receives Open with the instance as its
// argument. When Open fails, the component receives Close and the instance
// is gone. An alias opens the component it stands for.
OSErr OpenAComponent(Component aComponent, ComponentInstance* ci);
ComponentInstance OpenComponent(Component aComponent);
// The first component of that type and subtype (0: any), opened;
// invalidComponentID when there is none.
OSErr OpenADefaultComponent(OSType componentType, OSType componentSubType, ComponentInstance* ci);
ComponentInstance OpenDefaultComponent(OSType componentType, OSType componentSubType);
// Sends Close and forgets the instance. invalidComponentID for a dead one.
OSErr CloseComponent(ComponentInstance ci);

Handle GetComponentInstanceStorage(ComponentInstance ci);
void SetComponentInstanceStorage(ComponentInstance ci, Handle storage);
// The instance's number: 1 for the first instance opened in the process.
long HostGetComponentInstanceNumber(ComponentInstance ci);
// Instances open now.
long HostCountComponentInstances();

// --- Calls -------------------------------------------------------------------------

// Calls the instance's entry point with the block and the instance's storage.
// badComponentInstance for a dead instance, paramErr without a block.
ComponentResult HostCallComponent(ComponentInstance ci, ComponentParameters* params);
// Passes the caller's block unchanged to another instance.
ComponentResult DelegateComponentCall(ComponentParameters* originalParams, ComponentInstance ci);
// Runs `func` with the storage and the block; paramErr without a routine or
// a block.
ComponentResult CallComponentFunctionWithStorage(Handle storage, ComponentParameters* params,
                                                 ComponentFunctionUPP func);
// CanDo: whether the instance answers `ftnNumber` (0 for a dead instance).
ComponentResult ComponentFunctionImplemented(ComponentInstance ci, SInt16 ftnNumber);
// Version: the instance's answer (0 for a dead instance).
ComponentResult GetComponentVersion(ComponentInstance ci);
// Target: tells the instance that `target` now stands for it.
ComponentResult ComponentSetTarget(ComponentInstance ci, ComponentInstance target);

// --- Parameter blocks --------------------------------------------------------------

// The slot value of one argument.
template <typename T>
long HostParameterSlot(T value) {
  if constexpr (std::is_pointer_v<T> || std::is_null_pointer_v<T>) {
    return reinterpret_cast<long>(value);
  } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
    return static_cast<long>(value);
  } else {
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= sizeof(long),
                  "a record passed by value must fit in one slot");
    long slot = 0;
    std::memcpy(&slot, &value, sizeof(T));
    return slot;
  }
}

// A block for selector `what` with the arguments in order (stored last first).
template <typename... Args>
ComponentParameters HostMakeComponentParameters(SInt16 what, Args... args) {
  static_assert(sizeof...(Args) <= kComponentMaxParameters, "too many arguments");
  ComponentParameters block;
  block.what = what;
  block.paramSize = static_cast<UInt8>(sizeof...(Args) * sizeof(long));
  const long slots[] = {0L, HostParameterSlot(args)...};
  for (std::size_t i = 0; i < sizeof...(Args); ++i) block.params[sizeof...(Args) - 1 - i] = slots[i + 1];
  return block;
}

// Calls selector `what` of the instance with the arguments.
template <typename... Args>
ComponentResult HostComponentCall(ComponentInstance ci, SInt16 what, Args... args) {
  ComponentParameters block = HostMakeComponentParameters(what, args...);
  return HostCallComponent(ci, &block);
}
