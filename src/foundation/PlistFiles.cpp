// The property-list and text-buffer forms that read and write a FileClass's
// open data fork. Writes replace the whole file through the safe save.
#include <string>

#include "foundation/ErrorDialog.h"
#include "foundation/FileClass.h"
#include "foundation/FileUtilities.h"
#include "foundation/PlistTag.h"
#include "foundation/StringFunctions.h"
#include "foundation/TextBuffer.h"

namespace {

const OSType kTextType = FOUR_CHAR('T', 'E', 'X', 'T');

// The checks of both fork forms: a missing file or a closed one is fatal.
bool UsableFile(FileClass* file, const char* where) {
  if (!file)
    ErrorDialog("The import text file is \"nil.\"", where, 0, 1);
  else if (!file->open)
    ErrorDialog("The import text file is closed.", where, 0, 1);
  return file && file->open;
}

bool FindDesktop() {
  if (!desktopFOLD.valid) FindDesktopFolder(&desktopFOLD);
  return desktopFOLD.valid;
}

}  // namespace

SInt16 TextBuffer::LoadFile(FileClass* file) {
  if (!UsableFile(file, "TextBuffer::LoadFile()")) return -1;
  SInt64 length = 0;
  OSErr err = PlatformForkLength(file->fork, &length);
  if (err != noErr) return err;
  if (length > 0x7FFFFFFF) return ioErr;
  Init(SInt32(length));
  err = PlatformReadFork(file->fork, 0, data, length);
  dataEnd = err == noErr ? data + length : data;
  return err;
}

SInt16 TextBuffer::SaveFile(FileClass* file) {
  if (!UsableFile(file, "TextBuffer::SaveFile()")) return -1;
  return PlatformReplaceForkContent(file->fork, file->ref, data, DataSize());
}

SInt16 PlistTag::SaveFile(FileClass* file) {
  TextBuffer buffer;
  SaveBuffer(&buffer);
  return buffer.SaveFile(file);
}

SInt16 PlistTag::SaveEncryptedFile(FileClass* file, const unsigned char* cryptKey) {
  TextBuffer buffer;
  SaveBuffer(&buffer);
  buffer.CryptData(cryptKey);
  return buffer.SaveFile(file);
}

SInt16 PlistTag::LoadFile(FileClass* file) {
  TextBuffer buffer;
  buffer.LoadFile(file);
  return LoadBuffer(&buffer);
}

SInt16 PlistTag::LoadEncryptedFile(FileClass* file, const unsigned char* cryptKey) {
  TextBuffer buffer;
  return LoadEncryptedText(&buffer, buffer.LoadFile(file) == noErr, cryptKey);
}

SInt16 PlistTag::ExportFile(const char* name) {
  if (!FindDesktop()) return fnfErr;
  Str255 fileName;
  CToPStr((std::string(name ? name : "") + ".plist").c_str(), fileName);
  FileClass file;
  if (FindFile(&file, fileName, &desktopFOLD, kAnyCode, kTextType, kFindFileOnly) == noErr) {
    OSErr err = DeleteFile(&file);
    if (err == fBsyErr)
      ErrorDialog("The output file is open.", err, 0, 1);
    else if (err != noErr)
      ErrorDialog("Deleting the old file failed.", err, 0, 0);
  }
  OSErr err = CreateFile(&file, fileName, &desktopFOLD, kAnyCode, kTextType);
  if (err == dupFNErr) {
    UniqueFileName(fileName, &desktopFOLD, 0);
    err = CreateFile(&file, fileName, &desktopFOLD, kAnyCode, kTextType);
  }
  if (err == noErr) err = OpenFile(&file, 1, 0);
  if (err != noErr) {
    ErrorDialog("Unable to create an output file.", err, 0, 0);
    return err;
  }
  err = SaveFile(&file);
  CloseFile(&file);
  return err;
}

SInt16 PlistTag::ImportFile() {
  FileClass file;
  if (!FindDesktop() || FindFile(&file, "version.plist", &desktopFOLD, kAnyCode, kAnyCode, kFindFileOnly) != noErr) {
    AlertDialog("Couldn't find the specified plist file.", "", "OK");
    return fnfErr;
  }
  if (OpenFile(&file, 0, 0) != noErr) {
    AlertDialog("Couldn't open the specified plist file.", "", "OK");
    return -1;
  }
  SInt16 result = LoadFile(&file);
  CloseFile(&file);
  return result;
}
