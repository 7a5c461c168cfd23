// A tiny tmpfs mounted for one test, to run out of disk space for real.
#pragma once

#include <sys/mount.h>

#include <string>

#include "support/TempDir.h"

namespace fotoloom::test {

// Mounts a tmpfs of the given size over a fresh temporary folder and unmounts
// it on destruction. Mounting needs root (CAP_SYS_ADMIN); mounted() is false
// where the machine does not allow it, and the test should then skip.
class SmallDisk {
 public:
  // readOnly mounts it read-only (writes fail with EROFS, also for root).
  explicit SmallDisk(unsigned kibibytes, bool readOnly = false) {
    const std::string options = "size=" + std::to_string(kibibytes) + "k,mode=0777";
    const unsigned long flags = MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0);
    mounted_ = ::mount("fotoloom-test", dir_.str().c_str(), "tmpfs", flags, options.c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(dir_.str().c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  std::string str() const { return dir_.str(); }
  std::string operator/(const std::string& name) const { return dir_ / name; }

 private:
  TempDir dir_;
  bool mounted_ = false;
};

}  // namespace fotoloom::test
