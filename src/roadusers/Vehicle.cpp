// The car's constructor defaults and its AI state and control mode setters.
#include "roadusers/Vehicle.h"

#include <cstring>

CVehicle* g_pPlayerVehicle = nullptr;

namespace {

D3DMATERIAL9 MakeMaterial(const D3DCOLORVALUE& diffuse, const D3DCOLORVALUE& ambient, const D3DCOLORVALUE& specular,
                          const D3DCOLORVALUE& emissive, float power)
{
    D3DMATERIAL9 m;
    m.Diffuse = diffuse;
    m.Ambient = ambient;
    m.Specular = specular;
    m.Emissive = emissive;
    m.Power = power;
    return m;
}

const D3DCOLORVALUE kWhite{1.0f, 1.0f, 1.0f, 1.0f};
const D3DCOLORVALUE kBlack{0.0f, 0.0f, 0.0f, 1.0f};

} // namespace

CVehicle::CVehicle()
    : m_szName{}, m_fRemainingDistance(0.0f), m_nRacePlace(0), m_fRaceValue(0.0f), m_fRaceStartDamage(0.0f),
      m_nKind(VEHICLE_TRAFFIC), m_pBodyVB(nullptr), m_pBodyIB(nullptr), m_pDeform(nullptr), m_nBodyVertices(0),
      m_nBodyTriangles(0), m_PartFirstVertex{}, m_PartVertexCount{}, m_PartFirstTriangle{}, m_PartTriangleCount{},
      m_PaintColor{0.0f, 0.0f, 0.0f, 1.0f}, m_nPaintRange(0), m_PaintColor2{1.0f, 1.0f, 1.0f, 1.0f},
      m_nPaintRange2(0), m_nBodyTexture(-1), m_nBodyTextureNames(0), m_BodyTextureNames{},
      m_pPaintTexture(nullptr), m_nPaintGloss(64), m_nControlMode(1), m_nAIState(0), m_nPrevAIState(0),
      m_nBehaviourTicks(0), m_vBodyPos(0, 0, 0), m_vSteerTarget(0, 0, 0), m_nSmokeStamp(0), m_fRepairFraction(0),
      m_fReplanTimer(0), m_fFlasherTimer(0), m_fSmokeTimer(0), m_fStuckTimer(0), m_fPoliceVoiceTimer(0),
      m_bObstacle(0), m_fObstacleTimer(0), m_nResetStamp(0), m_pLastContact(nullptr), m_Route{}, m_Trail{},
      m_nRoutePoints(0), m_nRouteIndex(0), m_vLocalTarget(0, 0, 0), m_nLane(0), m_nTrailPoints(0),
      m_fLine4Value(0), m_fBaseLine4Value(0), m_fBaseMass(0), m_fSpeed(0), m_fTopSpeedFigure(0),
      m_fTransmission(0), m_fBaseTransmission(0), m_fEngineForce(0), m_fPower(0), m_fBasePower(0),
      m_fThrottleTarget(0), m_fBrake(0), m_fBrakeTarget(0), m_bHandBrake(0), m_fSteering(0), m_fSteerInput(0),
      m_fHandling(0), m_fBaseHandling(0), m_fRideHeightBonus(0), m_nDriveValue(0), m_nDrivenAxle(0),
      m_fFrontGrip(0), m_fBaseFrontGrip(0), m_fRearGrip(0), m_fBaseRearGrip(0), m_fFrontRollInfluence(0),
      m_fRearRollInfluence(0), m_fSuspensionStiffness(0), m_fSuspensionDamping(0), m_fBodyDamage(0),
      m_UpgradeLevels{}, m_nEngineSound(-1), m_pEngineSound(nullptr), m_pWheelSound(nullptr),
      m_pHornSound(nullptr), m_fEngineVolume(0.0f), m_fEnginePitch(22050.0f), m_pChassisShape(nullptr),
      m_pRaycastVehicle(nullptr), m_fSuspensionRest(0), m_bPhysicsActive(0), m_pWheelModelA(nullptr),
      m_pWheelModelB(nullptr), m_fWheelRadius(0), m_fWheelWidth(0), m_nWheelsInContact(0), m_nWheelsInWater(0),
      m_WheelWear{}, m_fDamageState{10000.0f, 10000.0f, 10000.0f}, m_nImpactSoundStamp(0), m_fDrivingTime(0),
      m_pOwnBoxShape(nullptr)
{
    m_Material = MakeMaterial(kWhite, kWhite, kWhite, kBlack, 16.0f);
    m_GlassMaterials[0] = MakeMaterial(kWhite, kWhite, kBlack, kBlack, 0.0f);
    m_GlassMaterials[1] = MakeMaterial(kWhite, kWhite, kWhite, kBlack, 16.0f);
    m_GlassMaterials[2] = MakeMaterial(kWhite, kWhite, kWhite, kBlack, 16.0f);
    m_GlassMaterials[3] = MakeMaterial(kBlack, kBlack, kBlack, {0.5f, 0.5f, 0.5f, 1.0f}, 0.0f);
    m_Tuning.m_suspensionStiffness = 5.88f;
    m_Tuning.m_suspensionCompression = 0.83f;
    m_Tuning.m_suspensionDamping = 0.88f;
    m_Tuning.m_maxSuspensionTravelCm = 500.0f;
    m_Tuning.m_frictionSlip = 10.5f;
    m_Tuning.m_maxSuspensionForce = VEHICLE_MAX_SUSPENSION_FORCE;
    for (D3DXMATRIX& m : m_WheelMatrices)
        D3DXMatrixIdentity(&m);
}

void CVehicle::SetControlMode(int mode)
{
    m_nControlMode = mode;
}

void CVehicle::SetAIState(int state)
{
    m_nPrevAIState = m_nAIState;
    if (state == m_nAIState)
        return;
    m_nAIState = state;
    m_nBehaviourTicks = 0;
    m_nSmokeStamp = 0;
    m_fRepairFraction = 0.0f;
    m_fReplanTimer = 0.0f;
    m_fFlasherTimer = 0.0f;
    m_fSmokeTimer = 0.0f;
    m_fStuckTimer = 0.0f;
}
