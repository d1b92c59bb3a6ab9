#pragma once
// Layers of per-element data of a geometry: normals, materials, textures,
// UVs, colours and polygon groups, each with a mapping code that says what
// one datum belongs to (the whole mesh, a control point, a polygon or a
// polygon corner) and whether an index array selects the data.

#include <cstdint>
#include <string>
#include <vector>

// Mapping codes: odd = direct (one datum per mapped element, in order),
// even = indexed (an index array selects from the data).
enum VMappingMode : int {
  kVMappingNone = 0,
  kVMappingAllSameDirect = 1,
  kVMappingAllSameIndexed = 2,
  kVMappingByVerticeDirect = 3,
  kVMappingByVerticeIndexed = 4,
  kVMappingByPolygonDirect = 5,
  kVMappingByPolygonIndexed = 6,
  kVMappingByPolygonVertexDirect = 7,
  kVMappingByPolygonVertexIndexed = 8,
};

// What the elements of a mapping are.
enum VMappingTarget : int { kVMapsNothing, kVMapsAll, kVMapsPoints, kVMapsPolygons, kVMapsCorners };

VMappingTarget VMappingTargetOf(int mode);
inline bool VMappingIsIndexed(int mode) { return mode > 0 && mode <= 8 && mode % 2 == 0; }
// "NoMappingInformation", "AllSame", "ByVertice", "ByPolygon", "ByPolygonVertex".
const char* VMappingInformationText(int mode);
// "Direct" or "IndexToDirect" ("Index" for indexed modes when `short_index`).
const char* VReferenceInformationText(int mode, bool short_index);
// The code of a pair read from a file; 0 when the pair means nothing.
int VMappingModeOf(const std::string& mapping, const std::string& reference);

// The element kinds, by the name of their record.
enum VLayerElementKind : int {
  kVLayerNormal,
  kVLayerMaterial,
  kVLayerTexture,
  kVLayerUV,
  kVLayerColor,
  kVLayerPolygonGroup,
  kVLayerKindCount,
};
const char* VLayerElementName(int kind);  // "LayerElementNormal", ...
int VLayerElementKindOf(const std::string& name);  // -1 when unknown
// Doubles per datum: 3 normals, 2 UVs, 4 colours, 0 for the id kinds
// (materials, textures, polygon groups), whose data are the ids.
int VLayerElementComponents(int kind);

struct VLayerElement {
  int kind = kVLayerNormal;
  int typed_index = 0;  // the record's value: which element of its kind
  int version = 101;
  int mapping = kVMappingNone;
  std::vector<double> data;      // components per datum
  std::vector<std::int32_t> ids;  // index array (UV, colour) or the ids themselves
  // Texture elements only.
  int blend_mode = 0;  // 0 "Translucent" ... 4 "MaxBlend"
  double alpha = 1.0;

  bool operator==(const VLayerElement& o) const {
    return kind == o.kind && typed_index == o.typed_index && version == o.version && mapping == o.mapping &&
           data == o.data && ids == o.ids && blend_mode == o.blend_mode && alpha == o.alpha;
  }
};

struct VLayerEntry {
  std::string type;  // a layer element's record name
  int typed_index = 0;
  bool operator==(const VLayerEntry& o) const { return type == o.type && typed_index == o.typed_index; }
};

struct VLayer {
  int index = 0;
  int version = 100;
  std::vector<VLayerEntry> entries;
  bool operator==(const VLayer& o) const { return index == o.index && version == o.version && entries == o.entries; }
};

// Makes an element consistent with a geometry of these counts so that
// nothing reading it can leave its arrays: direct data and index arrays get
// exactly one entry per mapped element (missing ones are zero), indices
// outside the data become 0 (with one zero datum when there was none) and
// values that are not finite become 0.
void VLayerElementFit(VLayerElement& element, std::size_t points, std::size_t polygons, std::size_t corners);
