#include "scene/geometry_io.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "zynfile/field_block.h"
#include "zynfile/zyn_file.h"

using YrSDK::YrVector3;
using YrSDK::YrVector4;

namespace {

// Every value of the field (as many as the file holds: the count is bounded
// by the file's size).
std::vector<double> ReadDoubles(VZynFile& file, const char* name) {
  std::vector<double> values;
  if (!file.FieldReadBegin(name)) return values;
  values.resize(static_cast<std::size_t>(std::max(0, file.FieldReadGetRemain())));
  values.resize(static_cast<std::size_t>(file.FieldReadDn(values.data(), static_cast<int>(values.size()))));
  file.FieldReadEnd();
  return values;
}

std::vector<std::int32_t> ReadInts(VZynFile& file, const char* name) {
  std::vector<std::int32_t> values;
  if (!file.FieldReadBegin(name)) return values;
  values.resize(static_cast<std::size_t>(std::max(0, file.FieldReadGetRemain())));
  values.resize(static_cast<std::size_t>(file.FieldReadIn(values.data(), static_cast<int>(values.size()))));
  file.FieldReadEnd();
  return values;
}

// Three doubles per point; a partial last point is dropped. Values beyond
// the float range become infinite here and 0 when the geometry is fitted.
std::vector<YrVector4<float>> ReadPoints(VZynFile& file, const char* name) {
  std::vector<double> values = ReadDoubles(file, name);
  std::vector<YrVector4<float>> points(values.size() / 3);
  for (std::size_t i = 0; i < points.size(); ++i) {
    points[i] = {static_cast<float>(values[3 * i]), static_cast<float>(values[3 * i + 1]),
                 static_cast<float>(values[3 * i + 2]), 1.0f};
  }
  return points;
}

// The file's negative form of a polygon's last corner becomes the end mark.
std::vector<std::uint32_t> ReadPolygonIndex(VZynFile& file) {
  std::vector<std::int32_t> values = ReadInts(file, "PolygonVertexIndex");
  std::vector<std::uint32_t> index(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::int64_t v = values[i];
    index[i] = v < 0 ? static_cast<std::uint32_t>(-1 - v) | kVPolygonEnd : static_cast<std::uint32_t>(v);
  }
  return index;
}

std::int32_t PlusOne(std::int32_t v) { return v == std::numeric_limits<std::int32_t>::max() ? v : v + 1; }

void ReadUVInfo(VZynFile& file, VGeometryUVInfo& info) {
  info.present = true;
  info.version = file.FieldReadI("Version", info.version);
  info.mapping = file.FieldReadC("MappingInformationType", info.mapping);
  info.uv = ReadDoubles(file, "TextureUV");
  info.uv_index = ReadInts(file, "TextureUVVerticeIndex");
}

void ReadLayerInfo(VZynFile& file, VGeometryLayerInfo& info) {
  info.present = true;
  info.layer_index = file.FieldReadI("LayerIndex", 0);
  VZynReadFieldBlock(file, "LayerTextureInfo", 0, [&] {
    info.texture_mode = file.FieldReadI("TextureMode", 0);
    info.blend_mode = file.FieldReadI("TextureBlendMode", 0);
    info.alpha = file.FieldReadD("TextureAlpha", 1.0);
    info.texture_ids = ReadInts(file, "TextureId");
    info.uv_mode = file.FieldReadI("UVMode", 0);
    info.uv_count = file.FieldReadI("UVCount", 0);
    info.uv_ids = ReadInts(file, "UVId");
  });
}

void ReadVertexColors(VZynFile& file, VVertexColorInfo& info) {
  info.present = true;
  info.version = file.FieldReadI("Version", info.version);
  info.mapping = file.FieldReadC("MappingInformationType", info.mapping);
  info.colors = ReadDoubles(file, "Colors");
  info.color_index = ReadInts(file, "ColorIndex");
}

// The fields of each element kind: its data and its ids (index array or
// the ids themselves).
struct ElementFields {
  const char* data;
  const char* ids;
};
const ElementFields kElementFields[kVLayerKindCount] = {
    {"Normals", nullptr}, {nullptr, "Materials"}, {nullptr, "TextureId"},
    {"UV", "UVIndex"},    {"Colors", "ColorIndex"}, {nullptr, "PolygonGroup"}};

// Texture elements write their indexed references the short way.
bool ShortIndexText(int kind) { return kind == kVLayerTexture; }

bool ReadElement(VZynFile& file, int kind, VLayerElement& e) {
  e.kind = kind;
  e.version = file.FieldReadI("Version", e.version);
  e.mapping = VMappingModeOf(file.FieldReadC("MappingInformationType", ""), file.FieldReadC("ReferenceInformationType", ""));
  if (kind == kVLayerMaterial) {
    // Materials are indexed by nature: only the indexed modes mean something.
    if (e.mapping == kVMappingAllSameIndexed) e.mapping = kVMappingAllSameDirect;
    else if (e.mapping != kVMappingByVerticeIndexed && e.mapping != kVMappingByPolygonIndexed) e.mapping = 0;
  }
  // Normals have no index array: an indexed normal element is read as direct.
  if (kind == kVLayerNormal && VMappingIsIndexed(e.mapping)) --e.mapping;
  if (e.mapping == kVMappingNone) return false;
  const ElementFields& f = kElementFields[kind];
  if (f.data) e.data = ReadDoubles(file, f.data);
  if (f.ids) e.ids = ReadInts(file, f.ids);
  if (kind == kVLayerTexture) {
    e.blend_mode = file.FieldReadI("BlendMode", 0);
    e.alpha = file.FieldReadD("TextureAlpha", 1.0);
  }
  return true;
}

void ReadLayer(VZynFile& file, VLayer& layer) {
  layer.version = file.FieldReadI("Version", layer.version);
  for (int i = 0;; ++i) {
    VLayerEntry entry;
    if (!VZynReadFieldBlock(file, "LayerElement", i, [&] {
          entry.type = file.FieldReadC("Type", "");
          entry.typed_index = file.FieldReadI("TypedIndex", 0);
        }))
      break;
    layer.entries.push_back(entry);
  }
}

// --- writing -------------------------------------------------------------------

void WriteInts(VZynFile& file, const char* name, const std::vector<std::int32_t>& values) {
  file.FieldWriteBegin(name);
  for (std::int32_t v : values) file.FieldWriteI(v);
  file.FieldWriteEnd();
}

void WriteDoubles(VZynFile& file, const char* name, const std::vector<double>& values) {
  file.FieldWriteBegin(name);
  file.FieldWriteDn(values.data(), values.size());
  file.FieldWriteEnd();
}

void WritePoints(VZynFile& file, const char* name, const std::vector<YrVector4<float>>& points) {
  std::vector<double> values(points.size() * 3);
  for (std::size_t i = 0; i < points.size(); ++i) {
    values[3 * i] = points[i].x;
    values[3 * i + 1] = points[i].y;
    values[3 * i + 2] = points[i].z;
  }
  WriteDoubles(file, name, values);
}

void WritePolygonIndex(VZynFile& file, const std::vector<std::uint32_t>& index) {
  file.FieldWriteBegin("PolygonVertexIndex");
  for (std::uint32_t v : index) {
    const std::int64_t point = v & kVPolygonIndexMask;
    file.FieldWriteI(static_cast<std::int32_t>((v & kVPolygonEnd) ? -point - 1 : point));
  }
  file.FieldWriteEnd();
}

void WritePatch(VZynFile& file, char axis, const VGeometryPatch& p) {
  if (p.extended_count == 0) return;
  const std::string a(1, axis);
  file.FieldWriteI((a + "ExtendedCount").c_str(), p.extended_count);
  file.FieldWriteI((a + "Closed").c_str(), p.closed);
  file.FieldWriteI((a + "TopCap").c_str(), p.top_cap);
  file.FieldWriteI((a + "Step").c_str(), p.step);
  file.FieldWriteI((a + "Count").c_str(), p.count);
}

void ReadPatch(VZynFile& file, char axis, VGeometryPatch& p) {
  const std::string a(1, axis);
  p.extended_count = file.FieldReadI((a + "ExtendedCount").c_str(), 0);
  p.closed = file.FieldReadI((a + "Closed").c_str(), 0);
  p.top_cap = file.FieldReadI((a + "TopCap").c_str(), 0);
  p.step = file.FieldReadI((a + "Step").c_str(), 0);
  p.count = file.FieldReadI((a + "Count").c_str(), 0);
}

const char* MaterialAssignationText(int a) {
  return a == kVMaterialByPolygon ? "ByPolygon" : a == kVMaterialByVertice ? "ByVertice" : "AllSame";
}

void WriteElement(VZynFile& file, const VLayerElement& e) {
  file.FieldWriteBegin(VLayerElementName(e.kind));
  file.FieldWriteI(e.typed_index);
  file.FieldWriteBlockBegin();
  file.FieldWriteI("Version", e.version);
  file.FieldWriteC("MappingInformationType", std::string(VMappingInformationText(e.mapping)));
  file.FieldWriteC("ReferenceInformationType", std::string(VReferenceInformationText(e.mapping, ShortIndexText(e.kind))));
  const ElementFields& f = kElementFields[e.kind];
  if (e.kind == kVLayerTexture) {
    file.FieldWriteI("BlendMode", e.blend_mode);
    file.FieldWriteD("TextureAlpha", e.alpha);
  }
  if (f.data) WriteDoubles(file, f.data, e.data);
  if (f.ids && (!f.data || VMappingIsIndexed(e.mapping))) WriteInts(file, f.ids, e.ids);
  file.FieldWriteBlockEnd();
  file.FieldWriteEnd();
}

}  // namespace

bool VGeometryRead(VZynFile& file, VGeometry& g) {
  g = VGeometry();
  if (file.FieldReadI("GeometryVersion", 0) == 0) return !file.HasError();
  g.points = ReadPoints(file, "Vertices");
  const std::string assignation = file.FieldReadC("MaterialAssignation", "AllSame");
  g.material_assignation = assignation == "ByPolygon" ? kVMaterialByPolygon
                           : assignation == "ByVertice" ? kVMaterialByVertice
                                                        : kVMaterialAllSame;
  g.polygon_vertex_index = ReadPolygonIndex(file);
  std::size_t polygons = 0;
  for (std::uint32_t v : g.polygon_vertex_index) polygons += (v & kVPolygonEnd) ? 1 : 0;
  if (!g.polygon_vertex_index.empty() && !(g.polygon_vertex_index.back() & kVPolygonEnd)) ++polygons;  // unterminated
  g.materials = ReadInts(file, "Materials");
  if (g.material_assignation == kVMaterialByPolygon) {
    for (std::int32_t& m : g.materials) m = PlusOne(m);
  }
  // One value stands for every polygon (or point).
  if (g.materials.size() == 1 && g.material_assignation != kVMaterialAllSame) {
    g.materials.assign(g.material_assignation == kVMaterialByPolygon ? polygons : g.points.size(), g.materials[0]);
  }
  g.texture_mode = file.FieldReadC("TextureMode", "ByModel") == "ByPolygon" ? kVTextureByPolygon : kVTextureByModel;
  if (g.texture_mode == kVTextureByPolygon) g.texture_ids = ReadInts(file, "TextureId");
  g.polygon_groups = ReadInts(file, "PolygonGroup");
  ReadPatch(file, 'U', g.u);
  ReadPatch(file, 'V', g.v);
  VZynReadFieldBlock(file, "GeometryUVInfo", 0, [&] { ReadUVInfo(file, g.uv_info); });
  VZynReadFieldBlock(file, "GeometryLayer", 0, [&] { ReadLayerInfo(file, g.layer_info); });
  VZynReadFieldBlock(file, "VertexColorInfo", 0, [&] { ReadVertexColors(file, g.vertex_colors); });
  for (int i = 0; file.FieldReadBegin("Shape", i); ++i) {
    VShape shape;
    shape.name = file.FieldReadC();
    if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
      shape.points = ReadPoints(file, "Vertices");
      shape.polygon_vertex_index = ReadPolygonIndex(file);
      file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
    g.shapes.push_back(std::move(shape));
  }
  for (int kind = 0; kind < kVLayerKindCount; ++kind) {
    for (int i = 0; file.FieldReadBegin(VLayerElementName(kind), i); ++i) {
      VLayerElement e;
      e.typed_index = file.FieldReadI();
      bool keep = file.FieldReadIsBlock() && file.FieldReadBlockBegin();
      if (keep) {
        keep = ReadElement(file, kind, e);
        file.FieldReadBlockEnd();
      }
      file.FieldReadEnd();
      if (keep) g.elements.push_back(std::move(e));  // a pair that means nothing skips the element
    }
  }
  for (int i = 0; file.FieldReadBegin("Layer", i); ++i) {
    VLayer layer;
    layer.index = file.FieldReadI();
    if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
      ReadLayer(file, layer);
      file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
    g.layers.push_back(std::move(layer));
  }
  // Normals come last, three per control point.
  std::vector<YrVector4<float>> normals = ReadPoints(file, "Normals");
  g.normals.resize(normals.size());
  for (std::size_t i = 0; i < normals.size(); ++i) g.normals[i] = {normals[i].x, normals[i].y, normals[i].z};
  VGeometryFit(g);
  return !file.HasError();
}

bool VGeometryWrite(VZynFile& file, const VGeometry& g) {
  file.FieldWriteI("GeometryVersion", kVGeometryVersion);
  if (!g.points.empty()) {
    WritePoints(file, "Vertices", g.points);
    if (!g.normals.empty()) {
      std::vector<double> values(g.normals.size() * 3);
      for (std::size_t i = 0; i < g.normals.size(); ++i) {
        values[3 * i] = g.normals[i].x;
        values[3 * i + 1] = g.normals[i].y;
        values[3 * i + 2] = g.normals[i].z;
      }
      WriteDoubles(file, "Normals", values);
    }
  }
  file.FieldWriteC("MaterialAssignation", std::string(MaterialAssignationText(g.material_assignation)));
  if (!g.materials.empty()) {
    std::vector<std::int32_t> materials = g.materials;
    if (g.material_assignation == kVMaterialByPolygon) {
      for (std::int32_t& m : materials) m = m == std::numeric_limits<std::int32_t>::min() ? m : m - 1;
    }
    WriteInts(file, "Materials", materials);
  }
  file.FieldWriteC("TextureMode", std::string(g.texture_mode == kVTextureByPolygon ? "ByPolygon" : "ByModel"));
  if (g.texture_mode == kVTextureByPolygon) WriteInts(file, "TextureId", g.texture_ids);
  if (!g.polygon_vertex_index.empty()) WritePolygonIndex(file, g.polygon_vertex_index);
  if (!g.polygon_groups.empty()) WriteInts(file, "PolygonGroup", g.polygon_groups);
  WritePatch(file, 'U', g.u);
  WritePatch(file, 'V', g.v);
  if (g.uv_info.present) {
    file.FieldWriteBlockBegin("GeometryUVInfo");
    file.FieldWriteI("Version", g.uv_info.version);
    file.FieldWriteC("MappingInformationType", g.uv_info.mapping);
    WriteDoubles(file, "TextureUV", g.uv_info.uv);
    WriteInts(file, "TextureUVVerticeIndex", g.uv_info.uv_index);
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
  }
  if (g.layer_info.present) {
    const VGeometryLayerInfo& l = g.layer_info;
    file.FieldWriteBlockBegin("GeometryLayer");
    file.FieldWriteI("LayerIndex", l.layer_index);
    file.FieldWriteBlockBegin("LayerTextureInfo");
    file.FieldWriteI("TextureMode", l.texture_mode);
    file.FieldWriteI("TextureBlendMode", l.blend_mode);
    file.FieldWriteD("TextureAlpha", l.alpha);
    file.FieldWriteI("TextureIdCount", static_cast<std::int32_t>(l.texture_ids.size()));
    WriteInts(file, "TextureId", l.texture_ids);
    file.FieldWriteI("UVMode", l.uv_mode);
    file.FieldWriteI("UVCount", l.uv_count);
    file.FieldWriteI("UVIdCount", static_cast<std::int32_t>(l.uv_ids.size()));
    WriteInts(file, "UVId", l.uv_ids);
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
  }
  if (g.vertex_colors.present) {
    file.FieldWriteBlockBegin("VertexColorInfo");
    file.FieldWriteI("Version", g.vertex_colors.version);
    file.FieldWriteC("MappingInformationType", g.vertex_colors.mapping);
    WriteDoubles(file, "Colors", g.vertex_colors.colors);
    WriteInts(file, "ColorIndex", g.vertex_colors.color_index);
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
  }
  for (const VShape& shape : g.shapes) {
    file.FieldWriteBegin("Shape");
    file.FieldWriteC(shape.name);
    file.FieldWriteBlockBegin();
    WritePoints(file, "Vertices", shape.points);
    if (!shape.polygon_vertex_index.empty()) WritePolygonIndex(file, shape.polygon_vertex_index);
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
  }
  for (const VLayerElement& e : g.elements) {
    if (e.mapping != kVMappingNone && e.kind >= 0 && e.kind < kVLayerKindCount) WriteElement(file, e);
  }
  for (const VLayer& layer : g.layers) {
    file.FieldWriteBegin("Layer");
    file.FieldWriteI(layer.index);
    file.FieldWriteBlockBegin();
    file.FieldWriteI("Version", layer.version);
    for (const VLayerEntry& entry : layer.entries) {
      file.FieldWriteBlockBegin("LayerElement");
      file.FieldWriteC("Type", entry.type);
      file.FieldWriteI("TypedIndex", entry.typed_index);
      file.FieldWriteBlockEnd();
      file.FieldWriteEnd();
    }
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
  }
  return !file.HasError();
}
