#include "Scenario.h"
#include "res/resource.h"

TEST_F(Scenario, Smoke)
{
    Install();
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    for (auto& l : sim::Trace()) printf("%s\n", l.c_str());
}
