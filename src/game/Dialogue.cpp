// The speech bubble of the new-game introduction, above the speaking figure.
#include "game/GameInterface.h"
#include "game/MessageRows.h"
#include "game/ScreenKeys.h"
#include "graphics/ScreenDraw.h"
#include "graphics/WorldCamera.h"
#include "roadusers/Human.h"
#include "shell/Game.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float kRowScale = 0.35f;

DWORD Faded(float fade, float alpha, DWORD rgb)
{
    return (static_cast<DWORD>(std::clamp(fade * alpha, 0.0f, 255.0f)) << 24) | rgb;
}

} // namespace

void CGameInterface::SetDialogue(int line, CHuman* speaker, const char* name, float time)
{
    if (line < 0) {
        m_bDialogueVisible = 0;
        return;
    }
    if (m_bDialogueVisible || line >= DIALOGUE_LINES)
        return;
    m_bDialogueVisible = 1;
    m_fDialogueFade = 0.0f;
    m_fDialogueElapsed = 0.0f;
    m_nDialogueLine = line;
    m_pDialogueSpeaker = speaker;
    std::strncpy(m_szDialogueSpeaker, name ? name : "", sizeof(m_szDialogueSpeaker) - 1);
    m_szDialogueSpeaker[sizeof(m_szDialogueSpeaker) - 1] = '\0';
    m_fDialogueTime = time;
    m_nDialogueRows = static_cast<std::uint32_t>(
        CutMessageRows(g_MessageTexts[MSG_DIALOGUE_FIRST + line], m_szDialogueRows, MESSAGE_ROWS, nullptr, 0.0f));
    float widest = 0.0f;
    for (std::uint32_t i = 0; i < m_nDialogueRows; ++i)
        widest = std::max(widest, m_Font.GetTextWidth(m_szDialogueRows[i], kRowScale, 0));
    m_fDialogueWidth = widest + 20.0f;
    m_fDialogueHeight = static_cast<float>(m_nDialogueRows) * m_Font.GetLineHeight(kRowScale) + 40.0f;
}

void CGameInterface::DrawDialogue()
{
    const float dt = g_GameTimer.m_fRealDelta;
    if (m_bDialogueVisible)
        m_fDialogueFade = std::min(1.0f, m_fDialogueFade + 10.0f * dt);
    else
        m_fDialogueFade = std::max(0.0f, m_fDialogueFade - 10.0f * dt);
    if (m_fDialogueFade <= 0.0f)
        return;
    if (m_bDialogueVisible) {
        m_fDialogueElapsed += dt;
        if (m_fDialogueElapsed >= m_fDialogueTime)
            m_bDialogueVisible = 0;
    }

    // Without a speaker on screen there is nothing to hang the bubble on.
    float sx = 0.0f;
    float sy = 0.0f;
    CWorldCamera* camera = g_Game.m_pCamera;
    if (m_pDialogueSpeaker && camera &&
        camera->ProjectToScreen(&sx, &sy, &m_pDialogueSpeaker->m_vPosition, nullptr)) {
        const float w = m_fDialogueWidth;
        const float h = m_fDialogueHeight;
        const float top = sy - h - 50.0f;
        CScreenDraw::DrawBevelRect(sx - w / 2 - 10.0f, top - 10.0f, sx + w / 2 + 10.0f, top + h + 10.0f,
                                   Faded(m_fDialogueFade, 92.0f, 0x000000u));
        CScreenDraw::DrawBevelRect(sx - w / 2, top, sx + w / 2, top + h, Faded(m_fDialogueFade, 128.0f, 0x320000u));
        const float nameWidth = m_Font.GetTextWidth(m_szDialogueSpeaker, 0.475f, 0);
        m_Font.DrawText(static_cast<int>(sx - nameWidth / 2), static_cast<int>(top + 5.0f), m_szDialogueSpeaker,
                        Faded(m_fDialogueFade, 254.0f, 0xC89632u), 0.475f, 0);
        const float lineHeight = m_Font.GetLineHeight(kRowScale);
        for (std::uint32_t i = 0; i < m_nDialogueRows && i < MESSAGE_ROWS; ++i) {
            const float rowWidth = m_Font.GetTextWidth(m_szDialogueRows[i], kRowScale, 0);
            m_Font.DrawText(static_cast<int>(sx - rowWidth / 2), static_cast<int>(top + 30.0f + i * lineHeight),
                            m_szDialogueRows[i], Faded(m_fDialogueFade, 254.0f, 0xC8C864u), kRowScale, 0);
        }
    }

    StepWithScreenKeys([&](ScreenKeys& keys) {
        if (keys.enter || keys.escape) {
            if (m_pSoundClick)
                m_pSoundClick->Play(0);
            m_bDialogueVisible = 0;
            keys.enter = keys.escape = 0;
        }
    });
}
