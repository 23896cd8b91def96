// What the browser adds to the program folder's files (defined by platform/web/web_storage.cpp):
// the page fills the folder from the server (the sound pack) and from the browser's storage
// (best.dat, config.dat) before the game starts, and keeps every file the game writes there.
#pragma once

// Waits until a file of the sound pack that is still on its way from the server has arrived.
void BrowserAwaitFile(const char* path);
// Copies the file just written at `path` into the browser's storage, returning once it is
// stored there: a tab closed afterwards keeps it.
void BrowserKeepFile(const char* path);
