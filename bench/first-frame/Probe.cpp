// Starts a program on an X display and prints how many milliseconds pass
// until the screen first shows more than one colour (the display's root
// must be plain: Xvfb -br), then ends the program.
//   probe PROGRAM [ARGS...]     (DISPLAY names the display)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

double Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

bool MoreThanOneColour(Display* x) {
  Window root = DefaultRootWindow(x);
  XWindowAttributes a;
  XGetWindowAttributes(x, root, &a);
  XImage* image = XGetImage(x, root, 0, 0, unsigned(a.width), unsigned(a.height), AllPlanes, ZPixmap);
  if (!image) return false;
  unsigned long first = XGetPixel(image, 0, 0);
  bool differs = false;
  for (int y = 0; y < a.height && !differs; y += 2)
    for (int col = 0; col < a.width && !differs; col += 2) differs = XGetPixel(image, col, y) != first;
  XDestroyImage(image);
  return differs;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Display* x = nullptr;
  for (int tries = 0; tries < 100 && !(x = XOpenDisplay(nullptr)); ++tries) usleep(100000);
  if (!x) {
    std::fprintf(stderr, "no display\n");
    return 2;
  }
  double start = Now();
  pid_t child = fork();
  if (child == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  double shown = -1;
  while (Now() - start < 60000) {
    if (waitpid(child, nullptr, WNOHANG) == child) break;
    if (MoreThanOneColour(x)) {
      shown = Now() - start;
      break;
    }
    usleep(5000);
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  if (shown < 0) {
    std::fprintf(stderr, "no picture\n");
    return 1;
  }
  std::printf("%.0f\n", shown);
  return 0;
}
