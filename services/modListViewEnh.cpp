// Column sort through the list view's own keep-sorted mode.
#include "services/modListViewEnh.h"

#include "platform/core/RuntimeError.h"
#include "platform/ui/ListView.h"
#include "platform/ui/MsgBox.h"

namespace
{

// The header a column argument designates: a number is a 1-based index, text is a key.
int columnHeaderIndex(ui::ListView *lv, const QVariant &column)
{
    ui::ColumnHeaderCollection *headers = lv->ColumnHeaders();
    if (column.typeId() == QMetaType::QString) {
        if (ui::ColumnHeader *h = headers->Item(column.toString()))
            return h->Index();
        throw platform::RuntimeError(35601, QStringLiteral("ListView"), QStringLiteral("Element not found"));
    }
    bool ok = false;
    const int index = column.toInt(&ok);
    if (!ok)
        throw platform::RuntimeError(13, QStringLiteral("ListView"), QStringLiteral("Type mismatch"));
    if (!headers->Item(index))
        throw platform::RuntimeError(35600, QStringLiteral("ListView"),
                                     QStringLiteral("Index out of bounds"));
    return index;
}

} // namespace

bool EnhListView_SortColumns(ui::ListView *lv, const QVariant &column, bool showErrors)
{
    try {
        if (!lv) {
            throw platform::RuntimeError(91, QStringLiteral("EnhListView_SortColumns"),
                                         QStringLiteral("Object variable or With block variable not set"));
        }
        if (lv->ListItems()->Count() == 0)
            return true;
        if (!lv->Sorted())
            lv->setSorted(true);
        lv->setSortKey(columnHeaderIndex(lv, column) - 1);
        lv->setSortOrder(lv->SortOrder() == 0 ? 1 : 0);
        return true;
    } catch (const platform::RuntimeError &err) {
        if (showErrors) {
            MsgBox(QStringLiteral("Error") + QString::number(err.number()) + QLatin1Char('\t') +
                       err.description(),
                   vbOKOnly | vbInformation, QStringLiteral("Error in Function : EnhListView_SortColumns"));
        }
        return false;
    }
}
