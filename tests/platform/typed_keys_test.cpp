// The layout rule shared by the backends: each of the game's characters, however typed, arrives
// as the code the character table holds for it.
#include "platform/core/typed_keys.h"

#include <gtest/gtest.h>

#include "game/level.h"
#include "game/level_internal.h"
#include "platform/key_codes.h"

namespace {

// The characters of the table, entry by entry; entry 36 holds none.
const char kTableCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 \\:,><-+.;/";

}  // namespace

TEST(TypedKeys, EachCharacterOfTheGameArrivesAsTheCodeItsEntryHolds) {
    BuildCharacterTable();
    for (int entry = 0; entry < kCharacterCount; ++entry) {
        if (entry == kUnusedCharacter) continue;
        char character = kTableCharacters[entry];
        EXPECT_EQ(CharacterKeyCode(static_cast<unsigned char>(character)),
                  g_characters[entry].keyCode)
            << character;
        // Whatever key typed it.
        EXPECT_EQ(TypedKeyCode(kKeyOem102, static_cast<unsigned char>(character)),
                  g_characters[entry].keyCode)
            << character;
    }
    EXPECT_EQ(CharacterKeyCode('q'), CharacterKeyCode('Q'));
}

TEST(TypedKeys, OtherCharactersTheKeypadAndTheAnswerKeysLeaveTheKeyAsItIs) {
    for (uint32_t other : {0u, uint32_t(' '), uint32_t('!'), uint32_t('@'), 0xE9u, 0x0444u}) {
        EXPECT_EQ(CharacterKeyCode(other), 0) << other;
        EXPECT_EQ(TypedKeyCode(kKey0 + 1, other), kKey0 + 1) << other;
    }
    EXPECT_EQ(TypedKeyCode(kKeyNumpad0 + 1, '1'), kKeyNumpad0 + 1);
    EXPECT_EQ(TypedKeyCode(kKeyAdd, '+'), kKeyAdd);
    EXPECT_EQ(TypedKeyCode(kKeyDecimal, '.'), kKeyDecimal);
    // An input method handing in a letter with Enter does not turn the answer into a letter.
    EXPECT_EQ(TypedKeyCode(kKeyEnter, 'a'), kKeyEnter);
    EXPECT_EQ(TypedKeyCode(kKeySpace, 'a'), kKeySpace);
}
