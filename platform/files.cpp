// Placeholder until file access is written.
#include "platform/platform.h"

std::string PlatformProgramDir() { return {}; }
PlatformFile PlatformOpenRead(const char*) { return nullptr; }
PlatformFile PlatformOpenWriteExisting(const char*) { return nullptr; }
long PlatformRead(PlatformFile, void*, size_t) { return -1; }
long PlatformWrite(PlatformFile, const void*, size_t) { return -1; }
void PlatformClose(PlatformFile) {}
int PlatformReplaceFile(const char*, const void*, size_t) { return 0; }
std::string PlatformResolvePath(const char* path) { return path; }
