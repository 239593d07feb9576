// Placeholder of a pedestrian until the road users are built: only the
// fields the audio manager's pools read, at resting values.
#pragma once

#include "platform/sound/SoundTypes.h"

class CHuman {
public:
    SoundVector m_vPosition{0.0f, 0.0f, 0.0f};
    float m_fCameraDistance = 0.0f; // to the current camera
};
