// The effect object made by D3DXCreateEffect, with what a drawing back end
// reads of it: the parsed file, the parameter values and the active pass.
#pragma once

#include "platform/D3D9Recording.h"
#include "platform/D3DX9.h"
#include "platform/d3d9/Resources.h"
#include "platform/d3dx9/EffectFile.h"

#include <cstdint>
namespace plat::fx {

class Effect final : public d3d::RefObject<ID3DXEffect> {
public:
    Effect(IDirect3DDevice9* device, EffectFile file);
    ~Effect() override;

    HRESULT SetTechnique(D3DXHANDLE technique) override;
    D3DXHANDLE GetCurrentTechnique() override;
    HRESULT SetMatrix(D3DXHANDLE parameter, const D3DXMATRIX* matrix) override;
    HRESULT GetMatrix(D3DXHANDLE parameter, D3DXMATRIX* matrix) override;
    HRESULT SetVector(D3DXHANDLE parameter, const D3DXVECTOR4* vector) override;
    HRESULT GetVector(D3DXHANDLE parameter, D3DXVECTOR4* vector) override;
    HRESULT SetFloat(D3DXHANDLE parameter, float value) override;
    HRESULT GetFloat(D3DXHANDLE parameter, float* value) override;
    HRESULT SetInt(D3DXHANDLE parameter, INT value) override;
    HRESULT GetInt(D3DXHANDLE parameter, INT* value) override;
    HRESULT SetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(D3DXHANDLE parameter, IDirect3DBaseTexture9** texture) override;
    HRESULT Begin(UINT* passes, DWORD flags) override;
    HRESULT Pass(UINT pass) override;
    HRESULT BeginPass(UINT pass) override;
    HRESULT CommitChanges() override;
    HRESULT EndPass() override;
    HRESULT End() override;
    HRESULT OnLostDevice() override;
    HRESULT OnResetDevice() override;

    const EffectFile& File() const { return m_file; }
    // What a drawing back end keeps for this effect (its compiled passes).
    mutable std::unique_ptr<d3d::BackendObject> backend;
    // The pass being applied, or null outside BeginPass/EndPass.
    const fx::Pass* ActivePass() const;
    // Changes whenever a parameter value changes, unique among all effects,
    // so a back end knows when to send the values again.
    std::uint64_t Stamp() const { return m_stamp; }

private:
    Parameter* Find(D3DXHANDLE name, ParamType type);
    HRESULT Store(D3DXHANDLE name, ParamType type, const float* values, int count);
    HRESULT Load(D3DXHANDLE name, ParamType type, float* values, int count);
    HRESULT Apply(UINT pass);
    void Record(D3DOp op, const char* name, DWORD a = 0);
    void Notify(bool applied);
    void Touch();
    int FindTechnique(const char* name) const;

    IDirect3DDevice9* m_device;
    EffectFile m_file;
    std::vector<IDirect3DBaseTexture9*> m_textures; // per parameter
    size_t m_technique = 0;
    bool m_begun = false;
    int m_pass = -1;
    std::uint64_t m_stamp = 0;
};

} // namespace plat::fx
