// The hand-over of key messages to the game.
#pragma once

void HandleKeyDown(int key);
void HandleKeyUp(int key);
