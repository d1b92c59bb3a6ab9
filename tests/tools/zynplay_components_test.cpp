// zynplay --components: the component library's own registrations, as JSON.

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace {

struct Result {
  int code;
  std::string out;
};

Result Zynplay(const std::string& args) {
  Result r;
  r.code = testing_support::RunCommand(std::string(ZYNPLAY_PROGRAM) + " " + args + " 2>&1", &r.out);
  return r;
}

TEST(ZynplayComponents, ListsTheImporterItsAliasAndTheMediaHandler) {
  const Result r = Zynplay("--components");
  ASSERT_EQ(r.code, 0) << r.out;
  // Registration order: the importer, the media handler, then the alias.
  const std::string importer =
      R"({"type":"eat ","subType":"vzyn","manufacturer":0,"flags":280578,"name":"3D ZYN Component",)"
      R"("entryPoint":"MovieImporter_ComponentDispatch","version":65537})";
  const std::string handler =
      R"({"type":"mhlr","subType":"vzyn","manufacturer":0,"flags":1,"name":"3D ZYN Component",)"
      R"("entryPoint":"MediaHandler_ComponentDispatch","version":65537})";
  const std::string alias =
      R"({"type":"eat ","subType":"ZYN ","manufacturer":0,"flags":284674,"name":"3D ZYN Component",)"
      R"("entryPoint":"MovieImporter_ComponentDispatch","version":65537})";
  EXPECT_EQ(r.out, "[" + importer + "," + handler + "," + alias + "]\n");
}

TEST(ZynplayComponents, AMissingOrDamagedLibraryIsAClearFailure) {
  testing_support::TempDir dir;
  Result r = Zynplay("--components --library " + dir.File("none.qtx"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out.rfind("zynplay: Unable to register the component library ", 0), 0u) << r.out;
  r = Zynplay("--components --library " + std::string(ZYNPLAY_PROGRAM));  // a program, no resources
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out.rfind("zynplay: ", 0), 0u) << r.out;
  EXPECT_EQ(Zynplay("--components extra").code, 2);
  EXPECT_EQ(Zynplay("").code, 2);
  EXPECT_EQ(Zynplay("--help").code, 0);
}

}  // namespace
