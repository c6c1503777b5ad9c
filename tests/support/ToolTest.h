#pragma once

#include "app/CMainFrame.h"
#include "app/CMrv508App.h"
#include "app/CMrv508View.h"

#include <gtest/gtest.h>
#include <memory>

// A test of the whole tool: the application and its main frame built as at a start, with the
// boxes recorded, an empty profile before and a stopped link after.
class ToolTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The view starts the link while it is built, from what the profile says at that moment.
    void startTool();

    std::unique_ptr<CMrv508App> app;
    std::unique_ptr<CMainFrame> frame;
};
