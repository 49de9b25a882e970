// The clipboard over Qt's: named formats as MIME types, openings that place several formats
// together, pictures, and the change signal.
#include "gui/Clipbrd.h"
#include "gui/Graphics_p.h"

#include "core/ClassBuilder.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"
#include "core/StrUtils.h"

#include <QtCore/QMimeData>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>

#include <map>
#include <vector>

// ================================================================ formats

namespace {

constexpr UINT kFirstRegistered = 0xC000;

struct TFormatTable {
  std::map<String, UINT> ByName;  // upper-case name
  std::vector<String> Names;      // by id - kFirstRegistered, as first registered
};

TFormatTable& Formats() {
  static TFormatTable t;
  return t;
}

// Named formats other programs know under a standard type.
struct TKnownType {
  const char* Name;
  const char* Mime;
};
constexpr TKnownType kKnownTypes[] = {
    {"Csv", "text/csv"},
    {"Rich Text Format", "text/rtf"},
    {"VCLDBIF", "application/x-kelm-grid"},
};
constexpr const char* kOwnPrefix = "application/x-kelm-format.";

String MimeOfName(const String& name) {
  for (const TKnownType& k : kKnownTypes)
    if (SameText(name, k.Name)) return k.Mime;
  // Letters and digits stay; anything else is written as %XX, so every name has its own type.
  String r = kOwnPrefix;
  static const char* hex = "0123456789ABCDEF";
  for (unsigned char c : AnsiLowerCase(name)) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) r += static_cast<char>(c);
    else {
      r += '%';
      r += hex[c >> 4];
      r += hex[c & 15];
    }
  }
  return r;
}

// The registered format a MIME type stands for, 0 when none.
UINT FormatOfMime(const String& mime) {
  for (const TKnownType& k : kKnownTypes)
    if (mime == k.Mime) return RegisterClipboardFormat(k.Name);
  if (!StartsStr(kOwnPrefix, mime)) return 0;
  String name;
  for (std::size_t i = std::char_traits<char>::length(kOwnPrefix); i < mime.size(); ++i) {
    if (mime[i] == '%' && i + 2 < mime.size()) {
      name += static_cast<char>(std::stoi(mime.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      name += mime[i];
    }
  }
  return RegisterClipboardFormat(name);
}

QClipboard* SystemClipboard() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr; }

void Place(QMimeData* data) {
  if (QClipboard* cb = SystemClipboard()) cb->setMimeData(data);
  else delete data;
}

QString TextOfBytes(UINT format, const void* data, std::size_t size) {
  if (format == CF_UNICODETEXT) {
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    while (!units.empty() && units.back() == 0) units.pop_back();
    return QString::fromStdU16String(units);
  }
  String s(static_cast<const char*>(data), size);
  while (!s.empty() && s.back() == '\0') s.pop_back();
  return ToQString(s);
}

}  // namespace

UINT RegisterClipboardFormat(const String& Name) {
  if (Name.empty()) return 0;
  TFormatTable& t = Formats();
  String key = AnsiUpperCase(Name);
  if (auto it = t.ByName.find(key); it != t.ByName.end()) return it->second;
  UINT id = kFirstRegistered + static_cast<UINT>(t.Names.size());
  t.Names.push_back(Name);
  t.ByName[key] = id;
  return id;
}

String GetClipboardFormatName(UINT Format) {
  const TFormatTable& t = Formats();
  if (Format < kFirstRegistered || Format - kFirstRegistered >= t.Names.size()) return String();
  return t.Names[Format - kFirstRegistered];
}

String ClipboardFormatMimeType(UINT Format) {
  switch (Format) {
    case CF_TEXT:
    case CF_UNICODETEXT: return "text/plain";
    case CF_BITMAP: return "image/png";
    default: {
      String name = GetClipboardFormatName(Format);
      return name.empty() ? String() : MimeOfName(name);
    }
  }
}

// ================================================================ TClipboard

struct TClipboard::TWatch {
  QMetaObject::Connection Connection;
};

KELM_PUBLISH(TClipboard) {}

TClipboard::TClipboard() : FWatch(std::make_unique<TWatch>()) {
  if (QClipboard* cb = SystemClipboard())
    FWatch->Connection = QObject::connect(cb, &QClipboard::dataChanged, [this] {
      try {
        OnChange(this);
      } catch (...) {
        gui_glue::HandleCurrentException(this);
      }
    });
}

TClipboard::~TClipboard() { QObject::disconnect(FWatch->Connection); }

// The data written during an opening, handed to the system clipboard at its close.
class TMimeData : public QMimeData {};

void TClipboard::Open() { ++FOpenCount; }

void TClipboard::Close() {
  if (FOpenCount == 0) return;
  if (--FOpenCount == 0 && FPending) Place(FPending.release());
}

void TClipboard::Clear() {
  if (FOpenCount > 0) {
    FPending = std::make_unique<TMimeData>();
    return;
  }
  if (QClipboard* cb = SystemClipboard()) cb->clear();
}

struct TClipboard::TImpl {
  // The data to read: what this opening wrote, else the system's.
  static const QMimeData* Current(const TClipboard& C);
  // Runs Fill on the data being written: the opening's (begun empty at its first write), or
  // fresh data placed at once.
  static void Write(TClipboard& C, const std::function<void(QMimeData*)>& Fill);
};

const QMimeData* TClipboard::TImpl::Current(const TClipboard& C) {
  if (C.FOpenCount > 0 && C.FPending) return C.FPending.get();
  QClipboard* cb = SystemClipboard();
  return cb ? cb->mimeData() : nullptr;
}

void TClipboard::TImpl::Write(TClipboard& C, const std::function<void(QMimeData*)>& Fill) {
  if (C.FOpenCount > 0) {
    if (!C.FPending) C.FPending = std::make_unique<TMimeData>();
    Fill(C.FPending.get());
    return;
  }
  auto* data = new QMimeData;
  Fill(data);
  Place(data);
}

bool TClipboard::HasFormat(UINT Format) const {
  const QMimeData* d = TImpl::Current(*this);
  if (!d) return false;
  switch (Format) {
    case CF_TEXT:
    case CF_UNICODETEXT: return d->hasText();
    case CF_BITMAP: return d->hasImage();
    default: {
      String mime = ClipboardFormatMimeType(Format);
      return !mime.empty() && d->hasFormat(ToQString(mime));
    }
  }
}

int TClipboard::FormatCount() const {
  int n = 0;
  while (Formats(n) != 0) ++n;
  return n;
}

UINT TClipboard::Formats(int Index) const {
  const QMimeData* d = TImpl::Current(*this);
  if (!d || Index < 0) return 0;
  std::vector<UINT> present;
  if (d->hasText()) {
    present.push_back(CF_TEXT);
    present.push_back(CF_UNICODETEXT);
  }
  if (d->hasImage()) present.push_back(CF_BITMAP);
  for (const QString& mime : d->formats())
    if (UINT f = FormatOfMime(FromQString(mime))) present.push_back(f);
  return Index < static_cast<int>(present.size()) ? present[static_cast<std::size_t>(Index)] : 0;
}

String TClipboard::AsText() const {
  const QMimeData* d = TImpl::Current(*this);
  return d && d->hasText() ? FromQString(d->text()) : String();
}

void TClipboard::SetAsText(const String& Value) {
  TImpl::Write(*this, [&](QMimeData* d) { d->setText(ToQString(Value)); });
}

TBytes TClipboard::GetAsBytes(UINT Format) const {
  const QMimeData* d = TImpl::Current(*this);
  if (!d || !HasFormat(Format)) return {};
  QByteArray bytes;
  switch (Format) {
    case CF_TEXT: bytes = d->text().toUtf8(); break;
    case CF_UNICODETEXT: {
      std::u16string units = d->text().toStdU16String();
      bytes = QByteArray(reinterpret_cast<const char*>(units.data()), static_cast<qsizetype>(units.size() * 2));
      break;
    }
    case CF_BITMAP: {
      TBitmap bmp;
      const_cast<TClipboard*>(this)->AssignTo(&bmp);
      TMemoryStream ms;
      bmp.SaveToStream(&ms);
      const Byte* p = static_cast<const Byte*>(ms.Memory());
      return TBytes(p, p + ms.Size());
    }
    default: bytes = d->data(ToQString(ClipboardFormatMimeType(Format))); break;
  }
  return TBytes(bytes.begin(), bytes.end());
}

void TClipboard::SetAsBytes(UINT Format, const void* Data, std::size_t Size) {
  switch (Format) {
    case CF_TEXT:
    case CF_UNICODETEXT: {
      QString text = TextOfBytes(Format, Data, Size);
      TImpl::Write(*this, [&](QMimeData* d) { d->setText(text); });
      return;
    }
    case CF_BITMAP: {
      QImage img = QImage::fromData(static_cast<const uchar*>(Data), static_cast<int>(Size));
      TImpl::Write(*this, [&](QMimeData* d) { d->setImageData(img); });
      return;
    }
    default: {
      String mime = ClipboardFormatMimeType(Format);
      if (mime.empty()) throw EConvertError("Unknown clipboard format (" + std::to_string(Format) + ")");
      QByteArray bytes(static_cast<const char*>(Data), static_cast<qsizetype>(Size));
      TImpl::Write(*this, [&](QMimeData* d) { d->setData(ToQString(mime), bytes); });
    }
  }
}

int TClipboard::GetTextBuf(char* Buffer, int BufSize) const {
  return CopyTextToBuffer(AsText(), Buffer, BufSize);
}

void TClipboard::Assign(TPersistent* Source) {
  TGraphic* g = nullptr;
  if (auto* p = dynamic_cast<TPicture*>(Source)) g = p->Graphic();
  else g = dynamic_cast<TGraphic*>(Source);
  if (!g) {
    TPersistent::Assign(Source);
    return;
  }
  QImage img;
  if (auto* bmp = dynamic_cast<TBitmap*>(g)) {
    img = ImageOf(*bmp).copy();
  } else {
    TBitmap tmp;
    tmp.SetSize(g->Width(), g->Height());
    tmp.Canvas()->Draw(0, 0, g);
    img = ImageOf(tmp).copy();
  }
  TImpl::Write(*this, [&](QMimeData* d) { d->setImageData(img); });
}

void TClipboard::AssignTo(TPersistent* Dest) {
  TBitmap* bmp = dynamic_cast<TBitmap*>(Dest);
  if (auto* p = dynamic_cast<TPicture*>(Dest)) bmp = p->Bitmap();
  if (!bmp) {
    TPersistent::AssignTo(Dest);
    return;
  }
  const QMimeData* d = TImpl::Current(*this);
  QImage img = d && d->hasImage() ? qvariant_cast<QImage>(d->imageData()) : QImage();
  if (img.isNull()) {
    bmp->SetSize(0, 0);
    return;
  }
  img = img.convertToFormat(QImage::Format_RGB32);
  bmp->SetSize(img.width(), img.height());
  ImageOf(*bmp) = img;
  bmp->ImageChanged();
}

// ================================================================ the instance

namespace {
std::unique_ptr<TClipboard>& Instance() {
  static std::unique_ptr<TClipboard> c;
  return c;
}
}  // namespace

TClipboard* Clipboard() {
  if (!Instance()) Instance() = std::make_unique<TClipboard>();
  return Instance().get();
}

TClipboard* SetClipboard(TClipboard* NewClipboard) {
  TClipboard* old = Instance().release();
  Instance().reset(NewClipboard);
  return old;
}
