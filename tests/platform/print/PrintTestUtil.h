#pragma once
// Test printers: a recording printer that keeps the pages it is sent, printer sources made of
// such printers (or of none), and reading a PDF's text with pdftotext.
#include "print/Printers.h"
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace printtest {

// What the recording printers were asked to do, shared by all of a source's printers.
struct TJobLog {
  std::vector<String> Events;          // "begin <title>", "page", "end", "abort"
  std::vector<std::unique_ptr<TMetafile>> Pages;
  std::vector<TPrintJob> Jobs;
  std::vector<DEVMODE> PageModes;      // the mode of each page sent with one (AddSheet)
  int FailOnPage = 0;  // a page number the printer fails on (0: none)
  bool FailOnEnd = false;  // the printer fails to end the job
};

class TRecordingDevice : public TPrintDevice {
public:
  TRecordingDevice(String Name, TPrinterCaps Caps, std::shared_ptr<TJobLog> Log)
      : FName(std::move(Name)), FCaps(Caps), FLog(std::move(Log)) {}
  String Name() const override { return FName; }
  TPrinterCaps Caps(const DEVMODE& Mode) const override {
    TPrinterCaps c = FCaps;
    if (Mode.dmOrientation == DMORIENT_LANDSCAPE) {
      std::swap(c.Paper.cx, c.Paper.cy);
      c.Printable = {c.Printable.Top, c.Printable.Left, c.Printable.Bottom, c.Printable.Right};
    }
    return c;
  }
  void BeginJob(const TPrintJob& Job) override {
    FLog->Events.push_back("begin " + Job.Title);
    FLog->Jobs.push_back(Job);
  }
  void AddPage(const TMetafile& Page) override {
    if (FLog->FailOnPage == int(FLog->Pages.size()) + 1) throw EPrinter("The printer is out of paper");
    FLog->Events.push_back("page");
    auto copy = std::make_unique<TMetafile>();
    copy->Assign(const_cast<TMetafile*>(&Page));
    FLog->Pages.push_back(std::move(copy));
  }
  void AddSheet(const TMetafile& Page, const DEVMODE& Mode) override {
    AddPage(Page);
    FLog->PageModes.push_back(Mode);
  }
  void EndJob() override {
    if (FLog->FailOnEnd) throw EPrinter("The printer went offline");
    FLog->Events.push_back("end");
  }
  void AbortJob() override { FLog->Events.push_back("abort"); }

private:
  String FName;
  TPrinterCaps FCaps;
  std::shared_ptr<TJobLog> FLog;
};

// A 300-dpi printer with unprintable margins of 50 and 60 pixels on an A4-sized sheet.
inline TPrinterCaps RecorderCaps() {
  TPrinterCaps c;
  c.DpiX = c.DpiY = 300;
  c.Paper = {2480, 3508};
  c.Printable = {50, 60, 2430, 3448};
  return c;
}

class TTestSource : public TPrinterSource {
public:
  TTestSource(std::vector<String> Names, std::shared_ptr<TJobLog> Log, bool WithPdf, int Default = 0)
      : FNames(std::move(Names)), FLog(std::move(Log)), FPdf(WithPdf), FDefault(Default) {}
  std::vector<std::unique_ptr<TPrintDevice>> Devices() override {
    std::vector<std::unique_ptr<TPrintDevice>> out;
    for (const String& n : FNames) out.push_back(std::make_unique<TRecordingDevice>(n, RecorderCaps(), FLog));
    if (FPdf) out.push_back(CreatePdfPrintDevice());
    return out;
  }
  int DefaultIndex() override { return FDefault; }

private:
  std::vector<String> FNames;
  std::shared_ptr<TJobLog> FLog;
  bool FPdf;
  int FDefault;
};

// Installs a source and a fresh process-wide printer for one test, and puts both back.
class PrinterFixture : public ::testing::Test {
protected:
  void Use(std::vector<String> Names, bool WithPdf = true, int Default = 0) {
    Log = std::make_shared<TJobLog>();
    FOldSource = SetPrinterSource(std::make_unique<TTestSource>(std::move(Names), Log, WithPdf, Default));
    FOwn = std::make_unique<TPrinter>();
    FOld = SetPrinter(FOwn.get());
  }
  void TearDown() override {
    if (!FOwn) return;
    SetPrinter(FOld);
    FOwn.reset();
    SetPrinterSource(std::move(FOldSource));
  }
  TPrinter* P() { return FOwn.get(); }

  std::shared_ptr<TJobLog> Log;

private:
  std::unique_ptr<TPrinterSource> FOldSource;
  std::unique_ptr<TPrinter> FOwn;
  TPrinter* FOld = nullptr;
};

// A fresh folder for a test's files.
inline std::filesystem::path TempFolder(const std::string& Name) {
  auto dir = std::filesystem::temp_directory_path() / ("kelm_print_" + Name + "_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// The text of a PDF as pdftotext reads it (pages separated by form feeds); pdftotext comes
// with the build's dependencies, so its absence fails the test.
inline std::string PdfText(const std::filesystem::path& File) {
  std::string cmd = "pdftotext -enc UTF-8 '" + File.string() + "' - 2>&1";
  std::FILE* f = ::popen(cmd.c_str(), "r");
  if (!f) return "<pdftotext did not start>";
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
  int rc = ::pclose(f);
  EXPECT_EQ(rc, 0) << out;
  return out;
}

inline std::vector<std::string> PdfPages(const std::filesystem::path& File) {
  std::string all = PdfText(File);
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (std::size_t ff; (ff = all.find('\f', start)) != std::string::npos; start = ff + 1)
    pages.push_back(all.substr(start, ff - start));
  return pages;
}

}  // namespace printtest
