#include "platform/d3dx9/Effect.h"
#include "platform/D3D9Recording.h"
#include "platform/d3d9/RecordingDevice.h"

#include <cstring>

namespace plat::fx {

namespace {
std::uint64_t s_lastStamp = 0;
} // namespace

Effect::Effect(IDirect3DDevice9* device, EffectFile file)
    : m_device(device), m_file(std::move(file)), m_textures(m_file.parameters.size(), nullptr)
{
    m_device->AddRef();
    Touch();
}

void Effect::Touch()
{
    m_stamp = ++s_lastStamp;
}

Effect::~Effect()
{
    Notify(false);
    for (IDirect3DBaseTexture9* texture : m_textures)
        if (texture)
            texture->Release();
    m_device->Release();
}

void Effect::Record(D3DOp op, const char* name, DWORD a)
{
    if (DeviceCallsKept() && AsRecordingDevice(m_device)) {
        D3DCall call(op, a);
        call.name = name ? name : "";
        RecordedCalls(m_device).Add(std::move(call));
    }
}

void Effect::Notify(bool applied)
{
    if (RecordingDevice* device = AsRecordingDevice(m_device))
        device->OnEffectPass(this, applied);
}

int Effect::FindTechnique(const char* name) const
{
    for (size_t i = 0; i < m_file.techniques.size(); ++i)
        if (m_file.techniques[i].name == name)
            return int(i);
    return -1;
}

HRESULT Effect::SetTechnique(D3DXHANDLE technique)
{
    Record(D3DOp::EffectSetTechnique, technique);
    const int index = technique ? FindTechnique(technique) : -1;
    if (index < 0 || m_begun)
        return D3DERR_INVALIDCALL;
    m_technique = size_t(index);
    return D3D_OK;
}

D3DXHANDLE Effect::GetCurrentTechnique()
{
    return m_file.techniques[m_technique].name.c_str();
}

Parameter* Effect::Find(D3DXHANDLE name, ParamType type)
{
    if (!name)
        return nullptr;
    for (Parameter& p : m_file.parameters)
        if (p.name == name)
            return p.type == type ? &p : nullptr;
    return nullptr;
}

HRESULT Effect::Store(D3DXHANDLE name, ParamType type, const float* values, int count)
{
    Record(D3DOp::EffectSetParameter, name);
    Parameter* p = Find(name, type);
    if (!p || !values)
        return D3DERR_INVALIDCALL;
    std::memcpy(p->value, values, sizeof(float) * count);
    Touch();
    return D3D_OK;
}

HRESULT Effect::Load(D3DXHANDLE name, ParamType type, float* values, int count)
{
    Parameter* p = Find(name, type);
    if (!p || !values)
        return D3DERR_INVALIDCALL;
    std::memcpy(values, p->value, sizeof(float) * count);
    return D3D_OK;
}

HRESULT Effect::SetMatrix(D3DXHANDLE n, const D3DXMATRIX* m) { return Store(n, ParamType::Matrix, m ? &m->_11 : nullptr, 16); }
HRESULT Effect::GetMatrix(D3DXHANDLE n, D3DXMATRIX* m) { return Load(n, ParamType::Matrix, m ? &m->_11 : nullptr, 16); }
HRESULT Effect::SetVector(D3DXHANDLE n, const D3DXVECTOR4* v) { return Store(n, ParamType::Vector, v ? &v->x : nullptr, 4); }
HRESULT Effect::GetVector(D3DXHANDLE n, D3DXVECTOR4* v) { return Load(n, ParamType::Vector, v ? &v->x : nullptr, 4); }
HRESULT Effect::SetFloat(D3DXHANDLE n, float value) { return Store(n, ParamType::Float, &value, 1); }
HRESULT Effect::GetFloat(D3DXHANDLE n, float* value) { return Load(n, ParamType::Float, value, 1); }

HRESULT Effect::SetInt(D3DXHANDLE name, INT value)
{
    Record(D3DOp::EffectSetParameter, name);
    Parameter* p = Find(name, ParamType::Int);
    if (!p)
        return D3DERR_INVALIDCALL;
    p->integer = value;
    Touch();
    return D3D_OK;
}

HRESULT Effect::GetInt(D3DXHANDLE name, INT* value)
{
    Parameter* p = Find(name, ParamType::Int);
    if (!p || !value)
        return D3DERR_INVALIDCALL;
    *value = p->integer;
    return D3D_OK;
}

HRESULT Effect::SetTexture(D3DXHANDLE name, IDirect3DBaseTexture9* texture)
{
    Record(D3DOp::EffectSetParameter, name);
    Parameter* p = Find(name, ParamType::Texture);
    if (!p)
        p = Find(name, ParamType::CubeTexture);
    if (!p)
        return D3DERR_INVALIDCALL;
    IDirect3DBaseTexture9*& slot = m_textures[size_t(p - m_file.parameters.data())];
    if (texture)
        texture->AddRef();
    if (slot)
        slot->Release();
    slot = texture;
    Touch();
    return D3D_OK;
}

HRESULT Effect::GetTexture(D3DXHANDLE name, IDirect3DBaseTexture9** texture)
{
    Parameter* p = Find(name, ParamType::Texture);
    if (!p)
        p = Find(name, ParamType::CubeTexture);
    if (!p || !texture)
        return D3DERR_INVALIDCALL;
    *texture = m_textures[size_t(p - m_file.parameters.data())];
    if (*texture)
        (*texture)->AddRef();
    return D3D_OK;
}

HRESULT Effect::Begin(UINT* passes, DWORD flags)
{
    Record(D3DOp::EffectBegin, GetCurrentTechnique());
    if (m_begun)
        return D3DERR_INVALIDCALL;
    m_begun = true;
    m_pass = -1;
    if (passes)
        *passes = UINT(m_file.techniques[m_technique].passes.size());
    return D3D_OK;
}

// Binds the staged textures; shaders are the drawing back end's business.
HRESULT Effect::Apply(UINT pass)
{
    if (!m_begun || pass >= m_file.techniques[m_technique].passes.size())
        return D3DERR_INVALIDCALL;
    m_pass = int(pass);
    Notify(true);
    return CommitChanges();
}

HRESULT Effect::Pass(UINT pass)
{
    Record(D3DOp::EffectBeginPass, GetCurrentTechnique(), pass);
    return Apply(pass);
}

HRESULT Effect::BeginPass(UINT pass)
{
    Record(D3DOp::EffectBeginPass, GetCurrentTechnique(), pass);
    if (m_pass >= 0)
        return D3DERR_INVALIDCALL;
    return Apply(pass);
}

HRESULT Effect::CommitChanges()
{
    if (m_pass < 0)
        return D3DERR_INVALIDCALL;
    for (size_t i = 0; i < m_file.parameters.size(); ++i)
        if (m_file.parameters[i].stage >= 0)
            m_device->SetTexture(DWORD(m_file.parameters[i].stage), m_textures[i]);
    return D3D_OK;
}

HRESULT Effect::EndPass()
{
    Record(D3DOp::EffectEndPass, GetCurrentTechnique());
    if (m_pass < 0)
        return D3DERR_INVALIDCALL;
    m_pass = -1;
    Notify(false);
    return D3D_OK;
}

HRESULT Effect::End()
{
    Record(D3DOp::EffectEnd, GetCurrentTechnique());
    if (!m_begun)
        return D3DERR_INVALIDCALL;
    m_begun = false;
    m_pass = -1;
    Notify(false);
    return D3D_OK;
}

HRESULT Effect::OnLostDevice() { return D3D_OK; }
HRESULT Effect::OnResetDevice() { return D3D_OK; }

const fx::Pass* Effect::ActivePass() const
{
    return m_pass >= 0 ? &m_file.techniques[m_technique].passes[size_t(m_pass)] : nullptr;
}

} // namespace plat::fx

HRESULT D3DXCreateEffect(IDirect3DDevice9* device, const void* source, UINT length, const D3DXMACRO* defines,
                         ID3DXInclude* include, DWORD flags, ID3DXEffectPool* pool, ID3DXEffect** effect,
                         ID3DXBuffer** errors)
{
    if (errors)
        *errors = nullptr;
    if (!effect)
        return D3DERR_INVALIDCALL;
    *effect = nullptr;
    if (!device || !source)
        return D3DERR_INVALIDCALL;
    plat::fx::EffectFile file;
    std::string text;
    plat::RecordingDevice* drawing = plat::AsRecordingDevice(device);
    if (!plat::fx::ParseEffectFile(static_cast<const char*>(source), length, &file, &text) ||
        (drawing && !drawing->AcceptEffect(file, &text))) {
        if (errors && SUCCEEDED(D3DXCreateBuffer(DWORD(text.size() + 1), errors)))
            std::memcpy((*errors)->GetBufferPointer(), text.c_str(), text.size() + 1);
        return D3DXERR_INVALIDDATA;
    }
    *effect = new plat::fx::Effect(device, std::move(file));
    return D3D_OK;
}
