#include "platform/SharedLibrary.h"

#include <dlfcn.h>

void* OpenSharedLibrary(const char* name) { return name ? dlopen(name, RTLD_NOW | RTLD_LOCAL) : nullptr; }

void* FindInSharedLibrary(void* library, const char* symbol) {
  return library && symbol ? dlsym(library, symbol) : nullptr;
}

void CloseSharedLibrary(void* library) {
  if (library) dlclose(library);
}
