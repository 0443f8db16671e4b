#include "platform/win/screen/x11screen.h"

#include "platform/win/window/internal.h"
#include "platform/win/base/codepage.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <vector>
#include <map>

namespace win {

std::optional<ScreenEvent> TranslateX11Key(unsigned long keysym, bool press, bool controlOrAlt,
                                           const std::string& text) {
  ScreenEvent e;
  e.kind = press ? ScreenEvent::kKeyDown : ScreenEvent::kKeyUp;
  static const std::map<unsigned long, UINT> kKeys = {
      {XK_Return, VK_RETURN},     {XK_KP_Enter, VK_RETURN}, {XK_Tab, VK_TAB},
      {XK_ISO_Left_Tab, VK_TAB},  {XK_BackSpace, VK_BACK},  {XK_Delete, VK_DELETE},
      {XK_KP_Delete, VK_DELETE},  {XK_Escape, VK_ESCAPE},   {XK_Left, VK_LEFT},
      {XK_Right, VK_RIGHT},       {XK_Up, VK_UP},           {XK_Down, VK_DOWN},
      {XK_KP_Left, VK_LEFT},      {XK_KP_Right, VK_RIGHT},  {XK_KP_Up, VK_UP},
      {XK_KP_Down, VK_DOWN},      {XK_Home, VK_HOME},       {XK_End, VK_END},
      {XK_Prior, VK_PRIOR},       {XK_Next, VK_NEXT},       {XK_Insert, VK_INSERT},
      {XK_Shift_L, VK_SHIFT},     {XK_Shift_R, VK_SHIFT},   {XK_Control_L, VK_CONTROL},
      {XK_Control_R, VK_CONTROL}, {XK_Alt_L, VK_MENU},      {XK_Alt_R, VK_MENU},
      {XK_Pause, VK_PAUSE},
  };
  if (auto it = kKeys.find(keysym); it != kKeys.end()) {
    e.vk = it->second;
    return e;
  }
  if (keysym >= XK_F1 && keysym <= XK_F12) {
    e.vk = UINT(VK_F1 + (keysym - XK_F1));
    return e;
  }
  // Characters: typed as text, unless a shortcut (Control, Alt) wants the key itself.
  const bool printable = !text.empty() && static_cast<unsigned char>(text[0]) >= 0x20 && text[0] != 0x7F;
  if (!controlOrAlt && printable) {
    if (!press) return std::nullopt;
    e.kind = ScreenEvent::kText;
    e.text = text;
    return e;
  }
  if (keysym >= XK_a && keysym <= XK_z)
    e.vk = UINT('A' + (keysym - XK_a));
  else if (keysym >= XK_A && keysym <= XK_Z)
    e.vk = UINT('A' + (keysym - XK_A));
  else if (keysym >= XK_0 && keysym <= XK_9)
    e.vk = UINT('0' + (keysym - XK_0));
  else if (keysym == XK_space)
    e.vk = VK_SPACE;
  else
    return std::nullopt;
  return e;
}

namespace {

using detail::Get;

// SIGUSR1 asks for a picture; the handler only wakes the loop through a pipe.
int g_wakeWrite = -1;
volatile sig_atomic_t g_pictureWanted = 0;
void OnPictureSignal(int) {
  g_pictureWanted = 1;
  if (g_wakeWrite >= 0) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(g_wakeWrite, &byte, 1);
  }
}

// A call on a window that the server has already dropped is no reason to end the program.
int IgnoreXError(Display*, XErrorEvent* e) {
  std::fprintf(stderr, "kolumo: X error %d (request %d) ignored\n", int(e->error_code), int(e->request_code));
  return 0;
}

class X11Screen : public Screen {
 public:
  X11Screen(Display* display, std::string picturePath) : display_(display), picturePath_(std::move(picturePath)) {
    screen_ = DefaultScreen(display_);
    visual_ = DefaultVisual(display_, screen_);
    depth_ = DefaultDepth(display_, screen_);
    wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
    wmDelete_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    netWmName_ = XInternAtom(display_, "_NET_WM_NAME", False);
    utf8_ = XInternAtom(display_, "UTF8_STRING", False);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    targets_ = XInternAtom(display_, "TARGETS", False);
    incr_ = XInternAtom(display_, "INCR", False);
    received_ = XInternAtom(display_, "KOLUMO_CLIPBOARD", False);
    receivedRtf_ = XInternAtom(display_, "KOLUMO_CLIPBOARD_RTF", False);
    // Never shown: it holds the clipboard for the program and receives other programs' text.
    clipWindow_ = XCreateSimpleWindow(display_, RootWindow(display_, screen_), -10, -10, 1, 1, 0, 0, 0);
    // Xlib's own input method gives every character a key makes by its Unicode value (the euro sign, Greek letters)
    // and joins dead keys with the next; an input-method server is not asked for.
    if (XSupportsLocale() && XSetLocaleModifiers("@im=none")) im_ = XOpenIM(display_, nullptr, nullptr, nullptr);
    XSetErrorHandler(IgnoreXError);
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) == 0) {
      g_wakeWrite = wake_[1];
      if (!picturePath_.empty()) {
        struct sigaction sa {};
        sa.sa_handler = OnPictureSignal;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGUSR1, &sa, &previousAction_);
        handlerSet_ = true;
      }
    }
  }

  ~X11Screen() override {
    if (handlerSet_) sigaction(SIGUSR1, &previousAction_, nullptr);
    g_wakeWrite = -1;
    for (int fd : wake_)
      if (fd >= 0) ::close(fd);
    for (auto& [hwnd, shown] : shown_) Drop(shown);
    if (im_) XCloseIM(im_);
    XDestroyWindow(display_, clipWindow_);
    XCloseDisplay(display_);
  }

  void OfferClipboard(const ClipboardContent& content) override {
    offered_ = content;
    XSetSelectionOwner(display_, clipboard_, clipWindow_, CurrentTime);
    XFlush(display_);
  }

  // The other program's RTF where it names an RTF target, and its text as UTF-8 (else Latin-1); a form that is
  // refused, too large or not UTF-8 where it should be stays empty.
  std::optional<ClipboardContent> OtherProgramsClipboard() override {
    const ::Window owner = XGetSelectionOwner(display_, clipboard_);
    if (owner == None || owner == clipWindow_) return std::nullopt;
    ClipboardContent content;
    Form targets;
    if (Fetch(targets_, received_, targets) == Fetched::kSilent) return content;
    if (targets.format == 32 && !targets.bytes.empty()) {
      std::vector<::Atom> atoms(targets.bytes.size() / sizeof(::Atom));
      std::memcpy(atoms.data(), targets.bytes.data(), atoms.size() * sizeof(::Atom));
      if (const std::string rtf = RtfTargetOf(AtomNames(atoms)); !rtf.empty()) {
        Form form;
        const Fetched got = Fetch(XInternAtom(display_, rtf.c_str(), False), receivedRtf_, form);
        if (got == Fetched::kSilent) return content;
        if (got == Fetched::kGot && form.format == 8) content.rtf = std::move(form.bytes);
      }
    }
    for (::Atom target : {utf8_, ::Atom(XA_STRING)}) {
      Form form;
      const Fetched got = Fetch(target, received_, form);
      if (got == Fetched::kSilent) break;
      if (got == Fetched::kRefused || form.format != 8) continue;
      if (target == utf8_) {
        content.text = std::move(form.bytes);
      } else {
        for (unsigned char c : form.bytes) content.text += detail::EncodeUtf8(c);  // Latin-1
      }
      break;
    }
    // Nothing readable is nothing to paste: not what the program itself copied before the other program took over.
    return content;
  }

  void Present() override {
    Sync();
    for (auto& [hwnd, shown] : shown_)
      if (shown.mapped) Blit(hwnd, shown);
    XFlush(display_);
  }

  SIZE Size() const override { return SIZE{DisplayWidth(display_, screen_), DisplayHeight(display_, screen_)}; }

  bool WaitForInput(DWORD timeoutMs) override {
    Present();
    if (!XPending(display_)) {
      pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_[0], POLLIN, 0}};
      const int timeout = timeoutMs == INFINITE ? -1 : int(std::min<DWORD>(timeoutMs, 1u << 30));
      const int ready = ::poll(fds, wake_[0] >= 0 ? 2 : 1, timeout);
      if (ready < 0 && errno != EINTR) return false;
      if (fds[0].revents & (POLLERR | POLLHUP)) return false;
      if (wake_[0] >= 0 && (fds[1].revents & POLLIN)) {
        char buffer[16];
        while (::read(wake_[0], buffer, sizeof buffer) > 0) {}
      }
    }
    // The picture shows what was done before it was asked for: a round trip brings every event sent before.
    const bool picture = g_pictureWanted;
    if (picture) XSync(display_, False);
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == KeyPress) FocusInput(event.xkey.window);
      if (XFilterEvent(&event, None)) continue;  // a dead key, waiting for the key it joins
      Handle(event);
    }
    if (picture) {
      g_pictureWanted = 0;
      WritePicture();
    }
    return true;
  }

 private:
  struct Shown {
    ::Window window = 0;
    cairo_surface_t* surface = nullptr;
    RECT rect{};
    std::string title;
    bool mapped = false;
    std::vector<std::uint32_t> last;  // the pixels copied last
    unsigned long request = 0;        // the serial of our last move or resize of the X window
    XIC input = nullptr;              // turns its key presses into characters
  };

  // Creates, moves, titles, maps and unmaps X windows as the window system's top-level windows now are.
  void Sync() {
    std::map<HWND, bool> alive;
    for (HWND hwnd : detail::TopLevelWindows()) {
      detail::Window* w = Get(hwnd);
      if (!w) continue;
      const bool visible = (w->style & WS_VISIBLE) && w->rect.right > w->rect.left && w->rect.bottom > w->rect.top;
      auto it = shown_.find(hwnd);
      if (!visible) {
        if (it != shown_.end() && it->second.mapped) {
          XUnmapWindow(display_, it->second.window);
          it->second.mapped = false;
        }
        if (it != shown_.end()) alive[hwnd] = true;
        continue;
      }
      alive[hwnd] = true;
      if (it == shown_.end()) it = shown_.emplace(hwnd, Make(*w)).first;
      Shown& s = it->second;
      const RECT& r = w->rect;
      if (r.left != s.rect.left || r.top != s.rect.top || r.right != s.rect.right || r.bottom != s.rect.bottom) {
        s.request = NextRequest(display_);
        XMoveResizeWindow(display_, s.window, r.left, r.top, unsigned(r.right - r.left), unsigned(r.bottom - r.top));
        cairo_xlib_surface_set_size(s.surface, r.right - r.left, r.bottom - r.top);
        s.rect = r;
      }
      if (s.title != w->text) {
        s.title = w->text;
        XStoreName(display_, s.window, s.title.c_str());
        XChangeProperty(display_, s.window, netWmName_, utf8_, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(s.title.data()), int(s.title.size()));
      }
      if (!s.mapped) {
        XMapRaised(display_, s.window);
        s.mapped = true;
      }
    }
    for (auto it = shown_.begin(); it != shown_.end();) {
      if (alive.count(it->first)) {
        ++it;
        continue;
      }
      Drop(it->second);
      byWindow_.erase(it->second.window);
      it = shown_.erase(it);
    }
  }

  Shown Make(const detail::Window& w) {
    Shown s;
    s.rect = w.rect;
    const int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
    XSetWindowAttributes a{};
    // Menus, drop-down lists and tips have no caption: no window manager may frame, move or focus them.
    a.override_redirect = (w.style & WS_CAPTION) == WS_CAPTION ? False : True;
    a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                   KeyReleaseMask | StructureNotifyMask;
    a.background_pixel = WhitePixel(display_, screen_);
    s.window = XCreateWindow(display_, RootWindow(display_, screen_), w.rect.left, w.rect.top, unsigned(width),
                             unsigned(height), 0, depth_, InputOutput, visual_,
                             CWOverrideRedirect | CWEventMask | CWBackPixel, &a);
    // A window with a sizing border may be made larger (and maximised) by the window manager, down to its
    // smallest size; any other keeps its size.
    XSizeHints hints{};
    hints.flags = USPosition | USSize | PMinSize;
    hints.x = w.rect.left;
    hints.y = w.rect.top;
    hints.width = hints.min_width = hints.max_width = width;
    hints.height = hints.min_height = hints.max_height = height;
    if (w.style & WS_THICKFRAME) {
      const SIZE least = detail::MinTrackSize(w.hwnd);
      hints.min_width = std::min(width, int(least.cx));
      hints.min_height = std::min(height, int(least.cy));
    } else {
      hints.flags |= PMaxSize;
    }
    XSetWMNormalHints(display_, s.window, &hints);
    XSetWMProtocols(display_, s.window, &wmDelete_, 1);
    const long pid = long(::getpid());
    XChangeProperty(display_, s.window, XInternAtom(display_, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    s.surface = cairo_xlib_surface_create(display_, s.window, visual_, width, height);
    if (im_)
      s.input = XCreateIC(im_, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, s.window,
                          XNFocusWindow, s.window, nullptr);
    byWindow_[s.window] = w.hwnd;
    return s;
  }

  void Drop(Shown& s) {
    if (s.surface) cairo_surface_destroy(s.surface);
    s.surface = nullptr;
    if (s.input) XDestroyIC(s.input);
    if (focusedInput_ == s.input) focusedInput_ = nullptr;
    s.input = nullptr;
    if (s.window) XDestroyWindow(display_, s.window);
    s.window = 0;
  }

  // Copies the window's pixels over when they changed since the last copy (or always, when forced: exposed).
  // Every copy makes the server answer with an event; copying unchanged pixels would wake the loop for ever.
  void Blit(HWND hwnd, Shown& s, bool force = false) {
    auto backing = detail::BackingOf(hwnd);
    if (!backing || !s.surface) return;
    cairo_surface_flush(backing->surface);
    const std::size_t rowBytes = std::size_t(backing->width) * sizeof(std::uint32_t);
    std::vector<std::uint32_t> now(std::size_t(backing->width) * std::size_t(backing->height));
    for (int y = 0; y < backing->height; ++y)
      std::memcpy(now.data() + std::size_t(y) * std::size_t(backing->width), backing->Row(y), rowBytes);
    if (!force && now == s.last) return;
    s.last = std::move(now);
    cairo_t* cr = cairo_create(s.surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, backing->surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(s.surface);
  }

  HWND Owner(::Window window) const {
    auto it = byWindow_.find(window);
    return it == byWindow_.end() ? nullptr : it->second;
  }

  // Another program asks for what the program copied: in one of the forms it is offered in, or which forms there are.
  void ServeClipboard(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = display_;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    const ::Atom property = request.property == None ? request.target : request.property;
    if (request.selection == clipboard_ && request.target == targets_) {
      const std::vector<std::string> names = OfferedTargets(offered_);
      std::vector<char*> pointers;
      for (const std::string& name : names) pointers.push_back(const_cast<char*>(name.c_str()));
      std::vector<::Atom> forms(names.size());
      XInternAtoms(display_, pointers.data(), int(pointers.size()), False, forms.data());
      XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(forms.data()), int(forms.size()));
      reply.property = property;
    } else if (request.selection == clipboard_) {
      const std::vector<std::string> target = AtomNames({request.target});
      if (std::optional<ServedForm> form = ServeTarget(offered_, target.empty() ? "" : target.front())) {
        XChangeProperty(display_, request.requestor, property, XInternAtom(display_, form->type.c_str(), False), 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(form->bytes.data()),
                        int(form->bytes.size()));
        reply.property = property;
      }
    }
    XSendEvent(display_, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(display_);
  }

  std::vector<std::string> AtomNames(const std::vector<::Atom>& atoms) {
    std::vector<std::string> names;
    for (::Atom atom : atoms) {
      char* name = atom == None ? nullptr : XGetAtomName(display_, atom);
      names.push_back(name ? name : "");
      if (name) XFree(name);
    }
    return names;
  }

  // A form another program gives: its bytes (for format 32 the longs Xlib hands out) and its format.
  struct Form {
    std::string bytes;
    int format = 0;
  };
  enum class Fetched { kGot, kRefused, kSilent };
  // Asks the clipboard's owner for a target. kSilent when it does not answer within a second (it has nothing to
  // give); kRefused when it refuses, or the form is larger than kMaxClipboardBytes or comes in pieces.
  // A form that comes in pieces is left unasked for in its own property (the RTF has one apart from the text's), so
  // that a piece sent late never mixes with another form.
  Fetched Fetch(::Atom target, ::Atom property, Form& form) {
    XDeleteProperty(display_, clipWindow_, property);
    XConvertSelection(display_, clipboard_, target, property, clipWindow_, CurrentTime);
    XFlush(display_);
    XEvent reply;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    bool answered = false;
    while (!(answered = XCheckTypedWindowEvent(display_, clipWindow_, SelectionNotify, &reply)) &&
           std::chrono::steady_clock::now() < deadline) {
      pollfd fd = {ConnectionNumber(display_), POLLIN, 0};
      ::poll(&fd, 1, 20);
    }
    if (!answered) return Fetched::kSilent;
    if (reply.xselection.property == None) return Fetched::kRefused;
    ::Atom type = None;
    unsigned long count = 0, left = 0;
    unsigned char* bytes = nullptr;
    if (XGetWindowProperty(display_, clipWindow_, property, 0, long(kMaxClipboardBytes / 4), False, AnyPropertyType,
                           &type, &form.format, &count, &left, &bytes) != Success)
      return Fetched::kRefused;
    const bool whole = bytes && type != incr_ && left == 0;
    if (whole)
      form.bytes.assign(reinterpret_cast<char*>(bytes),
                        count * (form.format == 32 ? sizeof(long) : std::size_t(form.format) / 8));
    if (bytes) XFree(bytes);
    if (whole) XDeleteProperty(display_, clipWindow_, property);
    return whole ? Fetched::kGot : Fetched::kRefused;
  }

  // Xlib's input method joins the keys of one input context at a time: the one of the window they are typed in.
  void FocusInput(::Window window) {
    auto it = shown_.find(Owner(window));
    XIC input = it == shown_.end() ? nullptr : it->second.input;
    if (!input || input == focusedInput_) return;
    if (focusedInput_) XUnsetICFocus(focusedInput_);
    XSetICFocus(input);
    focusedInput_ = input;
  }

  // The characters a key event gives, as UTF-8, and its keysym: a press through the window's input context (every
  // character by its Unicode value), a release, or a press without one, as X's Latin-1.
  static std::string KeyText(XKeyEvent& key, XIC input, KeySym& keysym) {
    char text[64] = {};
    keysym = NoSymbol;
    if (input && key.type == KeyPress) {
      Status status = XLookupNone;
      const int n = Xutf8LookupString(input, &key, text, sizeof text, &keysym, &status);
      if (status != XLookupKeySym && status != XLookupBoth) keysym = NoSymbol;
      return status == XLookupChars || status == XLookupBoth ? std::string(text, std::size_t(std::max(n, 0))) : "";
    }
    const int n = XLookupString(&key, text, sizeof text - 1, &keysym, nullptr);
    std::string utf8;
    for (int i = 0; i < n; ++i) utf8 += detail::EncodeUtf8(static_cast<unsigned char>(text[i]));
    return utf8;
  }

  void Handle(XEvent& event) {
    if (event.type == MappingNotify) {
      XRefreshKeyboardMapping(&event.xmapping);  // a keyboard layout or a key changed
      return;
    }
    if (event.type == SelectionRequest) {
      ServeClipboard(event.xselectionrequest);
      return;
    }
    HWND hwnd = Owner(event.xany.window);
    if (!hwnd) return;
    ScreenEvent e;
    e.window = hwnd;
    switch (event.type) {
      case Expose:
        if (event.xexpose.count == 0)
          if (auto it = shown_.find(hwnd); it != shown_.end()) Blit(hwnd, it->second, true);
        return;
      case MotionNotify: {
        // Only the newest position of a burst of moves matters; but never one past a press or release, which must
        // come where the pointer was then (a corner grabbed, then dragged).
        XEvent next;
        while (XPending(display_) && (XPeekEvent(display_, &next), next.type == MotionNotify) &&
               next.xany.window == event.xany.window)
          XNextEvent(display_, &event);
        e.kind = ScreenEvent::kMove;
        e.x = event.xmotion.x;
        e.y = event.xmotion.y;
        break;
      }
      case ButtonPress:
      case ButtonRelease: {
        const unsigned b = event.xbutton.button;
        e.x = event.xbutton.x;
        e.y = event.xbutton.y;
        if (b == Button4 || b == Button5) {
          if (event.type == ButtonRelease) return;
          e.kind = ScreenEvent::kWheel;
          e.wheel = b == Button4 ? WHEEL_DELTA : -WHEEL_DELTA;
          break;
        }
        if (b != Button1 && b != Button2 && b != Button3) return;
        e.kind = event.type == ButtonPress ? ScreenEvent::kPress : ScreenEvent::kRelease;
        e.button = b == Button1 ? VK_LBUTTON : b == Button2 ? VK_MBUTTON : VK_RBUTTON;
        // Without a window manager nobody else gives the keyboard to the window clicked.
        if (event.type == ButtonPress)
          if (detail::Window* w = Get(hwnd); w && (w->style & WS_CAPTION) == WS_CAPTION)
            XSetInputFocus(display_, event.xany.window, RevertToParent, CurrentTime);
        break;
      }
      case KeyPress:
      case KeyRelease: {
        KeySym keysym = NoSymbol;
        auto it = shown_.find(hwnd);
        const std::string utf8 = KeyText(event.xkey, it == shown_.end() ? nullptr : it->second.input, keysym);
        const bool modified = event.xkey.state & (ControlMask | Mod1Mask);
        auto key = TranslateX11Key(keysym, event.type == KeyPress, modified, utf8);
        if (!key) return;
        e = *key;
        break;
      }
      case ConfigureNotify: {
        // A window manager (or a tool) moved or sized the window: the window system learns where it lies, so that
        // what it places by it (a dropped list, a menu) appears there, and a new size reaches the window as
        // WM_SIZE. What the server reports before our last move or resize is overtaken by it.
        auto it = shown_.find(hwnd);
        detail::Window* w = Get(hwnd);
        if (it == shown_.end() || !w) return;
        Shown& s = it->second;
        if (event.xconfigure.serial < s.request) return;
        int x = 0, y = 0;
        ::Window child = 0;
        XTranslateCoordinates(display_, event.xconfigure.window, RootWindow(display_, screen_), 0, 0, &x, &y, &child);
        RECT& r = s.rect;
        int width = event.xconfigure.width, height = event.xconfigure.height;
        bool sized = width != r.right - r.left || height != r.bottom - r.top;
        if (sized && !(w->style & WS_THICKFRAME)) {
          // Without a sizing border the window keeps its size, whatever asked for another.
          s.request = NextRequest(display_);
          XResizeWindow(display_, s.window, unsigned(r.right - r.left), unsigned(r.bottom - r.top));
          sized = false;
        } else if (sized) {
          // Sized below its least size by a program that ignores the hints, it takes its least size back (or the
          // size it had, when that was smaller).
          const SIZE least = detail::MinTrackSize(hwnd);
          const int leastWidth = std::min(int(least.cx), std::max(width, int(r.right - r.left)));
          const int leastHeight = std::min(int(least.cy), std::max(height, int(r.bottom - r.top)));
          if (width < leastWidth || height < leastHeight) {
            width = std::max(width, leastWidth);
            height = std::max(height, leastHeight);
            s.request = NextRequest(display_);
            XResizeWindow(display_, s.window, unsigned(width), unsigned(height));
            sized = width != r.right - r.left || height != r.bottom - r.top;
          }
        }
        if (x == r.left && y == r.top && !sized) return;
        r = sized ? RECT{x, y, x + width, y + height} : RECT{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
        if (sized) {
          cairo_xlib_surface_set_size(s.surface, width, height);
          w->maximized = false;
        }
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | (sized ? 0 : SWP_NOSIZE));
        return;
      }
      case ClientMessage:
        if (event.xclient.message_type != wmProtocols_ || ::Atom(event.xclient.data.l[0]) != wmDelete_) return;
        e.kind = ScreenEvent::kClose;
        break;
      default: return;
    }
    DeliverScreenEvent(e);
  }

  // The screen as the window system means it: every visible top-level window painted whole where it lies, pop-ups
  // (a dropped list, a tip) over the windows they belong to, cut to the area they cover together; what no window
  // covers is transparent. It is taken after what waits to be painted has reached the screen, and painted apart
  // from the pixels the screen shows, so that it can be held against them.
  void WritePicture() {
    PumpMessages();
    XSync(display_, False);
    std::vector<HWND> order;
    for (bool topmost : {false, true})
      for (HWND hwnd : detail::TopLevelWindows())
        if (detail::Window* w = Get(hwnd); w && IsWindowVisible(hwnd) && bool(w->exStyle & WS_EX_TOPMOST) == topmost)
          order.push_back(hwnd);
    RECT area{};
    for (HWND hwnd : order) {
      const RECT& r = Get(hwnd)->rect;
      area = order.front() == hwnd ? r
                                   : RECT{std::min(area.left, r.left), std::min(area.top, r.top),
                                          std::max(area.right, r.right), std::max(area.bottom, r.bottom)};
    }
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (order.empty() || width <= 0 || height <= 0) {
      std::fprintf(stderr, "kolumo: no window to take a picture of\n");
      return;
    }
    cairo_surface_t* picture = detail::NewImageSurface(CAIRO_FORMAT_ARGB32, width, height);
    unsigned char* data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    std::memset(data, 0, std::size_t(stride) * std::size_t(height));
    for (HWND hwnd : order) {
      const Image image = RenderWindowApart(hwnd);
      if (!Get(hwnd)) continue;
      const RECT& r = Get(hwnd)->rect;
      for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
          const int px = r.left - area.left + x, py = r.top - area.top + y;
          if (px >= 0 && py >= 0 && px < width && py < height)
            reinterpret_cast<std::uint32_t*>(data + std::ptrdiff_t(py) * stride)[px] =
                0xFF000000u | image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)];
        }
    }
    cairo_surface_mark_dirty(picture);
    const std::string part = picturePath_ + ".part";
    const bool written = cairo_surface_write_to_png(picture, part.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(picture);
    if (!written || std::rename(part.c_str(), picturePath_.c_str()) != 0) {
      std::remove(part.c_str());
      std::fprintf(stderr, "kolumo: no picture written to %s\n", picturePath_.c_str());
    }
  }

  Display* display_;
  std::string picturePath_;
  int screen_ = 0;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  ::Atom wmProtocols_ = 0, wmDelete_ = 0, netWmName_ = 0, utf8_ = 0;
  ::Atom clipboard_ = 0, targets_ = 0, incr_ = 0, received_ = 0, receivedRtf_ = 0;
  ::Window clipWindow_ = 0;
  XIM im_ = nullptr;
  XIC focusedInput_ = nullptr;
  ClipboardContent offered_;  // what the program copied last
  int wake_[2] = {-1, -1};
  struct sigaction previousAction_ {};
  bool handlerSet_ = false;
  std::map<HWND, Shown> shown_;
  std::map<::Window, HWND> byWindow_;
};

}  // namespace

std::unique_ptr<Screen> OpenX11Screen(std::string& error, const std::string& picturePath) {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) {
    error = "no screen: DISPLAY is not set (a window needs an X display, e.g. DISPLAY=:0)";
    return nullptr;
  }
  Display* display = XOpenDisplay(name);
  if (!display) {
    error = std::string("no screen: the X display DISPLAY=") + name + " cannot be opened";
    return nullptr;
  }
  return std::make_unique<X11Screen>(display, picturePath);
}

}  // namespace win
