// One action on an X display (DISPLAY), as a person would make it:
//   drive key KEYSYM        press and release one key
//   drive click X Y         move the pointer to (X, Y) of the root, click
//   drive click NAME X Y    the same at (X, Y) of the mapped top-level
//                           window whose name holds NAME
//   drive shot FILE.ppm     write the whole screen as a binary PPM
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The root position of (x, y) in the first mapped top-level window whose name
// holds the text.
bool WindowPoint(Display* x, const char* name, int* px, int* py) {
  Window root = DefaultRootWindow(x), parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(x, root, &root, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; i++) {
    char* title = nullptr;
    XWindowAttributes a;
    if (XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable && XFetchName(x, children[i], &title) &&
        title && std::strstr(title, name)) {
      Window child;
      found = XTranslateCoordinates(x, children[i], root, *px, *py, px, py, &child);
    }
    if (title) XFree(title);
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  Display* x = XOpenDisplay(nullptr);
  if (!x) {
    std::fprintf(stderr, "no display\n");
    return 2;
  }
  if (std::strcmp(argv[1], "key") == 0) {
    const KeyCode code = XKeysymToKeycode(x, XStringToKeysym(argv[2]));
    if (!code) return 2;
    XTestFakeKeyEvent(x, code, True, CurrentTime);
    XFlush(x);
    usleep(80000);
    XTestFakeKeyEvent(x, code, False, CurrentTime);
  } else if (std::strcmp(argv[1], "click") == 0 && argc >= 4) {
    int px = std::atoi(argv[argc - 2]), py = std::atoi(argv[argc - 1]);
    if (argc >= 5 && !WindowPoint(x, argv[2], &px, &py)) {
      std::fprintf(stderr, "no window named %s\n", argv[2]);
      return 1;
    }
    XTestFakeMotionEvent(x, -1, px, py, CurrentTime);
    XFlush(x);
    usleep(200000);
    XTestFakeButtonEvent(x, 1, True, CurrentTime);
    XFlush(x);
    usleep(80000);
    XTestFakeButtonEvent(x, 1, False, CurrentTime);
  } else if (std::strcmp(argv[1], "shot") == 0) {
    Window root = DefaultRootWindow(x);
    XWindowAttributes a;
    XGetWindowAttributes(x, root, &a);
    XImage* image = XGetImage(x, root, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
    if (!image) return 1;
    FILE* f = std::fopen(argv[2], "wb");
    if (!f) return 1;
    std::fprintf(f, "P6\n%d %d\n255\n", a.width, a.height);
    for (int row = 0; row < a.height; row++)
      for (int col = 0; col < a.width; col++) {
        const unsigned long p = XGetPixel(image, col, row);
        const unsigned char rgb[3] = {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)(p)};
        std::fwrite(rgb, 1, 3, f);
      }
    std::fclose(f);
    XDestroyImage(image);
  } else {
    return 2;
  }
  XSync(x, False);
  XCloseDisplay(x);
  return 0;
}
