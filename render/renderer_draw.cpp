// The renderer's passes: which meshes each pass draws, and how.

#include <algorithm>
#include <cmath>

#include "render/render_passes.h"
#include "render/renderer.h"
#include "render/renderer_internal.h"
#include "scene/camera.h"
#include "scene/material.h"
#include "scene/model.h"
#include "scene/model_polymesh.h"
#include "scene/model_shading.h"
#include "scene/scene.h"
#include "scene/shader.h"
#include "scene/texture.h"

namespace {

constexpr float kXRayAlpha = 0.35f;  // translucent enough for hidden models to show

enum BufferSlot { kPositions, kNormals, kUVs, kTriangles, kEdges };

VMaterialInput MaterialInput(const VMaterial* m) {
  VMaterialInput in;
  if (m == nullptr) return in;
  const YrSDK::YrVector3<double> a = m->GetAmbient(), d = m->GetDiffuse(), s = m->GetSpecular(), e = m->GetEmissive();
  for (int i = 0; i < 3; ++i) {
    in.ambient[i] = a[i];
    in.diffuse[i] = d[i];
    in.specular[i] = s[i];
    in.emissive[i] = e[i];
  }
  in.opacity = m->GetOpacity();
  in.shininess = m->GetShininess();
  return in;
}

std::size_t Bytes(const std::vector<float>& v) { return v.size() * sizeof(float); }
std::size_t Bytes(const std::vector<std::uint32_t>& v) { return v.size() * sizeof(std::uint32_t); }

}  // namespace

// --- the draw list ----------------------------------------------------------------------------

void VOGLRenderer::CollectItems(const VGLFunctions& gl, Frame& frame) {
  const std::uint64_t frame_number = stats_.frames;
  for (const auto& object : scene_->objects()) {
    auto* mesh = dynamic_cast<VModelPolymesh*>(object.get());
    if (mesh == nullptr || !mesh->IsVisible()) continue;

    MeshEntry& entry = meshes_->entries[mesh];
    entry.last_frame = frame_number;
    const bool rebuilt = entry.stamp != mesh->GetGeometryStamp();
    if (rebuilt) {
      VBuildMeshDrawData(mesh->GetGeometry(), mesh->GetTriangulation(), entry.data);
      entry.stamp = mesh->GetGeometryStamp();
      entry.positions_serial = 0;
      entry.uploaded = false;
    }
    if (entry.data.triangles.empty() && entry.data.edges.empty()) continue;

    // A deforming mesh refreshes positions and normals once per evaluation.
    bool moved = false;
    if (mesh->HasDeformers()) {
      const std::uint64_t serial = VEvaluateInfo::Default().Serial();
      if (serial != entry.positions_serial) {
        entry.positions_serial = serial;
        VUpdateMeshPositions(mesh->GetDeformedPoints(), false, entry.data, entry.scratch);
        moved = true;
      }
    }

    if (gl.has_buffers) {
      VMeshDrawData& d = entry.data;
      if (!entry.uploaded) {
        if (entry.buffers[0] == 0) gl.GenBuffers(5, entry.buffers);
        const GLenum usage = mesh->HasDeformers() ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW;
        auto upload = [&](int slot, GLenum target, const void* data, std::size_t bytes, GLenum how) {
          gl.BindBuffer(target, entry.buffers[slot]);
          gl.BufferData(target, static_cast<GLsizeiptr>(bytes), bytes ? data : nullptr, how);
          stats_.uploaded_bytes += bytes;
        };
        upload(kPositions, GL_ARRAY_BUFFER, d.positions.data(), Bytes(d.positions), usage);
        upload(kNormals, GL_ARRAY_BUFFER, d.normals.data(), Bytes(d.normals), usage);
        upload(kUVs, GL_ARRAY_BUFFER, d.uvs.data(), Bytes(d.uvs), GL_STATIC_DRAW);
        upload(kTriangles, GL_ELEMENT_ARRAY_BUFFER, d.triangles.data(), Bytes(d.triangles), GL_STATIC_DRAW);
        upload(kEdges, GL_ELEMENT_ARRAY_BUFFER, d.edges.data(), Bytes(d.edges), GL_STATIC_DRAW);
        gl.BindBuffer(GL_ARRAY_BUFFER, 0);
        gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        entry.uploaded = true;
      } else if (moved) {
        gl.BindBuffer(GL_ARRAY_BUFFER, entry.buffers[kPositions]);
        gl.BufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(Bytes(d.positions)), d.positions.data());
        gl.BindBuffer(GL_ARRAY_BUFFER, entry.buffers[kNormals]);
        gl.BufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(Bytes(d.normals)), d.normals.data());
        gl.BindBuffer(GL_ARRAY_BUFFER, 0);
        stats_.uploaded_bytes += Bytes(d.positions) + Bytes(d.normals);
      }
    } else if (rebuilt || moved) {
      // Without buffer objects every draw reads client memory.
      stats_.uploaded_bytes += Bytes(entry.data.positions) + Bytes(entry.data.normals);
    }

    DrawItem item;
    item.mesh = mesh;
    item.entry = &entry;
    item.matrix = &mesh->GetGlobalGeometricMatrix();
    int shading = mesh->GetShadingMode();
    VShader* shader = VGetModelShader(*mesh);
    if (shading == kVModelShadingDefault) {
      if (auto* wire = dynamic_cast<VWireShader*>(shader)) {
        item.wire = true;
        item.line_width = static_cast<float>(wire->GetLineWidth());
      } else if (auto* flat = dynamic_cast<VFlatShader*>(shader)) {
        item.lit = false;
        item.passes = VShaderPassBits(false, flat->GetTransparency());
        item.alpha = static_cast<float>(flat->GetAlpha());
        item.use_specific_color = flat->GetColorSource() == kVFlatColorSpecific;
        const YrSDK::YrVector3<double> c = flat->GetSpecificColor();
        for (int i = 0; i < 3; ++i) item.specific_color[i] = static_cast<float>(c[i]);
        if (flat->GetUseLuminosity()) item.luminosity = static_cast<float>(flat->GetLuminosityFactor() * 0.01);
        item.textured = true;
      } else {
        auto* lighted = dynamic_cast<VLightedShader*>(shader);
        item.passes = VShaderPassBits(true, lighted ? lighted->GetTransparency() : 0);
        if (lighted) {
          item.lighted.alpha = lighted->GetAlpha();
          item.lighted.use_contrast = lighted->GetUseContrast();
          item.lighted.contrast = lighted->GetContrast();
          item.lighted.use_luminosity = lighted->GetUseLuminosity();
          item.lighted.luminosity = lighted->GetLuminosity();
          item.lighted.use_specular = lighted->GetUseSpecular();
          item.lighted.specular = lighted->GetSpecular();
        }
        item.textured = true;
      }
    } else if (shading == kVModelShadingWire) {
      item.wire = true;
    } else {
      item.passes = VRenderPassBit(kVPassLighted);
      item.flat_shading = shading == kVModelShadingFlat;
      item.textured = shading == kVModelShadingTexture;
    }
    if (item.wire) item.passes = VRenderPassBit(kVPassOtherPrimitive);
    if (viewing_mode_ == kVViewingXRay && !item.wire) {
      item.passes = VRenderPassBit(kVPassTranslucent);
      item.alpha = kXRayAlpha;
    }
    // Depth of the mesh's centre along the view, for the z-sorted pass.
    const float* lo = entry.data.min;
    const float* hi = entry.data.max;
    const double c[3] = {(lo[0] + hi[0]) * 0.5, (lo[1] + hi[1]) * 0.5, (lo[2] + hi[2]) * 0.5};
    const YrSDK::YrMatrix mv = VRenderMultiply(*item.matrix, frame.view);
    item.eye_depth = c[0] * mv(0, 2) + c[1] * mv(1, 2) + c[2] * mv(2, 2) + mv(3, 2);
    frame.items.push_back(item);
  }

  // Release meshes that left the scene (or were hidden long enough to be
  // dropped from the cache).
  for (auto it = meshes_->entries.begin(); it != meshes_->entries.end();) {
    if (it->second.last_frame != frame_number) {
      for (unsigned int name : it->second.buffers)
        if (name != 0) meshes_->released.push_back(name);
      it = meshes_->entries.erase(it);
    } else {
      ++it;
    }
  }
  // Items keep pointers into the cache: erase above never touches the
  // entries of this frame, and nothing is added after this point.
  for (DrawItem& item : frame.items) item.entry = &meshes_->entries[item.mesh];

  frame.sorted.clear();
  for (const DrawItem& item : frame.items)
    if (item.passes & VRenderPassBit(kVPassTranslucentZSort)) frame.sorted.push_back(&item);
  // Eye space looks down -z: the farthest model has the most negative depth.
  std::stable_sort(frame.sorted.begin(), frame.sorted.end(),
                   [](const DrawItem* a, const DrawItem* b) { return a->eye_depth < b->eye_depth; });
}

// --- passes -------------------------------------------------------------------------------------

void VOGLRenderer::RunPass(const VGLFunctions& gl, int pass_index, Frame& frame) {
  const VRenderPass pass = static_cast<VRenderPass>(pass_index);
  const std::uint32_t bit = VRenderPassBit(pass);

  if (pass == kVPassOtherPrimitive) {
    gl.Disable(GL_LIGHTING);
    if (frame.show_grid) DrawGrid(gl, frame);
    if (viewing_mode_ != kVViewingModelsOnly) DrawGizmos(gl, frame);
  }

  // Pass state.
  const bool blends = VRenderPassBlends(pass);
  const bool depth_only = VRenderPassDepthOnly(pass);
  if (blends) {
    gl.Enable(GL_BLEND);
    if (pass == kVPassAddColor || pass == kVPassAddColorZSort)
      gl.BlendFunc(GL_ONE, GL_ONE);
    else
      gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.DepthMask(GL_FALSE);
    // The frame stays opaque: blending mixes colours, not the frame's alpha.
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
  }
  if (depth_only) gl.ColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  if (pass == kVPassZTranslucentAlphaTest) {
    gl.Enable(GL_ALPHA_TEST);
    gl.AlphaFunc(GL_GEQUAL, 0.5f);
  }

  if (pass == kVPassTranslucentZSort) {
    for (const DrawItem* item : frame.sorted) DrawMesh(gl, *item, pass, frame);
  } else {
    for (const DrawItem& item : frame.items)
      if (item.passes & bit) DrawMesh(gl, item, pass, frame);
  }

  if (pass == kVPassZTranslucentAlphaTest) gl.Disable(GL_ALPHA_TEST);
  if (depth_only || blends) gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  if (blends) {
    gl.Disable(GL_BLEND);
    gl.DepthMask(GL_TRUE);
  }
}

void VOGLRenderer::DrawMesh(const VGLFunctions& gl, const DrawItem& item, int pass, Frame& frame) {
  MeshEntry& entry = *item.entry;
  const VMeshDrawData& d = entry.data;
  const bool buffers = gl.has_buffers && entry.uploaded;
  stats_.meshes++;

  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadMatrixd(frame.view.Data());
  gl.MultMatrixd(item.matrix->Data());

  auto bind = [&](int slot, GLenum target) {
    if (buffers) gl.BindBuffer(target, entry.buffers[slot]);
  };
  auto at = [&](const void* data) -> const void* { return buffers ? nullptr : data; };

  bind(kPositions, GL_ARRAY_BUFFER);
  gl.EnableClientState(GL_VERTEX_ARRAY);
  gl.VertexPointer(3, GL_FLOAT, 0, at(d.positions.data()));

  const std::vector<VMaterial*> materials = VGetModelMaterials(*item.mesh);
  auto material_of = [&](int index) -> const VMaterial* {
    if (materials.empty()) return nullptr;
    return index >= 0 && static_cast<std::size_t>(index) < materials.size() ? materials[static_cast<std::size_t>(index)]
                                                                            : materials.front();
  };

  if (item.wire) {
    // Edges only, each in its polygon's material's diffuse colour.
    gl.Disable(GL_LIGHTING);
    gl.Disable(GL_TEXTURE_2D);
    gl.LineWidth(std::clamp(item.line_width, 1.0f, 16.0f));
    bind(kEdges, GL_ELEMENT_ARRAY_BUFFER);
    for (const VMeshBatch& batch : d.edge_batches) {
      const VMaterialInput m = MaterialInput(material_of(batch.material));
      gl.Color4f(static_cast<float>(m.diffuse[0]), static_cast<float>(m.diffuse[1]),
                 static_cast<float>(m.diffuse[2]), 1.0f);
      const std::uintptr_t offset = static_cast<std::uintptr_t>(batch.first) * sizeof(std::uint32_t);
      const void* indices = buffers ? reinterpret_cast<const void*>(offset) : d.edges.data() + batch.first;
      gl.DrawElements(GL_LINES, static_cast<GLsizei>(batch.count), GL_UNSIGNED_INT, indices);
    }
    gl.LineWidth(1.0f);
    gl.DisableClientState(GL_VERTEX_ARRAY);
    if (buffers) {
      gl.BindBuffer(GL_ARRAY_BUFFER, 0);
      gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
    return;
  }

  const bool depth_only = VRenderPassDepthOnly(static_cast<VRenderPass>(pass));
  const bool lit = item.lit && !depth_only;
  if (lit) {
    gl.Enable(GL_LIGHTING);
    bind(kNormals, GL_ARRAY_BUFFER);
    gl.EnableClientState(GL_NORMAL_ARRAY);
    gl.NormalPointer(GL_FLOAT, 0, at(d.normals.data()));
  } else {
    gl.Disable(GL_LIGHTING);
  }
  gl.ShadeModel(item.flat_shading ? GL_FLAT : GL_SMOOTH);
  const std::vector<VTexture*> textures = item.textured && !d.uvs.empty() && !depth_only
                                              ? VGetModelTextures(*item.mesh)
                                              : std::vector<VTexture*>();
  if (!textures.empty()) {
    bind(kUVs, GL_ARRAY_BUFFER);
    gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.TexCoordPointer(2, GL_FLOAT, 0, at(d.uvs.data()));
    gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  }
  bind(kTriangles, GL_ELEMENT_ARRAY_BUFFER);

  const float alpha_override = viewing_mode_ == kVViewingXRay ? kXRayAlpha : -1.0f;
  bool separate_now = false;  // the colour control the frame starts with
  const bool program = lit && lighting_.IsReady() && use_lighting_program_;
  bool in_program = false;
  VLightingVariant variant;
  std::copy(light_kind_, light_kind_ + VLightingProgram::kMaxLights, variant.light_kind);
  variant.local_viewer = local_viewer_;
  variant.fog_mode = fog_mode_;
  for (const VMeshBatch& batch : d.batches) {
    const VMaterialInput m = MaterialInput(material_of(batch.material));
    if (lit) {
      const VMaterialSetup s = VLightedMaterialSetup(m, item.lighted);
      float diffuse[4] = {s.diffuse[0], s.diffuse[1], s.diffuse[2], s.diffuse[3]};
      if (alpha_override >= 0) diffuse[3] = alpha_override;
      gl.Materialfv(GL_FRONT, GL_AMBIENT, s.ambient);
      gl.Materialfv(GL_FRONT, GL_DIFFUSE, diffuse);
      gl.Materialfv(GL_FRONT, GL_SPECULAR, s.specular);
      gl.Materialfv(GL_FRONT, GL_EMISSION, s.emission);
      gl.Materialf(GL_FRONT, GL_SHININESS, s.shininess);
      const bool textured_batch = !textures.empty() && batch.texture >= 0;
      const bool specular = s.specular[0] > 0.0f || s.specular[1] > 0.0f || s.specular[2] > 0.0f;
      const bool separate = separate_specular_ && textured_batch && specular;
      if (program) {
        variant.textured = textured_batch;
        variant.specular = specular;
        variant.separate_specular = separate;
        in_program = lighting_.Use(gl, variant);
      }
      if (!in_program && separate != separate_now) {
        gl.LightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, separate ? GL_SEPARATE_SPECULAR_COLOR : GL_SINGLE_COLOR);
        separate_now = separate;
      }
    } else {
      float c[3];
      for (int i = 0; i < 3; ++i)
        c[i] = (item.use_specific_color ? item.specific_color[i] : static_cast<float>(m.diffuse[i])) * item.luminosity;
      const float a = alpha_override >= 0 ? alpha_override
                                          : static_cast<float>(std::clamp(m.opacity * item.alpha, 0.0, 1.0));
      gl.Color4f(c[0], c[1], c[2], a);
    }
    bool texturing = false;
    if (!textures.empty() && batch.texture >= 0) {
      const std::size_t t = static_cast<std::size_t>(batch.texture) < textures.size()
                                ? static_cast<std::size_t>(batch.texture)
                                : 0;
      auto known = frame_textures_.find(textures[t]);
      if (known == frame_textures_.end())
        known = frame_textures_
                    .emplace(textures[t], textures_.GetTexture(gl, textures[t]->GetImageCandidates(scene_path_)))
                    .first;
      const GLuint name = known->second;
      gl.Enable(GL_TEXTURE_2D);
      gl.BindTexture(GL_TEXTURE_2D, name);
      // The texture's placement on the model: scaled, then moved.
      const YrSDK::YrVector2<double> scale = textures[t]->GetUVScaling();
      const YrSDK::YrVector2<double> move = textures[t]->GetUVTranslation();
      YrSDK::YrMatrix placement;
      placement(0, 0) = scale.x;
      placement(1, 1) = scale.y;
      placement(3, 0) = move.x;
      placement(3, 1) = move.y;
      gl.MatrixMode(GL_TEXTURE);
      gl.LoadMatrixd(placement.Data());
      gl.MatrixMode(GL_MODELVIEW);
      texturing = true;
    }
    const std::uintptr_t offset = static_cast<std::uintptr_t>(batch.first) * sizeof(std::uint32_t);
    const void* indices = buffers ? reinterpret_cast<const void*>(offset) : d.triangles.data() + batch.first;
    gl.DrawElements(GL_TRIANGLES, static_cast<GLsizei>(batch.count), GL_UNSIGNED_INT, indices);
    stats_.triangles += batch.count / 3;
    if (texturing) {
      gl.MatrixMode(GL_TEXTURE);
      gl.LoadIdentity();
      gl.MatrixMode(GL_MODELVIEW);
      gl.BindTexture(GL_TEXTURE_2D, 0);
      gl.Disable(GL_TEXTURE_2D);
    }
  }

  if (separate_now) gl.LightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
  if (in_program) lighting_.Release(gl);
  gl.DisableClientState(GL_VERTEX_ARRAY);
  gl.DisableClientState(GL_NORMAL_ARRAY);
  gl.DisableClientState(GL_TEXTURE_COORD_ARRAY);
  if (buffers) {
    gl.BindBuffer(GL_ARRAY_BUFFER, 0);
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
  gl.ShadeModel(GL_SMOOTH);
}
