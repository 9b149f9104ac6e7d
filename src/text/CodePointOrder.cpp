#include "text/CodePointOrder.h"

#include <unicode/ustring.h>

namespace CodePointOrder {

int compare(QStringView a, QStringView b)
{
    return u_strCompare(a.utf16(), int32_t(a.size()), b.utf16(), int32_t(b.size()), true);
}

} // namespace CodePointOrder
