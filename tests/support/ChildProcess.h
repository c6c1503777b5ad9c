#pragma once

#include <functional>
#include <optional>
#include <sys/resource.h>

struct ChildLimits
{
    bool asNobody = false;             // root passes every permission check; nobody does not
    std::optional<rlim_t> largestFile; // a write beyond fails with EFBIG, as on a full disk
};

// Runs `action` in a forked child under `limits` and returns its answer; nothing when the child
// cannot be limited so.
std::optional<bool> InChild(const std::function<bool()>& action, ChildLimits limits);
