// The intro at the first paint, and the goodbye when the player leaves.
#pragma once

void StartIntro();
void IntroKeyDown(int key);
void IntroTick();
void PlayExitMessage();
