// One pedestrian of the city: an animated figure with a body texture and
// three tinted clothing layers, a walk path on the walkways, an action state
// machine and a physics presence (a standing body, or a ragdoll once a car
// has struck it). Created, updated and removed by the pedestrian manager.
#pragma once

#include "objects/StaticObject.h"
#include "platform/D3DX9.h"
#include "shell/FileManager.h"

#include <cstdint>

class CHumanRagdoll;
class IDirect3DTexture9;

enum {
    HUMAN_ACTIONS = 7,
    HUMAN_BODY_PARTS = 11,
    HUMAN_PATH_POINTS = 2048,
    HUMAN_CLOTHING_SLOTS = 3,
    HUMAN_MAX_ACTION_RECORDS = 64,
};

struct HumanRange {
    std::int32_t first;
    std::int32_t count;
};

struct HumanClothing {
    std::int32_t texture;          // -1 when not loaded
    float r, g, b, a;              // the slot's tint
    IDirect3DTexture9* pTinted;    // borrowed from the manager's table; null when unused
};

// One step of a looping animation: the frame moves on by step x rate x 12.5
// and wraps inside [first, last + 1); a frame before the loop starts it
// again. Returns the frame; *shown gets the frame to draw (truncated, at most
// the last frame).
float AdvanceHumanAnimation(float frame, float step, float rate, int first, int last, int* shown);
// The waiting animation runs up and back down: the frame and the rate (its
// sign is the direction) move together.
float AdvanceWaitingAnimation(float frame, float step, float* rate, int first, int last, int* shown);

class CHuman : public CStaticObject {
public:
    CHuman();

    void Load(const char* path, int gender);
    void Release();
    // Stands the pedestrian on the ground at position facing target; a null
    // position places it again where it was last placed.
    void SetPosition(const D3DXVECTOR3* position, const D3DXVECTOR3* target);
    void Update();
    void SetAction(int code);
    void UpdateAction();
    void UpdateIdle();
    void UpdateWalk();
    void UpdateApplaud();
    void UpdateWaitForTaxi();
    void UpdateDead();

    // Standing body and ragdoll.
    void SetRagdoll(int on);
    void PlaceBody(const D3DXVECTOR3* position, const D3DXVECTOR3* target);
    void SyncBody();
    void UpdateRagdollSleep();
    void DestroyRagdoll();

    // Drawn within 50 of the camera, into the shadow map within 25.
    void Render();
    void RenderShadow();

    // Reads the pedestrian's own part of the description file from an open
    // handle (the common part already read).
    void ReadOwnPart(FileHandle file);

    D3DXVECTOR3 m_vGround;
    D3DXVECTOR3 m_vWalkTarget;
    HumanRange m_PartVertices[HUMAN_BODY_PARTS];
    HumanRange m_PartTriangles[HUMAN_BODY_PARTS];
    std::int32_t m_nBodyTexture;
    HumanClothing m_Clothing[HUMAN_CLOTHING_SLOTS];
    std::int32_t m_ActionFrames[HUMAN_ACTIONS][2];
    float m_fActionRates[HUMAN_ACTIONS];
    std::int32_t m_nAction;
    float m_fFrame;
    float m_fBleedTimer;
    float m_fCarCheckTimer;
    float m_fActionTimer;
    D3DXVECTOR3 m_WalkPath[HUMAN_PATH_POINTS];
    std::uint32_t m_nWalkPath;
    D3DXVECTOR3 m_vWaitingSpot;
    float m_fBodyMass;
    float m_fWalkSpeed;
    float m_fRunSpeed;
    CHumanRagdoll* m_pRagdoll;
    std::int32_t m_nGender;

private:
    void DrawRagdoll();
    void ReadTextures(FileHandle file, char* line);
    void ReadActions(FileHandle file, char* line);
    void ReadBodyParts(FileHandle file, char* line);
    void ClampLoadedValues();
    int PrepareTaxiJob();
    void CheckForCars();
    bool FollowPath();
    void LookAt(const D3DXVECTOR3* position, const D3DXVECTOR3* target);
    void FaceHorizontally(const D3DXVECTOR3* point);
    void SetShownFrame(int shown);
};

// The action keyword parser of description files maps unknown words to 0.
