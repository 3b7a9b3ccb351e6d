// Installs a dialog back end that records every report instead of showing
// it. A fatal report throws FatalReport so that a test can catch the point
// where the program would have ended.
#pragma once

#include <string>
#include <vector>

#include "foundation/ErrorDialog.h"

struct DialogReport {
  enum Kind { Error, Alert, ShutdownCall } kind;
  std::string message;
  std::string detail;
  std::string button;
  bool fatal;
};

struct FatalReport {
  std::string message;
  std::string detail;
};

class RecordingDialogs {
 public:
  RecordingDialogs();
  ~RecordingDialogs();
  RecordingDialogs(const RecordingDialogs&) = delete;
  RecordingDialogs& operator=(const RecordingDialogs&) = delete;

  const std::vector<DialogReport>& Reports() const;
  void Clear();

 private:
  const DialogBackEnd* previous_;
};
