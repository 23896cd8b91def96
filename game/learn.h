#pragma once

extern int g_learnPos;

int StartLearnSounds();
int OnLearnKey(int key);
void AnnounceLearnItem();
void StopLearnSounds();
void ReleaseLearnSounds();
