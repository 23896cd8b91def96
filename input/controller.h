// The game controller: opened, polled and released; no mode reacts to it.
#pragma once

extern int g_controllerLive;

int InitController();
int PollController();
void ShutdownController();
void AcquireController();
