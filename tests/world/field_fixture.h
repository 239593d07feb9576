// Field objects over the headless device on a small flat map: the sample
// tree and stone descriptions and meshes as loose files, the manager made
// and released around each test.
#pragma once

#include "objects/static_object_fixture.h"

#include "platform/Win32Window.h"
#include "shell/GameTimer.h"
#include "world/FieldObjectManager.h"
#include "world/LandscapeSector.h"
#include "world/world_fixture.h"
#include "writers/FieldObjectData.h"

namespace test {

class FieldObjectTest : public StaticObjectTest {
protected:
    void SetUp() override
    {
        StaticObjectTest::SetUp();
        ASSERT_EQ(LoadMaps(SmallMap(60), 2), 1);
        for (const auto& list : {tools::SampleObjectDescriptions(), tools::SampleObjectMeshes()})
            for (const tools::SampleFile& f : list)
                if (f.path.find("Nature") != std::string::npos)
                    WriteRaw(f.path, f.bytes);
        g_FieldObjects.Init();
    }
    void TearDown() override
    {
        g_FieldObjects.Release();
        g_Landscape.Release();
        g_Landscape.m_fWorldSize = 0.0f;
        StaticObjectTest::TearDown();
    }

    // A visible sector at the given camera distance.
    static void Place(CLandscapeSector* s, float distance)
    {
        s->m_bVisible = 1;
        s->m_fDistance = distance;
    }

    // Builds one record of kind with n objects at the map's centre.
    void Build(int kind, CLandscapeSector* sector, int n)
    {
        const D3DXVECTOR3 p(0.0f, 16.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
        g_FieldObjects.BeginCell(kind, sector);
        for (int i = 0; i < n; ++i)
            CreateFieldObject(kind, &p, &up);
        g_FieldObjects.EndCell(kind, sector);
    }
};

} // namespace test
