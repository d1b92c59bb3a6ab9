#include "core/settings_defaults.h"

#include "core/settings_store.h"

namespace {

constexpr const char* A = "@Application.txt";
constexpr const char* E = "@EXTENSIONS.txt";
constexpr const char* T = "@Task.txt";

constexpr const char* kPriority = "-3(Min) to 3(Max)";
constexpr const char* kProcessors = "all or --1-1---";

constexpr VSettingsDefault kDefaults[] = {
    // @Application.txt: the settings that the viewer reads.
    {A, "Display", "UseShareDisplayList", "Test", "Available option Test,Yes,No", true},
    {A, "Display", "UseDisplayListForCurves", "Yes", "Available option Yes,No", true},
    {A, "Display", "UseDisplayListForSurfaces", "Yes", "Available option Yes,No", true},
    {A, "Display", "HardwareTesselation", "Right", "Available option Right, Left", true},
    {A, "Display", "UseStripForMesh", "Yes", "Available option Yes, No", true},
    {A, "Display", "SurfacesOptimization", "Yes", "Available option Yes, No", true},
    {A, "Display", "UseVolumicLightOptimisation", "Yes",
     "Slower display method for some OGL driver (Yes/No).", true},
    {A, "Display", "UseAdditiveSpecularLighting", "Yes", "Improve specular lighting (Yes/No).", true},
    {A, "Display", "UseLineStipple", "Yes", "Use Line Stipple (Yes/No).", true},
    {A, "Display", "GridColorR", "0.5", "Color of the grid (Red, from 0.00 to 1.00).", true},
    {A, "Display", "GridColorG", "0.5", "Color of the grid (Green, from 0.00 to 1.00).", true},
    {A, "Display", "GridColorB", "0.5", "Color of the grid (Blue, from 0.00 to 1.00).", true},
    {A, "Display", "GridOriginX", "0.0", "Position of the grid origin on the X axis.", true},
    {A, "Display", "GridOriginY", "0.0", "Position of the grid origin on the Y axis.", true},
    {A, "Display", "GridOriginZ", "0.0", "Position of the grid origin on the Z axis.", true},
    {A, "Display", "GridSizeX", "1000.0", "Grid size along the X axis.", true},
    {A, "Display", "GridSizeY", "1000.0", "Grid size along the Y axis.", true},
    {A, "Display", "GridSizeZ", "1000.0", "Grid size along the Z axis.", true},
    {A, "Display", "GridSpacing", "20.0", "Side length of a grid square.", true},
    {A, "Display", "ViewerInfoDisplay", "Disable", "Use Viewer Info Display ( Enable/Disable )", true},
    {A, "Display", "FixedCameraBackgroundColor", "No",
     "Reset background camera color after load to the specified color. Available options are "
     "'No', 'All' or 'System'.",
     true},
    {A, "Display", "FixedCameraBackgroundColorR", "0.63", "Red value for fixed camera background color.",
     true},
    {A, "Display", "FixedCameraBackgroundColorG", "0.63",
     "Green value for fixed camera background color.", true},
    {A, "Display", "FixedCameraBackgroundColorB", "0.63", "Blue value for fixed camera background color.",
     true},
    {A, "Display", "ColorMode", "", "", false},
    {A, "Display", "NodeSize", "1.0", "", false},
    {A, "DisplayBuffer", "ForcePixelFormat", "-1",
     "Index of the pixel format you want to use for 3D viewer, as seen in the PixelFormat Tab of "
     "the Viewer Info window",
     true},
    {A, "Rendering", "UseOffscreenRender", "Yes",
     "Render frames using offscreen context. This need the PBuffer extension. (Yes/No).", true},
    {A, "Rendering", "WarnOffscreenRender", "Yes",
     "Display a warning message when doing offscreen renders that are bigger than current screen "
     "resolution. (Yes/No).",
     true},
    {A, "Audio", "Enable", "Yes", "Enable audio (Yes/No)", true},
    {A, "Audio", "LoadToMemoryMax", "1.0",
     "Maximum size of audio file to automatically load it in memory (in Megabytes).", true},
    {A, "Audio", "OutputRate", "44100", "Output rate. Default is 44100 (Hz).", true},
    {A, "Audio", "OutputQuality", "16", "Output quality. Default is 16 (bits).", true},
    {A, "Audio", "OutputChannel", "2", "Output channel. Default is 2 (channels).", true},
    {A, "Time", "FrameRate", "30",
     "FrameRate replace TimeMode, value : 23.976, 24, 25, 29.97 drop, 29.97 full, 30, 48, 50, 60, "
     "100, 120",
     true},
    {A, "Time", "TimeFormat", "1", "Time format: SMPTE, Frames, default (0/1/2)", true},
    {A, "Time", "SystemTime", "No", "Display system time in the UI (Yes/No)", true},
    {A, "Sync", "SyncWaitMode", "2",
     "Sync wait Mode, 0:Never Sync, 1:Sync on Video Output, 2:Sync on Video Output or Input, 3:Sync "
     "always",
     true},
    {A, "Sync", "SyncSkipCount", "0",
     "Sync wait count, 0 : determined by Software, 1,2,3... actual skip count", true},
    {A, "Sync", "EvaluateWait", "Yes", "Wait for evaluation completion before syncing: (Yes/No)", true},
    {A, "Sync", "Internal", "NTSC", "NTSC or PAL or CINEMADROP", true},
    {A, "Video", "OutputMethod", "0", "0=detect, 1=read backbuffer", true},
    {A, "ZYN", "UseTmpFilesOnSaving", "Yes", "Enable creation of temporary files on saving", true},
    {A, "Keyboard", "Default", "Velmoor", "", true},

    // @Application.txt: the other keys that start-up fills in.
    {A, "Display", "ShowCursorInFullScreen", "No", "", true},
    {A, "Display", "DrawTimeLineOnSelectiveRedraw", "Yes", "", true},
    {A, "Display", "DrawTimeCodeOnSelectiveRedraw", "Yes", "", true},
    {A, "Display", "ParticleSmallLifeTime", "New", "", true},
    {A, "DisplayBuffer", "ForcePixelFormatUI", "-1", "", true},
    {A, "Audio", "DefaultInputRate", "44100", "", true},
    {A, "Audio", "DefaultInputQuality", "16", "", true},
    {A, "Audio", "DefaultInputChannel", "2", "", true},
    {A, "Audio", "MiscInputFormats", "No", "", true},
    {A, "Audio", "SoftwareBufferCount", "32", "", true},
    {A, "Audio", "DisableBufferWarning", "No", "", true},
    {A, "AudioDisplay", "AutoBuildPeaks", "Yes", "", true},
    {A, "AudioDisplay", "SavePeaksCacheToDisk", "Unknown", "", true},
    {A, "AudioDisplay", "Precision", "100", "", true},
    {A, "AudioDisplay", "MaxAllocSize", "0.5", "", true},
    {A, "AudioDisplay", "DetailsPriority", "7", "", true},
    {A, "FCurve", "RotationFilterToApply", "Unroll", "", true},
    {A, "FCurve", "UnrollFilterQuality", "0.25", "", true},
    {A, "FCurve", "UnrollFilterTestForPath", "No", "", true},
    {A, "FCurve", "UseConstantKeyReducer", "Yes", "", true},
    {A, "FCurve", "UseConstantKeyReducerOnDevices", "Yes", "", true},
    {A, "FCurve", "ConstantKeyReducerTranslationThreshold", "5.0e-12", "", true},
    {A, "FCurve", "ConstantKeyReducerRotationThreshold", "5.0e-3", "", true},
    {A, "FCurve", "ConstantKeyReducerScalingThreshold", "5.0e-12", "", true},
    {A, "FCurve", "ConstantKeyReducerDefaultThreshold", "5.0e-12", "", true},
    {A, "FCurve", "ContinuousTCB", "No", "", true},
    {A, "FCurve", "AntiAliasing", "1", "", true},
    {A, "Recording Memory", "ManualLimit", "0", "", true},
    {A, "Recording Memory", "Warning", "0", "", true},
    {A, "Character", "ClearUnusedMarkerset", "Yes", "", true},
    {A, "Weighting", "DeadWeight", "0.1", "", true},
    {A, "NumericField", "Digit", "3", "", true},
    {A, "NumericField", "Decimal", "2", "", true},
    {A, "SchematicView", "AutoArrangeDefault", "No", "", true},
    {A, "Transformations", "MaxEditableValue", "100000", "", true},
    {A, "GloveDevice", "GeometryVersion", "1", "", true},
    {A, "GloveDevice", "GloveToActorSolvingVersion", "1", "", true},
    {A, "MotionImportGlobal", "MatchModelsCaseSensitive", "Yes", "", true},
    {A, "MotionImportGlobal", "ImportSkeletonAndNullsOnly", "Yes", "", true},
    {A, "MotionImportHTR", "MinimizeRotationOffset", "Yes", "", true},
    {A, "Video", "Background", "Test", "", true},
    {A, "Video", "VideoWidgetCanUsePixelZoom", "Yes", "", true},

    // @EXTENSIONS.txt: device extensions.
    {E, "MotionStar", "SamplingRate", "86.1", "", true},
    {E, "MotionStar", "ReportRate", "1", "", true},
    {E, "MotionStar", "MultiSystems", "No", "", true},
    {E, "MotionStar", "AuxPort1.Enabled", "No", "", true},
    {E, "MotionStar", "AuxPort2.Enabled", "No", "", true},
    {E, "UltraTrak", "MultiSystems", "No", "", true},
    {E, "MIDI", "SamplingRate", "60.0", "", true},
    {E, "MIDI", "InstrumentPath", "", "", true},

    // @Task.txt: the engine's tasks. Asynchronous operations run at normal
    // priority; every task may use all processors.
    {T, "Evaluation", "Priority", "2", kPriority, true},
    {T, "Evaluation", "Processors", "All", kProcessors, true},
    {T, "Evaluation", "Pipeline", "Parallel", "Serial or Parallel", true},
    {T, "Evaluation", "Mode", "Single", "Single,Multi or MultiDeform", true},
    {T, "Transport", "Priority", "3", kPriority, true},
    {T, "Transport", "Processors", "All", kProcessors, true},
    {T, "Timing", "Priority", "3", kPriority, true},
    {T, "Timing", "Processors", "All", kProcessors, true},
    {T, "Audio", "Priority", "2", kPriority, true},
    {T, "Audio", "Processors", "All", kProcessors, true},
    {T, "Video", "Priority", "2", kPriority, true},
    {T, "Video", "Processors", "All", kProcessors, true},
    {T, "AsyncOp", "Priority", "0", kPriority, true},
    {T, "AsyncOp", "Processors", "All", kProcessors, true},
    {T, "Display", "FreeRunning", "No", "Yes or no", true},
};

}  // namespace

const VSettingsDefault* VSettingsDefaults(size_t* count) {
  *count = sizeof kDefaults / sizeof kDefaults[0];
  return kDefaults;
}

const char* VSettingsDefaultValue(std::string_view file, std::string_view section,
                                  std::string_view key) {
  for (const VSettingsDefault& row : kDefaults) {
    if (file == row.file && section == row.section && key == row.key) return row.value;
  }
  return nullptr;
}

bool VSettingsApplyDefaults(VSettingsStore& store) {
  bool ok = true;
  for (const VSettingsDefault& row : kDefaults) {
    if (!row.written_at_start) continue;
    if (!store.Open(row.file).GetOrSetDefault(row.section, row.key, row.value, row.comment)) ok = false;
  }
  return ok;
}
