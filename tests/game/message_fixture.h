// A fresh interface on a running game clock, with the player's statistics,
// taxi job and keys at rest.
#pragma once

#include "game/GameInterface.h"
#include "game/MessageIds.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/WinMain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace test {

class MessageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_ui = std::make_unique<CGameInterface>();
        std::memset(&g_PlayerStats, 0, sizeof(g_PlayerStats));
        g_TaxiJob = CTaxiJob{};
        g_GameTimer.m_fGameTime = 60000.0f;
        g_GameTimer.m_fSavedGameTime = 60000.0f;
        g_GameTimer.m_fTimeScale = 1.0f;
        g_GameTimer.m_fRealDelta = 0.05f;
        g_bKeyEnter = g_bKeyEscape = 0;
        m_inGameBefore = g_bInGame;
        g_bInGame = 1;
        m_saved = std::make_unique<Texts>();
        std::memcpy(m_saved->rows, g_MessageTexts, sizeof(g_MessageTexts));
    }
    void TearDown() override
    {
        std::memcpy(g_MessageTexts, m_saved->rows, sizeof(g_MessageTexts));
        g_GameTimer.m_fTimeScale = 1.0f;
        g_bKeyEnter = g_bKeyEscape = 0;
        g_bInGame = m_inGameBefore;
    }

    void Show(int id) { m_ui->ShowMessage(id, 5.0f, nullptr, 0.0f); }
    void Close() { m_ui->ShowMessage(-1, 0.0f, nullptr, 0.0f); }
    void Advance(float seconds) { g_GameTimer.m_fGameTime += seconds * 1000.0f; }
    // Frames of the box at the fixture's real frame time.
    void Frames(int n)
    {
        for (int i = 0; i < n; ++i)
            m_ui->DrawMessageBox();
    }
    std::string Row(int i) const { return m_ui->m_szMessageRows[i]; }

    struct Texts {
        char rows[MESSAGE_COUNT][MESSAGE_TEXT_SIZE];
    };
    std::unique_ptr<CGameInterface> m_ui;
    std::unique_ptr<Texts> m_saved;
    int m_inGameBefore = 0;
};

} // namespace test
