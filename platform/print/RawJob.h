#pragma once
// Raw print jobs: bytes that reach a printer unchanged (printer command languages), through
// the system's spooler ("lp -d <printer> -o raw") or into a file. The spooler call is a
// runner that tests replace.
#include "core/Classes.h"

#include <functional>
#include <string>

// Hands Data to the spooler for Printer under the job name Title; raises EPrinter when the
// spooler refuses or cannot be started.
using TRawJobRunner = std::function<void(const String& Printer, const String& Title, const std::string& Data)>;
// Replaces the runner (nullptr: the spooler again) and returns the previous one.
TRawJobRunner SetRawJobRunner(TRawJobRunner Runner);

// Writes Data into File when it is not empty, else hands it to the runner.
void SendRawJob(const String& Printer, const String& Title, const std::string& Data, const String& File);
