// The object every visible thing of the city is built on: a model instance
// filled from a ".obj" description file, with its class and type codes,
// effect sub-objects, light set, visibility state and an optional rigid body.
// Trees, stones, props, cars, wheels, pedestrians and the HUD arrow embed it
// first and extend it.
#pragma once

#include "graphics/MeshRecord.h"
#include "graphics/ModelInstance.h"
#include "graphics/SceneLights.h"
#include "objects/DescriptionLines.h"
#include "shell/FileManager.h"
#include "shell/Keywords.h"

#include <cstdint>

class btRigidBody;
class CChromeEffect;
class CRGlassEffect;
class CLightMapsEffect;
class CSelfIllumEffect;
class CLightsEffect;
class CDirectLightsEffect;
class CSpotsEffect;
class CShadowEffect;

enum {
    STATIC_OBJECT_PATH_SIZE = 260,
    STATIC_OBJECT_NAME_SIZE = 64, // a car's display name, 63 characters and the end
};

class CStaticObject : public CModelInstance {
public:
    CStaticObject();

    // Reads the description file and everything it names. Returns the open
    // handle (closed first when closeFile is non-zero), or
    // INVALID_FILE_HANDLE with nothing changed when the file does not open.
    // variant -1 picks a random texture variant; any other value picks
    // variant % N + 1. meshFlag is the mesh loader's optimise flag.
    FileHandle Load(const char* path, int closeFile, int variant, int meshFlag);
    // Frees the box corners, the body, the mesh, the textures and the effect
    // sub-objects; the object number stays.
    void Release();
    void ReleaseEffects();

    int IsVisible();
    int UpdateVisibility();
    // Distance from the current camera's eye to the world centre minus the
    // bounding radius (negative inside the sphere); stored and returned.
    float UpdateCameraDistance();

    // Draws one mesh part (owners pass 0; a car draws parts 0, 1 and 2).
    void Render(std::uint32_t part);
    void RenderLightEffects();
    void RenderChromeEffects();
    // The per-frame hook the owners call on a plain static object: it has
    // nothing to do.
    void EmptyMemberFunction() {}

    // Places the body facing target: mass 0 makes a static body on the
    // mesh's triangle-mesh shape, any other mass a movable one on its
    // compound; a body that exists is moved instead (the mass only stored).
    // Mass -1 takes the stored placement and mass. No body when the mesh
    // cannot give the shape. The owner adds the body to the world.
    void CreateRigidBody(float mass, const D3DXVECTOR3* position, const D3DXVECTOR3* target, const D3DXVECTOR3* up);
    // Takes the body out of the world, then deletes it with its motion state.
    void DestroyRigidBody();

    // Ray picks: through the mesh's collision model of the current frame
    // (records the object in g_RayHit on a hit), and through the static
    // body's triangle-mesh shape. 1 on a hit; out may be null.
    int IntersectRay(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* out, int closest);
    int RayTestBody(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* out, int unused);
    // Makes the object (its part 10) the current occluder seen from the
    // current camera; 1 when planes were built.
    int BuildOcclusionPlanes();
    // 1 when the current occluder hides the object.
    int IsOccluded() const;

    char m_szPath[STATIC_OBJECT_PATH_SIZE];
    std::uint32_t m_nClass;  // GCLASS_*, 0 unknown
    std::uint32_t m_nType;   // GTYPE_*, 0 unknown
    std::uint32_t m_nNumber; // from the global object counter
    // Rows right, up, forward and position as last placed by the owner.
    D3DXMATRIX m_matPlacement;
    D3DXMATRIX m_matPrevWorld;
    // World centre of the bounding sphere, kept by the owner: the instance's
    // sphere centre (the local centre) through the world matrix. The
    // instance's sphere radius is the object's bounding radius.
    D3DXVECTOR3 m_vPosition;
    // Distance from the current camera's eye to the world centre minus the
    // radius, written by the owner before the visibility test and the render.
    float m_fCameraDistance;
    int m_bAlive;    // 0 asks the owning manager to delete the object
    int m_bVisible;  // the last UpdateVisibility
    int m_bActive;
    int m_bRayTest;  // takes part in the ray picks
    int m_bTouched;  // a body touched it in the last physics step
    int m_bRender;   // 0 hides it from Render
    int m_bInWorld;  // its body is in the dynamics world
    CLightSet m_LightSet;
    // Scene-lights slot of the object's own lamp, or of a car's headlight
    // spot; -1 for none.
    int m_nLightIndex;
    // Mesh-space box and its eight world corners (owned, null until the owner
    // computes them); bridges and buildings test visibility on the corners.
    MeshBox m_Box;
    D3DXVECTOR3* m_pBoxCorners;

    // Effect sub-objects, owned; null when the file has no such section.
    CChromeEffect* m_pChrome;
    CRGlassEffect* m_pRGlass;
    CLightMapsEffect* m_pLightMaps;
    CSelfIllumEffect* m_pSelfIllum;
    CLightsEffect* m_pLights;
    CDirectLightsEffect* m_pDirectLights;
    CSpotsEffect* m_pSpots;
    CShadowEffect* m_pShadow;

    btRigidBody* m_pRigidBody;
    float m_fMass;
    D3DXVECTOR3 m_vCentreOffset;
    // Copies of the body's velocities for the car and sound code.
    D3DXVECTOR3 m_vLinearVelocity;
    D3DXVECTOR3 m_vAngularVelocity;
    std::uint32_t m_nSoundWord;
    // Read only for a car (class GCLASS_VEHICLE, type GTYPE_VEHICLE).
    char m_szDisplayName[STATIC_OBJECT_NAME_SIZE];

public:
    // A description's head (name, class, type, and a car's name lines);
    // leaves the mesh line in line.
    void ReadHead(FileHandle file, char* line);

private:
    void ReadTexture(FileHandle file, char* line, int variant);
    void ReadEffectSections(FileHandle file, char* line);
    void ReadEffectSection(int code, FileHandle file);
    void SetMaterialByType();
    bool IsFollowedInCar() const;
    bool PassesDrawGate();
    bool PrepareByType(std::uint32_t* part);
    void SetLampEmissive();
    bool BeginGroundShadow();
    void EndGroundShadow();
};

// The next object's number; grows by one with every constructed object.
extern std::uint32_t g_nStaticObjectCounter;
