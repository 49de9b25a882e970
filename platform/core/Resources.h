#pragma once
// Resources embedded in the program (every file under resources/, found by its relative path)
// and resources registered at run time. Names ignore case and take '\' or '/'.
// Declares TResourceView and TResourceStream.
#include "core/Classes.h"
#include <memory>
#include <string_view>

struct TResourceView {
  String Name;  // as registered
  const Byte* Data = nullptr;
  std::size_t Size = 0;
  std::string_view Text() const { return {reinterpret_cast<const char*>(Data), Size}; }
};

// nullptr when there is no resource of that name; the view stays valid while the resource does.
const TResourceView* FindResourceData(const String& Name);
bool ResourceExists(const String& Name);
// EResNotFound "Resource <name> not found" when missing.
String LoadResourceString(const String& Name);
TBytes LoadResourceBytes(const String& Name);
std::vector<String> ResourceNames();

// Adds or replaces a resource (tests, plug-ins); an embedded one of that name is hidden by it.
void RegisterResource(const String& Name, TBytes Bytes);
void RegisterResource(const String& Name, std::string_view Text);
void UnregisterResource(const String& Name);

// A read-only memory stream over a resource; writing raises EStreamError.
class TResourceStream : public TCustomMemoryStream {
public:
  explicit TResourceStream(const String& Name);
  Int64 Write(const void* Buffer, Int64 Count) override;
  const String& ResourceName() const { return FName; }

private:
  String FName;
  std::shared_ptr<const void> FKeep;  // the data stays while the stream does
};
