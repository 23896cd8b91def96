// The speaker test: four sounds played in turn from front left, front right, rear left and rear
// right of the listener, each followed by a second of silence, then back to the menu.
#include "game/speaker_test.h"

#include "audio/bank_slots.h"
#include "audio/banks.h"
#include "game/menu.h"
#include "platform/platform.h"

namespace {

struct SpeakerPoint {
    int slot;
    float x, y, z;
};

// The listener sits at the origin facing +z: negative x is left, negative z behind. The sounds
// play in this order.
constexpr SpeakerPoint kSpeakerPoints[] = {
    {kSpeakerTestSlotFrontLeft, -1.0f, 0.0f, 5.0f},
    {kSpeakerTestSlotFrontRight, 1.0f, 0.0f, 5.0f},
    {kSpeakerTestSlotRearLeft, -8.0f, 0.0f, -5.0f},
    {kSpeakerTestSlotRearRight, 8.0f, 0.0f, -5.0f},
};

// Every point lies inside this distance, so the four differ in direction only, not loudness.
constexpr float kSpeakerMinDistance = 10.0f;

// All four are loaded before anything plays, so a missing file leaves the test silent.
bool LoadSpeakerTestSounds() {
    for (int i = 0; i < kSpeakerTestSoundCount; ++i) {
        SoundSlot& slot = g_speakerTestSounds[i];
        slot.use3D = 1;
        slot.buffer3D = nullptr;
        slot.sound = LoadSound3D(kSpeakerTestSoundFiles[i]);
        if (!slot.sound) return false;
        if (PlatformBufferGet3D(slot.sound, &slot.buffer3D) < 0) slot.buffer3D = nullptr;
        if (!slot.buffer3D) return false;
    }
    return true;
}

}  // namespace

int RunSpeakerTest() {
    if (!LoadSpeakerTestSounds()) {
        ReleaseSlotBank(g_speakerTestSounds, kSpeakerTestSoundCount);
        return 0;
    }
    for (const SpeakerPoint& point : kSpeakerPoints) {
        const SoundSlot& slot = g_speakerTestSounds[point.slot];
        PlatformBuffer3DSetMinDistance(slot.buffer3D, kSpeakerMinDistance);
        PlatformBuffer3DSetPosition(slot.buffer3D, point.x, point.y, point.z);
        PlaySoundAndWait(slot.sound, 0, 0);
        PlatformSleep(kSpeakerTestGapMs);
    }
    // Nothing plays these again; the next run loads them afresh.
    ReleaseSlotBank(g_speakerTestSounds, kSpeakerTestSoundCount);
    ReturnToMenu();
    return 1;
}
