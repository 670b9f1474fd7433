#include "framework/qt/lock_keys.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if __has_include(<xcb/xkb.h>)
#include <dlfcn.h>
#include <xcb/xcb.h>
// The protocol header names a field "explicit", which C++ keeps for itself.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit

#include <QtGui/qguiapplication_platform.h>
#define DENSORA_HAVE_XKB 1
#endif

namespace framework {

#ifdef DENSORA_HAVE_XKB
namespace {

// The few xcb and xcb-xkb calls, from the libraries the X11 platform plugin has loaded
// already: the program itself links no X library, and runs where there is none.
struct XkbCalls {
  decltype(&xcb_intern_atom) internAtom = nullptr;
  decltype(&xcb_intern_atom_reply) internAtomReply = nullptr;
  decltype(&xcb_xkb_use_extension) useExtension = nullptr;
  decltype(&xcb_xkb_use_extension_reply) useExtensionReply = nullptr;
  decltype(&xcb_xkb_get_named_indicator) namedIndicator = nullptr;
  decltype(&xcb_xkb_get_named_indicator_reply) namedIndicatorReply = nullptr;
  bool Loaded() const {
    return internAtom && internAtomReply && useExtension && useExtensionReply && namedIndicator &&
           namedIndicatorReply;
  }
};

template <class F>
void Find(void* library, const char* name, F& into) {
  if (library) into = reinterpret_cast<F>(dlsym(library, name));
}

const XkbCalls& Calls() {
  static const XkbCalls calls = [] {
    XkbCalls c;
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    void* xkb = dlopen("libxcb-xkb.so.1", RTLD_LAZY | RTLD_LOCAL);
    Find(xcb, "xcb_intern_atom", c.internAtom);
    Find(xcb, "xcb_intern_atom_reply", c.internAtomReply);
    Find(xkb, "xcb_xkb_use_extension", c.useExtension);
    Find(xkb, "xcb_xkb_use_extension_reply", c.useExtensionReply);
    Find(xkb, "xcb_xkb_get_named_indicator", c.namedIndicator);
    Find(xkb, "xcb_xkb_get_named_indicator_reply", c.namedIndicatorReply);
    return c;
  }();
  return calls;
}

// The server's names of the three indicators; 0 for one it does not know. Asked once per
// connection, together with the extension's handshake.
struct Indicators {
  xcb_connection_t* connection = nullptr;
  bool usable = false;
  std::array<xcb_atom_t, 3> atoms{};
};

const Indicators& IndicatorsOf(xcb_connection_t* connection, const XkbCalls& x) {
  static Indicators known;
  if (known.connection == connection) return known;
  known = Indicators{connection, false, {}};
  xcb_generic_error_t* error = nullptr;
  auto* use = x.useExtensionReply(connection, x.useExtension(connection, 1, 0), &error);
  std::free(error);
  known.usable = use != nullptr && use->supported;
  std::free(use);
  static constexpr const char* kNames[] = {"Caps Lock", "Num Lock", "Scroll Lock"};
  for (std::size_t i = 0; i < known.atoms.size() && known.usable; ++i) {
    const auto cookie =
        x.internAtom(connection, 1, static_cast<std::uint16_t>(std::strlen(kNames[i])), kNames[i]);
    auto* atom = x.internAtomReply(connection, cookie, &error);
    std::free(error);
    error = nullptr;
    known.atoms[i] = atom ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(atom);
  }
  return known;
}

}  // namespace

std::optional<LockKeys> LockKeysFromDisplay() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  const XkbCalls& x = Calls();
  if (!connection || !x.Loaded()) return std::nullopt;
  const Indicators& ind = IndicatorsOf(connection, x);
  if (!ind.usable) return std::nullopt;
  // All three questions go out before the first answer is awaited.
  std::array<xcb_xkb_get_named_indicator_cookie_t, 3> cookies{};
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    if (ind.atoms[i] == XCB_ATOM_NONE) continue;
    cookies[i] =
        x.namedIndicator(connection, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_LED_CLASS_DFLT_XI_CLASS,
                         XCB_XKB_ID_DFLT_XI_ID, ind.atoms[i]);
  }
  std::array<bool, 3> on{};
  bool found = false;
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    if (ind.atoms[i] == XCB_ATOM_NONE) continue;
    xcb_generic_error_t* error = nullptr;
    auto* reply = x.namedIndicatorReply(connection, cookies[i], &error);
    std::free(error);
    if (reply && reply->found) {
      found = true;
      on[i] = reply->on != 0;
    }
    std::free(reply);
  }
  if (!found) return std::nullopt;
  return LockKeys{on[0], on[1], on[2]};
}
#else
std::optional<LockKeys> LockKeysFromDisplay() { return std::nullopt; }
#endif

LockKeys LockKeysFromLeds(const QString& ledsDir) {
  const QDir leds(ledsDir);
  auto lit = [&leds](const char* name) {
    const QStringList entries = leds.entryList({QStringLiteral("*::") + QString::fromLatin1(name)},
                                               QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
      QFile f(leds.filePath(e) + QStringLiteral("/brightness"));
      if (f.open(QIODevice::ReadOnly) && f.readAll().trimmed() != "0") return true;
    }
    return false;
  };
  return LockKeys{lit("capslock"), lit("numlock"), lit("scrolllock")};
}

LockKeys CurrentLockKeys() {
  if (const auto fromDisplay = LockKeysFromDisplay()) return *fromDisplay;
  return LockKeysFromLeds();
}

}  // namespace framework
