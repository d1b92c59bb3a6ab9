// The registration resources appended to the built library, byte for byte.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component_test_support.h"
#include "host/component_manager.h"

namespace {

using component_test::Be16;
using component_test::Be32;
using component_test::kForkSize;
using component_test::ModuleBytes;
using component_test::ModuleFork;

// Big-endian builders for the expected bytes, written apart from the
// library's own builder.
std::string be32(std::uint32_t v) {
  return {char(v >> 24), char((v >> 16) & 0xFF), char((v >> 8) & 0xFF), char(v & 0xFF)};
}
std::string be16(std::uint32_t v) { return {char((v >> 8) & 0xFF), char(v & 0xFF)}; }
std::string ref(const char* type, std::uint32_t id) { return std::string(type, 4) + be16(id); }
std::string none() { return std::string(6, '\0'); }

const HostResource* find(const std::vector<HostResource>& resources, const char* type, SInt16 id) {
  for (const HostResource& r : resources) {
    if (be32(r.type) == std::string(type, 4) && r.id == id) return &r;
  }
  return nullptr;
}

std::vector<HostResource> parsedFork() {
  const std::string fork = ModuleFork();
  std::vector<HostResource> resources;
  std::string message;
  EXPECT_EQ(HostParseResourceFork(fork.data(), fork.size(), &resources, &message), noErr) << message;
  return resources;
}

TEST(RegistrationResources, TheForkEndsTheLibraryAfterItsImage) {
  const std::string bytes = ModuleBytes();
  ASSERT_GT(bytes.size(), kForkSize);
  std::string message;
  EXPECT_EQ(HostModuleImageSize(bytes.data(), bytes.size(), &message), bytes.size() - kForkSize) << message;
}

TEST(RegistrationResources, HeaderGivesTheOffsetsAndLengths) {
  const std::string fork = ModuleFork();
  ASSERT_EQ(fork.size(), kForkSize);
  EXPECT_EQ(Be32(fork, 0), 256u);   // data offset
  EXPECT_EQ(Be32(fork, 4), 938u);   // map offset
  EXPECT_EQ(Be32(fork, 8), 682u);   // data length
  EXPECT_EQ(Be32(fork, 12), 186u);  // map length
  // Everything between the header and the data, and after the map, is zero.
  for (std::size_t i = 16; i < 256; ++i) ASSERT_EQ(fork[i], '\0') << i;
  for (std::size_t i = 938 + 186; i < kForkSize; ++i) ASSERT_EQ(fork[i], '\0') << i;
  // The map lists six types.
  const std::size_t typeList = 938 + Be16(fork, 938 + 24);
  EXPECT_EQ(Be16(fork, typeList) + 1, 6);
}

TEST(RegistrationResources, TheForkHoldsExactlyTheRegistration) {
  const std::vector<HostResource> resources = parsedFork();
  std::vector<std::string> listed;
  for (const HostResource& r : resources) listed.push_back(std::string(be32(r.type)) + " " + std::to_string(r.id));
  EXPECT_EQ(listed, (std::vector<std::string>{"thng 128", "thng 256", "thga 129", "STR  128", "STR  256",
                                              "mime 128", "dlle 128", "dlle 256", "vers 1"}));
}

TEST(RegistrationResources, ComponentResourcesByteForByte) {
  const std::vector<HostResource> resources = parsedFork();
  auto thng = [](const char* type, std::uint32_t nameId, std::uint32_t platformFlags, std::uint32_t entryId) {
    return std::string(type, 4) + "vzyn" + be32(0) + be32(0) + be32(0) + none() + ref("STR ", nameId) + none() +
           none() + be32(0x00010001) + be32(9) + be16(0) + be32(1) + be32(platformFlags) + ref("dlle", entryId) +
           be16(4);
  };
  const HostResource* importer = find(resources, "thng", 128);
  const HostResource* handler = find(resources, "thng", 256);
  ASSERT_NE(importer, nullptr);
  ASSERT_NE(handler, nullptr);
  EXPECT_EQ(importer->data.size(), 70u);
  EXPECT_EQ(importer->data, thng("eat ", 128, 0x00044802, 128));
  EXPECT_EQ(handler->data, thng("mhlr", 256, 0x00000001, 256));

  const HostResource* alias = find(resources, "thga", 129);
  ASSERT_NE(alias, nullptr);
  EXPECT_EQ(alias->data.size(), 64u);
  EXPECT_EQ(alias->data, std::string("eat ZYN ") + be32(0) + be32(0x00045802) + be32(0) + none() +
                             ref("STR ", 128) + none() + none() + "eat vzyn" + be32(0) + be32(0) + be32(0));
}

TEST(RegistrationResources, NamesAndEntryPoints) {
  const std::vector<HostResource> resources = parsedFork();
  for (SInt16 id : {128, 256}) {
    const HostResource* name = find(resources, "STR ", id);
    ASSERT_NE(name, nullptr) << id;
    EXPECT_EQ(name->data, std::string("\x10") + "3D ZYN Component");
  }
  const HostResource* importer = find(resources, "dlle", 128);
  const HostResource* handler = find(resources, "dlle", 256);
  ASSERT_NE(importer, nullptr);
  ASSERT_NE(handler, nullptr);
  EXPECT_EQ(importer->data, std::string("MovieImporter_ComponentDispatch", 32));  // with its NUL
  EXPECT_EQ(handler->data, std::string("MediaHandler_ComponentDispatch", 31));
}

TEST(RegistrationResources, MimeAtomContainer) {
  const std::vector<HostResource> resources = parsedFork();
  const HostResource* mime = find(resources, "mime", 128);
  ASSERT_NE(mime, nullptr);
  const std::string& c = mime->data;
  ASSERT_EQ(c.size(), 12u + 218u);
  EXPECT_EQ(c.substr(0, 12), std::string(12, '\0'));
  EXPECT_EQ(Be32(c, 12), 218u);
  EXPECT_EQ(c.substr(16, 4), "sean");
  EXPECT_EQ(Be32(c, 20), 1u);      // id
  EXPECT_EQ(Be16(c, 26), 6u);      // children
  struct Leaf {
    const char* type;
    std::uint32_t id;
    const char* text;
  };
  const Leaf leaves[] = {{"mime", 1, "animation/zentrax-zyn"}, {"mime", 2, "animation/x-zentrax-zyn"},
                         {"ext ", 1, "zyn"},  {"ext ", 2, "zyn"},
                         {"desc", 1, "ZENTRAX(R) ZYN"},        {"desc", 2, "ZENTRAX(R) ZYN"}};
  std::size_t at = 32;
  for (const Leaf& leaf : leaves) {
    const std::string text = leaf.text;
    ASSERT_LE(at + 20 + text.size(), c.size()) << leaf.type;
    EXPECT_EQ(Be32(c, at), 20 + text.size()) << leaf.type;
    EXPECT_EQ(c.substr(at + 4, 4), leaf.type);
    EXPECT_EQ(Be32(c, at + 8), leaf.id);
    EXPECT_EQ(Be16(c, at + 14), 0u);  // a leaf has no children
    EXPECT_EQ(c.substr(at + 20, text.size()), text);
    at += 20 + text.size();
  }
  EXPECT_EQ(at, c.size());
}

TEST(RegistrationResources, VersionResource) {
  const std::vector<HostResource> resources = parsedFork();
  const HostResource* vers = find(resources, "vers", 1);
  ASSERT_NE(vers, nullptr);
  const std::string& v = vers->data;
  ASSERT_GE(v.size(), 6u + 4u + 12u);
  EXPECT_EQ(static_cast<unsigned char>(v[0]), 0x06);  // 6
  EXPECT_EQ(static_cast<unsigned char>(v[1]), 0x00);  // .0
  EXPECT_EQ(static_cast<unsigned char>(v[2]), 0x80);  // final
  EXPECT_EQ(static_cast<unsigned char>(v[3]), 0x00);
  EXPECT_EQ(Be16(v, 4), 0u);                          // region
  EXPECT_EQ(v.substr(6, 4), std::string("\x03") + "6.0");
  const std::size_t longLength = static_cast<unsigned char>(v[10]);
  ASSERT_EQ(11 + longLength, v.size());
  EXPECT_EQ(v.substr(11, 11), "QTZyn 6.0, ");
}

}  // namespace
