#include "xharness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <sstream>
#include <thread>

namespace morvane::e2e {
namespace {

Display* dpy(void* d) { return static_cast<Display*>(d); }

// X errors (a window that went away, a minimised window that cannot be read) are
// expected while tests act on live programs: they are ignored, never fatal.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The _NET_WM_PID of `w` (`pidAtom` names it on this display), or 0.
unsigned long windowPid(Display* d, Window w, Atom pidAtom) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  unsigned long pid = 0;
  if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                         &data) == Success &&
      data && count == 1 && format == 32) {
    pid = *reinterpret_cast<unsigned long*>(data);
  }
  if (data) XFree(data);
  return pid;
}

// Depth-first search below `w` for a window of process `pid`.
Window findByPid(Display* d, Window w, unsigned long pid, Atom pidAtom) {
  if (windowPid(d, w, pidAtom) == pid) return w;
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &n)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < n && !found; ++i) found = findByPid(d, children[i], pid, pidAtom);
  if (children) XFree(children);
  return found;
}

void sendWmMessage(Display* d, Window w, const char* type, long a0, long a1 = 0) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, type, False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = a0;
  e.xclient.data.l[1] = a1;
  XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &e);
}

// The test's environment changed as `setup` says, as "NAME=value" entries.
std::vector<std::string> environmentFor(const ChildSetup& setup) {
  std::vector<std::string> entries;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const auto& change : setup.environment) replaced = replaced || change.first == name;
    if (!replaced) entries.push_back(entry);
  }
  for (const auto& [name, value] : setup.environment) {
    if (value) entries.push_back(name + '=' + *value);
  }
  return entries;
}

// Null-terminated pointers to the strings, as exec takes them.
std::vector<char*> pointersTo(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

Child::Child(const std::string& path, const std::vector<std::string>& args,
             const ChildSetup& setup) {
  char name[] = "/tmp/morvane-e2e-XXXXXX";
  const int fd = mkstemp(name);
  outputPath_ = name;
  // Everything exec needs is made before the fork: the child only makes system calls.
  std::vector<std::string> argStrings{path};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<std::string> envStrings = environmentFor(setup);
  const std::vector<char*> argv = pointersTo(argStrings);
  const std::vector<char*> envp = pointersTo(envStrings);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(fd, STDOUT_FILENO);
    dup2(fd, STDERR_FILENO);
    setpgid(0, 0);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    if (setup.addressSpace) {
      const rlimit limit{*setup.addressSpace, *setup.addressSpace};
      setrlimit(RLIMIT_AS, &limit);
    }
    if (setup.files) {
      const rlimit limit{*setup.files, *setup.files};
      setrlimit(RLIMIT_NOFILE, &limit);
    }
    if (setup.keptFd > STDERR_FILENO) {
      fcntl(setup.keptFd, F_SETFD, 0);
      close_range(STDERR_FILENO + 1, setup.keptFd - 1, 0);
      close_range(setup.keptFd + 1, ~0U, 0);
    } else {
      close_range(STDERR_FILENO + 1, ~0U, 0);
    }
    execvpe(argv[0], argv.data(), envp.data());
    std::perror("exec");
    _exit(127);
  }
  close(fd);
}

Child::~Child() {
  if (running()) stop(SIGKILL);
  std::remove(outputPath_.c_str());
}

bool Child::running() {
  if (status_ != -1 || pid_ <= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
  return status_ == -1;
}

int Child::wait(std::chrono::milliseconds timeout) {
  eventually([this] { return !running(); }, timeout);
  return status_;
}

int Child::stop(int signal, std::chrono::milliseconds timeout) {
  if (running()) kill(pid_, signal);
  return wait(timeout);
}

XServer::XServer(int depth) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return;
  ChildSetup setup;
  setup.keptFd = ends[1];
  process_ = std::make_unique<Child>(
      "Xvfb",
      std::vector<std::string>{"-displayfd", std::to_string(ends[1]), "-screen", "0",
                               "1024x768x" + std::to_string(depth), "-nolisten", "tcp"},
      setup);
  close(ends[1]);
  // The server writes its display number once it takes connections.
  std::string number;
  pollfd ready{ends[0], POLLIN, 0};
  char c = 0;
  while (poll(&ready, 1, 20000) == 1 && read(ends[0], &c, 1) == 1 && c != '\n') number += c;
  close(ends[0]);
  if (c == '\n' && !number.empty()) name_ = ':' + number;
}

void XServer::stop() {
  if (process_) process_->stop(SIGTERM, 10s);
}

std::string Child::output() const {
  std::ifstream in(outputPath_);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Image::savePng(const std::string& path) const {
  const std::string ppm = path + ".ppm";
  {
    std::ofstream out(ppm, std::ios::binary);
    out << "P6\n" << width << ' ' << height << "\n255\n";
    for (std::uint32_t c : pixels) {
      const char rgb[3] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                           static_cast<char>((c >> 16) & 0xFF)};
      out.write(rgb, 3);
    }
  }
  const std::string command = "convert '" + ppm + "' '" + path + "' 2>/dev/null";
  const bool ok = std::system(command.c_str()) == 0;
  std::remove(ppm.c_str());
  return ok;
}

XSession::XSession(const char* name) {
  XSetErrorHandler(ignoreXError);
  display_ = XOpenDisplay(name);
}

XSession::~XSession() {
  if (display_) XCloseDisplay(dpy(display_));
}

unsigned long XSession::waitForWindow(pid_t pid, std::chrono::milliseconds timeout,
                                      bool viewable) {
  Display* d = dpy(display_);
  const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
  Window found = 0;
  eventually(
      [&] {
        const Window w = findByPid(d, DefaultRootWindow(d), static_cast<unsigned long>(pid), pidAtom);
        found = w && (!viewable || this->viewable(w)) ? w : 0;
        return found != 0;
      },
      timeout);
  return found;
}

bool XSession::viewable(unsigned long window) {
  XWindowAttributes a{};
  return XGetWindowAttributes(dpy(display_), window, &a) && a.map_state == IsViewable;
}

Image XSession::grab(unsigned long window) {
  Display* d = dpy(display_);
  XSync(d, False);
  XWindowAttributes a{};
  Image image;
  if (!XGetWindowAttributes(d, window, &a)) return image;
  XImage* x = XGetImage(d, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!x) return image;
  image.width = a.width;
  image.height = a.height;
  image.pixels.resize(static_cast<std::size_t>(a.width) * a.height);
  for (int y = 0; y < a.height; ++y) {
    for (int px = 0; px < a.width; ++px) {
      const unsigned long p = XGetPixel(x, px, y);  // 0x00RRGGBB on a 24-bit TrueColor screen
      image.pixels[static_cast<std::size_t>(y) * a.width + px] =
          static_cast<std::uint32_t>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
    }
  }
  XDestroyImage(x);
  return image;
}

std::pair<int, int> XSession::size(unsigned long window) {
  XWindowAttributes a{};
  if (!XGetWindowAttributes(dpy(display_), window, &a)) return {0, 0};
  return {a.width, a.height};
}

std::pair<int, int> XSession::screenSize() {
  Display* d = dpy(display_);
  return {DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))};
}

void XSession::iconify(unsigned long window) {
  Display* d = dpy(display_);
  XIconifyWindow(d, window, DefaultScreen(d));
  XFlush(d);
}

void XSession::restore(unsigned long window) {
  Display* d = dpy(display_);
  XMapRaised(d, window);
  sendWmMessage(d, window, "_NET_ACTIVE_WINDOW", 1);
  XFlush(d);
}

void XSession::resize(unsigned long window, int w, int h) {
  Display* d = dpy(display_);
  XResizeWindow(d, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
  XFlush(d);
}

void XSession::close(unsigned long window) {
  Display* d = dpy(display_);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, window, False, NoEventMask, &e);
  XFlush(d);
}

std::string readText(const Image& image, int x, int y, int maxChars,
                     const plat::fonts::BitmapFont& font, std::uint32_t fg) {
  std::string text;
  for (int i = 0; i < maxChars; ++i) {
    const int cx = x + i * font.width;
    if (cx < 0 || y < 0 || cx + font.width > image.width || y + font.height > image.height) break;
    int match = -1;
    for (int c = 0x20; c < 0x7F && match < 0; ++c) {
      bool same = true;
      for (int r = 0; r < font.height && same; ++r)
        for (int col = 0; col < font.width && same; ++col)
          same = (image.at(cx + col, y + r) == fg) ==
                 font.pixel(static_cast<unsigned char>(c), col, r);
      if (same) match = c;
    }
    if (match < 0) break;
    text += static_cast<char>(match);
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::optional<long> panelNumber(std::string_view line) {
  if (line.size() <= 8) return std::nullopt;
  try {
    return std::stol(std::string(line.substr(8)));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

bool showsStagnation(std::string_view endLine) {
  const std::optional<long> count = panelNumber(endLine);
  return count && *count < -2;
}

void pause(std::chrono::milliseconds d) { std::this_thread::sleep_for(d); }

}  // namespace morvane::e2e
