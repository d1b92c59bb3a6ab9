#pragma once
// The geometry records of a mesh, read and written in the mesh's block
// after its properties: "GeometryVersion" 123, "Vertices", "Normals",
// "MaterialAssignation", "Materials", "TextureMode", "TextureId",
// "PolygonVertexIndex", "PolygonGroup", the patch parameters,
// "GeometryUVInfo", "GeometryLayer", "VertexColorInfo", the "Shape"
// records, then the layer elements and the "Layer" blocks.

#include "scene/geometry.h"

class VZynFile;

constexpr int kVGeometryVersion = 123;

// Reads the current block's geometry into `geometry` (cleared first) and
// fits it (VGeometryFit). Nothing is read when "GeometryVersion" is 0 or
// missing. Answers false only on a file error.
bool VGeometryRead(VZynFile& file, VGeometry& geometry);
bool VGeometryWrite(VZynFile& file, const VGeometry& geometry);
