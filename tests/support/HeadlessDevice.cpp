#include "support/HeadlessDevice.h"

namespace test {

D3DPRESENT_PARAMETERS WindowedParams(UINT width, UINT height)
{
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_FLIP;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    return pp;
}

HeadlessDevice::HeadlessDevice(UINT width, UINT height)
{
    plat::ResetHeadlessAdapterScript();
    m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_d3d)
        return;
    D3DPRESENT_PARAMETERS pp = WindowedParams(width, height);
    m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_device);
}

HeadlessDevice::~HeadlessDevice()
{
    if (m_device)
        m_device->Release();
    if (m_d3d)
        m_d3d->Release();
}

} // namespace test
