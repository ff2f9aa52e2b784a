#include "platform/qt/quick_start.h"

#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <string>

// What Qt would set up at start-up for nothing. The menu stays in the window,
// where the game's layout expects it, and is not offered to a desktop's
// global menu bar over D-Bus. The game reads keys, not composed text, so it
// needs no input method. Without a session bus there is no screen reader to
// talk to, and libdbus would start a bus of its own just for this window.
// The X server's core pointer events reach the window sooner than XInput 2's,
// which Qt answers with requests of its own first (see bench/measure_latency);
// the game reads neither tablets nor touch points, and a touch screen's
// finger comes as the pointer all the same. A player's own setting stands.
void leanStart() {
  QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
  qputenv("QT_IM_MODULE", "none");
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_XI2")) qputenv("QT_XCB_NO_XI2", "1");
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
      (runtime.isEmpty() || !QFileInfo::exists(QString::fromLocal8Bit(runtime + "/bus"))))
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

namespace {

// Where Qt takes its X11 plug-in from, when nothing asks for another
// platform or another place and the session is not a Wayland one; else
// nothing, and Qt loads what it chooses itself.
std::string x11PluginPath(bool platformChosen) {
  if (platformChosen || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM_PLUGIN_PATH") ||
      qgetenv("XDG_SESSION_TYPE") == "wayland")
    return {};
  return QFile::encodeName(QLibraryInfo::path(QLibraryInfo::PluginsPath)).toStdString() + "/platforms/libqxcb.so";
}

}  // namespace

StartAhead::StartAhead(bool platformChosen) {
  const std::string plugin = x11PluginPath(platformChosen);
  thread_ = std::thread([plugin] {
    // Loaded as Qt loads its plug-ins, and kept, as Qt keeps them: Qt's own
    // load finds them in place. Libxcursor is the one Qt loads by name.
    if (!plugin.empty()) {
      dlopen(plugin.c_str(), RTLD_LAZY | RTLD_LOCAL);
      dlopen("libXcursor.so.1", RTLD_LAZY | RTLD_LOCAL);
    }
    FcInit();
  });
}

void StartAhead::finish() {
  if (thread_.joinable()) thread_.join();
}
