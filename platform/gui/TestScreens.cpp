#include "gui/TestScreens.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

bool ConfigureOffscreenScreens(const std::vector<TRect>& Screens) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && std::strncmp(platform, "offscreen", 9) != 0) return false;
  QJsonArray screens;
  int n = 0;
  for (const TRect& r : Screens) {
    QJsonObject s;
    s["name"] = QStringLiteral("OFFSCREEN%1").arg(++n);
    s["x"] = r.Left;
    s["y"] = r.Top;
    s["width"] = r.Width();
    s["height"] = r.Height();
    s["logicalDpi"] = 96;
    s["logicalBaseDpi"] = 96;
    s["dpr"] = 1;
    screens.append(s);
  }
  QJsonObject config;
  config["screens"] = screens;
  const QString path = QDir::temp().filePath(QStringLiteral("kelm_screens_%1.json").arg(getpid()));
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  f.write(QJsonDocument(config).toJson());
  f.close();
  setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toUtf8().constData(), 1);
  return true;
}
