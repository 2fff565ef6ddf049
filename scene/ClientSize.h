// The screen window's client size, as the scene reads it at each step that uses it.
#pragma once

class IClientSize {
public:
    virtual ~IClientSize() = default;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
};
