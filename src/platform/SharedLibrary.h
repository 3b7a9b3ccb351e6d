// Shared libraries loaded while the program runs, for code that needs a
// library only for a while (the movie decoder for the logo) and should not
// keep it mapped for the rest of the run.
#pragma once

// The library of that file name (a soname such as "libz.so.1"), its own
// dependencies loaded with it; null when it or one of them cannot be loaded.
// Its symbols are not made visible to other libraries.
void* OpenSharedLibrary(const char* name);
// The address of the function or object `symbol` in the library; null when
// it does not define it.
void* FindInSharedLibrary(void* library, const char* symbol);
// Undoes one OpenSharedLibrary of it: when no other opening holds it, it and
// the dependencies nothing else holds are unmapped (a library marked to stay
// once loaded stays).
void CloseSharedLibrary(void* library);
