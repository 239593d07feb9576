// The loop that runs a table of named steps: which steps are watched, which
// may be refused, and where a failed check ends the sequence.
#include "shell/GameSteps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The owner of the sequence records what actually ran; the observer what
// it was told.
struct Sequence {
    std::string ran;
    bool checkPasses = true;
    bool late = false;
};

std::vector<std::string> s_watched;
const char* s_stepToRefuse = nullptr;

void Watch(const char* step)
{
    s_watched.push_back(step);
}

int Refuse(const char* step)
{
    return s_stepToRefuse && std::string(step) == s_stepToRefuse;
}

constexpr GameStep<Sequence> kSteps[] = {
    {"a", [](Sequence& run) { run.ran += 'a'; }},
    {nullptr, [](Sequence& run) { run.ran += 'q'; }},
    {"late", [](Sequence& run) { run.ran += 'l'; }, [](const Sequence& run) { return run.late; }},
    {.check = [](Sequence& run) {
         run.ran += 'c';
         return true;
     }},
    {.name = "checked",
     .check =
         [](Sequence& run) {
             run.ran += 'k';
             return run.checkPasses;
         }},
    {"b", [](Sequence& run) { run.ran += 'b'; }},
};

class GameStepsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        s_watched.clear();
        s_stepToRefuse = nullptr;
        g_pGameStepObserver = Watch;
        g_pGameStepRefusal = Refuse;
    }
    void TearDown() override
    {
        g_pGameStepObserver = nullptr;
        g_pGameStepRefusal = nullptr;
        s_stepToRefuse = nullptr;
    }
};

TEST_F(GameStepsTest, OnlyNamedStepsThatRunAreWatchedAndAFailedCheckEndsTheSequence)
{
    const struct {
        const char* name;
        bool checkPasses, late;
        const char* refused;
        bool result;
        const char* ran;
        std::vector<std::string> watched;
    } cases[] = {
        {"all pass", true, false, nullptr, true, "aqckb", {"a", "checked", "b"}},
        {"conditional step's moment", true, true, nullptr, true, "aqlckb", {"a", "late", "checked", "b"}},
        {"check fails", false, false, nullptr, false, "aqck", {"a", "checked"}},
        {"checked step refused", true, false, "checked", false, "aqc", {"a", "checked"}},
        // Only a checked step's failure can end the sequence.
        {"plain step refused", true, false, "a", true, "aqckb", {"a", "checked", "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        s_watched.clear();
        s_stepToRefuse = c.refused;
        Sequence run;
        run.checkPasses = c.checkPasses;
        run.late = c.late;
        EXPECT_EQ(RunGameSteps(kSteps, run), c.result);
        EXPECT_EQ(run.ran, c.ran);
        EXPECT_EQ(s_watched, c.watched);
    }
}

TEST_F(GameStepsTest, WithoutObserverOrRefusalEveryStepRuns)
{
    g_pGameStepObserver = nullptr;
    g_pGameStepRefusal = nullptr;
    Sequence run;
    EXPECT_TRUE(RunGameSteps(kSteps, run));
    EXPECT_EQ(run.ran, "aqckb");
}

} // namespace
