// A headless Direct3D object and device for the 3-D layer's tests.
#pragma once

#include "platform/D3D9.h"
#include "platform/D3D9Recording.h"
#include "support/HeadlessDevice.h"

#include <gtest/gtest.h>

namespace test {

class HeadlessDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::ResetHeadlessAdapterScript();
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        D3DPRESENT_PARAMETERS pp = WindowedParams();
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
                  D3D_OK);
    }
    void TearDown() override
    {
        if (device) {
            EXPECT_EQ(device->Release(), 0u) << "something still holds the device";
        }
        if (d3d)
            d3d->Release();
    }
    plat::DeviceLog& Log() { return plat::RecordedCalls(device); }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

} // namespace test
