#include "platform/InputMethod.h"

#include "platform/Fcitx5InputMethod.h"

namespace {

InputMethod* installed = nullptr;

} // namespace

InputMethod& InputMethods()
{
    static Fcitx5InputMethod desktop;
    return installed ? *installed : desktop;
}

void SetInputMethod(InputMethod* inputMethod)
{
    installed = inputMethod;
}
