// The intro at the first paint, and the goodbye when the player leaves.
#pragma once

// Loaded with the sounds of the whole run, before the window shows, so that the first paint plays
// it at once (in the browser, converting it to the sound graph's rate takes a while).
void LoadIntro();
void StartIntro();
void IntroKeyDown(int key);
void IntroTick();
void PlayExitMessage();
