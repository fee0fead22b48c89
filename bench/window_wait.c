/* Starts a program and reports, in milliseconds from the exec, when a
 * top-level window of the given size is mapped and when its first picture
 * reaches the screen, then the program's resident memory one second after the
 * map. Everything is learned from X events and the screen itself, so the
 * program under test needs no help:
 *
 *   window_wait WIDTH HEIGHT PROGRAM [ARGS...]
 *   prints: map_ms paint_ms rss_kb cpu_ms
 *   (paint_ms is -1 when nothing changed in 3 s; cpu_ms is the time all the
 *   program's threads had run on a processor when the map was seen, a figure
 *   that a loaded machine disturbs much less than the time on the clock)
 *
 * The paint is seen by comparing the window's area with the screen as it was
 * before the start, every half millisecond. The child finds the start time
 * (CLOCK_MONOTONIC, ms) in WINDOW_WAIT_START_MS, so a program can report its
 * own moments on the same scale. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static long RssKb(pid_t pid) {
  char path[64], line[256];
  snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
  FILE* f = fopen(path, "r");
  long kb = -1;
  if (!f) return kb;
  while (fgets(line, sizeof line, f))
    if (strncmp(line, "VmRSS:", 6) == 0) kb = strtol(line + 6, NULL, 10);
  fclose(f);
  return kb;
}

/* Processor time of all threads of the process so far, from the scheduler's
 * own accounts (nanoseconds, first field of each task's schedstat). */
static double CpuMs(pid_t pid) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
  DIR* tasks = opendir(path);
  if (!tasks) return -1;
  double total = 0;
  struct dirent* task;
  while ((task = readdir(tasks)) != NULL) {
    if (task->d_name[0] == '.') continue;
    char file[320];
    snprintf(file, sizeof file, "/proc/%d/task/%s/schedstat", (int)pid, task->d_name);
    FILE* f = fopen(file, "r");
    unsigned long long ns = 0;
    if (f && fscanf(f, "%llu", &ns) == 1) total += ns / 1e6;
    if (f) fclose(f);
  }
  closedir(tasks);
  return total;
}

/* Whether any pixel of the area differs from the same area of `before`. */
static int Changed(Display* d, Window root, XImage* before, int x, int y, int w, int h) {
  XImage* now = XGetImage(d, root, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
  if (!now) return 0;
  int changed = 0;
  for (int j = 0; j < h && !changed; ++j)
    for (int i = 0; i < w; ++i)
      if (XGetPixel(now, i, j) != XGetPixel(before, x + i, y + j)) { changed = 1; break; }
  XDestroyImage(now);
  return changed;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: window_wait WIDTH HEIGHT PROGRAM [ARGS...]\n");
    return 2;
  }
  const int width = atoi(argv[1]), height = atoi(argv[2]);
  Display* d = XOpenDisplay(NULL);
  if (!d) { fprintf(stderr, "window_wait: no display\n"); return 2; }
  Window root = DefaultRootWindow(d);
  XWindowAttributes rootInfo;
  XGetWindowAttributes(d, root, &rootInfo);
  XImage* before = XGetImage(d, root, 0, 0, (unsigned)rootInfo.width, (unsigned)rootInfo.height, AllPlanes, ZPixmap);
  XSelectInput(d, root, SubstructureNotifyMask);
  XSync(d, False);

  const double start = NowMs();
  pid_t child = fork();
  if (child == 0) {
    char stamp[32];
    snprintf(stamp, sizeof stamp, "%.3f", start);
    setenv("WINDOW_WAIT_START_MS", stamp, 1);
    execvp(argv[3], argv + 3);
    _exit(127);
  }
  double mapped = -1, painted = -1, cpu = -1;
  Window window = 0;
  struct pollfd fd = {ConnectionNumber(d), POLLIN, 0};
  while (mapped < 0 && NowMs() - start < 20000) {
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type != MapNotify || mapped >= 0) continue;
      XWindowAttributes info;
      if (XGetWindowAttributes(d, e.xmap.window, &info) && info.width == width && info.height == height) {
        mapped = NowMs() - start;
        cpu = CpuMs(child);
        window = e.xmap.window;
      }
    }
    if (mapped < 0) poll(&fd, 1, 100);
  }
  if (mapped >= 0) {
    int x = 0, y = 0;
    Window ignored;
    XTranslateCoordinates(d, window, root, 0, 0, &x, &y, &ignored);
    int w = width, h = height;
    if (x < 0) { w += x; x = 0; }
    if (y < 0) { h += y; y = 0; }
    if (x + w > rootInfo.width) w = rootInfo.width - x;
    if (y + h > rootInfo.height) h = rootInfo.height - y;
    while (NowMs() - start < mapped + 3000) {
      if (Changed(d, root, before, x, y, w, h)) { painted = NowMs() - start; break; }
      usleep(500);
    }
    const double settle = mapped + 1000 - (NowMs() - start);
    if (settle > 0) usleep((useconds_t)(settle * 1000));
  }
  const long rss = RssKb(child);
  kill(child, SIGTERM);
  waitpid(child, NULL, 0);
  printf("%.1f %.1f %ld %.1f\n", mapped, painted, rss, cpu);
  XDestroyImage(before);
  XCloseDisplay(d);
  return mapped >= 0 ? 0 : 1;
}
