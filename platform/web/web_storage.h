// The browser's storage under the program folder: the page fills the folder from the server (the
// sound pack) and from the browser's storage (best.dat, config.dat) before the game starts, and
// every file the game writes there is written through to the browser's storage.
#pragma once

// Copies the file just written at `path` into the browser's storage, returning once it is
// stored there: a tab closed afterwards keeps it.
void WebStoreFile(const char* path);

// Waits until a file of the sound pack that is still on its way from the server has arrived.
void WebAwaitFile(const char* path);
