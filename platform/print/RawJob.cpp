#include "print/RawJob.h"
#include "core/Exceptions.h"
#include "core/SysUtils.h"
#include "gui/QtBridge_p.h"

#include <QFile>
#include <QProcess>

namespace {

// No shell between us and the spooler: the printer name and title are arguments, never text
// a shell would read.
void SpoolWithLp(const String& Printer, const String& Title, const std::string& Data) {
  QProcess lp;
  lp.start(QStringLiteral("lp"), {QStringLiteral("-d"), ToQString(Printer), QStringLiteral("-t"), ToQString(Title),
                                   QStringLiteral("-o"), QStringLiteral("raw")});
  if (!lp.waitForStarted(10000)) throw EPrinter("The print spooler (lp) could not be started");
  lp.write(Data.data(), qint64(Data.size()));
  lp.closeWriteChannel();
  if (!lp.waitForFinished(60000) || lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0)
    throw EPrinter(Format("The print spooler refused the job for \"%s\": %s",
                          {Printer, FromQString(QString::fromLocal8Bit(lp.readAllStandardError()).trimmed())}));
}

TRawJobRunner& RunnerSlot() {
  static TRawJobRunner runner;
  return runner;
}

}  // namespace

TRawJobRunner SetRawJobRunner(TRawJobRunner Runner) {
  TRawJobRunner old = std::move(RunnerSlot());
  RunnerSlot() = std::move(Runner);
  return old;
}

void SendRawJob(const String& Printer, const String& Title, const std::string& Data, const String& File) {
  if (!File.empty()) {
    QFile f(ToQString(File));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(Data.data(), qint64(Data.size())) != qint64(Data.size()))
      throw EFCreateError(Format("Cannot create file \"%s\". %s", {File, FromQString(f.errorString())}));
    return;
  }
  if (RunnerSlot()) RunnerSlot()(Printer, Title, Data);
  else SpoolWithLp(Printer, Title, Data);
}
