// The sound output of the Windows backend: the default playback device through WASAPI in shared,
// event-driven mode, with the smallest period the device allows. A thread of its own asks the
// render callback for each period's frames (signed 16-bit stereo at the requested rate) while
// holding the device lock, and converts them to the device's own format.
#pragma once

#include <cstdint>

typedef void (*WasapiRender)(int16_t* out, int frames);

// Opens the device and starts the stream. 0 on success, a negative value when there is no
// device or it takes none of our formats. *periodFrames receives the period in frames.
int WasapiOpen(WasapiRender render, int rate, int* periodFrames);
void WasapiClose();
// Held while the game changes what the render callback reads.
void WasapiLock();
void WasapiUnlock();
