// Every native test starts from an unset launcher state and leaves none behind.
#pragma once

#include <gtest/gtest.h>
#include <string.h>

#include "startup/launcher_state.h"

class StateTest : public ::testing::Test {
protected:
    void SetUp() override { memset(&launcherState, 0, sizeof launcherState); }
    void TearDown() override { memset(&launcherState, 0, sizeof launcherState); }
};
