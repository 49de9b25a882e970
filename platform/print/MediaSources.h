#pragma once
// Printer bins from the print system: a printer's "media-source" values (keywords such as
// "auto", "main", "manual", "tray-2") become numbered bins. Sources with a classic bin number
// keep it ("auto" is DMBIN_AUTO, "manual" DMBIN_MANUAL, ...); every other source takes the
// next user number from DMBIN_USER on, in the printer's order. Names are the keywords.
// Declares BinsOfMediaSources, PrinterMediaSources.
#include "print/Printers.h"

#include <vector>

std::vector<TPrintBin> BinsOfMediaSources(const std::vector<String>& Sources);
// The media sources the print system lists for a printer, in its order; none when there is no
// print server, no such printer, or the printer lists none.
std::vector<String> PrinterMediaSources(const String& Printer);
