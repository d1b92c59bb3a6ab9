#pragma once
// The OpenGL entry points the renderer calls, resolved once per context
// through that context's own loader (eglGetProcAddress, OSMesaGetProcAddress).
//
// Nothing here links libGL: with several OpenGL implementations in one
// process (an EGL driver and the OSMesa software rasteriser), a direct call
// to a libGL symbol reaches whichever implementation the dispatcher knows,
// not the context that is current. Every call goes through the table of the
// context that was made current on this thread.

#include <cstdint>

#include <GL/gl.h>
#include <GL/glext.h>

// X(return type, name without the "gl" prefix, parameter list).
// Core OpenGL 1.1 fixed-function entry points: required.
#define QTZYN_GL_CORE_FUNCTIONS(X)                                                                     \
  X(void, Accum, (GLenum op, GLfloat value))                                                          \
  X(void, AlphaFunc, (GLenum func, GLclampf ref))                                                     \
  X(void, Begin, (GLenum mode))                                                                       \
  X(void, BindTexture, (GLenum target, GLuint texture))                                               \
  X(void, BlendFunc, (GLenum sfactor, GLenum dfactor))                                                \
  X(void, CallList, (GLuint list))                                                                    \
  X(void, Clear, (GLbitfield mask))                                                                   \
  X(void, ClearAccum, (GLfloat r, GLfloat g, GLfloat b, GLfloat a))                                   \
  X(void, ClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a))                               \
  X(void, ClearDepth, (GLclampd depth))                                                               \
  X(void, Color3f, (GLfloat r, GLfloat g, GLfloat b))                                                 \
  X(void, Color4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a))                                      \
  X(void, Color4fv, (const GLfloat* v))                                                               \
  X(void, ColorMask, (GLboolean r, GLboolean g, GLboolean b, GLboolean a))                            \
  X(void, ColorPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* ptr))                 \
  X(void, CopyTexSubImage2D, (GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x,      \
                              GLint y, GLsizei width, GLsizei height))                                \
  X(void, CullFace, (GLenum mode))                                                                    \
  X(void, DeleteLists, (GLuint list, GLsizei range))                                                  \
  X(void, DeleteTextures, (GLsizei n, const GLuint* textures))                                        \
  X(void, DepthFunc, (GLenum func))                                                                   \
  X(void, DepthMask, (GLboolean flag))                                                                \
  X(void, Disable, (GLenum cap))                                                                      \
  X(void, DisableClientState, (GLenum cap))                                                           \
  X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count))                                      \
  X(void, DrawBuffer, (GLenum mode))                                                                  \
  X(void, DrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid* indices))             \
  X(void, Enable, (GLenum cap))                                                                       \
  X(void, EnableClientState, (GLenum cap))                                                            \
  X(void, End, (void))                                                                                \
  X(void, EndList, (void))                                                                            \
  X(void, Finish, (void))                                                                             \
  X(void, Flush, (void))                                                                              \
  X(void, Fogf, (GLenum pname, GLfloat param))                                                        \
  X(void, Fogfv, (GLenum pname, const GLfloat* params))                                               \
  X(void, Fogi, (GLenum pname, GLint param))                                                          \
  X(void, FrontFace, (GLenum mode))                                                                   \
  X(GLuint, GenLists, (GLsizei range))                                                                \
  X(void, GenTextures, (GLsizei n, GLuint* textures))                                                 \
  X(GLenum, GetError, (void))                                                                         \
  X(void, GetFloatv, (GLenum pname, GLfloat* params))                                                 \
  X(void, GetIntegerv, (GLenum pname, GLint* params))                                                 \
  X(void, GetLightfv, (GLenum light, GLenum pname, GLfloat* params))                                  \
  X(void, GetMaterialfv, (GLenum face, GLenum pname, GLfloat* params))                                \
  X(const GLubyte*, GetString, (GLenum name))                                                         \
  X(void, Hint, (GLenum target, GLenum mode))                                                         \
  X(GLboolean, IsEnabled, (GLenum cap))                                                               \
  X(void, LightModelf, (GLenum pname, GLfloat param))                                                 \
  X(void, LightModelfv, (GLenum pname, const GLfloat* params))                                        \
  X(void, LightModeli, (GLenum pname, GLint param))                                                   \
  X(void, Lightf, (GLenum light, GLenum pname, GLfloat param))                                        \
  X(void, Lightfv, (GLenum light, GLenum pname, const GLfloat* params))                               \
  X(void, LineStipple, (GLint factor, GLushort pattern))                                              \
  X(void, LineWidth, (GLfloat width))                                                                 \
  X(void, LoadIdentity, (void))                                                                       \
  X(void, LoadMatrixd, (const GLdouble* m))                                                           \
  X(void, Materialf, (GLenum face, GLenum pname, GLfloat param))                                      \
  X(void, Materialfv, (GLenum face, GLenum pname, const GLfloat* params))                             \
  X(void, MatrixMode, (GLenum mode))                                                                  \
  X(void, MultMatrixd, (const GLdouble* m))                                                           \
  X(void, NewList, (GLuint list, GLenum mode))                                                        \
  X(void, Normal3f, (GLfloat x, GLfloat y, GLfloat z))                                                \
  X(void, NormalPointer, (GLenum type, GLsizei stride, const GLvoid* ptr))                            \
  X(void, Ortho, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f))            \
  X(void, PixelStorei, (GLenum pname, GLint param))                                                   \
  X(void, PointSize, (GLfloat size))                                                                  \
  X(void, PolygonMode, (GLenum face, GLenum mode))                                                    \
  X(void, PolygonOffset, (GLfloat factor, GLfloat units))                                             \
  X(void, PopAttrib, (void))                                                                          \
  X(void, PopMatrix, (void))                                                                          \
  X(void, PushAttrib, (GLbitfield mask))                                                              \
  X(void, PushMatrix, (void))                                                                         \
  X(void, ReadBuffer, (GLenum mode))                                                                  \
  X(void, ReadPixels, (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,   \
                       GLvoid* pixels))                                                               \
  X(void, Scissor, (GLint x, GLint y, GLsizei width, GLsizei height))                                 \
  X(void, ShadeModel, (GLenum mode))                                                                  \
  X(void, TexCoord2f, (GLfloat s, GLfloat t))                                                         \
  X(void, TexCoordPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* ptr))              \
  X(void, TexEnvi, (GLenum target, GLenum pname, GLint param))                                        \
  X(void, TexImage2D, (GLenum target, GLint level, GLint internalFormat, GLsizei width,               \
                       GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels)) \
  X(void, TexParameteri, (GLenum target, GLenum pname, GLint param))                                  \
  X(void, Translated, (GLdouble x, GLdouble y, GLdouble z))                                           \
  X(void, Vertex2f, (GLfloat x, GLfloat y))                                                           \
  X(void, Vertex3d, (GLdouble x, GLdouble y, GLdouble z))                                             \
  X(void, Vertex3f, (GLfloat x, GLfloat y, GLfloat z))                                                \
  X(void, VertexPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* ptr))                \
  X(void, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height))

// Buffer objects (OpenGL 1.5, or ARB_vertex_buffer_object): optional. Without
// them geometry is drawn from client memory.
#define QTZYN_GL_BUFFER_FUNCTIONS(X)                                                                   \
  X(void, BindBuffer, (GLenum target, GLuint buffer))                                                 \
  X(void, BufferData, (GLenum target, GLsizeiptr size, const GLvoid* data, GLenum usage))             \
  X(void, BufferSubData, (GLenum target, GLintptr offset, GLsizeiptr size, const GLvoid* data))       \
  X(void, DeleteBuffers, (GLsizei n, const GLuint* buffers))                                          \
  X(void, GenBuffers, (GLsizei n, GLuint* buffers))

// Programmable pipeline (OpenGL 2.0): optional. The renderer lights meshes
// with one program when it is there (see render/lighting_program.h) and
// with the fixed-function pipeline otherwise.
#define QTZYN_GL_SHADER_FUNCTIONS(X)                                                                   \
  X(void, AttachShader, (GLuint program, GLuint shader))                                              \
  X(void, BindAttribLocation, (GLuint program, GLuint index, const GLchar* name))                     \
  X(void, CompileShader, (GLuint shader))                                                             \
  X(GLuint, CreateProgram, (void))                                                                    \
  X(GLuint, CreateShader, (GLenum type))                                                              \
  X(void, DeleteProgram, (GLuint program))                                                            \
  X(void, DeleteShader, (GLuint shader))                                                              \
  X(void, DisableVertexAttribArray, (GLuint index))                                                   \
  X(void, EnableVertexAttribArray, (GLuint index))                                                    \
  X(void, GetProgramiv, (GLuint program, GLenum pname, GLint* params))                                \
  X(void, GetShaderiv, (GLuint shader, GLenum pname, GLint* params))                                  \
  X(GLint, GetUniformLocation, (GLuint program, const GLchar* name))                                  \
  X(void, LinkProgram, (GLuint program))                                                              \
  X(void, ShaderSource, (GLuint shader, GLsizei count, const GLchar* const* string,                   \
                         const GLint* length))                                                        \
  X(void, UniformMatrix4fv, (GLint location, GLsizei count, GLboolean transpose,                      \
                             const GLfloat* value))                                                   \
  X(void, Uniform3f, (GLint location, GLfloat a, GLfloat b, GLfloat c))                               \
  X(void, Uniform1f, (GLint location, GLfloat v))                                                     \
  X(void, Uniform1fv, (GLint location, GLsizei count, const GLfloat* value))                          \
  X(void, GetShaderInfoLog, (GLuint shader, GLsizei size, GLsizei* length, GLchar* log))             \
  X(void, Uniform1i, (GLint location, GLint v))                                                       \
  X(void, UseProgram, (GLuint program))                                                               \
  X(void, VertexAttribPointer, (GLuint index, GLint size, GLenum type, GLboolean normalized,          \
                                GLsizei stride, const GLvoid* pointer))

struct VGLFunctions {
#define QTZYN_GL_MEMBER(ret, name, params) ret(APIENTRY* name) params = nullptr;
  QTZYN_GL_CORE_FUNCTIONS(QTZYN_GL_MEMBER)
  QTZYN_GL_BUFFER_FUNCTIONS(QTZYN_GL_MEMBER)
  QTZYN_GL_SHADER_FUNCTIONS(QTZYN_GL_MEMBER)
#undef QTZYN_GL_MEMBER

  // Unique in the process for every successful Load: object names
  // (buffers, textures) belong to one context, and a renderer that finds a
  // new id forgets the names it kept.
  std::uint64_t context_id = 0;
  bool has_buffers = false;  // every buffer-object entry point resolved
  bool has_shaders = false;  // every OpenGL 2.0 shader entry point resolved

  // Resolves every entry point by its "gl" name through `resolve`; buffer
  // entry points fall back to their ARB names. False (and the table stays
  // unusable) when a core entry point is missing.
  using Resolver = void* (*)(const char* name, void* user);
  bool Load(Resolver resolve, void* user);
  bool IsLoaded() const { return Viewport != nullptr; }
};

// The table of the context current on this thread; the context code sets it
// when it makes a context current and clears it when it releases one.
const VGLFunctions* VGLCurrent();
void VGLSetCurrent(const VGLFunctions* functions);
