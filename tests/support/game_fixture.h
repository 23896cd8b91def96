// A game started on the virtual platform with a fresh sound pack in a scratch program folder.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/virtual/virtual.h"

// SetUp resets the virtual platform and every global of the game, writes the pack and starts the
// window (start-up has run; the window's activation and first paint are pending). Fixtures that
// must change the pack or arm failures before start-up override SetUp with PreparePack(), their
// changes, StartWindow().
class GameFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The length of each sound of the pack; every file lasts 1000 ms unless overridden.
    virtual int SoundLengthMs(const std::string& relativeName);

    void PreparePack();
    void StartWindow();
    // Paints the window, which starts the intro, and cuts the intro with Ctrl: the menu's music
    // and instructions are playing, the record is cleared.
    void SkipToMenu();
    // From where the menu stands, Down to the item of `menuSlot`; ChooseMenuItem then clears the
    // record and presses Enter.
    void MenuDownTo(int menuSlot);
    void ChooseMenuItem(int menuSlot);
    // Presses each key in turn and gives back the files played meanwhile.
    std::vector<std::string> PlayedAfter(std::initializer_list<int> keys);

    // The files played since the record was last cleared, in order.
    std::vector<std::string> PlayedFiles() const;

    std::string programDir;
};

// Every global of the game back to its value at process start.
void ResetGameGlobals();
