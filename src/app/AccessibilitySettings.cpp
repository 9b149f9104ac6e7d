#include "app/AccessibilitySettings.h"

#include "base/Log.h"

using namespace Qt::StringLiterals;

void openAccessibilitySettings()
{
    Log::write(u"Synthetic keys need the display server's XTEST extension; no setting grants them"_s);
}
