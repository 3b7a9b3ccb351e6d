#include "support/RecordingDialogs.h"

namespace {

std::vector<DialogReport> reports;

std::string Text(const unsigned char* p) { return std::string((const char*)p + 1, p[0]); }

void RecordError(const unsigned char* message, const unsigned char* where, unsigned char fatal) {
  reports.push_back({DialogReport::Error, Text(message), Text(where), "OK", fatal != 0});
  if (fatal) throw FatalReport{Text(message), Text(where)};
}

void RecordAlert(const unsigned char* message, const unsigned char* detail, const char* button) {
  reports.push_back({DialogReport::Alert, Text(message), Text(detail), button, false});
}

void RecordShutdown() {
  reports.push_back({DialogReport::ShutdownCall, "", "", "", true});
  throw FatalReport{"", ""};
}

const DialogBackEnd recorder = {RecordError, RecordAlert, RecordShutdown};

}  // namespace

RecordingDialogs::RecordingDialogs() : previous_(SetDialogBackEnd(&recorder)) { reports.clear(); }
RecordingDialogs::~RecordingDialogs() { SetDialogBackEnd(previous_); }
const std::vector<DialogReport>& RecordingDialogs::Reports() const { return reports; }
void RecordingDialogs::Clear() { reports.clear(); }
