// The progress display seam: calls reach an installed display, and none without it.
#include <gtest/gtest.h>

#include <string>

#include "engine/progress.h"

namespace {

class Recorder : public EngineProgress {
public:
    std::string calls;
    bool Create() override
    {
        calls += "C";
        return true;
    }
    void SetStep(int step) override { calls += "S" + std::to_string(step); }
    int StepIt() override
    {
        calls += "+";
        return 0;
    }
    void SetStatus(const char* text) override { calls += std::string("[") + text + "]"; }
    void Destroy() override { calls += "D"; }
};

}  // namespace

TEST(Progress, InstalledDisplayGetsTheCallsUntilRemoved)
{
    EXPECT_TRUE(Progress().Create());  // the default display does nothing and never fails
    EXPECT_EQ(Progress().StepIt(), 0);
    Recorder recorder;
    EXPECT_EQ(SetProgress(&recorder), nullptr);
    Progress().Create();
    Progress().SetStep(10);
    Progress().SetStatus("Berechnung der Eigenwerte");
    Progress().StepIt();
    Progress().Destroy();
    EXPECT_EQ(recorder.calls, "CS10[Berechnung der Eigenwerte]+D");
    EXPECT_EQ(SetProgress(nullptr), &recorder);
    Progress().StepIt();
    EXPECT_EQ(recorder.calls, "CS10[Berechnung der Eigenwerte]+D");
}
