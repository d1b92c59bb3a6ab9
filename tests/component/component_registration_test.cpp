// Registering the built library through the component manager, and damaged
// or truncated resources that must register nothing.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "component_test_support.h"
#include "host/component_manager.h"
#include "host/handles.h"

namespace {

using component_test::Be16;
using component_test::Be32;
using component_test::FindComponent;
using component_test::kForkSize;
using component_test::ModuleBytes;
using component_test::ModuleFork;
using component_test::ModulePath;
using component_test::RegisteredModule;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

constexpr OSType kZyn = FOUR_CHAR_CODE("vzyn");

bool sameListing(const HostComponentListing& a, const HostComponentListing& b) {
  return a.type == b.type && a.subType == b.subType && a.manufacturer == b.manufacturer && a.flags == b.flags &&
         a.name == b.name && a.entryPoint == b.entryPoint && a.version == b.version;
}

TEST(ComponentRegistration, TheLibraryListsImporterAliasAndMediaHandler) {
  ASSERT_EQ(RegisteredModule().size(), 3u);
  const std::vector<HostComponentListing> listed = HostListComponents();
  const HostComponentListing expected[] = {
      {MovieImportType, kZyn, 0, 0x00044802, "3D ZYN Component", "MovieImporter_ComponentDispatch", 0x00010001},
      {MediaHandlerType, kZyn, 0, 0x00000001, "3D ZYN Component", "MediaHandler_ComponentDispatch", 0x00010001},
      {MovieImportType, FOUR_CHAR_CODE("ZYN "), 0, 0x00045802, "3D ZYN Component", "MovieImporter_ComponentDispatch",
       0x00010001},
  };
  ASSERT_EQ(listed.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(sameListing(listed[i], expected[i]))
        << i << ": " << listed[i].name << " " << listed[i].entryPoint << " flags " << listed[i].flags;
  }
}

TEST(ComponentRegistration, RegisteringAgainAddsNothing) {
  const std::vector<Component> first = RegisteredModule();
  std::vector<Component> again;
  std::string message;
  ASSERT_EQ(HostRegisterComponentLibrary(ModulePath(), &again, &message), noErr) << message;
  EXPECT_EQ(again, first);
  EXPECT_EQ(HostListComponents().size(), 3u);
}

TEST(ComponentRegistration, FindAndInfo) {
  RegisteredModule();
  // The importer answers a search by its platform flags.
  ComponentDescription looking;
  looking.componentType = MovieImportType;
  looking.componentFlags = 0x40000;  // canMovieImportDataReferences
  looking.componentFlagsMask = 0x40000;
  EXPECT_EQ(CountComponents(&looking), 2);  // the importer and its alias
  looking.componentSubType = FOUR_CHAR_CODE("ZYN ");
  looking.componentFlags = looking.componentFlagsMask = 0x1000;  // subtype is a file extension
  Component alias = FindNextComponent(nullptr, &looking);
  ASSERT_NE(alias, nullptr);
  EXPECT_EQ(FindNextComponent(alias, &looking), nullptr);

  Component handler = FindComponent(MediaHandlerType, kZyn);
  ASSERT_NE(handler, nullptr);
  ComponentDescription cd;
  Handle name = NewHandle(0);
  ASSERT_EQ(GetComponentInfo(handler, &cd, name, nullptr, nullptr), noErr);
  EXPECT_EQ(cd.componentType, MediaHandlerType);
  EXPECT_EQ(cd.componentSubType, kZyn);
  EXPECT_EQ(cd.componentFlags, 1u);
  ASSERT_EQ(GetHandleSize(name), 17);
  EXPECT_EQ(std::string(*name, 17), std::string("\x10") + "3D ZYN Component");
  DisposeHandle(name);
}

TEST(ComponentRegistration, TheAliasOpensTheImporter) {
  Component importer = FindComponent(MovieImportType, kZyn);
  Component alias = FindComponent(MovieImportType, FOUR_CHAR_CODE("ZYN "));
  ASSERT_NE(importer, nullptr);
  ASSERT_NE(alias, nullptr);
  ComponentInstance ci = nullptr;
  ASSERT_EQ(OpenAComponent(alias, &ci), noErr);
  EXPECT_EQ(HostGetInstanceComponent(ci), importer);
  EXPECT_NE(GetComponentInstanceStorage(ci), nullptr);
  EXPECT_EQ(CloseComponent(ci), noErr);
}

TEST(ComponentRegistration, PublicResourceIsTheMimeContainer) {
  Component importer = FindComponent(MovieImportType, kZyn);
  ASSERT_NE(importer, nullptr);
  Handle mime = nullptr;
  ASSERT_EQ(GetComponentPublicResource(importer, FOUR_CHAR_CODE("mime"), 128, &mime), noErr);
  ASSERT_EQ(GetHandleSize(mime), 230);
  EXPECT_EQ(std::string(*mime + 16, 4), "sean");
  DisposeHandle(mime);
  Handle missing = reinterpret_cast<Handle>(1);
  EXPECT_EQ(GetComponentPublicResource(importer, FOUR_CHAR_CODE("mime"), 129, &missing), resNotFound);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(GetComponentPublicResource(importer, FOUR_CHAR_CODE("mime"), 128, nullptr), paramErr);
}

TEST(ComponentRegistration, DeadComponentsAndInstancesAreRefused) {
  int notAComponent = 0;
  auto forged = reinterpret_cast<Component>(&notAComponent);
  ComponentInstance ci = reinterpret_cast<ComponentInstance>(1);
  EXPECT_EQ(OpenAComponent(forged, &ci), invalidComponentID);
  EXPECT_EQ(ci, nullptr);
  EXPECT_EQ(GetComponentInfo(forged, nullptr, nullptr, nullptr, nullptr), invalidComponentID);
  EXPECT_EQ(UnregisterComponent(forged), invalidComponentID);
  auto deadInstance = reinterpret_cast<ComponentInstance>(&notAComponent);
  EXPECT_EQ(CloseComponent(deadInstance), invalidComponentID);
  EXPECT_EQ(HostComponentCall(deadInstance, kComponentVersionSelect), badComponentInstance);
  EXPECT_EQ(ComponentFunctionImplemented(deadInstance, kComponentOpenSelect), 0);
  EXPECT_EQ(GetComponentInstanceStorage(deadInstance), nullptr);
}

// --- Damaged resources --------------------------------------------------------------

// Parses exactly `bytes` from a buffer of exactly that size, so that the
// sanitizer sees any read past it.
OSErr parseExact(const std::string& bytes, std::vector<HostResource>* resources, std::string* message) {
  std::unique_ptr<char[]> copy(new char[bytes.size() + 1]);
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  return HostParseResourceFork(bytes.empty() ? nullptr : copy.get(), bytes.size(), resources, message);
}

OSErr decodeExact(const std::string& fork, std::string* message) {
  std::vector<HostResource> resources;
  OSErr err = parseExact(fork, &resources, message);
  if (err != noErr) return err;
  std::vector<HostComponentRegistration> registrations;
  err = HostDecodeComponentResources(resources, &registrations, message);
  if (err == noErr && registrations.size() != 3) return -1;
  return err;
}

void put32(std::string* s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) (*s)[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}
void put16(std::string* s, std::size_t at, std::uint32_t v) {
  (*s)[at] = static_cast<char>((v >> 8) & 0xFF);
  (*s)[at + 1] = static_cast<char>(v & 0xFF);
}

// Offset of resource `index` (in map order) within the data area.
std::size_t dataOffsetOf(const std::string& fork, int index) {
  const std::size_t map = Be32(fork, 4);
  const std::size_t typeList = map + Be16(fork, map + 24);
  const std::size_t refs = typeList + 2 + 6 * 8;
  const std::size_t ref = refs + static_cast<std::size_t>(index) * 12;
  return (std::size_t(static_cast<unsigned char>(fork[ref + 5])) << 16) | Be16(fork, ref + 6);
}

TEST(DamagedResources, EveryTruncationShorterThanTheMapIsRefused) {
  const std::string fork = ModuleFork();
  ASSERT_EQ(fork.size(), kForkSize);
  constexpr std::size_t kMapEnd = 938 + 186;
  for (std::size_t length = 0; length <= kForkSize; ++length) {
    std::vector<HostResource> resources;
    std::string message;
    const OSErr err = parseExact(fork.substr(0, length), &resources, &message);
    if (length < kMapEnd) {
      ASSERT_EQ(err, mapReadErr) << length;
      EXPECT_TRUE(resources.empty()) << length;
      EXPECT_FALSE(message.empty()) << length;
    } else {
      ASSERT_EQ(err, noErr) << length << ": " << message;  // only the padding is missing
      EXPECT_EQ(resources.size(), 9u);
    }
  }
}

TEST(DamagedResources, OffsetsAndLengthsPastTheirAreasAreRefused) {
  const std::string fork = ModuleFork();
  // Map at 938: its type list at 938 + 28, the first type entry at 938 + 30,
  // the first reference at 938 + 78.
  struct Case {
    const char* what;
    void (*damage)(std::string*);
  };
  const Case cases[] = {
      {"data offset far out", [](std::string* f) { put32(f, 0, 0xFFFFFF00u); }},
      {"data length past the end", [](std::string* f) { put32(f, 8, 1500); }},
      {"map offset past the end", [](std::string* f) { put32(f, 4, 0xFFFFFFF0u); }},
      {"map length past the end", [](std::string* f) { put32(f, 12, 0x7FFFFFFFu); }},
      {"map too short for its header", [](std::string* f) { put32(f, 12, 20); }},
      {"type list outside the map", [](std::string* f) { put16(f, 938 + 24, 0xFFF0); }},
      {"type count past the map", [](std::string* f) { put16(f, 938 + 28, 0xFFFE); }},
      {"reference count past the map", [](std::string* f) { put16(f, 938 + 30 + 4, 0xFFFF); }},
      {"reference list outside the map", [](std::string* f) { put16(f, 938 + 30 + 6, 0x7FFF); }},
      {"data offset outside the data area", [](std::string* f) { put16(f, 938 + 78 + 6, 0xFFFF); }},
      {"resource length past the data area", [](std::string* f) { put32(f, 256, 0xFFFFFFF0u); }},
      {"a resource listed twice", [](std::string* f) { put16(f, 938 + 78 + 12, 128); }},
  };
  for (const Case& c : cases) {
    std::string damaged = fork;
    c.damage(&damaged);
    std::vector<HostResource> resources;
    std::string message;
    EXPECT_EQ(parseExact(damaged, &resources, &message), mapReadErr) << c.what;
    EXPECT_TRUE(resources.empty()) << c.what;
    EXPECT_FALSE(message.empty()) << c.what;
  }
}

TEST(DamagedResources, InconsistentComponentResourcesAreRefused) {
  const std::string fork = ModuleFork();
  ASSERT_EQ(decodeExact(fork, nullptr), noErr);
  const std::size_t data = 256;
  // Map order: thng 128, thng 256, thga 129, STR 128, STR 256, mime 128, dlle 128, dlle 256, vers 1.
  const std::size_t thng128 = data + dataOffsetOf(fork, 0) + 4;
  const std::size_t thga129 = data + dataOffsetOf(fork, 2) + 4;
  const std::size_t str128 = data + dataOffsetOf(fork, 3) + 4;
  const std::size_t dlle128 = data + dataOffsetOf(fork, 6) + 4;
  struct Case {
    const char* what;
    std::size_t at;
    int width;
    std::uint32_t value;
    OSErr expected;
  };
  const Case cases[] = {
      {"platform count past the resource", thng128 + 54, 4, 0x10000000u, mapReadErr},
      {"no entry for this platform", thng128 + 68, 2, 5, resNotFound},
      {"name resource missing", thng128 + 30, 2, 300, resNotFound},
      {"entry resource missing", thng128 + 66, 2, 300, resNotFound},
      {"entry resource of another type", thng128 + 62, 4, FOUR_CHAR_CODE("code"), resNotFound},
      {"name longer than its resource", str128, 1, 200, mapReadErr},
      {"entry name without terminator", dlle128 + 31, 1, 'x', mapReadErr},
      {"alias of a component not registered", thga129 + 48, 4, FOUR_CHAR_CODE("none"), resNotFound},
  };
  for (const Case& c : cases) {
    std::string damaged = fork;
    if (c.width == 4) put32(&damaged, c.at, c.value);
    if (c.width == 2) put16(&damaged, c.at, c.value);
    if (c.width == 1) damaged[c.at] = static_cast<char>(c.value);
    std::string message;
    EXPECT_EQ(decodeExact(damaged, &message), c.expected) << c.what;
    EXPECT_FALSE(message.empty()) << c.what;
  }
}

TEST(DamagedResources, ShortComponentResourcesAreRefused) {
  // A 'thng' cut below each of its parts, handed over in exact-size records.
  const std::string fork = ModuleFork();
  std::vector<HostResource> resources;
  ASSERT_EQ(parseExact(fork, &resources, nullptr), noErr);
  for (std::size_t length = 0; length < 70; ++length) {
    std::vector<HostResource> cut = resources;
    cut[0].data.resize(length);
    cut[0].data.shrink_to_fit();
    std::vector<HostComponentRegistration> registrations;
    std::string message;
    EXPECT_NE(HostDecodeComponentResources(cut, &registrations, &message), noErr) << length;
    EXPECT_TRUE(registrations.empty()) << length;
  }
  for (std::size_t length = 0; length < 64; ++length) {
    std::vector<HostResource> cut = resources;
    cut[2].data.resize(length);
    std::vector<HostComponentRegistration> registrations;
    EXPECT_EQ(HostDecodeComponentResources(cut, &registrations, nullptr), mapReadErr) << length;
    EXPECT_TRUE(registrations.empty());
  }
}

// A copy of the library with its resources changed registers nothing.
TEST(DamagedResources, ADamagedLibraryFileRegistersNothing) {
  RegisteredModule();
  const std::string bytes = ModuleBytes();
  const std::size_t image = bytes.size() - kForkSize;
  TempDir dir;
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string flipped = bytes;
  put32(&flipped, image + 12, 0x7FFFFFFFu);  // map length
  const Case cases[] = {
      {"no resources", bytes.substr(0, image)},
      {"resources cut short", bytes.substr(0, image + 900)},
      {"the header alone", bytes.substr(0, image + 16)},
      {"a damaged map length", flipped},
      {"not a module", std::string("not a library at all")},
      {"an empty file", std::string()},
  };
  const std::size_t before = HostListComponents().size();
  for (const Case& c : cases) {
    const std::string path = dir.File("copy.qtx");
    ASSERT_TRUE(WriteFileBytes(path, c.bytes));
    std::vector<Component> registered;
    std::string message;
    EXPECT_NE(HostRegisterComponentLibrary(path.c_str(), &registered, &message), noErr) << c.what;
    EXPECT_TRUE(registered.empty()) << c.what;
    EXPECT_FALSE(message.empty()) << c.what;
    EXPECT_EQ(HostListComponents().size(), before) << c.what;
  }
  std::string message;
  EXPECT_EQ(HostRegisterComponentLibrary(dir.File("missing.qtx").c_str(), nullptr, &message), fnfErr);
  EXPECT_EQ(HostRegisterComponentLibrary(nullptr, nullptr, &message), paramErr);
}

TEST(DamagedResources, HostileModuleHeadersAreRefused) {
  const std::string bytes = ModuleBytes();
  // The section header table's offset and count (64-bit ELF header).
  for (std::size_t at : {std::size_t(0x28), std::size_t(0x3C), std::size_t(0x20), std::size_t(0x38)}) {
    std::string damaged = bytes;
    for (std::size_t i = 0; i < 2; ++i) damaged[at + i] = '\xFF';
    std::unique_ptr<char[]> exact(new char[damaged.size()]);
    std::memcpy(exact.get(), damaged.data(), damaged.size());
    std::string message;
    EXPECT_EQ(HostModuleImageSize(exact.get(), damaged.size(), &message), 0u) << at;
    EXPECT_FALSE(message.empty());
  }
  for (std::size_t length = 0; length < 64; ++length) {
    std::unique_ptr<char[]> exact(new char[length + 1]);
    std::memcpy(exact.get(), bytes.data(), length);
    EXPECT_EQ(HostModuleImageSize(exact.get(), length, nullptr), 0u) << length;
  }
}

}  // namespace
