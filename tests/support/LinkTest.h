#pragma once

#include "support/TestProfile.h"

#include <gtest/gtest.h>
#include <string>

// The link and its flags are process globals: every test starts from a stopped link, an empty
// profile and no recorded boxes.
class LinkTest : public testing::Test
{
protected:
    void SetUp() override { ResetLinkAndProfile(); }
    void TearDown() override { ResetLinkAndProfile(); }

    // The link's own descriptor for the device at `path` (a symlink is followed), or -1.
    static int linkDescriptorOf(const std::string& path);
};
