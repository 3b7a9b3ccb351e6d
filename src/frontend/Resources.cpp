#include "frontend/Resources.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/Paths.h"
#include "frontend/ApplicationHooks.h"
#include "frontend/GameFrames.h"
#include "frontend/MainLoop.h"
#include "frontend/controls/ControlGL.h"
#include "game/GameObjects.h"
#include "game/GameServices.h"
#include "graphics/GameWindow.h"
#include "graphics/Layout.h"
#include "graphics/PixMapRegistry.h"
#include "platform/PlatformFiles.h"
#include "sound/SoundEffects.h"

ImageBuffer imageBUFF;
FT_Face vagRoundFONT = nullptr, copperFONT = nullptr;
ImageGL pixelIMAGE, sparkIMAGE, starIMAGE, radioButtonIMAGE[2], volumeIMAGE;
ImageGL fadeIMAGE, pressfireIMAGE, statusbarIMAGE[2];
ImageGL spaceIMAGE, shockwaveIMAGE, pauseButtonIMAGE, exitButtonIMAGE, bossIMAGE;
SInt32 cosTABLE[360], sinTABLE[360];
UInt8 gameResourcesLoaded = 0;
PixMapHandle build32PMAP = nullptr;
GWorldPtr build32WORLD = nullptr;
SInt16 clutID = 0;

namespace {

enum { kMathTableEntries = 360, kMathTableBytes = 4 * kMathTableEntries, kMin3PartWidth = 8 };

void Warn(const char* what, const std::string& path) {
  std::fprintf(stderr, "halvane: could not load %s \"%s\"\n", what, path.c_str());
}

// Loaded at `shade`: 1 as the picture is, lower darker.
void LoadImageFile(ImageGL* image, const std::string& name, unsigned char alphaFlag, float shade = 1.0f) {
  std::string path = ResourcePath(name + ".png");
  if (image->Load(&imageBUFF, path.c_str(), alphaFlag, shade) != 0) {
    // Nothing of an earlier picture stays: not its texture, not its size.
    image->Dispose();
    image->imageWidth = image->imageHeight = 0;
    Warn("image", path);
    return;
  }
  image->hasAlpha = alphaFlag;
}

void LoadLayoutFile(const char* layout, const char* sheet) {
  if (LoadLayout(layout, sheet, 1) != 0) Warn("layout", ResourcePath(std::string("Layouts/") + layout + ".plist"));
}

void LoadSoundFile(ALSound* sound, const char* name) {
  if (LoadSound_Game(sound, name) != 0) Warn("sound", ResourcePath(std::string("Audio/") + name + ".ogg"));
}

}  // namespace

std::string ResourcePath(const std::string& name) { return GetResourcesPath() + PathStr() + name; }

void SetBright(RGBAColorF* color, float b) { color->red = color->green = color->blue = b; }

void SetupColors() {
  playerRGB[0] = RGBColorF{};
  playerRGB[0].red = 0.0f;
  playerRGB[0].green = 1.0f;
  playerRGB[0].blue = 0.682353f;
  playerRGB[1].red = 0.0f;
  playerRGB[1].green = 1.0f;
  playerRGB[1].blue = 1.0f;
  auto set = [](RGBColorF& c, float r, float g, float b) {
    c.red = r;
    c.green = g;
    c.blue = b;
  };
  set(orangeRGB, 1.0f, 0.75f, 0.0f);
  set(enemyRGB, 0.75f, 1.0f, 0.0f);
  set(goldRGB, 1.0f, 0.9f, 0.0f);
  set(purpleRGB, 1.0f, 0.0f, 1.0f);
  set(plasmaRGB[0], 1.0f, 0.0f, 0.78f);
  set(plasmaRGB[1], 1.0f, 0.0f, 0.0f);
  set(plasmaRGB[2], 0.0f, 0.0f, 1.0f);
  SetBright(&whiteFlashCOLOR, 1.5f);
}

void LoadImage(ImageGL* image, const char* name, unsigned char alphaFlag) { LoadImageFile(image, name, alphaFlag); }

void LoadGameImage(ImageGL* image, const char* name, unsigned char alphaFlag) {
  if (image == &bossIMAGE) bossImageName = name;
  LoadImageFile(image, std::string("Graphics/") + name, alphaFlag);
}

void LoadImage_3Part(ImageGL* three, const char* name, unsigned char alphaFlag) {
  std::string path = ResourcePath(std::string(name) + ".png");
  imageBUFF.Clear();
  if (imageBUFF.LoadImage(path.c_str(), 1.0f, alphaFlag) != 0) {
    Warn("image", path);
    return;
  }
  SInt16 w = imageBUFF.contentWidth, h = imageBUFF.contentHeight;
  // The middle part takes two pixels beyond each of its edges: a picture
  // narrower than 8 has not got them.
  if (w < kMin3PartWidth) {
    Warn("image (narrower than 8 pixels, cannot be cut in three)", path);
    return;
  }
  SInt16 quarter = SInt16(0.25 * w), half = SInt16(0.5 * w);
  Rect part[3];
  SetRect2(&part[0], 0, 0, quarter, h);
  SetRect2(&part[1], part[0].right, 0, half, h);
  SetRect2(&part[2], part[1].right, 0, quarter, h);
  // Each texture takes real neighbour pixels beyond the edges it is
  // stretched at, so filtering does not fade them.
  Rect source[3] = {part[0], part[1], part[2]};
  source[0].right += 1;
  source[1].left -= 2;
  source[1].right += 2;
  source[2].left -= 1;
  Rect drawn[3];
  SetRect2(&drawn[0], 0, 0, quarter, h);
  SetRect2(&drawn[1], 2, 0, half, h);
  SetRect2(&drawn[2], 1, 0, quarter, h);
  for (int k = 0; k < 3; ++k) {
    three[k].New(&imageBUFF, &source[k]);
    three[k].hasAlpha = alphaFlag;
    three[k].SetTextureRect(&drawn[k]);
  }
}

void LoadImage_Shadow(ShadowImage* image, const char* name, unsigned char alphaFlag, float shade) {
  LoadImageFile(&image->image, name, alphaFlag);
  LoadImageFile(&image->shadow, name, alphaFlag, shade);
  image->hasShadow = 1;
  image->shadow.SetBright(0.0f);
  image->shadow.alpha = 0.75f;
}

SInt16 LoadGameFont(FT_Face* out, const char* name) {
  std::string path = GetResourcesPath() + PathStr() + "Fonts" + PathStr() + name;
  *out = LoadFont(path.c_str());
  if (!*out) *out = LoadFont((path + ".ttf").c_str());
  if (*out) return 0;
  Warn("font", path + ".ttf");
  return -1;
}

void LoadMathTable(SInt32* table, const char* name) {
  std::memset(table, 0, kMathTableBytes);
  std::string path = GetResourcesPath() + "/" + name;
  FILE* file = OpenRegularFileForReading(path);
  if (!file) {
    Warn("table", path);
    return;
  }
  unsigned char bytes[kMathTableBytes] = {};
  size_t read = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  if (read < sizeof bytes) Warn("table (short)", path);
  for (int d = 0; d < kMathTableEntries; ++d) {
    const unsigned char* b = bytes + 4 * d;
    table[d] = SInt32(UInt32(b[0]) << 24 | UInt32(b[1]) << 16 | UInt32(b[2]) << 8 | UInt32(b[3]));
  }
}

void LoadSounds() {
  LoadSoundFile(&blipSND, "Blip");
  LoadSoundFile(&dinkSND, "Dink");
  LoadSoundFile(&metalSND[0], "Metal0");
  LoadSoundFile(&toneSND, "Tone");
  LoadSoundFile(&alarmSND, "Alarm");
}

void LoadLayouts() {
  SetupFrames();
  layoutsINITED = 0;
  InitLayouts();
  LoadLayoutFile("Meteors", "Graphics/Meteors");
  LoadGameImage(&pixelIMAGE, "Pixel", 0);
  LoadGameImage(&sparkIMAGE, "Spark", 1);
  LoadGameImage(&starIMAGE, "Pixel", 0);
  LoadGameImage(&radioButtonIMAGE[0], "Interface/Radio Off", 1);
  LoadGameImage(&radioButtonIMAGE[1], "Interface/Radio On", 1);
  LoadGameImage(&volumeIMAGE, "Interface/Volume", 1);
}

void LoadResources() {
  imageBUFF.Init(1024, 1024);
  SetupColors();
  LoadSounds();
  LoadLayouts();
  LoadMathTable(cosTABLE, "COS Table 360");
  LoadMathTable(sinTABLE, "SIN Table 360");
  InitFreeType();
  LoadGameFont(&vagRoundFONT, "VAG Rounded BT");
  LoadGameFont(&copperFONT, "Copperplate Gothic Bold");
  LoadGUIResources();
  LoadImage(&fullScreenBUTTON.titleImage, "ZadOR/FullScreen", 1);
  SetRect2(&fullScreenBUTTON.bounds, mainRECT.right - 12 - 35 / 2, 16 - 35 / 2, 35, 35);
  fullScreenBUTTON.titleImage.alpha = 0.0f;
}

void LoadResources_Mac() {
  clutID = 128;
  // The picture itself comes with the controls' look (LoadGUIResources).
  if (mainGUI.cursorImage.Width() == 0) LoadImage(&mainGUI.cursorImage, "Cursor", 1);
  mainCURS.hotV = mainCURS.hotH = 4;
  mainCURS.scale = 0.3f;
  LoadImage(&fadeIMAGE, "ZadOR/Fade", 1);
  LoadImage(&pressfireIMAGE, "ZadOR/PressFire", 1);
  LoadImage(&statusbarIMAGE[0], "ZadOR/StatusBar 1", 1);
  LoadImage(&statusbarIMAGE[1], "ZadOR/StatusBar 2", 1);
  Rect bounds = {0, 0, 480, 640};
  if (!build32PMAP) CreatePixMap(32, &build32PMAP, &bounds, 1, 0, 1);
  build32WORLD = build32PMAP ? GetPixMapGWorld(build32PMAP) : nullptr;
}

void DisposeResources_Mac() {
  if (build32PMAP) DestroyPixMap(&build32PMAP);
  build32PMAP = nullptr;
  build32WORLD = nullptr;
}

void LoadResources_Game() {
  if (gameResourcesLoaded) return;
  LoadImage(&spaceIMAGE, "Background", 0);
  LoadGameImage(&shockwaveIMAGE, "Shockwave", 1);
  LoadLayoutFile("Sprites", "Graphics/Sprites");
  LoadLayoutFile("Enemies", "Graphics/Enemies");
  plasmaFRAME[5].image.SetBright(1.75f);
  LoadGameImage(&pauseButtonIMAGE, "Interface/Pause", 1);
  LoadGameImage(&exitButtonIMAGE, "Interface/Exit", 1);
  LoadSoundFile(&shotSND[0], "Shot0");
  LoadSoundFile(&shotSND[1], "Shot1");
  LoadSoundFile(&boomSND[0], "Boom0");
  LoadSoundFile(&boomSND[1], "Boom1");
  LoadSoundFile(&bumpSND, "Bump");
  LoadSoundFile(&metalSND[0], "Metal0");
  LoadSoundFile(&metalSND[1], "Metal1");
  LoadSoundFile(&spinSND, "Spin");
  LoadSoundFile(&shieldSND, "Shield");
  LoadSoundFile(&tapSND, "Tap");
  LoadSoundFile(&suckSND, "Suck");
  LoadSoundFile(&zoomSND, "Engine");
  LoadSoundFile(&powerSND, "Power");
  LoadSoundFile(&bounceSND, "Bounce");
  LoadSoundFile(&podSND, "Pod");
  LoadSoundFile(&flipSND, "Flip");
  LoadSoundFile(&superSND, "Super");
  LoadSoundFile(&alarmSND, "Alarm");
  LoadSoundFile(&pshotSND, "Shot2");
  gameResourcesLoaded = 1;
}
