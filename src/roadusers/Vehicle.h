// The one car class: player, rival, police and traffic cars alike. A car is a
// static object (its model instance, placement and optional rigid body) with
// a deformable body mesh, paint, a raycast vehicle and its driving figures.
#pragma once

#include "graphics/LightVertex.h"
#include "objects/StaticObject.h"
#include "platform/D3DX9.h"

#include <BulletDynamics/Vehicle/btRaycastVehicle.h>

#include <cstdint>

class CGameSound;
class CProp;
class CSaveReader;
class CSaveWriter;
class CSkidTrail;
struct D3DXCOLOR4;
class btCompoundShape;
class btCollisionShape;

// The car record of a save: 156 bytes whose last u32 (at offset 152) is the
// count N of the 40-byte dent records that follow it.
constexpr unsigned VEHICLE_RECORD_BASE_SIZE = 156;
constexpr unsigned VEHICLE_RECORD_COUNT_OFFSET = 152;
constexpr unsigned VEHICLE_RECORD_ITEM_SIZE = 40;

enum {
    VEHICLE_PLAYER = 0,
    VEHICLE_RIVAL = 1,
    VEHICLE_POLICE = 2,
    VEHICLE_TRAFFIC = 3,
};

// What drives a car that is not under player control.
enum {
    AI_STATE_NONE = 0,
    AI_STATE_HOLD = 1,
    AI_STATE_TRAFFIC = 2,
    AI_STATE_RACE = 3,
    AI_STATE_PURSUIT = 4,
    AI_STATE_BACKOFF = 5,
    AI_STATE_REPAIR = 6,
    AI_STATE_PAINT = 7,
};

enum { ENGINE = 0, TRANSMISSION = 1, CHASSIS = 2, TIRES = 3 };

// The highest level the workshop sells of a part; a player's car never has
// more (rivals are given more for a race).
enum { VEHICLE_UPGRADE_LEVEL_MAX = 3 };

enum {
    VEHICLE_ROUTE_SIZE = 2048,
    VEHICLE_TRAIL_SIZE = 10,
    VEHICLE_PART_GROUPS = 5,
    VEHICLE_MAX_BODY_TEXTURES = 16,
    VEHICLE_TEXTURE_NAME_SIZE = 255,
    VEHICLE_MAX_BODY_VERTICES = 10000,
    VEHICLE_MAX_TWINS = 4,
    VEHICLE_BODY_VERTEX_SIZE = 36,
    VEHICLE_BODY_HEADER_SIZE = 88,
    VEHICLE_BODY_COLOUR_OFFSET = 24,
    // Mesh parts the car reads: the in-car camera (0), the lamps (1-3), the
    // engine and flashers (4), the wheel hubs (8) and the collision hull (12).
    VEHICLE_MESH_ENGINE_PART = 4,
    VEHICLE_MESH_WHEEL_PART = 8,
    VEHICLE_MESH_COLLISION_PART = 12,
};

// The largest force one wheel's suspension may push with. Bullet's own
// default (6000) is below what a heavy car's wheel carries at full
// compression, which let heavy cars sink through the road on landing.
constexpr float VEHICLE_MAX_SUSPENSION_FORCE = 40000.0f;

// Position, normal, colour and one uv set.
constexpr DWORD VEHICLE_BODY_FVF = 0x152;

// One per body vertex, stored as is in the body file and the save record.
struct DeformRecord {
    D3DXVECTOR3 vBase;   // undented position
    D3DXVECTOR3 vDented; // fully dented position
    float fAmount = 0.0f;
    std::uint16_t Twins[4] = {};
    std::uint8_t nTwins = 0;
    std::uint8_t pad[3] = {};
};
static_assert(sizeof(DeformRecord) == 40, "dent records are 40 bytes in files and saves");

// The batch vertex of the police lights and the grass is the light vertex.
using BatchVertex = CLightVertex;

class CVehicle : public CStaticObject {
public:
    CVehicle();

    // Model loading and life cycle.
    void LoadModel(const char* path);
    void Release();
    void DestroyPhysics();
    void Spawn(const D3DXVECTOR3* pos, const D3DXVECTOR3* target, const D3DXVECTOR3* up, int controlMode, int kind,
               int resetRoute);
    void BuildPhysics(float mass, const D3DXVECTOR3* pos, const D3DXVECTOR3* target, const D3DXVECTOR3* up);
    // 1 when the model has everything physics needs (mesh, collision part,
    // five wheel points and both wheel models).
    int HasPhysicsModel() const;

    // State from outside.
    void SetControlMode(int mode);
    void SetAIState(int state);
    void ResetToRoad(const D3DXVECTOR3* pos, const D3DXVECTOR3* target);
    void SetPhysicsActive(int active);
    void ResetBody();
    void UpdateRemainingDistance();
    int FindNearestRouteIndex(const D3DXVECTOR3* pos) const;
    void Save(CSaveWriter& out);
    // 1 when the whole record was there (applied or, when it does not fit
    // this car's body, skipped); 0 for a short or malformed record.
    int Load(CSaveReader& in);
    // Brings the fields a save record sets into the ranges the game itself
    // gives them (levels 0..3, damage, wear and paint 0..1, dent amounts
    // 0..1); Load calls it before the figures are computed.
    void ClampRecordState();

    // Figures.
    void UpdatePerformance(int applyDamage, int extra);
    int GetPerformanceRating(int applyDamage, int extra);
    int GetRepairPrice(int extra);
    void UpdatePhysicsProperties();

    // Body damage queries and repair.
    int GetPartGroup(std::uint32_t index) const;
    void RepairBody(float fraction);
    void BreakLightsNear(const DeformRecord* record);
    void RestoreLightsNear(const DeformRecord* record);
    void ApplyCollisionDamage(const D3DXVECTOR3* localPoint, const D3DXVECTOR3* normal, void* other, float strength);
    // 0 .. 1 from the car's velocity against the contact normal, or from the
    // closing speed and masses when the other object has mass.
    float ImpactStrength(const D3DXVECTOR3* normal, const CStaticObject* other) const;
    // count random dents of the given strength (scripted damage).
    void ApplyRandomDamage(int count, float strength);
    float GetMeanDeformation() const;
    // (mean dent + engine damage + mean wheel wear) / 3, 0 .. 1.
    float GetDamageRatio() const;

    // The drive steps of the car's frame, in the order the update calls them;
    // the speed model moves a car whose body is out of the physics world.
    void UpdateSteering();
    void UpdateEngine();
    void UpdatePhysicsLod();
    void UpdateMotion();
    void UpdateSpeedModel();
    // Stops the car dead and parks it; Park only brakes.
    void StopImmediately();
    void Park();

    // The car's frame: fade, driver, despawn, the physics steps and the
    // player's trail. Nothing while the car is not alive.
    void Update();
    void UpdateBehaviour();
    void UpdatePlayerInput();
    void UpdateRaceProgress();
    // The AI drivers, one step each.
    void DriveTraffic();
    void DriveRace();
    void DrivePursuit();
    void BackOff();
    void DriveWorkshopRepair();
    void DriveWorkshopPaint();
    // 1 when a car blocks the way; a rival also learns which car (out).
    int CheckCarAhead(CVehicle** out);
    // The player's trail that chasing police follow.
    void UpdateTrail();
    // The last step of the car's frame: drawn wheel matrices, skid marks,
    // dust, water, the jump trick, grip and the tyre screech.
    void UpdateWheels();

    // The drawing routines the vehicle passes run over every car.
    void RenderBodyPaint();
    void RenderBodyGroup1();
    void RenderWheels();
    void RenderBodyGroup2();
    void RenderBodyReflective();
    void RenderWheelChrome();
    void RenderGlass();
    void RenderPoliceFlasher();

    char m_szName[64];
    float m_fRemainingDistance;
    std::int32_t m_nRacePlace;
    float m_fRaceValue;
    float m_fRaceStartDamage;
    std::int32_t m_nKind;
    IDirect3DVertexBuffer9* m_pBodyVB;
    IDirect3DIndexBuffer9* m_pBodyIB;
    DeformRecord* m_pDeform;
    std::uint32_t m_nBodyVertices;
    std::uint32_t m_nBodyTriangles;
    std::uint32_t m_PartFirstVertex[VEHICLE_PART_GROUPS];
    std::uint32_t m_PartVertexCount[VEHICLE_PART_GROUPS];
    std::uint32_t m_PartFirstTriangle[VEHICLE_PART_GROUPS];
    std::uint32_t m_PartTriangleCount[VEHICLE_PART_GROUPS];
    D3DMATERIAL9 m_Material;
    D3DMATERIAL9 m_GlassMaterials[4];
    float m_PaintColor[4];
    std::int32_t m_nPaintRange;
    float m_PaintColor2[4];
    std::int32_t m_nPaintRange2;
    std::int32_t m_nBodyTexture;
    std::int32_t m_nBodyTextureNames;
    char m_BodyTextureNames[VEHICLE_MAX_BODY_TEXTURES][VEHICLE_TEXTURE_NAME_SIZE];
    IDirect3DTexture9* m_pPaintTexture;
    std::int32_t m_nPaintGloss;
    std::int32_t m_nControlMode;
    std::int32_t m_nAIState;
    std::int32_t m_nPrevAIState;
    std::int32_t m_nBehaviourTicks;
    D3DXVECTOR3 m_vBodyPos;
    D3DXVECTOR3 m_vSteerTarget;
    std::int32_t m_nSmokeStamp;
    float m_fRepairFraction;
    float m_fReplanTimer;
    float m_fFlasherTimer;
    float m_fSmokeTimer;
    float m_fStuckTimer;
    float m_fPoliceVoiceTimer;
    std::int32_t m_bObstacle;
    float m_fObstacleTimer;
    std::int32_t m_nResetStamp;
    CStaticObject* m_pLastContact;
    D3DXVECTOR3 m_Route[VEHICLE_ROUTE_SIZE];
    D3DXVECTOR3 m_Trail[VEHICLE_TRAIL_SIZE];
    std::uint32_t m_nRoutePoints;
    std::uint32_t m_nRouteIndex;
    D3DXVECTOR3 m_vLocalTarget;
    std::int32_t m_nLane;
    std::int32_t m_nTrailPoints;
    float m_fLine4Value, m_fBaseLine4Value;
    // m_fMass of the static object is the current mass.
    float m_fBaseMass;
    float m_fSpeed; // km/h, signed
    float m_fTopSpeedFigure;
    float m_fTransmission, m_fBaseTransmission;
    float m_fEngineForce;
    float m_fPower, m_fBasePower;
    float m_fThrottleTarget;
    float m_fBrake;
    float m_fBrakeTarget;
    std::int32_t m_bHandBrake;
    float m_fSteering;
    float m_fSteerInput;
    float m_fHandling, m_fBaseHandling;
    float m_fRideHeightBonus;
    std::int32_t m_nDriveValue;
    std::int32_t m_nDrivenAxle;
    float m_fFrontGrip, m_fBaseFrontGrip;
    float m_fRearGrip, m_fBaseRearGrip;
    float m_fFrontRollInfluence;
    float m_fRearRollInfluence;
    float m_fSuspensionStiffness;
    float m_fSuspensionDamping;
    float m_fBodyDamage;
    std::int32_t m_UpgradeLevels[4];
    std::int32_t m_nEngineSound;
    CGameSound* m_pEngineSound;
    CGameSound* m_pWheelSound;
    CGameSound* m_pHornSound;
    float m_fEngineVolume; // percent
    float m_fEnginePitch;  // Hz
    btCompoundShape* m_pChassisShape;
    btRaycastVehicle* m_pRaycastVehicle;
    btRaycastVehicle::btVehicleTuning m_Tuning;
    float m_fSuspensionRest;
    std::int32_t m_bPhysicsActive;
    CStaticObject* m_pWheelModelA;
    CStaticObject* m_pWheelModelB;
    // Set on a template while the program warm-up draws it: without a
    // physics body of its own it draws its four wheels at their matrices.
    int m_bWarmUpWheels = 0;
    D3DXMATRIX m_WheelMatrices[4];
    float m_fWheelRadius;
    float m_fWheelWidth;
    std::int32_t m_nWheelsInContact;
    std::int32_t m_nWheelsInWater;
    // Per wheel, seconds of real time since its last dust puff or water
    // ring, and since its last skid point.
    float m_fEffectTimer[4] = {};
    float m_fSkidTimer[4] = {};
    // Per wheel, the skid strip being laid (null: none) and the pool's ticket
    // for it: a strip the pool took back is never written again.
    CSkidTrail* m_pSkidMark[4] = {};
    std::uint32_t m_nSkidTicket[4] = {};
    float m_WheelWear[4];
    // Damage state of the drivetrain and contact passes.
    float m_fDamageState[3];
    // Game clock (ms) of the last impact sound, set by the audio manager.
    std::int32_t m_nImpactSoundStamp;
    // Seconds of game time driven, counted by the timer for the player's car.
    float m_fDrivingTime;
    // The traffic box child a traffic car's compound holds: the car owns it.
    btCollisionShape* m_pOwnBoxShape;
    // How near the road's centre the car is (0 off the road), kept by the
    // motion step; the wheels take their grip and dust from it.
    float m_fRoadFactor = 0.0f;
    // The car shop whose showroom holds the car, or null.
    CProp* m_pShowroom = nullptr;

private:
    bool ShouldDespawn() const;
    void UpdateTaxiRide();
    void UpdateCriminalLevel();
    bool PuffWorkshopSmoke(const D3DXCOLOR4& colour);
    void RaceCatchUp();
    int PlanPursuitPath(float distance);
    std::uint32_t FadeByte() const;
    // Alive, visible, within 60 and not the car the in-car camera sits in.
    bool PassesCarDrawRule() const;
    bool CanDrawBody() const;
    void DrawBodyGroup(int group);
    CStaticObject* WheelModel(int wheel) const;
    int DrawnWheelCount() const;
    void PrepareWheel(CStaticObject* wheel, int i) const;
    void LaySkidMark(int wheel, bool contact, float speed);
    void ThrowDust(int wheel, bool contact, float speed);
    void WetWheel(int wheel, float waterLevel);
    void FloatBody(float waterLevel);
    void CheckJumpTrick();
    void SetGrip();
    void UpdateScreech();
    void ReadOwnDescription(FileHandle file);
    void LoadBody(const char* path);
    void CopyBodyFrom(const CVehicle& model);
    void DrawPaint();
    void DrawBodyTexture(int firstName);
    void ReleaseBody();
    void ReleaseBodyTexture();
    btCompoundShape* BuildChassisShape(float height, btCollisionShape** ownBox);
    void ApplyRecordDents(const DeformRecord* records, std::uint32_t count);
    void UpdateEngineForce(float dt);
    float WheelForce() const;
    void PuffEngineSmoke(float dt);
    void UpdateEngineSound(float dt);
    void FollowBody();
    void DriveKinematic(float dt);
    void PlaceOnGround();
    void ThrowSparks(const D3DXVECTOR3* localPoint, const CStaticObject* other, float strength);
    void BookStatistics(const CStaticObject* other, float strength);
    bool IgnoresContact(const CStaticObject* other, float strength) const;
    bool IsRepeatedContact(const CStaticObject* other, float strength) const;
    std::uint32_t DeformCount() const;
    void SetBodyVertex(std::uint8_t* vertices, std::uint32_t index, const D3DXVECTOR3& p, float amount);
    void SetDentedVertex(std::uint8_t* vertices, std::uint32_t count, std::uint32_t k, const D3DXVECTOR3& p, bool lamp,
                         bool restore);
    void DentBody(const D3DXVECTOR3* localPoint, float strength);
    void WearNear(const D3DXVECTOR3* localPoint, float strength, float reach);
    void SetLightsNear(const DeformRecord* record, bool restore);
};

// The engine sound's load 0 .. 1 at a speed (the position inside the
// current 20 km/h gear band, plus how near the top speed the car runs).
float VehicleEngineLoad(float speed, float topSpeed, float throttle, float engineForce);
// speed / top speed, at most 1; 1 for a car without a top speed.
float VehicleSpeedRatio(float speed, float topSpeed);

// Writes the 36-byte body vertex's colour for a vertex of the group at a
// dent amount (the alpha carries the damage look).
std::uint32_t VehicleDentColour(int group, float amount, std::uint32_t previous);

// One mark per body vertex, shared by the dent and repair passes so that
// each seam twin moves once per pass.
extern std::uint8_t g_DamageMarks[VEHICLE_MAX_BODY_VERTICES];

// Points the physics contact pass at the cars' collision damage.
void InstallVehicleContactHook();

// The player's car, or null.
extern CVehicle* g_pPlayerVehicle;
