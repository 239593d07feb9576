// A fresh physics world per test on the game object, the recording contact
// hooks, and helpers that put simple bodies with chosen owners into it.
#pragma once

#include "graphics/mesh_fixture.h"

#include "graphics/ModelInstance.h"
#include "objects/StaticObject.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "support/ContactRecord.h"

#include <btBulletDynamicsCommon.h>

#include <memory>
#include <vector>

namespace test {

class PhysicsTest : public MeshTest {
protected:
    void SetUp() override
    {
        MeshTest::SetUp();
        ASSERT_EQ(g_Game.InitPhysics(), 1);
        m_world = g_Game.m_pDynamicsWorld;
        ClearContactRecord();
        g_pfnCarContact = RecordCarContact;
        g_pfnKnockDown = RecordKnockDown;
    }
    void TearDown() override
    {
        for (CStaticObject* object : m_objects)
            object->Release();
        // Bodies the helpers made have no owner: the world's release takes them.
        g_Game.ReleasePhysics();
        MeshTest::TearDown();
    }

    // A body of the shape at the place, owned by the world, with the user pointer.
    btRigidBody* AddBody(btCollisionShape* shape, void* user, const btVector3& at, float mass = 0.0f)
    {
        btTransform transform;
        transform.setIdentity();
        transform.setOrigin(at);
        btVector3 inertia(0, 0, 0);
        if (mass > 0.0f)
            shape->calculateLocalInertia(mass, inertia);
        auto* body = new btRigidBody(mass, new btDefaultMotionState(transform), shape, inertia);
        body->setUserPointer(user);
        m_world->addRigidBody(body);
        return body;
    }
    btCollisionShape* Sphere(float radius)
    {
        m_shapes.push_back(std::make_unique<btSphereShape>(radius));
        return m_shapes.back().get();
    }
    btCollisionShape* Box(const btVector3& halfExtents)
    {
        m_shapes.push_back(std::make_unique<btBoxShape>(halfExtents));
        return m_shapes.back().get();
    }
    // Steps as the game does, frame by frame, contact pass included.
    void Step(int frames, float delta = 1.0f / 60.0f)
    {
        g_GameTimer.m_fDelta = delta;
        for (int i = 0; i < frames; ++i)
            g_Game.StepPhysics();
    }
    // An object of the mesh file that the test releases at the end.
    template <class Object = CStaticObject>
    Object* MakeObject(const std::string& meshName, std::uint32_t type)
    {
        auto* object = new Object();
        m_owned.emplace_back(object, [](CStaticObject* o) { delete static_cast<Object*>(o); });
        m_objects.push_back(object);
        object->m_nType = type;
        if (!meshName.empty())
            object->LoadMesh(meshName.c_str(), 0, D3DXMESH_MANAGED, 0);
        return object;
    }
    // Puts the object's body into the world, as owners do.
    void AddToWorld(CStaticObject* object)
    {
        ASSERT_NE(object->m_pRigidBody, nullptr);
        m_world->addRigidBody(object->m_pRigidBody);
        object->m_bInWorld = 1;
    }

    btDiscreteDynamicsWorld* m_world = nullptr;
    std::vector<std::unique_ptr<btCollisionShape>> m_shapes;
    std::vector<CStaticObject*> m_objects;

private:
    std::vector<std::unique_ptr<CStaticObject, void (*)(CStaticObject*)>> m_owned;
};

// A post standing on a base: the pole drawn and picked (parts 0 and 12), a
// cylinder and a base box for its movable body (parts 13 and 15) and the
// body's centre (part 8).
inline tools::MeshData StandingPostMesh()
{
    tools::MeshData mesh;
    mesh.parts[0] = tools::BoxPart({-0.15f, 0.0f, -0.15f}, {0.15f, 6.0f, 0.15f});
    mesh.parts[12] = mesh.parts[0];
    mesh.parts[13] = tools::BoxPart({-0.15f, 0.5f, -0.15f}, {0.15f, 6.0f, 0.15f});
    mesh.parts[15] = tools::BoxPart({-0.4f, 0.0f, -0.4f}, {0.4f, 0.5f, 0.4f});
    mesh.parts[8].points = {{0.0f, 1.5f, 0.0f}};
    return mesh;
}

inline btVector3 Origin(const btRigidBody* body)
{
    return body->getWorldTransform().getOrigin();
}

} // namespace test
