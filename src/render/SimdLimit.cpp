#include "render/SimdLimit.h"

#include <hwy/highway.h>
#include <hwy/targets.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

bool LimitSimd(const std::string& name, std::string& error)
{
    if (name.empty())
        return true;
    std::string offered;
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        const std::string targetName = hwy::TargetName(target);
        if (Lower(targetName) == Lower(name)) {
            // Highway numbers wider targets with lower bits: every bit below this
            // target's is a wider instruction set.
            hwy::DisableTargets(target - 1);
            return true;
        }
        offered += (offered.empty() ? "" : ", ") + Lower(targetName);
    }
    error = "unknown instruction set '" + name + "'; this processor offers " + offered;
    return false;
}

bool LimitSimdFromEnvironment(std::string& error)
{
    const char* value = std::getenv(kSimdLimitVariable);
    return LimitSimd(value != nullptr ? value : "", error);
}

std::string SimdInUse()
{
    const std::int64_t targets = hwy::SupportedTargets() & HWY_TARGETS;
    return targets == 0 ? "none" : hwy::TargetName(targets & -targets);
}
