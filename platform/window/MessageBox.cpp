// The one road of every message box: the replaceable function, or the window system's
// own box.
#include "platform/window/MessageBox.h"

#include <utility>

namespace {

MessageBoxFunction& CurrentFunction()
{
    static MessageBoxFunction function;
    return function;
}

} // namespace

void ShowMessageBox(const TMessageBoxRequest& request)
{
    // A copy: the function may replace itself while it runs.
    const MessageBoxFunction function = CurrentFunction();
    if (function)
        function(request);
    else
        ShowSystemMessageBox(request);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function)
{
    MessageBoxFunction previous = std::move(CurrentFunction());
    CurrentFunction() = std::move(function);
    return previous;
}
