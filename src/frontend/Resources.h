// Everything the game reads from its bundle's Resources folder at start-up:
// the shared image buffer, the game's colours, interface and game images,
// the sprite layouts, the trigonometry tables, the fonts and the sounds.
// A file that is missing or broken is named on stderr and leaves its image
// without a texture (drawn as nothing), its font null or its table zero; the
// sizes the game plays by have fallbacks, so a damaged bundle never leaves a
// game that cannot be won.
#pragma once

#include <string>

#include "graphics/ImageBuffer.h"
#include "graphics/ImageGL.h"
#include "graphics/TextRender.h"
#include "platform/QuickDraw.h"

extern ImageBuffer imageBUFF;
extern FT_Face vagRoundFONT, copperFONT;
extern ImageGL pixelIMAGE, sparkIMAGE, starIMAGE, radioButtonIMAGE[2], volumeIMAGE;
extern ImageGL fadeIMAGE, pressfireIMAGE, statusbarIMAGE[2];
extern ImageGL spaceIMAGE, shockwaveIMAGE, pauseButtonIMAGE, exitButtonIMAGE, bossIMAGE;
extern UInt8 gameResourcesLoaded;
extern PixMapHandle build32PMAP;
extern GWorldPtr build32WORLD;
// The colour table the game asks for at 8 bits a pixel.
extern SInt16 clutID;

void LoadResources();
void LoadResources_Mac();
// Frees the 32-bit build pixmap LoadResources_Mac made.
void DisposeResources_Mac();
// The game's own images, layouts and sounds; only the first call loads.
void LoadResources_Game();
void LoadImage(ImageGL* image, const char* name, unsigned char alphaFlag);
void LoadGameImage(ImageGL* image, const char* name, unsigned char alphaFlag);
// One picture cut into a stretchable skin: left cap, middle, right cap.
void LoadImage_3Part(ImageGL* three, const char* name, unsigned char alphaFlag);
void LoadImage_Shadow(ShadowImage* image, const char* name, unsigned char alphaFlag, float shade);
// 0 loaded, -1 not (the face is then null).
SInt16 LoadGameFont(FT_Face* out, const char* name);
// 360 big-endian 32-bit entries; a missing or short file leaves zeros.
void LoadMathTable(SInt32* table, const char* name);
void LoadSounds();
void LoadLayouts();
void SetupColors();
void SetBright(RGBAColorF* color, float b);

// The name of the last picture loaded into bossIMAGE, for its fallback size.
extern std::string bossImageName;

// The path under the Resources folder of a name.
std::string ResourcePath(const std::string& name);
