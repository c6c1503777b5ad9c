#pragma once

// The desktop's Japanese input, switched on while titles are typed and back afterwards. Where no
// input method runs, it reads as off and switching does nothing.
class InputMethod
{
public:
    virtual ~InputMethod() = default;
    virtual bool isOpen() = 0;
    virtual void setOpen(bool open) = 0;
};

InputMethod& InputMethods();
void SetInputMethod(InputMethod* inputMethod);
