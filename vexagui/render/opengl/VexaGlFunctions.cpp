// Run-time lookup of the OpenGL entry points.
#include "VexaGlFunctions.h"

#ifdef _WIN32
#include <windows.h>

namespace vexagui {

namespace {
// wglGetProcAddress answers for the functions after OpenGL 1.1 only; the 1.1 ones are exported by
// opengl32.dll itself.
PROC lookUpProc (const char* name)
{
    PROC proc = wglGetProcAddress (name);
    // Some drivers answer 1, 2, 3 or -1 instead of null for a function they lack.
    const auto value = reinterpret_cast<INT_PTR> (proc);
    if (proc != nullptr && value != 1 && value != 2 && value != 3 && value != -1)
        return proc;
    HMODULE gl = GetModuleHandleW (L"opengl32.dll");
    return gl != nullptr ? GetProcAddress (gl, name) : nullptr;
}
template <typename Fn>
bool lookUp (Fn& fn, const char* name)
{
    // Through void*: PROC is a generic function pointer type that each entry point is cast from.
    fn = reinterpret_cast<Fn> (reinterpret_cast<void*> (lookUpProc (name)));
    return fn != nullptr;
}
#else
// The one libGL symbol this module links against; declared here rather than through <GL/glx.h>,
// whose <GL/gl.h> would bring a second, compatibility-profile set of declarations.
extern "C" void (*glXGetProcAddressARB (const GLubyte* name)) ();

namespace vexagui {

namespace {
template <typename Fn>
bool lookUp (Fn& fn, const char* name)
{
    fn = reinterpret_cast<Fn> (glXGetProcAddressARB (reinterpret_cast<const GLubyte*> (name)));
    return fn != nullptr;
}
#endif
} // namespace

bool VexaGlFunctions::load ()
{
    bool ok = true;
#define VEXA_GL(name) ok = lookUp (name, "gl" #name) && ok
    VEXA_GL (ActiveTexture);
    VEXA_GL (AttachShader);
    VEXA_GL (BindAttribLocation);
    VEXA_GL (BindBuffer);
    VEXA_GL (BindTexture);
    VEXA_GL (BindVertexArray);
    VEXA_GL (BlendFunc);
    VEXA_GL (BufferData);
    VEXA_GL (Clear);
    VEXA_GL (ClearColor);
    VEXA_GL (CompileShader);
    VEXA_GL (CreateProgram);
    VEXA_GL (CreateShader);
    VEXA_GL (DeleteBuffers);
    VEXA_GL (DeleteProgram);
    VEXA_GL (DeleteShader);
    VEXA_GL (DeleteTextures);
    VEXA_GL (DeleteVertexArrays);
    VEXA_GL (Disable);
    VEXA_GL (DrawArrays);
    VEXA_GL (Enable);
    VEXA_GL (EnableVertexAttribArray);
    VEXA_GL (GenBuffers);
    VEXA_GL (GenTextures);
    VEXA_GL (GenVertexArrays);
    VEXA_GL (GetAttribLocation);
    VEXA_GL (GetProgramInfoLog);
    VEXA_GL (GetProgramiv);
    VEXA_GL (GetShaderInfoLog);
    VEXA_GL (GetShaderiv);
    VEXA_GL (GetUniformLocation);
    VEXA_GL (LinkProgram);
    VEXA_GL (ShaderSource);
    VEXA_GL (TexImage2D);
    VEXA_GL (TexParameteri);
    VEXA_GL (Uniform1i);
    VEXA_GL (Uniform2f);
    VEXA_GL (Uniform4f);
    VEXA_GL (UseProgram);
    VEXA_GL (VertexAttribPointer);
    VEXA_GL (Viewport);
#undef VEXA_GL
    loaded = ok;
    return ok;
}

} // namespace vexagui
