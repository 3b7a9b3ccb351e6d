// Shared by the fuzz harnesses. Each harness defines LLVMFuzzerTestOneInput;
// built for libFuzzer it is a fuzzer, otherwise FuzzReplay.cpp gives it a
// main that runs the files and folders named on its command line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

// Once per process: a dialog back end under which any fatal report ends the
// run as a crash (data must never reach one), alerts and non-fatal errors
// pass silently; and a private scratch folder on tmpfs when there is one.
void FuzzSetUp();
const std::string& FuzzFolder();
// Points HOME and the XDG folders into the scratch folder, once, so that the
// user's Preferences folder is a private one.
void FuzzUseHome();
// Makes the engine's bundle `name` in the scratch folder its bundle, with the
// folders named made inside its resources; answers the resources' path.
std::string FuzzMakeBundle(const std::string& name, std::initializer_list<const char*> folders);
// The input's bytes as a file: `name` in the scratch folder, or the absolute
// path `name`; answers the path.
std::string FuzzWriteFile(const std::string& name, const uint8_t* data, size_t size);
// The whole of a file (empty when it cannot be read).
std::string FuzzReadFile(const std::string& path);

// A property that must hold whatever the input: a crash otherwise.
#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)

// For a harness's own checking code that runs over every byte or pixel an
// input makes: left out of the coverage the fuzzer steers by, which it would
// only slow (each comparison would be traced) and fill with features no
// input can change.
#if defined(__clang__)
#define FUZZ_NOT_STEERING __attribute__((no_sanitize("coverage")))
#else
#define FUZZ_NOT_STEERING
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
