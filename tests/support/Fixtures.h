// Small hand-made inputs kept in tests/fixtures/ (HALVANE_FIXTURES names the
// folder for every test program).
#pragma once

#include <string>

// The path of the fixture file; the test fails (and the path is still
// returned) when HALVANE_FIXTURES is not set.
std::string FixturePath(const std::string& name);
// The whole fixture file.
std::string FixtureBytes(const std::string& name);
