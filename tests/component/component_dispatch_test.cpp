// The two entry points answer real parameter blocks: through instances that
// the component manager opens, and called directly.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "component/component_globals.h"
#include "component_test_support.h"
#include "host/component_manager.h"
#include "host/handles.h"

namespace {

using component_test::FindComponent;
using component_test::ModulePath;
using component_test::RegisteredModule;
using qtzyn::ImporterGlobals;
using qtzyn::MediaGlobals;

constexpr OSType kZyn = FOUR_CHAR_CODE("vzyn");
constexpr ComponentResult kVersion = 0x00010001;

// A base media handler that records what reaches it; registered ahead of the
// built-in one for the tests that need to see delegation.
struct Recorder {
  int opens = 0;
  int closes = 0;
  int delegated = 0;
  SInt16 lastDelegated = 0;
  SInt16 lastCanDo = 0;
  ComponentInstance target = nullptr;
  bool failOpen = false;
};
Recorder g_recorder;
constexpr ComponentResult kDelegatedAnswer = 0x1234;
constexpr SInt16 kRecorderImplements = 0x502;

ComponentResult recorderEntry(ComponentParameters* params, Handle) {
  switch (params->what) {
    case kComponentOpenSelect:
      ++g_recorder.opens;
      return g_recorder.failOpen ? memFullErr : noErr;
    case kComponentCloseSelect:
      ++g_recorder.closes;
      return noErr;
    case kComponentCanDoSelect:
      g_recorder.lastCanDo = static_cast<SInt16>(params->params[0]);
      return g_recorder.lastCanDo == kRecorderImplements ? 1 : 0;
    case kComponentTargetSelect:
      g_recorder.target = reinterpret_cast<ComponentInstance>(params->params[0]);
      return noErr;
    default:
      ++g_recorder.delegated;
      g_recorder.lastDelegated = params->what;
      return kDelegatedAnswer;
  }
}

MediaGlobals* mediaGlobals(ComponentInstance ci) {
  Handle storage = GetComponentInstanceStorage(ci);
  return storage != nullptr ? reinterpret_cast<MediaGlobals*>(*storage) : nullptr;
}

// Opens media handler instances and closes what is left at the end.
class MediaHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handler_ = FindComponent(MediaHandlerType, kZyn);
    ASSERT_NE(handler_, nullptr);
    instancesBefore_ = HostCountComponentInstances();
  }
  void TearDown() override {
    for (ComponentInstance ci : open_) CloseComponent(ci);
    if (recorder_ != nullptr) {
      EXPECT_EQ(UnregisterComponent(recorder_), noErr);
    }
    EXPECT_EQ(HostCountComponentInstances(), instancesBefore_);
  }
  void UseRecorder() {
    g_recorder = Recorder();
    ComponentDescription cd;
    cd.componentType = MediaHandlerType;
    cd.componentSubType = kBaseMediaHandlerSubType;
    recorder_ = RegisterComponent(&cd, recorderEntry, 0, nullptr, nullptr, nullptr);
    ASSERT_NE(recorder_, nullptr);
  }
  ComponentInstance Open() {
    ComponentInstance ci = nullptr;
    EXPECT_EQ(OpenAComponent(handler_, &ci), noErr);
    if (ci != nullptr) open_.push_back(ci);
    return ci;
  }
  void Close(ComponentInstance ci) {
    EXPECT_EQ(CloseComponent(ci), noErr);
    open_.erase(std::find(open_.begin(), open_.end(), ci));
  }

  Component handler_ = nullptr;
  Component recorder_ = nullptr;
  std::vector<ComponentInstance> open_;
  long instancesBefore_ = 0;
};

// First in the program, so that no media handler instance was opened before.
TEST_F(MediaHandlerTest, InstanceIdsCountFromOneForTheModulesLife) {
  ComponentInstance first = Open();
  ComponentInstance second = Open();
  ASSERT_NE(mediaGlobals(first), nullptr);
  ASSERT_NE(mediaGlobals(second), nullptr);
  EXPECT_EQ(mediaGlobals(first)->instanceId, 1);
  EXPECT_EQ(mediaGlobals(second)->instanceId, 2);
  Close(first);
  // A closed instance's id is not given again.
  ComponentInstance third = Open();
  EXPECT_EQ(mediaGlobals(third)->instanceId, 3);
  EXPECT_EQ(mediaGlobals(third)->self, third);
  EXPECT_EQ(mediaGlobals(third)->target, third);
  EXPECT_NE(mediaGlobals(third)->delegate, nullptr);
}

TEST_F(MediaHandlerTest, VersionAndOwnSelectorsCanDo) {
  ComponentInstance ci = Open();
  EXPECT_EQ(GetComponentVersion(ci), kVersion);
  for (SInt16 selector : {-1, -2, -3, -4, -6, 0x501, 0x503, 0x50D, 0x50F, 0x51A, 0x51D, 0x546, 0x547, 0x548,
                          0x549, 0x569, 0x56A, 0x56B}) {
    EXPECT_EQ(ComponentFunctionImplemented(ci, selector), 1) << std::hex << selector;
  }
}

TEST_F(MediaHandlerTest, CanDoAsksTheBaseHandlerForWhatItHasNoRoutineFor) {
  UseRecorder();
  ComponentInstance ci = Open();
  EXPECT_EQ(ComponentFunctionImplemented(ci, 0x502), 1);  // the recorder has it
  EXPECT_EQ(g_recorder.lastCanDo, 0x502);
  for (SInt16 selector : {-9, -8, -7, -5, 0x500, 0x504, 0x56C, 0x56D, 0x56E, 0x600, 0x0002}) {
    g_recorder.lastCanDo = 0;
    EXPECT_EQ(ComponentFunctionImplemented(ci, selector), 0) << std::hex << selector;
    EXPECT_EQ(g_recorder.lastCanDo, selector) << std::hex << selector;
  }
}

TEST_F(MediaHandlerTest, CanDoWithTheBuiltInBaseHandler) {
  ComponentInstance ci = Open();
  ComponentInstance base = OpenDefaultComponent(MediaHandlerType, kBaseMediaHandlerSubType);
  ASSERT_NE(base, nullptr);
  for (SInt16 selector : {0x502, 0x504, -8, -5}) {
    EXPECT_EQ(ComponentFunctionImplemented(ci, selector), ComponentFunctionImplemented(base, selector));
  }
  CloseComponent(base);
}

TEST_F(MediaHandlerTest, SelectorsWithoutARoutineAreDelegated) {
  UseRecorder();
  ComponentInstance ci = Open();
  for (SInt16 selector : {SInt16(-8), SInt16(-9), SInt16(-32768), SInt16(0x500), SInt16(0x502), SInt16(0x56D),
                          SInt16(0x56E), SInt16(0x5FF), SInt16(0x600), SInt16(0x0002), SInt16(0x7FFF)}) {
    const int before = g_recorder.delegated;
    EXPECT_EQ(HostComponentCall(ci, selector), kDelegatedAnswer) << std::hex << selector;
    EXPECT_EQ(g_recorder.delegated, before + 1) << std::hex << selector;
    EXPECT_EQ(g_recorder.lastDelegated, selector);
  }
  // Not implemented: answered here, not passed on.
  const int before = g_recorder.delegated;
  EXPECT_EQ(HostComponentCall(ci, kComponentRegisterSelect), badComponentSelector);
  EXPECT_EQ(HostComponentCall(ci, kComponentUnregisterSelect), badComponentSelector);
  // MediaDisposeTargetRefCon: answered with no error and nothing else.
  EXPECT_EQ(HostComponentCall(ci, SInt16(0x549), 7L), noErr);
  EXPECT_EQ(g_recorder.delegated, before);
}

TEST_F(MediaHandlerTest, TargetReachesTheDelegate) {
  UseRecorder();
  ComponentInstance ci = Open();
  EXPECT_EQ(g_recorder.target, ci);  // Open names the instance itself
  ComponentInstance other = Open();
  EXPECT_EQ(ComponentSetTarget(ci, other), noErr);
  EXPECT_EQ(mediaGlobals(ci)->target, other);
  EXPECT_EQ(g_recorder.target, other);
}

TEST_F(MediaHandlerTest, CloseClosesTheDelegate) {
  UseRecorder();
  ComponentInstance ci = Open();
  EXPECT_EQ(g_recorder.opens, 1);
  Close(ci);
  EXPECT_EQ(g_recorder.closes, 1);
}

TEST_F(MediaHandlerTest, WithoutABaseHandlerOpenFailsAndLeavesNothing) {
  UseRecorder();
  g_recorder.failOpen = true;
  const long before = HostCountComponentInstances();
  ComponentInstance ci = reinterpret_cast<ComponentInstance>(1);
  EXPECT_EQ(OpenAComponent(handler_, &ci), cantOpenHandler);
  EXPECT_EQ(ci, nullptr);
  EXPECT_EQ(HostCountComponentInstances(), before);
  // The handler still opens once a base handler does.
  g_recorder.failOpen = false;
  EXPECT_NE(Open(), nullptr);
}

TEST_F(MediaHandlerTest, ShortParameterBlocksAreRefused) {
  ComponentInstance ci = Open();
  ComponentParameters block = HostMakeComponentParameters(kComponentCanDoSelect, SInt16(0x501));
  block.paramSize = 0;  // the selector asked about is missing
  EXPECT_EQ(HostCallComponent(ci, &block), paramErr);
  block.paramSize = sizeof(long);
  EXPECT_EQ(HostCallComponent(ci, &block), 1);
}

// --- The importer ---------------------------------------------------------------------------

class ImporterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    importer_ = FindComponent(MovieImportType, kZyn);
    ASSERT_NE(importer_, nullptr);
    ASSERT_EQ(OpenAComponent(importer_, &ci_), noErr);
  }
  void TearDown() override { EXPECT_EQ(CloseComponent(ci_), noErr); }
  Component importer_ = nullptr;
  ComponentInstance ci_ = nullptr;
};

TEST_F(ImporterTest, OpenSetsUpTheStorage) {
  Handle storage = GetComponentInstanceStorage(ci_);
  ASSERT_NE(storage, nullptr);
  ASSERT_EQ(GetHandleSize(storage), static_cast<Size>(sizeof(ImporterGlobals)));
  const auto* globals = reinterpret_cast<const ImporterGlobals*>(*storage);
  EXPECT_EQ(globals->self, ci_);
  EXPECT_EQ(globals->width, 500);
  EXPECT_EQ(globals->height, 280);
  EXPECT_EQ(globals->duration, 0);
  EXPECT_EQ(globals->path[0], '\0');
}

TEST_F(ImporterTest, VersionAndCanDo) {
  EXPECT_EQ(GetComponentVersion(ci_), kVersion);
  for (SInt16 selector : {-1, -2, -3, -4, 0x02, 0x10, 0x12}) {
    EXPECT_EQ(ComponentFunctionImplemented(ci_, selector), 1) << selector;
  }
  for (SInt16 selector : {-9, -8, -7, -6, -5, 0x00, 0x01, 0x0E, 0x13, 19, 20, 0x80, 0x502, 0x7FFF, -32768}) {
    EXPECT_EQ(ComponentFunctionImplemented(ci_, selector), 0) << selector;
  }
}

TEST_F(ImporterTest, SelectorsWithoutARoutineAreBad) {
  for (SInt16 selector : {-9, -8, -7, -6, -5, 0x00, 0x0E, 19, 20, 0x7F, 0x80, 0x501, 0x7FFF, -32768}) {
    EXPECT_EQ(HostComponentCall(ci_, selector), badComponentSelector) << selector;
  }
}

TEST_F(ImporterTest, ImportRoutinesGetTheirArgumentsThrough) {
  // Every argument reaches the routine: without a file to import it answers
  // paramErr and touches none of the outs.
  Track used = nullptr;
  TimeValue added = 0;
  long outFlags = 0;
  EXPECT_EQ(HostComponentCall(ci_, SInt16(0x02), static_cast<const FSSpec*>(nullptr), static_cast<Movie>(nullptr),
                              static_cast<Track>(nullptr), &used, TimeValue(0), &added, 0L, &outFlags),
            paramErr);
  EXPECT_EQ(used, nullptr);
  EXPECT_EQ(outFlags, 0);
  // Too few arguments never reach a routine.
  EXPECT_EQ(HostComponentCall(ci_, SInt16(0x10), static_cast<Handle>(nullptr)), paramErr);
}

// --- Direct calls of the entry points --------------------------------------------------------

using EntryPoint = ComponentResult (*)(ComponentParameters*, Handle);

EntryPoint entryPoint(const char* name) {
  RegisteredModule();
  void* module = dlopen(ModulePath(), RTLD_NOW | RTLD_NOLOAD);
  if (module == nullptr) return nullptr;
  auto entry = reinterpret_cast<EntryPoint>(dlsym(module, name));
  dlclose(module);  // the component manager keeps it loaded
  return entry;
}

TEST(EntryPoints, OnlyTheTwoDispatchersAreExported) {
  EXPECT_NE(entryPoint("MovieImporter_ComponentDispatch"), nullptr);
  EXPECT_NE(entryPoint("MediaHandler_ComponentDispatch"), nullptr);
  EXPECT_EQ(entryPoint("_ZN5qtzyn10ViewerCore11GetOrCreateEv"), nullptr);
}

TEST(EntryPoints, WithoutStorageOrBlock) {
  EntryPoint importer = entryPoint("MovieImporter_ComponentDispatch");
  EntryPoint handler = entryPoint("MediaHandler_ComponentDispatch");
  ASSERT_NE(importer, nullptr);
  ASSERT_NE(handler, nullptr);
  EXPECT_EQ(importer(nullptr, nullptr), paramErr);
  EXPECT_EQ(handler(nullptr, nullptr), paramErr);
  // No storage: nothing to delegate to, no routine state to touch.
  for (SInt16 selector : {SInt16(-8), SInt16(-9), SInt16(0x502), SInt16(0x56E)}) {
    ComponentParameters block = HostMakeComponentParameters(selector);
    EXPECT_EQ(handler(&block, nullptr), badComponentSelector) << selector;
  }
  const auto noInstance = static_cast<ComponentInstance>(nullptr);
  ComponentParameters target = HostMakeComponentParameters(kComponentTargetSelect, noInstance);
  EXPECT_EQ(handler(&target, nullptr), badComponentInstance);
  ComponentParameters canDo = HostMakeComponentParameters(kComponentCanDoSelect, SInt16(0x502));
  EXPECT_EQ(handler(&canDo, nullptr), 0);
  ComponentParameters version = HostMakeComponentParameters(kComponentVersionSelect);
  EXPECT_EQ(importer(&version, nullptr), kVersion);
  EXPECT_EQ(handler(&version, nullptr), kVersion);
  ComponentParameters close = HostMakeComponentParameters(kComponentCloseSelect, noInstance);
  EXPECT_EQ(handler(&close, nullptr), noErr);
}

TEST(EntryPoints, ImporterOpenKeepsExistingStorage) {
  EntryPoint importer = entryPoint("MovieImporter_ComponentDispatch");
  ASSERT_NE(importer, nullptr);
  Handle storage = NewHandleClear(16);
  ComponentParameters open = HostMakeComponentParameters(kComponentOpenSelect, static_cast<ComponentInstance>(nullptr));
  EXPECT_EQ(importer(&open, storage), noErr);
  EXPECT_EQ(GetHandleSize(storage), 16);  // untouched
  for (int i = 0; i < 16; ++i) EXPECT_EQ((*storage)[i], 0);
  DisposeHandle(storage);
}

}  // namespace
