// Column sort of list views: every column sort of the program goes through here.
#pragma once

#include <QVariant>

namespace ui
{
class ListView;
}

// Sorts by the column given as 1-based index or header key, reversing the order on every
// call. False after a failure (with a message box when showErrors is set).
bool EnhListView_SortColumns(ui::ListView *lv, const QVariant &column, bool showErrors);
