// The core names a few menu commands itself; they must be the ones the menus carry.
#include "store/command_ids.h"

#include <gtest/gtest.h>

#include "resources/resource_ids.h"

namespace {

static_assert(command_id::kModeSimulation == res::CM_MODE_SIMULATION);
static_assert(command_id::kModeRecording == res::CM_MODE_RECORDING);
static_assert(command_id::kModePlayback == res::CM_MODE_PLAYBACK);
static_assert(command_id::kModeCTC == res::CM_MODE_CTC);
static_assert(command_id::kModeExternalIO == res::CM_MODE_EXTERNAL_IO);
static_assert(command_id::kOldFileFirst == res::CM_OLD_FILE_FIRST);
static_assert(command_id::kOldFileCount == res::CM_OLD_FILE_COUNT);
static_assert(command_id::kExit == res::CM_EXIT);

}  // namespace
