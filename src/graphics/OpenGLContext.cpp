#include "graphics/OpenGLContext.h"

#include <GL/gl.h>

#include <cstring>

#include "foundation/StringLibrary.h"
#include "graphics/GameWindow.h"
#include "graphics/ImageGL.h"
#include "graphics/OpenGLFrame.h"

GLContextRef SetupAGL(WindowRef window) {
  const GLServices* gl = GetGLServices();
  GLContextRef context = gl->createContext(window);
  if (context && !gl->makeCurrent(window, context)) {
    gl->deleteContext(context);
    return nullptr;
  }
  return context;
}

void CleanupAGL(GLContextRef context) {
  if (!context) return;
  GetGLServices()->makeCurrent(nullptr, nullptr);
  GetGLServices()->deleteContext(context);
}

UInt32 CurrentContextSerial() { return glDrawVars.context ? glDrawVars.context->serial : 0; }

static OpenGLContext* NewContextRecord(WindowRef window) {
  GLContextRef context = SetupAGL(window);
  if (!context) return nullptr;
  static UInt32 made = 0;
  OpenGLContext* record = new OpenGLContext{context, new UInt32[kContextTextureCount](), ++made};
  glGenTextures(kContextTextureCount, record->textures);
  if (glGetError() != GL_NO_ERROR) {
    delete[] record->textures;
    CleanupAGL(context);
    delete record;
    return nullptr;
  }
  return record;
}

Boolean QK_BuildGLForWindow(WindowRef window) {
  if (!window) return false;
  OpenGLContext* record = static_cast<OpenGLContext*>(GetWRefCon(window));
  if (!record) {
    record = NewContextRecord(window);
    if (!record) return false;
    SetWRefCon(window, record);
    glDrawVars.context = record;
  }
  GetGLServices()->makeCurrent(window, record->context);
  SInt32 width, height;
  GetWindowContentSize(window, &width, &height);
  glViewport(0, 0, width, height);
  return true;
}

void QK_DisposeGLForWindow(WindowRef window) {
  if (!window) return;
  OpenGLContext* record = static_cast<OpenGLContext*>(GetWRefCon(window));
  if (!record) return;
  // The names belong to this context: it must be current to delete them.
  GetGLServices()->makeCurrent(window, record->context);
  glDeleteTextures_fast(kContextTextureCount, record->textures);
  delete[] record->textures;
  CleanupAGL(record->context);
  if (glDrawVars.context == record) glDrawVars.context = nullptr;
  delete record;
  SetWRefCon(window, nullptr);
}

Boolean FastOpenGLRenderer() {
  WindowRef probe = NewGLWindow("", 1, 1, false);
  if (!probe) return true;
  probe->kind = 2;  // a movable alert, never shown
  Boolean fast = true;
  if (QK_BuildGLForWindow(probe)) {
    const GLubyte* name = glGetString(GL_RENDERER);
    if (name) fast = std::strstr(StrToLower(reinterpret_cast<const char*>(name)), "rage 128") == nullptr;
    QK_DisposeGLForWindow(probe);
  }
  DisposeGLWindow(probe);
  // Building the probe's context changed the current one.
  if (mainWIND && GetWRefCon(mainWIND)) QK_BuildGLForWindow(mainWIND);
  return fast;
}
