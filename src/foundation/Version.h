// Version numbers: the packed four-byte form, the application's version read
// from its bundle's Info.plist ("CFBundleVersion"), and its long ("1.2 - Beta
// 3") and short ("1.2b3") strings.
#pragma once

#include "platform/PlatformTypes.h"

enum : UInt8 {
  developStage = 0x20,
  alphaStage = 0x40,
  betaStage = 0x60,
  finalStage = 0x80,
};

void GetApplicationVersion(NumVersion* version, unsigned char* text, unsigned char longForm);
void GetVersionString(NumVersion version, unsigned char* text, unsigned char longForm);
NumVersion VersionOfString(const unsigned char* text);
SInt16 CompareVersion(const NumVersion* a, const NumVersion* b);
NumVersion VersionValue(unsigned char major, unsigned char minor, unsigned char fix, unsigned char stage);
// The running system's version (the kernel's, see platform/PlatformSystem.h);
// all zero when it cannot be read.
NumVersion SystemVersion();
// The packed version of a version text, read as the bundle's is ("2.0fc1").
NumVersion ParseVersionText(const unsigned char* text);
