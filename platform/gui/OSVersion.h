#pragma once
// The version of the platform the controls believe they run on. It reads 5.1; a few
// controls keep behaviour of older versions (4.0), which tests reach by setting it.
// Declares TPlatformVersion.
struct TPlatformVersion {
  int Major = 5;
  int Minor = 1;
  bool Is(int AMajor, int AMinor) const { return Major == AMajor && Minor == AMinor; }
};

const TPlatformVersion& PlatformVersion();
void SetPlatformVersion(int Major, int Minor);
