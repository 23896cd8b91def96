// The table of functions that a platform backend provides, in the manner of a device driver:
// each backend fills one table with designated initialisers, in a library of its own
// (platform/real/ in tapdash_platform_real, platform/virtual/ in tapdash_platform_virtual), and
// platform.cpp forwards every backend-dependent call of platform.h to the selected table. What is
// the same in every backend (the message loop's close, destroy and Shift state, the files, the
// last error) lives once in the shared layer and has no entry here.
#pragma once

#include "platform/platform.h"

struct PlatformDriver {
    const char* name;
    PlatformKind kind;
    void (*runWindow)(const char* title, int width, int height, PlatformMessageHandler handler);
    int (*setTimer)(int id, int periodMs);
    void (*killTimer)(int id);
    void (*paintImage)(const PlatformImage& image);
    void (*setWindowIcon)(const PlatformImage& big, const PlatformImage& small);
    void (*messageBox)(const char* caption, const char* text);
    void (*aboutBox)(const char* caption, const char* const* lines, int lineCount);
    uint64_t (*nowMs)();
    void (*sleep)(int ms);
    void (*yield)();
    int (*audioOpen)();
    void (*audioClose)();
    int (*createBuffer)(const PlatformWaveFormat* format, uint32_t bytes, int flags,
                        Audio3DAlgorithm algorithm, PlatformBuffer* out);
    int (*bufferLock)(PlatformBuffer buffer, uint32_t offset, uint32_t bytes, void** region1,
                      uint32_t* bytes1, void** region2, uint32_t* bytes2);
    int (*bufferUnlock)(PlatformBuffer buffer, void* region1, uint32_t bytes1, void* region2,
                        uint32_t bytes2);
    int (*bufferSetPosition)(PlatformBuffer buffer, uint32_t bytePosition);
    int (*bufferSetPan)(PlatformBuffer buffer, int pan);
    int (*bufferSetVolume)(PlatformBuffer buffer, int volume);
    int (*bufferPlay)(PlatformBuffer buffer, int flags);
    int (*bufferStop)(PlatformBuffer buffer);
    int (*bufferGetStatus)(PlatformBuffer buffer, uint32_t* status);
    void (*bufferRelease)(PlatformBuffer buffer);
    void (*bufferSetLabel)(PlatformBuffer buffer, const char* label);
    int (*bufferGet3D)(PlatformBuffer buffer, PlatformBuffer3D* out);
    int (*buffer3DSetMinDistance)(PlatformBuffer3D buffer3D, float distance);
    int (*buffer3DSetPosition)(PlatformBuffer3D buffer3D, float x, float y, float z);
    void (*buffer3DRelease)(PlatformBuffer3D buffer3D);
    int (*createListener)(PlatformListener* out);
    void (*listenerRelease)(PlatformListener listener);
    int (*controllerOpen)();
    void (*controllerAcquire)();
    int (*controllerPoll)();
    void (*controllerClose)();
    int (*httpGet)(const char* url, std::string* body, size_t maxBodyBytes);
};

// Makes `driver` the one every platform call goes to (each backend's selector calls this).
void PlatformSelectDriver(const PlatformDriver* driver);
// The selected table; null until a backend has been selected.
const PlatformDriver* PlatformCurrentDriver();
