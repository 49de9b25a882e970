#pragma once
// A folder nobody can write into, the superuser included: its permissions say read-only and,
// where they do not bind (a superuser), the file system marks it immutable. Writable() tells
// whether that worked; a test that needs the folder closed asserts it.
#include "core/FileUtils.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

class TReadOnlyFolder {
public:
  explicit TReadOnlyFolder(const String& Dir) : FDir(Dir) {
    ForceDirectories(Dir);
    ::chmod(Dir.c_str(), 0555);
    if (Writable()) SetImmutable(true);
  }
  ~TReadOnlyFolder() {
    SetImmutable(false);
    ::chmod(FDir.c_str(), 0755);
  }
  TReadOnlyFolder(const TReadOnlyFolder&) = delete;
  TReadOnlyFolder& operator=(const TReadOnlyFolder&) = delete;

  const String& Path() const { return FDir; }
  bool Writable() const {
    String probe = FDir + "/.probe";
    int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
  }

private:
  void SetImmutable(bool On) const {
    int fd = ::open(FDir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      int wanted = On ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
      if (wanted != flags) ::ioctl(fd, FS_IOC_SETFLAGS, &wanted);
    }
    ::close(fd);
  }

  String FDir;
};
